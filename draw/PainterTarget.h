#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <optional>

#include "DrawTarget.h"

class QPainter;

namespace zukaro::draw {

QColor toQColor(WinColor color);

// The drawing target over a QPainter: the same class paints the preview image and the
// printer page. Units are converted to device pixels from the device's own resolution.
// Bars, boxes and frames are drawn without antialiasing so that they land on whole pixels.
// The caller owns the painter and ends it (for a printer, that sends the page).
class PainterTarget final : public DrawTarget {
public:
    PainterTarget(QPainter& painter, bool isPrinter);

    ScaleMode scaleMode() const override { return mode_; }
    void setScaleMode(ScaleMode mode) override { mode_ = mode; }
    void clear() override;
    void setFillStyle(FillStyle style) override { fill_ = style; }
    void setFontName(const std::string& utf8Name) override;
    void setFontSize(double points) override;
    void setFontBold(bool on) override;
    void setFontItalic(bool on) override;
    void setFontUnderline(bool on) override;
    void setForeColor(WinColor color) override { fore_ = color; }
    void setCurrentPosition(double x, double y) override {
        x_ = x;
        y_ = y;
    }
    double currentX() const override { return x_; }
    double currentY() const override { return y_; }
    void setLineWidth(int pixels) override { lineWidth_ = pixels < 1 ? 1 : pixels; }
    int lineWidth() const override { return lineWidth_; }
    void drawBox(double x1, double y1, double x2, double y2, WinColor color) override;
    void fillBox(double x1, double y1, double x2, double y2, WinColor color) override;
    void drawLine(double x1, double y1, double x2, double y2, WinColor color) override;
    void printText(const std::string& utf8) override;
    double textWidth(const std::string& utf8) override;
    bool isPrinter() const override { return printer_; }
    PixelPitch printerTwipsPerPixel() const override { return pitch_; }
    PixelPitch screenTwipsPerPixel() const override { return pitch_; }

    // Device pixels per unit of the current scale mode.
    double pixelsPerUnitX() const;
    double pixelsPerUnitY() const;

private:
    struct PixelRect {
        int left, top, right, bottom;  // inclusive
    };
    PixelRect toPixels(double x1, double y1, double x2, double y2) const;
    const QFont& currentFont();

    QPainter& painter_;
    bool printer_;
    PixelPitch pitch_;
    ScaleMode mode_ = ScaleMode::Twips;
    FillStyle fill_ = FillStyle::Transparent;
    std::string fontName_ = "ＭＳ 明朝";
    double fontSize_ = 9.0;
    bool bold_ = false, italic_ = false, underline_ = false;
    std::optional<QFont> font_;  // built lazily from the settings above
    std::optional<QFontMetricsF> metrics_;
    WinColor fore_ = kBlack;
    double x_ = 0, y_ = 0;
    int lineWidth_ = 1;
};

}  // namespace zukaro::draw
