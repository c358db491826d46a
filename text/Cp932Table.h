#pragma once

#include <array>

// The double-byte half of Windows code page 932 (Microsoft's table: JIS X 0208, NEC row 13,
// NEC-selected and IBM extensions, user-defined area F040-F9FC to U+E000-U+E757).
namespace zukaro::cp932 {

inline constexpr int kLeadCount = 60;    // 81-9F and E0-FC
inline constexpr int kTrailCount = 188;  // 40-7E and 80-FC

// Indexed by leadIndex * kTrailCount + trailIndex; 0 where the pair decodes to nothing.
extern const std::array<char16_t, kLeadCount * kTrailCount> kDoubleByteTable;

constexpr int leadIndex(unsigned char b) {
    if (b >= 0x81 && b <= 0x9F) {
        return b - 0x81;
    }
    if (b >= 0xE0 && b <= 0xFC) {
        return b - 0xE0 + 31;
    }
    return -1;
}

constexpr int trailIndex(unsigned char b) {
    if (b >= 0x40 && b <= 0x7E) {
        return b - 0x40;
    }
    if (b >= 0x80 && b <= 0xFC) {
        return b - 0x80 + 63;
    }
    return -1;
}

}  // namespace zukaro::cp932
