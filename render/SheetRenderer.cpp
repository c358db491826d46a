#include "SheetRenderer.h"

#include <array>
#include <vector>

#include "HalfEven.h"
#include "ItemTexts.h"
#include "Items.h"
#include "JanCompletion.h"
#include "JanEncoder.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

// The preview shows a fixed pattern instead of the real bars: dx is the left edge inside the
// label, w the width, both in mm. The fifth bar stands left of the first on purpose.
struct ImitationBar {
    double dx;
    double w;
};
constexpr std::array<ImitationBar, 14> kImitationBars{{
    {14, 1},
    {16, 2},
    {19, 3},
    {23, 1},
    {8, 2},
    {28, 3},
    {32, 1},
    {34, 2},
    {37, 2},
    {41, 1},
    {43, 2},
    {46, 2},
    {50, 1},
    {52, 2},
}};
constexpr double kImitationBarTop = 2;
constexpr double kImitationBarHeight = 9.5;

constexpr double kOutlineWidth = 59;
constexpr double kOutlineHeight = 1.5;

const std::string kDefaultFace = "ＭＳ 明朝";

// The preview's mark for a code without bars: right of the imitation bars, in red.
const FontSpec kNoBarsMarkFont{.Name = QStringLiteral("ＭＳ ゴシック"), .Size = 7, .Bold = true};
constexpr draw::WinColor kNoBarsMarkColor = draw::rgb(255, 0, 0);
constexpr double kNoBarsMarkX = 56;
constexpr double kNoBarsMarkY = 4;  // below the outline
// The preview's mark for a label whose texts overprint or leave it: under "×JAN".
constexpr double kOverlapMarkX = 56;
constexpr double kOverlapMarkY = 7;
// The preview's mark for a price that is not computed although the layout computes prices:
// under "×重なり".
constexpr double kPriceMarkX = 56;
constexpr double kPriceMarkY = 10;

// Label n's origin and zoom: turns positions inside the label into target coordinates.
class LabelGeometry {
public:
    LabelGeometry(const RenderOptions& options, int n)
        : LabelGeometry(options.calibration.sendFor(labelCorner(n, options.origin)), options.zoom) {
    }

    double x(double dx) const { return (x0_ + dx) * zoom_; }
    double y(double dy) const { return (y0_ + dy) * zoom_; }
    double size(double mm) const { return mm * zoom_; }

    // A box from (dx, dy) inside the label over (w, h), both corners included.
    void fill(draw::DrawTarget& target, double dx, double dy, double w, double h,
              draw::WinColor color) const {
        target.fillBox(x(dx), y(dy), x(dx) + size(w), y(dy) + size(h), color);
    }
    void frame(draw::DrawTarget& target, draw::WinColor color) const {
        target.drawBox(x(0), y(0), x(0) + size(kLabelPitchX), y(0) + size(kLabelPitchY), color);
    }

private:
    LabelGeometry(SheetOrigin corner, double zoom) : x0_(corner.x), y0_(corner.y), zoom_(zoom) {}

    double x0_;
    double y0_;
    double zoom_;
};

void setItemFont(draw::DrawTarget& target, const FontSpec& font, double points, double zoom,
                 bool underline, draw::WinColor color) {
    target.setFontName(font.Name.toStdString());
    target.setFontSize(points * zoom);
    target.setFontBold(font.Bold);
    target.setFontItalic(font.Italic);
    target.setFontUnderline(underline);
    target.setForeColor(color);
}

void printAt(draw::DrawTarget& target, double x, double y, const QString& text) {
    target.setCurrentPosition(x, y);
    target.printText(text.toStdString());
}

LabelReport drawLabel(const SheetState& sheet, draw::DrawTarget& target, int n,
                      const RenderOptions& options) {
    const Layout& l = sheet.layout;
    const LabelGeometry g(options, n);
    const double zoom = options.zoom;
    const bool preview = options.mode == PrintMode::Preview;

    if (l.縁取) {
        g.fill(target, 3, 1, kOutlineWidth, kOutlineHeight, l.borderColor);
        g.fill(target, 3, 35, kOutlineWidth, kOutlineHeight, l.borderColor);
    }

    const QString code = barcodeCode(sheet.janText[n]);
    const BarsDescription& b = bars();
    const double barX = l.*b.x;
    const double barY = l.*b.y;
    if (sheet.BARCODE && !code.isEmpty()) {
        if (preview) {
            for (const ImitationBar& bar : kImitationBars) {
                g.fill(target, bar.dx + barX, kImitationBarTop + barY, bar.w, kImitationBarHeight,
                       draw::kBlack);
            }
        } else {
            // A refused code (wrong check digit) leaves this label without bars; its digits
            // are still printed below, so the clerk sees which label it is.
            Module1::drawJanBarcode(target, code.toStdString(), g.x(b.left + barX),
                                    g.y(b.top + barY), g.x(b.right + barX), g.y(b.bottom + barY));
        }
    }

    // On screen only: a label whose code will print without bars says so beside the bars.
    if (preview && sheet.BARCODE && !janBarsProblem(sheet.janText[n]).isEmpty()) {
        setItemFont(target, kNoBarsMarkFont, kNoBarsMarkFont.Size, zoom, false, kNoBarsMarkColor);
        printAt(target, g.x(kNoBarsMarkX), g.y(kNoBarsMarkY), QStringLiteral("×JAN"));
    }

    // On screen only: a price the layout would tax or group, but cannot read as yen.
    if (preview && pricesAreComputed(l) && !sheet.priceText[n].trimmed().isEmpty() &&
        !wholeYen(sheet.priceText[n])) {
        setItemFont(target, kNoBarsMarkFont, kNoBarsMarkFont.Size, zoom, false, kNoBarsMarkColor);
        printAt(target, g.x(kPriceMarkX), g.y(kPriceMarkY), QStringLiteral("×売価"));
    }

    LabelReport report;
    for (const PlacedText& t : layOutLabel(sheet, n, g.x(0) / zoom, report, options.asOf)) {
        setItemFont(target, l.*t.item->font, t.points, zoom, t.underline, l.*t.item->color);
        printAt(target, g.x(t.x), g.y(t.y), t.text);
        if (t.strike) {
            const draw::InkBox bar = strikeBar(t);
            g.fill(target, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                   l.*t.item->color);
        }
    }
    return report;
}

}  // namespace

