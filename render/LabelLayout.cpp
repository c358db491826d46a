#include "LabelLayout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "FontInk.h"
#include "ItemTexts.h"
#include "PrinterCalibration.h"
#include "ShownText.h"
#include "UnitPriceLine.h"
#include "Units.h"

namespace zukaro {
namespace {

using draw::Ink;
using draw::InkBox;

const InkBox kLabelBox{0, 0, kLabelPitchX, kLabelPitchY};
constexpr double kPriceStep = 0.5;  // points, as the font sizes of a layout go

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

// The text an item prints for label n; `prices` are the label's price texts, `unitPrice` its
// 単位価格.
QString itemText(const SheetState& sheet, const ItemDescription& item, int n,
                 const PriceTexts& prices, const UnitPriceLine& unitPrice) {
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
        case TextShape::SaleMark:
            return prices.saleMark;
        case TextShape::RegularLine:
            return prices.regularLine;
        case TextShape::YenMark:
            return QStringLiteral("円");
        case TextShape::UnitPrice:
            return unitPrice.text;
        case TextShape::Plain:
            break;
    }
    return (sheet.*item.texts)[n];
}

QString nameOf(const PlacedText& t) {
    return QString::fromUtf16(t.item->name);
}

// Sizes of fitted texts go in quarter points: tidy numbers, and never a hair over the room.
double quarterPointsBelow(double points) {
    return std::floor(points * 4) / 4;
}

class LabelFit {
public:
    LabelFit(const SheetState& sheet, LabelReport& report)
        : layout_(sheet.layout), report_(report) {}

    const FontSpec& fontOf(const PlacedText& t) const { return layout_.*t.item->font; }

    draw::TextStyle styleOf(const PlacedText& t, double points) const {
        const FontSpec& font = fontOf(t);
        return {font.Name, points, font.Bold, font.Italic, t.underline};
    }

    // The text's ink at `points` with its top-left corner where it is.
    Ink inkAt(const PlacedText& t, double points) const {
        Ink ink = draw::textInk(styleOf(t, points), t.text);
        ink.moveBy(t.x, t.y);
        if (t.strike && !ink.isEmpty()) {
            PlacedText struck = t;
            struck.points = points;
            struck.ink = ink;
            ink.addBox(strikeBar(struck));
        }
        return ink;
    }

    void resize(PlacedText& t, double points) const {
        t.points = points;
        t.ink = inkAt(t, points);
    }

    // The price at `points`, ending at `right`.
    void placePrice(PlacedText& price, double points, double right) const {
        price.points = points;
        // To a nanometre, so that a price filling its field starts exactly where it does.
        price.x =
            std::round((right - draw::textAdvance(styleOf(price, points), price.text)) * 1e6) / 1e6;
        price.ink = inkAt(price, points);
    }

    // 枠内に収める: a text whose ink runs past the label's edge is drawn at the size that keeps
    // it inside, its top-left corner where it is. Ink grows from that corner in proportion to
    // the size, so the size follows from the ink at 1 point.
    void keepOnLabel(PlacedText& t) const {
        if (kLabelBox.contains(t.ink.bounds())) {
            return;
        }
        const InkBox unit = inkAt(t, 1).bounds();
        const InkBox room = kLabelBox.grownBy(-kEdgeGap);
        double points = t.points;
        const auto limit = [&points](double reach, double perPoint) {
            if (perPoint != 0 && reach / perPoint < points) {
                points = reach / perPoint;
            }
        };
        if (unit.right > t.x) {
            limit(room.right - t.x, unit.right - t.x);
        }
        if (unit.bottom > t.y) {
            limit(room.bottom - t.y, unit.bottom - t.y);
        }
        if (unit.left < t.x) {
            limit(room.left - t.x, unit.left - t.x);
        }
        if (unit.top < t.y) {
            limit(room.top - t.y, unit.top - t.y);
        }
        points = quarterPointsBelow(points);
        const double smallest = std::min(t.points, kSmallestTextPoints);
        if (points < smallest) {
            points = smallest;
            report_.cramped << nameOf(t);
        }
        resize(t, points);
    }

