#pragma once

#include <cstdint>

namespace zukaro::draw {

// A Windows colour value 0x00BBGGRR: red in the lowest byte, 255 is pure red. Layouts and
// files keep colours in this form.
using WinColor = std::int32_t;
inline constexpr WinColor kBlack = 0;
inline constexpr WinColor kWhite = 0xFFFFFF;
constexpr WinColor rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}
constexpr int redOf(WinColor c) {
    return c & 0xFF;
}
constexpr int greenOf(WinColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int blueOf(WinColor c) {
    return (c >> 16) & 0xFF;
}

}  // namespace zukaro::draw
