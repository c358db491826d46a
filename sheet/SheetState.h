#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "WinColor.h"

// The editor's whole model: the 21 labels of the sheet, the layout they are printed with, and
// where the user is. No widgets: the window owns one SheetState and mirrors the caption-held
// states onto its buttons.
namespace zukaro {

inline constexpr int kLabelCount = 21;

// The name of a sheet that has no file of its own yet.
inline const QString kUntitled = QStringLiteral("無題");

// Where the sheet sits on the page: millimetres from the paper's top-left edge to label 1's
// corner.
struct SheetOrigin {
    double x = 0;
    double y = 0;
    bool operator==(const SheetOrigin&) const = default;
};
// The first start-up (the window and the command line) puts the sheet here, whatever the
// step boxes of the layout say; later ones put it where the shift buttons last left it (kept
// in the user's settings). デフォルト puts it at the second.
inline constexpr SheetOrigin kStartUpOrigin{2.7, 12.6};
inline constexpr SheetOrigin kDefaultPatternOrigin{12.0, 7.8};

// What the sheet is drawn for: the preview (guide frames, imitation bars, at the zoom of
// 倍率) or paper (real bars, always 100 %).
enum class PrintMode { Preview, Paper };
inline constexpr int kColumns = 3;
inline constexpr double kLabelPitchX = 66.1;  // mm
inline constexpr double kLabelPitchY = 38.1;  // mm

using draw::WinColor;

// One text per label, numbered 1 to 21 like the labels themselves.
class LabelTexts {
public:
    QString& operator[](int label) { return texts_.at(static_cast<std::size_t>(label - 1)); }
    const QString& operator[](int label) const {
        return texts_.at(static_cast<std::size_t>(label - 1));
    }
    void clear() { texts_.fill(QString()); }
    bool operator==(const LabelTexts&) const = default;

private:
    std::array<QString, kLabelCount> texts_{};
};

struct FontSpec {
    QString Name = QStringLiteral("ＭＳ 明朝");
    std::int16_t Size = 9;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const FontSpec&) const = default;
};

// 総額表示: what the price line shows. AsTyped prints the typed price (the default, as
// always); TaxIncluded takes the typed price as 本体価格 and prints the total including tax
// with a small "(本体 398円)" line; NetAndTaxIncluded prints 本体価格 with a line
// "税込 437円".
enum class PriceMode { AsTyped, TaxIncluded, NetAndTaxIncluded };
// How a total with tax is rounded to whole yen.
enum class TaxRounding { Down, HalfUp, Up };
inline constexpr int kStandardTaxRate = 10;  // percent
inline constexpr int kReducedTaxRate = 8;    // food and drink

// How a label's price stands to consumption tax, as a register's export says it: 外税 (the
// typed price is 本体価格; the default), 内税 (the typed price already includes the tax, and
// is never taxed again) or 非課税 (no tax: the price prints as it stands). Kept per label as
// its text: empty, 「内税」 or 「非課税」.
enum class PriceTax { Exclusive, Inclusive, Exempt };
inline const QString kTaxIncludedText = QStringLiteral("内税");
inline const QString kTaxExemptText = QStringLiteral("非課税");

// 単位価格: the price per 100 g / 100 ml or per piece, to whole yen or to 0.1 yen.
enum class UnitPriceRounding { WholeYen, TenthYen };
// The classes consumption tax puts a price in: 標準 (10 % since 2019-10-01), 軽減 (food and
// drink, 8 % since then) and 非課税 (none). A label keeps its class as before: its rate text
// "10" or "8" (empty: the layout's default class) and 「非課税」 as its PriceTax.
enum class TaxClass { Standard, Reduced, Exempt };
// A rate that a class takes from a day on, until a later row of the class. Rates are whole
// percents, as every rate of the law has been.
struct TaxRateChange {
    TaxClass taxClass = TaxClass::Standard;
    int ratePercent = 0;
    QDate from;
    bool operator==(const TaxRateChange&) const = default;
};