    // 枠内に収める: the largest size up to `largest`, in half points down to the smallest
    // legible one, at which the price stays on the label and clear of `obstacles`.
    void fitPrice(PlacedText& price, double largest, double right,
                  const std::vector<const PlacedText*>& obstacles) const {
        const double smallest = std::min(largest, kSmallestPricePoints);
        const InkBox room = kLabelBox.grownBy(-kEdgeGap);
        for (double points = largest;; points = std::max(smallest, points - kPriceStep)) {
            placePrice(price, points, right);
            const bool clear =
                room.contains(price.ink.bounds()) &&
                std::none_of(obstacles.begin(), obstacles.end(), [&price](const PlacedText* o) {
                    return draw::crowds(price.ink, o->ink, kFitGap);
                });
            if (clear) {
                return;
            }
            if (points <= smallest) {
                report_.cramped << nameOf(price);
                return;
            }
        }
    }

    // 枠内に収める: the product name, maker or JAN digits above the price get smaller until
    // they clear it (their top-left corner stays).
    void giveWay(PlacedText& t, const PlacedText& price) const {
        while (draw::crowds(t.ink, price.ink, kFitGap)) {
            if (t.points <= kSmallestTextPoints) {
                report_.cramped << nameOf(t);
                return;
            }
            resize(t, std::max(kSmallestTextPoints, t.points - kPriceStep));
        }
    }

private:
    const Layout& layout_;
    LabelReport& report_;
};

bool givesWayToPrice(const ItemDescription& item) {
    return item.item == Item::Product || item.item == Item::Maker || item.item == Item::Jan;
}

QString pointsText(double points) {
    return QString::number(std::round(points * 100) / 100);
}

}  // namespace

draw::InkBox strikeBar(const PlacedText& text) {
    const InkBox glyphs = text.ink.bounds();
    const double middle = (glyphs.top + glyphs.bottom) / 2;
    const double half = text.points * draw::kMmPerPoint / 36;
    return {glyphs.left, middle - half, glyphs.right, middle + half};
}

QString LabelReport::text() const {
    QString out;
    if (!longPrice.isEmpty()) {
        out +=
            QStringLiteral("売価「%1」は %2 文字の枠に入らないため、%3 pt に小さくして印刷します。")
                .arg(shownText(longPrice))
                .arg(kPriceFieldCharacters)
                .arg(pointsText(pricePoints));
    }
    if (!overprinted.isEmpty()) {
        out += QStringLiteral("%1が重なって印刷されます。").arg(overprinted.join(u'、'));
    }
    if (!offLabel.isEmpty()) {
        out += QStringLiteral("%1がラベルからはみ出して印刷されます。").arg(offLabel.join(u'、'));
    }
    if (!cramped.isEmpty()) {
        out += QStringLiteral("%1は小さくしても枠内に収まりません。").arg(cramped.join(u'、'));
    }
    if (marked() && !fitting) {
        out += QStringLiteral("「価格を枠内に収める」をオンにすると、収まる大きさで印刷します。");
    }
    out += noUnitPrice;
    return out;
}

QStringList reportLines(const SheetReport& report, int page) {
    QStringList lines;
    for (const LabelReport& label : report) {
        lines << (page > 0 ? QStringLiteral("%1 ページ目の").arg(page) : QString()) +
                     QStringLiteral("ラベル %1: ").arg(label.label) + label.text();
    }
    return lines;
}

void notesByRow(std::size_t count, const std::function<LabelRecord(std::size_t)>& label,
                const SheetState& base, const std::function<void(RowNote)>& tell, QDate day) {
    SheetState sheet = base;
    for (std::size_t first = 0; first < count; first += kLabelCount) {
        sheet.clearAllLabels();
        const std::size_t end = std::min(count, first + kLabelCount);
        for (std::size_t i = first; i < end; ++i) {
            sheet.setLabel(static_cast<int>(i - first) + 1, label(i));
        }
        for (const LabelReport& report : checkSheet(sheet, day)) {
            tell({first + static_cast<std::size_t>(report.label) - 1, report.text()});
        }
    }
}

