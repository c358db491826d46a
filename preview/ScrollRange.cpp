#include "ScrollRange.h"

#include <algorithm>

#include "HalfEven.h"

namespace zukaro {

ScrollRange scrollRange(double pageTwips, double viewportTwips) {
    ScrollRange range;
    range.max = std::max<std::int16_t>(0, roundHalfEvenInt16(pageTwips - viewportTwips));
    range.largeChange = std::max<std::int16_t>(1, roundHalfEvenInt16(range.max / 10.0));
    range.smallChange = std::max<std::int16_t>(1, roundHalfEvenInt16(range.largeChange / 10.0));
    return range;
}

int twipsToPixels(double twips) {
    return static_cast<int>(roundHalfEven(twips / kTwipsPerPixel));
}

}  // namespace zukaro
