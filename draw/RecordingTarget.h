#pragma once

#include <string>
#include <vector>

#include "DrawTarget.h"

namespace zukaro::draw {

// A drawing target that paints nothing and remembers every primitive with the settings in
// force when it was drawn, so tests can check what the renderer and the encoder asked for.
class RecordingTarget final : public DrawTarget {
public:
    struct Font {
        std::string name = "ＭＳ 明朝";
        double size = 9.0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool operator==(const Font&) const = default;
    };

    enum class Kind { Clear, Box, FilledBox, Line, Text };

    struct Op {
        Kind kind = Kind::Clear;
        ScaleMode mode = ScaleMode::Twips;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // corners; for text the position
        WinColor color = kBlack;                // box/line colour, or fore colour for text
        std::string text;
        Font font;
        FillStyle fillStyle = FillStyle::Transparent;
        int lineWidth = 1;
    };

    explicit RecordingTarget(bool printer = false, PixelPitch pitch = {});

    const std::vector<Op>& ops() const { return ops_; }
    std::vector<Op> opsOf(Kind kind) const;
    void reset() { ops_.clear(); }

    // Line height used to advance the current position after printText, in twips per point
    // of font size; the recorder has no real font metrics.
    static constexpr double kLineTwipsPerPoint = 20.0;

    ScaleMode scaleMode() const override { return mode_; }
    void setScaleMode(ScaleMode mode) override { mode_ = mode; }
    void clear() override;
    void setFillStyle(FillStyle style) override { fill_ = style; }
    void setFontName(const std::string& utf8Name) override { font_.name = utf8Name; }
    void setFontSize(double points) override { font_.size = points; }
    void setFontBold(bool on) override { font_.bold = on; }
    void setFontItalic(bool on) override { font_.italic = on; }
    void setFontUnderline(bool on) override { font_.underline = on; }
    void setForeColor(WinColor color) override { fore_ = color; }
    void setCurrentPosition(double x, double y) override {
        x_ = x;
        y_ = y;
    }
    double currentX() const override { return x_; }
    double currentY() const override { return y_; }
    void setLineWidth(int pixels) override { lineWidth_ = pixels; }
    int lineWidth() const override { return lineWidth_; }
    void drawBox(double x1, double y1, double x2, double y2, WinColor color) override;
    void fillBox(double x1, double y1, double x2, double y2, WinColor color) override;
    void drawLine(double x1, double y1, double x2, double y2, WinColor color) override;
    void printText(const std::string& utf8) override;
    // A fixed-pitch estimate: half an em for ASCII and half-width katakana, an em for any
    // other character.
    double textWidth(const std::string& utf8) override;
    bool isPrinter() const override { return printer_; }
    PixelPitch printerTwipsPerPixel() const override { return pitch_; }
    PixelPitch screenTwipsPerPixel() const override { return pitch_; }

private:
    void record(Kind kind, double x1, double y1, double x2, double y2, WinColor color,
                std::string text = {});

    bool printer_;
    PixelPitch pitch_;
    ScaleMode mode_ = ScaleMode::Twips;
    FillStyle fill_ = FillStyle::Transparent;
    Font font_;
    WinColor fore_ = kBlack;
    double x_ = 0, y_ = 0;
    int lineWidth_ = 1;
    std::vector<Op> ops_;
};

}  // namespace zukaro::draw