std::vector<PlacedText> layOutLabel(const SheetState& sheet, int n, double labelLeft,
                                    LabelReport& report, QDate day) {
    const Layout& l = sheet.layout;
    report.label = n;
    report.fitting = l.fitPrice;
    const LabelFit fit(sheet, report);
    const PriceTexts prices = priceTexts(sheet, n, day);
    const UnitPriceLine unitPrice =
        l.unitPriceShown ? unitPriceLine(sheet, n, prices) : UnitPriceLine{};
    report.noUnitPrice = unitPrice.missing;
    std::vector<PlacedText> placed;
    PlacedText* price = nullptr;
    for (const ItemDescription* item : itemsInDrawOrder()) {
        const QString text = itemText(sheet, *item, n, prices, unitPrice);
        // The lines of prices with tax, of a sale and of the unit price print only when their
        // label has them.
        const bool onlyWhenThere = item->texts == nullptr && item->shape != TextShape::YenMark;
        if (!(l.*item->shown) || (onlyWhenThere && text.isEmpty())) {
            continue;
        }
        PlacedText& t = placed.emplace_back();
        t.item = item;
        t.points = (l.*item->font).Size;
        t.underline = item->underline != nullptr && l.*item->underline;
        t.strike = item->shape == TextShape::RegularLine && l.strikeRegularPrice;
        t.x = item->anchorX + l.*item->x;
        t.y = item->anchorY + l.*item->y;
        t.text = drawablePart(text, labelLeft + t.x, t.points);
        t.ink = fit.inkAt(t, t.points);
    }
    for (PlacedText& t : placed) {
        if (t.item->shape == TextShape::PriceField) {
            price = &t;
        }
    }

    if (price != nullptr && !prices.whole.isEmpty()) {
        // The field ends where five characters end at the layout's size; a longer price fills
        // it whole at the size that fits, a shorter one is drawn in it as it always was.
        const double layoutPoints = price->points;
        const double fieldLeft = price->x;
        PlacedText field = *price;
        field.text = QString(kPriceFieldCharacters, u'0');
        const double right =
            fieldLeft + draw::textAdvance(fit.styleOf(field, layoutPoints), field.text);
        const bool isLong = prices.whole.size() > kPriceFieldCharacters;
        double largest = layoutPoints;
        if (isLong || l.fitPrice) {
            price->text = drawablePart(prices.whole, labelLeft + fieldLeft, layoutPoints);
        }
        if (isLong) {
            const double wide = draw::textAdvance(fit.styleOf(*price, layoutPoints), price->text);
            // A typing slip of hundreds of digits still gets a size that can be drawn.
            largest = std::max(0.25, quarterPointsBelow(layoutPoints * (right - fieldLeft) / wide));
            fit.placePrice(*price, largest, right);
        }
        if (l.fitPrice) {
            for (PlacedText& t : placed) {
                if (&t != price) {
                    fit.keepOnLabel(t);
                }
            }
            std::vector<const PlacedText*> obstacles;
            for (const PlacedText& t : placed) {
                if (&t != price && !givesWayToPrice(*t.item)) {
                    obstacles.push_back(&t);
                }
            }
            fit.fitPrice(*price, largest, right, obstacles);
            for (PlacedText& t : placed) {
                if (givesWayToPrice(*t.item)) {
                    fit.giveWay(t, *price);
                }
            }
        }
        if (isLong) {
            report.longPrice = prices.whole;
            report.pricePoints = price->points;
        }
    } else if (l.fitPrice) {
        for (PlacedText& t : placed) {
            fit.keepOnLabel(t);
        }
    }

    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
            if (draw::crowds(placed[i].ink, placed[j].ink)) {
                report.overprinted << nameOf(placed[i]) + u'と' + nameOf(placed[j]);
            }
        }
        if (!kLabelBox.contains(placed[i].ink.bounds())) {
            report.offLabel << nameOf(placed[i]);
        }
    }
    return placed;
}

SheetReport checkSheet(const SheetState& sheet, QDate day) {
    SheetReport all;
    for (int n = 1; n <= kLabelCount; ++n) {
        if (sheet.productText[n].isEmpty()) {
            continue;
        }
        LabelReport report;
        layOutLabel(sheet, n, labelCorner(n, {sheet.sheetX, sheet.sheetY}).x, report, day);
        if (!report.isEmpty()) {
            all.push_back(std::move(report));
        }
    }
    return all;
}

}  // namespace zukaro