// Everything the layout settings block holds: item fonts, colours and offsets, the show/hide,
// underline and outline switches, the outline colour and the texts of the adjustment boxes.
// Member initialisers are the design values of a window that has read no settings yet (the
// first-start font sizes, every item drawn, nothing underlined, no outline).
struct Layout {
    FontSpec janFont{.Size = 8};
    FontSpec makerFont{.Size = 9};
    FontSpec productFont{.Size = 11};
    FontSpec specFont{.Size = 9};
    FontSpec lotFont{.Size = 8};
    FontSpec priceFont{.Size = 48};
    FontSpec yenFont{.Size = 12};

    WinColor janColor = 0;
    WinColor makerColor = 0;
    WinColor productColor = 0;
    WinColor specColor = 0;
    WinColor lotColor = 0;
    WinColor priceColor = 255;
    WinColor yenColor = 255;
    WinColor borderColor = 0;

    std::int16_t janX = 0, janY = 0;
    std::int16_t barX = 0, barY = 0;
    std::int16_t makerX = 0, makerY = 0;
    std::int16_t productX = 0, productY = 0;
    std::int16_t specX = 0, specY = 0;
    std::int16_t lotX = 0, lotY = 0;
    std::int16_t priceX = 0, priceY = 0;
    std::int16_t yenX = 0, yenY = 0;

    // 〜表示: the item is drawn; 〜U表示: it is underlined; 縁取: the outline bars are drawn.
    bool jan表示 = true;
    bool メーカー表示 = true;
    bool 品名表示 = true;
    bool 規格表示 = true;
    bool ロット表示 = true;
    bool 単価表示 = true;
    bool 円表示 = true;
    bool メーカーU表示 = false;
    bool 品名U表示 = false;
    bool 規格U表示 = false;
    bool ロットU表示 = false;
    bool 縁取 = false;

    QString x座標調整 = QStringLiteral("0");
    QString y座標調整 = QStringLiteral("0");

    // Prices with tax and the two lines they add; files keep these after the ten lines of
    // the block, and only when one of them differs from these defaults.
    PriceMode priceMode = PriceMode::AsTyped;
    int defaultTaxRate = kStandardTaxRate;  // for labels without a rate of their own
    TaxRounding taxRounding = TaxRounding::Down;
    bool thousandsSeparators = false;  // "1,280"
    bool fitPrice = false;             // 価格を枠内に収める
    FontSpec netFont{.Size = 7};       // "(本体 398円)"
    FontSpec grossFont{.Size = 9};     // "税込 437円"
    WinColor netColor = 0;
    WinColor grossColor = 255;
    std::int16_t netX = 0, netY = 0;
    std::int16_t grossX = 0, grossY = 0;
    bool 本体行表示 = true;
    bool 税込行表示 = true;

    // 単位価格 (「100mlあたり 26円」) right of the price, off until the clerk turns it on; files
    // keep it in a line of its own after the block, only when it differs from these.
    bool unitPriceShown = false;
    UnitPriceRounding unitPriceRounding = UnitPriceRounding::WholeYen;
    FontSpec unitPriceFont{.Size = 6};
    WinColor unitPriceColor = 0;
    std::int16_t unitPriceX = 0, unitPriceY = 0;
    // Rate changes after the built-in rates (see TaxPrice.h), in the order of their days.
    std::vector<TaxRateChange> taxRateChanges{};

    // A sale (特価) on a label: the 「特価」 mark and the regular price's line, and whether that
    // line is struck through. Kept after the block like the price lines, only when changed.
    FontSpec saleMarkFont{.Size = 10};
    FontSpec regularFont{.Size = 7};  // 「通常価格 298円」
    WinColor saleMarkColor = 255;
    WinColor regularColor = 0;
    std::int16_t saleMarkX = 0, saleMarkY = 0;
    std::int16_t regularX = 0, regularY = 0;
    bool 特価表示 = true;
    bool 通常価格表示 = true;
    bool strikeRegularPrice = true;

