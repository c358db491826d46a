#include "SheetRenderer.h"

#include <array>

#include "HalfEven.h"
#include "ItemTexts.h"
#include "JanCompletion.h"
#include "JanEncoder.h"

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

// Label n's origin and zoom: turns positions inside the label into target coordinates.
class LabelGeometry {
public:
    LabelGeometry(const SheetState& sheet, int n)
        : x0_(labelColumn(n) * kLabelPitchX + sheet.sheetX),
          y0_(labelRow(n) * kLabelPitchY + sheet.sheetY),
          zoom_(sheet.zoom) {}

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
    double x0_;
    double y0_;
    double zoom_;
};

void setItemFont(draw::DrawTarget& target, const FontSpec& font, double zoom, bool underline,
                 draw::WinColor color) {
    target.setFontName(font.Name.toStdString());
    target.setFontSize(font.Size * zoom);
    target.setFontBold(font.Bold);
    target.setFontItalic(font.Italic);
    target.setFontUnderline(underline);
    target.setForeColor(color);
}

void printAt(draw::DrawTarget& target, double x, double y, const QString& text) {
    target.setCurrentPosition(x, y);
    target.printText(text.toStdString());
}

// An item's text at (dx, dy) inside the label, cut to what can reach the page.
void printItem(draw::DrawTarget& target, const LabelGeometry& g, double dx, double dy,
               const FontSpec& font, const QString& text) {
    printAt(target, g.x(dx), g.y(dy), drawablePart(text, g.x(dx) / g.size(1), font.Size));
}

bool isShown(const QString& visibilityCaption) {
    return visibilityCaption == caption::shown;
}
bool isUnderlined(const QString& underlineCaption) {
    return underlineCaption != caption::plain;
}

void drawLabel(const SheetState& sheet, draw::DrawTarget& target, int n, bool preview) {
    const Layout& l = sheet.layout;
    const LabelGeometry g(sheet, n);
    const double zoom = sheet.zoom;

    if (l.縁取 == caption::outlineOn) {
        g.fill(target, 3, 1, kOutlineWidth, kOutlineHeight, l.borderColor);
        g.fill(target, 3, 35, kOutlineWidth, kOutlineHeight, l.borderColor);
    }

    const QString code = barcodeCode(sheet.janText[n]);
    if (isShown(sheet.BARCODE) && !code.isEmpty()) {
        if (preview) {
            for (const ImitationBar& bar : kImitationBars) {
                g.fill(target, bar.dx + l.barX, kImitationBarTop + l.barY, bar.w,
                       kImitationBarHeight, draw::kBlack);
            }
        } else {
            // A refused code (wrong check digit) leaves this label without bars; its digits
            // are still printed below, so the clerk sees which label it is.
            Module1::drawJanBarcode(target, code.toStdString(), g.x(10 + l.barX), g.y(3 + l.barY),
                                    g.x(65 + l.barX), g.y(11 + l.barY));
        }
    }

    // On screen only: a label whose code will print without bars says so beside the bars.
    if (preview && isShown(sheet.BARCODE) && !janBarsProblem(sheet.janText[n]).isEmpty()) {
        setItemFont(target, kNoBarsMarkFont, zoom, false, kNoBarsMarkColor);
        printAt(target, g.x(kNoBarsMarkX), g.y(kNoBarsMarkY), QStringLiteral("×JAN"));
    }

    if (isShown(l.jan表示)) {
        setItemFont(target, l.janFont, zoom, false, l.janColor);
        printItem(target, g, 32 + l.janX, 11 + l.janY, l.janFont, janDigitsLine(sheet.janText[n]));
    }
    if (isShown(l.品名表示)) {
        setItemFont(target, l.productFont, zoom, isUnderlined(l.品名U表示), l.productColor);
        printItem(target, g, 4 + l.productX, 17 + l.productY, l.productFont,
                  centredProductName(sheet.productText[n]));
    }
    if (isShown(l.単価表示)) {
        setItemFont(target, l.priceFont, zoom, false, l.priceColor);
        printAt(target, g.x(0 + l.priceX), g.y(20 + l.priceY), priceField(sheet.priceText[n]));
    }
    if (isShown(l.円表示)) {
        setItemFont(target, l.yenFont, zoom, false, l.yenColor);
        printAt(target, g.x(48 + l.yenX), g.y(30 + l.yenY), QStringLiteral("円"));
    }
    if (isShown(l.メーカー表示)) {
        setItemFont(target, l.makerFont, zoom, isUnderlined(l.メーカーU表示), l.makerColor);
        printItem(target, g, 5 + l.makerX, 13.5 + l.makerY, l.makerFont, sheet.makerText[n]);
    }
    if (isShown(l.規格表示)) {
        setItemFont(target, l.specFont, zoom, isUnderlined(l.規格U表示), l.specColor);
        printItem(target, g, 8 + l.specX, 26 + l.specY, l.specFont, sheet.specText[n]);
    }
    if (isShown(l.ロット表示)) {
        setItemFont(target, l.lotFont, zoom, isUnderlined(l.ロットU表示), l.lotColor);
        printItem(target, g, 8 + l.lotX, 30 + l.lotY, l.lotFont, sheet.lotText[n]);
    }
}

}  // namespace

