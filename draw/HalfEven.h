#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace zukaro {

// Real to integer the way layouts, window geometry and the barcode's pixel grid have always
// been computed: to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// nearbyint does exactly that in the default rounding mode. The one rounding helper of the
// program, plain C++ so that every folder can use it.
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

// The same within [low, high]; nothing when the result lies outside or the value is not
// finite (a record number read from a file, a value for a bounded field).
inline std::optional<std::int64_t> roundHalfEvenWithin(double value, std::int64_t low,
                                                       std::int64_t high) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace zukaro