RenderOptions RenderOptions::onScreen(const SheetState& sheet, double zoom) {
    return {PrintMode::Preview, zoom, {sheet.sheetX, sheet.sheetY}};
}

RenderOptions RenderOptions::onPaper(const SheetState& sheet,
                                     const PrinterCalibration& calibration) {
    return {PrintMode::Paper, 1.0, {sheet.sheetX, sheet.sheetY}, calibration};
}

SheetReport drawSheet(const SheetState& sheet, draw::DrawTarget& target,
                      const RenderOptions& options) {
    target.setFontName(kDefaultFace);
    target.setForeColor(draw::kBlack);
    target.setFontSize(16);
    target.setFontItalic(false);
    target.setFontBold(false);
    target.setScaleMode(draw::ScaleMode::Millimeters);

    if (options.mode == PrintMode::Preview) {
        target.clear();
        target.setFillStyle(draw::FillStyle::Transparent);
        for (int n = 1; n <= kLabelCount; ++n) {
            LabelGeometry(options, n).frame(target, kGuideFrameColor);
        }
    }

    SheetReport report;
    for (int n = 1; n <= kLabelCount; ++n) {
        // A label without a product name is not a label yet, whatever else it holds.
        if (sheet.productText[n].isEmpty()) {
            continue;
        }
        LabelReport label = drawLabel(sheet, target, n, options);
        if (!label.isEmpty()) {
            report.push_back(std::move(label));
        }
    }
    return report;
}

void drawLabelMarks(const SheetReport& report, draw::DrawTarget& target,
                    const RenderOptions& options) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    for (const LabelReport& label : report) {
        if (!label.marked()) {
            continue;
        }
        const LabelGeometry g(options, label.label);
        setItemFont(target, kNoBarsMarkFont, kNoBarsMarkFont.Size, options.zoom, false,
                    kNoBarsMarkColor);
        printAt(target, g.x(kOverlapMarkX), g.y(kOverlapMarkY),
                label.overprinted.isEmpty() ? QStringLiteral("×枠外") : QStringLiteral("×重なり"));
        g.frame(target, kNoBarsMarkColor);
    }
}

void drawPreviewNotes(const std::vector<PreviewNote>& notes, draw::DrawTarget& target,
                      const RenderOptions& options) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    for (const PreviewNote& note : notes) {
        if (note.label < 1 || note.label > kLabelCount) {
            continue;
        }
        const LabelGeometry g(options, note.label);
        setItemFont(target, kNoBarsMarkFont, kNoBarsMarkFont.Size, options.zoom, false,
                    kNoBarsMarkColor);
        printAt(target, g.x(kNoBarsMarkX), g.y(kNoBarsMarkY), note.text);
    }
}

void drawLayoutGuide(draw::DrawTarget& target, const RenderOptions& options) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    target.clear();
    for (int n = 1; n <= kLabelCount; ++n) {
        const LabelGeometry g(options, n);
        g.frame(target, kButtonFaceColor);
        target.setFontName(kDefaultFace);
        target.setFontUnderline(false);
        target.setForeColor(kButtonFaceColor);
        target.setFontSize(10 * options.zoom);
        printAt(target, g.x(56), g.y(16), labelNumber(n));
    }
}

void drawCurrentLabelFrame(int label, draw::DrawTarget& target, const RenderOptions& options) {
    if (label < 1 || label > kLabelCount) {
        return;
    }
    const double zoom = options.zoom;
    target.setScaleMode(draw::ScaleMode::Millimeters);
    target.setLineWidth(static_cast<int>(roundHalfEven(zoom * 5)));
    const SheetOrigin corner = labelCorner(label, options.origin);
    const double x0 = corner.x * zoom;
    const double y0 = corner.y * zoom;
    const double w = kLabelPitchX * zoom;
    const double h = kLabelPitchY * zoom;
    target.drawLine(x0, y0, x0 + w, y0, kCurrentFrameColor);
    target.drawLine(x0, y0, x0, y0 + h, kCurrentFrameColor);
    target.drawLine(x0, y0 + h, x0 + w, y0 + h, kCurrentFrameColor);
    target.drawLine(x0 + w, y0, x0 + w, y0 + h, kCurrentFrameColor);
    target.setLineWidth(1);
}

}  // namespace zukaro
