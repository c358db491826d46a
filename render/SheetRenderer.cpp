#include "SheetRenderer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "HalfEven.h"
#include "ItemTexts.h"
#include "Items.h"
#include "JanCompletion.h"
#include "JanEncoder.h"
#include "Units.h"

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

// The text an item prints for label n; `prices` are the label's price texts.
QString itemText(const SheetState& sheet, const ItemDescription& item, int n,
                 const PriceTexts& prices) {
    switch (item.shape) {
        case TextShape::JanDigits:
            return janDigitsLine(sheet.janText[n]);
        case TextShape::CentredName:
            return centredProductName(sheet.productText[n]);
        case TextShape::PriceField:
            return prices.price;
        case TextShape::NetLine:
            return prices.netLine;
        case TextShape::GrossLine:
            return prices.grossLine;
        case TextShape::YenMark:
            return QStringLiteral("円");
        case TextShape::Plain:
            break;
    }
    return (sheet.*item.texts)[n];
}

// The items in the order they are drawn on a label.
const std::array<const ItemDescription*, kItemCount>& itemsInDrawOrder() {
    static const auto order = [] {
        std::array<const ItemDescription*, kItemCount> sorted{};
        for (std::size_t i = 0; i < kItemCount; ++i) {
            sorted[i] = &items()[i];
        }
        std::sort(sorted.begin(), sorted.end(),
                  [](auto* a, auto* b) { return a->drawRank < b->drawRank; });
        return sorted;
    }();
    return order;
}

using draw::kMmPerPoint;
constexpr double kFitGap = 0.5;  // mm between the price and what it must not touch
constexpr double kSmallestPricePoints = 4;

// Where an item's text ends on the right, in mm inside the label, at the item's size.
double textRight(const SheetState& sheet, draw::DrawTarget& target, const LabelGeometry& g,
                 const ItemDescription& item, int n) {
    const Layout& l = sheet.layout;
    setItemFont(target, l.*item.font, g.size(1), false, l.*item.color);
    const double width = target.textWidth((sheet.*item.texts)[n].toStdString()) / g.size(1);
    return item.anchorX + l.*item.x + width;
}

// 価格を枠内に収める: the price's digits at the largest size up to the layout's that keeps
// them inside the label, left of 円 and clear of the spec and lot lines beside them. The
// field keeps its top and the right end it has at the layout's size.
void drawFittedPrice(const SheetState& sheet, draw::DrawTarget& target, const LabelGeometry& g,
                     int n, const QString& field) {
    const Layout& l = sheet.layout;
    const ItemDescription& price = describe(Item::Price);
    const FontSpec& font = l.*price.font;
    const double zoom = g.size(1);
    const double top = price.anchorY + l.*price.y;
    const double left = price.anchorX + l.*price.x;
    double right = left + target.textWidth(field.toStdString()) / zoom;
    right = std::min(right, kLabelPitchX - kFitGap);
    const ItemDescription& yen = describe(Item::Yen);
    if (isShown(l.*yen.shown)) {
        right = std::min(right, yen.anchorX + l.*yen.x - kFitGap);
    }
    // The spec and lot lines drawn on this label, with their vertical bands.
    struct Line {
        double top, bottom, right;
    };
    std::vector<Line> lines;
    for (const Item item : {Item::Spec, Item::Lot}) {
        const ItemDescription& d = describe(item);
        if (isShown(l.*d.shown) && !(sheet.*d.texts)[n].isEmpty()) {
            const double lineTop = d.anchorY + l.*d.y;
            lines.push_back({lineTop, lineTop + (l.*d.font).Size * kMmPerPoint,
                             textRight(sheet, target, g, d, n)});
        }
    }
    const std::string digits = field.trimmed().toStdString();
    setItemFont(target, font, zoom, false, l.*price.color);
    double size = font.Size;
    double width = 0;
    for (;; size -= 0.5) {
        double from = left;
        for (const Line& line : lines) {
            if (line.top < top + size * kMmPerPoint && line.bottom > top) {
                from = std::max(from, line.right + kFitGap);
            }
        }
        target.setFontSize(size * zoom);
        width = target.textWidth(digits) / zoom;
        if (width <= right - from || size <= kSmallestPricePoints) {
            break;
        }
    }
    target.setCurrentPosition(g.x(right - width), g.y(top));
    target.printText(digits);
}