    bool operator==(const Layout&) const = default;
};

// The six texts of one label, its tax rate ("8", "10", or empty for the layout's) and how its
// price stands to tax (empty for 外税, 「内税」, 「非課税」).
struct LabelRecord {
    QString jan, maker, product, spec, lot, price;
    QString taxRate{};
    QString taxKind{};
    // A sale (特価): the sale price, the regular price it replaces and its period, dates as
    // "yyyy-MM-dd", both ends inclusive, empty for open. No sale price: no sale.
    QString salePrice{}, regularPrice{}, saleFrom{}, saleTo{};
    bool operator==(const LabelRecord&) const = default;
    // No text and no sale price; a rate or a period alone is no content.
    bool isBlank() const;
};

// Everything a user changes on the sheet, for undo and for telling whether there are unsaved
// changes: the labels, the layout, the sheet offsets and the bars' state.
struct SheetContent {
    // In the order of labelArrays(): six texts, tax rate, tax kind, the sale's four.
    std::array<LabelTexts, 12> labels;
    Layout layout;
    double sheetX = 0;
    double sheetY = 0;
    bool BARCODE = true;
    bool operator==(const SheetContent&) const = default;
    // What a label data file holds: labels and layout.
    bool sameDocument(const SheetContent& other) const {
        return labels == other.labels && layout == other.layout;
    }
};

struct SheetState {
    LabelTexts janText, makerText, productText, specText, lotText, priceText;
    // Each label's tax rate in percent ("8" or "10"); empty: the layout's default rate.
    LabelTexts taxRate;
    // Each label's PriceTax as its text: empty (外税), 「内税」 or 「非課税」.
    LabelTexts taxKind;
    // Each label's sale (see LabelRecord): its price, the regular price, the first and last
    // day ("yyyy-MM-dd"); all empty for a label without one.
    LabelTexts salePrice, regularPrice, saleFrom, saleTo;

    int currentLabel = 1;
    int focusLabel = 1;
    // The text 前候補 fills from the label before: the maker, product name, spec or lot field
    // entered last; none before one of them was entered.
    enum class CandidateText { None, Maker, Product, Spec, Lot };
    CandidateText candidateText = CandidateText::None;
    QString fileName = kUntitled;

    Layout layout;
    double sheetX = kStartUpOrigin.x;  // mm, kept in the user's settings, never in files
    double sheetY = kStartUpOrigin.y;  // mm, kept in the user's settings, never in files

    // The bars are drawn; no file stores it.
    bool BARCODE = true;

    // Empties the label arrays (texts and rates); nothing else.
    void clearAllLabels();

    LabelRecord label(int n) const;
    void setLabel(int n, const LabelRecord& record);

    SheetContent content() const;
    void setContent(const SheetContent& content);
};

// Where label n (1 to 21) sits on the sheet grid: column 0..2 from the left, row 0..6 from
// the top.
constexpr int labelColumn(int n) {
    return (n - 1) % kColumns;
}
constexpr int labelRow(int n) {
    return (n - 1) / kColumns;
}

// The label grid, written once: where label n's top-left corner is (mm from the paper's
// corner) with the sheet at `origin`, before any printer's calibration,
constexpr SheetOrigin labelCorner(int n, SheetOrigin origin) {
    return {labelColumn(n) * kLabelPitchX + origin.x, labelRow(n) * kLabelPitchY + origin.y};
}
// and which label a point (mm from the paper's corner) lies on; 0 outside the grid.
constexpr int labelAt(SheetOrigin point, SheetOrigin origin) {
    const double column = (point.x - origin.x) / kLabelPitchX;
    const double row = (point.y - origin.y) / kLabelPitchY;
    if (column < 0 || row < 0 || column >= kColumns || row >= kLabelCount / kColumns) {
        return 0;
    }
    return static_cast<int>(row) * kColumns + static_cast<int>(column) + 1;
}

}  // namespace zukaro
