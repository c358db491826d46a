#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace zukaro {

// The windows were designed in twips at 15 twips per pixel (96 dpi); Qt's logical pixels are
// the same 96-dpi pixels, so high-DPI screens scale the design as a whole.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    // Nearest pixel, halves to the even neighbour, as every twip conversion of the design.
    const int whole = twips / kTwipsPerPixel;
    const int rest = twips % kTwipsPerPixel;
    if (2 * rest > kTwipsPerPixel || (2 * rest == kTwipsPerPixel && whole % 2 != 0)) {
        return whole + 1;
    }
    return whole;
}

constexpr QRect designRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The windows' font: the Japanese proportional gothic at 9 points, the usual face of the
// original Japanese desktop, on its installed equivalent.
QFont designFont();

// How a control grows when its text is wider than its design width.
enum class Grow { Right, BothSides };

// Places `control` at its design rectangle, widened just enough for its text when the text
// does not fit (the design was made for a narrower font), but never beyond `maxRight`.
void placeControl(QWidget& control, const QRect& design, Grow grow, int maxRight);

}  // namespace zukaro
