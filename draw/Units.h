#pragma once

// Lengths. Window geometry and the scale modes of the drawing targets count in twips, 1/1440
// inch; layouts count in millimetres.
namespace zukaro::draw {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kMmPerInch = 25.4;
inline constexpr double kTwipsPerMm = kTwipsPerInch / kMmPerInch;  // 56.69...
inline constexpr double kPointsPerInch = 72.0;                     // font sizes
inline constexpr double kMmPerPoint = kMmPerInch / kPointsPerInch;  // 0.3527...

// The barcode's pixel grid alone takes a millimetre as 56.7 twips, the rounded figure the
// painting of the bars has always used. Keeping it puts every bar on the same device pixel
// as on every sheet printed so far; the price is that bars in the third column sit one
// 600-dpi pixel (0.04 mm) right of the exact position, well inside the quiet zone.
inline constexpr double kBarGridTwipsPerMm = 56.7;

}  // namespace zukaro::draw
