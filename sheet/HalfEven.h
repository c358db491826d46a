#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace zukaro {

// Real to integer the way layouts and window geometry have always been computed: to the
// nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). nearbyint does exactly
// that in the default rounding mode.
inline double roundHalfEven(double value) {
    return std::nearbyint(value);
}

// The same, held in a 16-bit integer; values beyond its range stop at its limits instead of
// overflowing.
inline std::int16_t roundHalfEvenInt16(double value) {
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    const double r = roundHalfEven(value);
    if (std::isnan(r)) {
        return 0;
    }
    return static_cast<std::int16_t>(r < lo ? lo : (r > hi ? hi : r));
}

}  // namespace zukaro
