#pragma once

#include <cstdint>

namespace zukaro {

// Window geometry is kept in twips (1/1440 inch); the preview is laid out at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

// Range and steps of a scroll bar that moves a page of `pageTwips` inside a viewport of
// `viewportTwips`: Max = page - viewport, LargeChange = Max / 10, SmallChange =
// LargeChange / 10, each rounded half to even into 16 bits. A page that fits gives Max 0, and
// the steps never drop below 1, so the bar stays usable.
struct ScrollRange {
    std::int16_t max = 0;
    std::int16_t largeChange = 1;
    std::int16_t smallChange = 1;
    bool operator==(const ScrollRange&) const = default;
};
ScrollRange scrollRange(double pageTwips, double viewportTwips);

// Twips to whole screen pixels at 96 dpi, halves to even.
int twipsToPixels(double twips);

}  // namespace zukaro
