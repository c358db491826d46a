#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "Ink.h"
#include "Items.h"
#include "SheetState.h"

// A label's texts as they go onto paper, and what is worth telling about them. A price longer
// than its five-character field is drawn whole, smaller, ending where the field ends. With
// 価格を枠内に収める, every text is drawn at the size that keeps it on its label, the price at
// the largest size that also keeps it clear of the other texts (the product name, maker and
// JAN digits above it give way instead). Texts overprint when one's ink lies in the other's ink
// extent, the box around all its ink (draw::crowds), found on the glyph outlines, never on the
// boxes the texts are laid out in: a spec in the gap between 「2,」 and 「894」 touches no ink
// and still reads as part of the price. Everything is in millimetres from the label's corner at
// 100 %, so the preview, the paper and the command line choose alike.
namespace zukaro {

struct PlacedText {
    const ItemDescription* item = nullptr;
    QString text;       // as printed
    double points = 0;  // the size drawn: the layout's, or less when fitted
    bool underline = false;
    double x = 0;  // the text's top-left corner
    double y = 0;
    bool strike = false;  // struck through (the regular price of a sale, as the layout says)
    draw::Ink ink;        // with the strike's bar
};

// The bar that strikes a text through, in the label's millimetres: across its ink, at the
// middle of its height, an eighteenth of its em thick.
draw::InkBox strikeBar(const PlacedText& text);

// What a label on paper looks like beyond the plain case.
struct LabelReport {
    int label = 0;
    QString longPrice;        // a price longer than its field, drawn whole but smaller...
    double pricePoints = 0;   // ...at this size
    QStringList overprinted;  // "売価と規格": texts with ink in each other's ink extent
    QStringList offLabel;     // texts whose ink runs past the label's edge
    QStringList cramped;      // 枠内に収める: texts not clear even at the smallest size
    bool fitting = false;     // the layout fits (価格を枠内に収める)
    QString noUnitPrice;      // 単位価格 is on and this label prints none: why

    // Texts overprint or leave the label: the preview marks the label.
    bool marked() const { return !overprinted.isEmpty() || !offLabel.isEmpty(); }
    bool isEmpty() const {
        return longPrice.isEmpty() && !marked() && cramped.isEmpty() && noUnitPrice.isEmpty();
    }
    // What there is to tell, in Japanese sentences, without the label's name; for texts that
    // overprint or leave the label, how fitting would help.
    QString text() const;
};
using SheetReport = std::vector<LabelReport>;

// "ラベル 3: 売価と規格が重なって印刷されます。…", one line per label of the report; `page`
// (from 1) is named when the run prints several.
QStringList reportLines(const SheetReport& report, int page = 0);

// What to tell about the labels of a product list, by the row they came from: `count` rows,
// `label(i)` the label row i prints, checked with `base`'s layout 21 to a sheet. A row's labels
// all look the same, so each row is checked once, however many copies it prints. Each note goes
// to `tell`, naming the row by its index, in order.
struct RowNote {
    std::size_t row = 0;
    QString text;
};
void notesByRow(std::size_t count, const std::function<LabelRecord(std::size_t)>& label,
                const SheetState& base, const std::function<void(RowNote)>& tell, QDate day = {});

// The smallest sizes fitting goes to: the price stays legible across a shop's aisle; a long
// product name may get smaller rather than run onto the next label.
inline constexpr double kSmallestPricePoints = 8;
inline constexpr double kSmallestTextPoints = 4;
// What fitted texts keep between their ink and another text's ink extent...
inline constexpr double kFitGap = 0.5;
// ...and the label's edge, where a cutter's or the stock's tolerance would take a stroke off.
inline constexpr double kEdgeGap = 1.0;

// Label n's texts in the order they are drawn, hidden ones left out, and what to tell about
// them in `report`, with its prices on `day` (null: today; see priceTexts). `labelLeft`, the
// label's left edge on the page in millimetres, only decides how much of a huge text can reach
// the page at all.
std::vector<PlacedText> layOutLabel(const SheetState& sheet, int n, double labelLeft,
                                    LabelReport& report, QDate day = {});

// The labels of the sheet (those with a product name) that have something to tell on `day`,
// in order.
SheetReport checkSheet(const SheetState& sheet, QDate day = {});

}  // namespace zukaro
