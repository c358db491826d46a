#pragma once

#include <cstdint>
#include <string>

#include "WinColor.h"

// The drawing surface that the sheet renderer and the barcode encoder paint on. The preview
// image and the printer offer the same operations, so one renderer serves both. The interface
// is plain C++ on purpose: the barcode encoder must not know any toolkit.
namespace zukaro::draw {

// Coordinate units of a surface. The numbers are those stored in old layouts and code
// (millimetres = 6), so keep them.
enum class ScaleMode : std::int16_t {
    User = 0,
    Twips = 1,
    Points = 2,
    Pixels = 3,
    Characters = 4,
    Inches = 5,
    Millimeters = 6,
    Centimeters = 7,
};

// Whether outlined boxes get their inside filled.
enum class FillStyle : std::int16_t { Solid = 0, Transparent = 1 };

// Twips (1/1440 inch) per device pixel, horizontally and vertically.
struct PixelPitch {
    double x = 15.0;
    double y = 15.0;
};

// Twips per unit of a scale mode, horizontally and vertically; 0 for modes without a fixed
// size (pixels depend on the device, user scales on the caller).
struct UnitSize {
    double x = 0.0;
    double y = 0.0;
};
UnitSize twipsPerUnit(ScaleMode mode);

class DrawTarget {
public:
    virtual ~DrawTarget() = default;

    virtual ScaleMode scaleMode() const = 0;
    virtual void setScaleMode(ScaleMode mode) = 0;

    // Wipes the whole surface to white and puts the current position at the origin.
    virtual void clear() = 0;
    virtual void setFillStyle(FillStyle style) = 0;

    // Font of the next printText. The name is the face as the user chose it ("ＭＳ 明朝");
    // implementations map it to an installed face themselves.
    virtual void setFontName(const std::string& utf8Name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool on) = 0;
    virtual void setFontItalic(bool on) = 0;
    virtual void setFontUnderline(bool on) = 0;
    virtual void setForeColor(WinColor color) = 0;

    virtual void setCurrentPosition(double x, double y) = 0;
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;

    // Width in device pixels of lines and box outlines.
    virtual void setLineWidth(int pixels) = 0;
    virtual int lineWidth() const = 0;

    // Boxes and lines run from corner (x1, y1) to corner (x2, y2), both included: in pixel
    // units a box from x to x + 10 covers 11 pixel columns.
    virtual void drawBox(double x1, double y1, double x2, double y2, WinColor color) = 0;
    virtual void fillBox(double x1, double y1, double x2, double y2, WinColor color) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, WinColor color) = 0;

    // Prints text with its top-left corner at the current position in the fore colour, then
    // moves the current position to the start of the next line.
    virtual void printText(const std::string& utf8) = 0;
    // How wide printText would draw `utf8` in the current font, in current scale units.
    virtual double textWidth(const std::string& utf8) = 0;

    virtual bool isPrinter() const = 0;
    virtual PixelPitch printerTwipsPerPixel() const = 0;
    virtual PixelPitch screenTwipsPerPixel() const = 0;
};

}  // namespace zukaro::draw