void drawLabel(const SheetState& sheet, draw::DrawTarget& target, int n,
               const RenderOptions& options) {
    const Layout& l = sheet.layout;
    const LabelGeometry g(options, n);
    const double zoom = options.zoom;
    const bool preview = options.mode == PrintMode::Preview;

    if (l.縁取 == caption::outlineOn) {
        g.fill(target, 3, 1, kOutlineWidth, kOutlineHeight, l.borderColor);
        g.fill(target, 3, 35, kOutlineWidth, kOutlineHeight, l.borderColor);
    }

    const QString code = barcodeCode(sheet.janText[n]);
    const BarsDescription& b = bars();
    const double barX = l.*b.x;
    const double barY = l.*b.y;
    if (isShown(sheet.BARCODE) && !code.isEmpty()) {
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
    if (preview && isShown(sheet.BARCODE) && !janBarsProblem(sheet.janText[n]).isEmpty()) {
        setItemFont(target, kNoBarsMarkFont, zoom, false, kNoBarsMarkColor);
        printAt(target, g.x(kNoBarsMarkX), g.y(kNoBarsMarkY), QStringLiteral("×JAN"));
    }

    const PriceTexts prices = priceTexts(sheet, n);
    for (const ItemDescription* item : itemsInDrawOrder()) {
        const QString text = itemText(sheet, *item, n, prices);
        const bool onlyWithTax =
            item->shape == TextShape::NetLine || item->shape == TextShape::GrossLine;
        if (!isShown(l.*item->shown) || (onlyWithTax && text.isEmpty())) {
            continue;
        }
        const bool underline = item->underline != nullptr && isUnderlined(l.*item->underline);
        setItemFont(target, l.*item->font, zoom, underline, l.*item->color);
        if (item->shape == TextShape::PriceField && l.fitPrice) {
            drawFittedPrice(sheet, target, g, n, text);
            continue;
        }
        printItem(target, g, item->anchorX + l.*item->x, item->anchorY + l.*item->y, l.*item->font,
                  text);
    }
}

}  // namespace

RenderOptions RenderOptions::of(const SheetState& sheet) {
    if (sheet.printMode == PrintMode::Paper) {
        return onPaper(sheet);
    }
    return {PrintMode::Preview, sheet.zoom, {sheet.sheetX, sheet.sheetY}};
}

RenderOptions RenderOptions::onPaper(const SheetState& sheet,
                                     const PrinterCalibration& calibration) {
    return {PrintMode::Paper, 1.0, {sheet.sheetX, sheet.sheetY}, calibration};
}

void drawSheet(const SheetState& sheet, draw::DrawTarget& target, const RenderOptions& options) {
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

    for (int n = 1; n <= kLabelCount; ++n) {
        // A label without a product name is not a label yet, whatever else it holds.
        if (sheet.productText[n].isEmpty()) {
            continue;
        }
        drawLabel(sheet, target, n, options);
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
    const double x0 = labelColumn(label) * kLabelPitchX * zoom + zoom * options.origin.x;
    const double y0 = labelRow(label) * kLabelPitchY * zoom + zoom * options.origin.y;
    const double w = kLabelPitchX * zoom;
    const double h = kLabelPitchY * zoom;
    target.drawLine(x0, y0, x0 + w, y0, kCurrentFrameColor);
    target.drawLine(x0, y0, x0, y0 + h, kCurrentFrameColor);
    target.drawLine(x0, y0 + h, x0 + w, y0 + h, kCurrentFrameColor);
    target.drawLine(x0 + w, y0, x0 + w, y0 + h, kCurrentFrameColor);
    target.setLineWidth(1);
}

}  // namespace zukaro