void drawSheet(SheetState& sheet, draw::DrawTarget& target) {
    const bool preview = sheet.printMode != QStringLiteral("1");
    if (!preview) {
        sheet.zoom = 1.0;
    }
    target.setFontName(kDefaultFace);
    target.setForeColor(draw::kBlack);
    target.setFontSize(16);
    target.setFontItalic(false);
    target.setFontBold(false);
    target.setScaleMode(draw::ScaleMode::Millimeters);

    if (sheet.printMode == QStringLiteral("0")) {
        target.clear();
        target.setFillStyle(draw::FillStyle::Transparent);
        for (int n = 1; n <= kLabelCount; ++n) {
            LabelGeometry(sheet, n).frame(target, kGuideFrameColor);
        }
    }

    for (int n = 1; n <= kLabelCount; ++n) {
        // A label without a product name is not a label yet, whatever else it holds.
        if (sheet.productText[n].isEmpty()) {
            continue;
        }
        drawLabel(sheet, target, n, preview);
    }

    if (sheet.倍率 == caption::zoomHalf) {
        sheet.zoom = 0.5;
    }
}

void drawLayoutGuide(SheetState& sheet, draw::DrawTarget& target) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    sheet.sheetX = 2.7;
    sheet.sheetY = 12.6;
    target.clear();
    for (int n = 1; n <= kLabelCount; ++n) {
        const LabelGeometry g(sheet, n);
        g.frame(target, kButtonFaceColor);
        target.setFontName(kDefaultFace);
        target.setFontUnderline(false);
        target.setForeColor(kButtonFaceColor);
        target.setFontSize(10 * sheet.zoom);
        printAt(target, g.x(56), g.y(16), labelNumber(n));
    }
}

void drawCurrentLabelFrame(const SheetState& sheet, draw::DrawTarget& target) {
    const int n = sheet.currentLabel;
    if (n < 1 || n > kLabelCount) {
        return;
    }
    const double zoom = sheet.zoom;
    target.setScaleMode(draw::ScaleMode::Millimeters);
    target.setLineWidth(static_cast<int>(roundHalfEven(zoom * 5)));
    const double x0 = labelColumn(n) * kLabelPitchX * zoom + zoom * sheet.sheetX;
    const double y0 = labelRow(n) * kLabelPitchY * zoom + zoom * sheet.sheetY;
    const double w = kLabelPitchX * zoom;
    const double h = kLabelPitchY * zoom;
    target.drawLine(x0, y0, x0 + w, y0, kCurrentFrameColor);
    target.drawLine(x0, y0, x0, y0 + h, kCurrentFrameColor);
    target.drawLine(x0, y0 + h, x0 + w, y0 + h, kCurrentFrameColor);
    target.drawLine(x0 + w, y0, x0 + w, y0 + h, kCurrentFrameColor);
    target.setLineWidth(1);
}

}  // namespace zukaro
