#pragma once

#include <QString>

#include "SheetState.h"

// The texts exactly as they go onto a label: padding, centring and alignment are done with
// spaces, which line up because the label faces are fixed-pitch.
namespace zukaro {

// The code the bars are drawn for: the JAN text when it is 13 or 8 characters long, else empty.
QString barcodeCode(const QString& janText);

// An 8-character JAN text gets four leading spaces so that it sits under its shorter symbol;
// any other text is printed as it stands.
QString janDigitsLine(const QString& janText);

// Number of spaces that centre a product name of `utf16Bytes` bytes (2 per character) in
// the label: round((26 - bytes) / 3) for 1 to 11 characters, none otherwise.
int productNameSpaces(qsizetype utf16Bytes);
QString centredProductName(const QString& productText);

// The price right-aligned in five characters: trimmed, padded on the left, and cut to its
// last five characters (123456 prints as 23456).
QString priceField(const QString& priceText);

// As much of a text as can reach the page: a label file may hold a product name of millions
// of characters, and drawing all of them would take minutes for nothing. Counted from a start
// `fromMm` millimetres from the page's left edge at `fontPoints`, with room for glyphs a fifth
// of the font size wide on paper up to half a metre across, wider than any label stock.
QString drawablePart(const QString& text, double fromMm, double fontPoints);

// What the price item and the two lines of prices with tax print on label n. With the
// layout's defaults the price is priceField() of the typed text, as always. When the layout
// computes prices (a mode with tax, or thousands separators) and the typed price is whole
// yen, the big price is the amount right-aligned in five characters and never cut; a price
// that is not whole yen is printed as typed. A 内税 price is the total and is never taxed
// again (本体価格 is worked back from it, see withoutTax); a 非課税 price prints as it stands,
// without either line. A price longer than the field is drawn whole (see LabelLayout.h), from
// `whole`.
//
// On `day` (null: today) a label in its sale (saleIsOn) prints the sale price as the big price,
// 「特価」, and its regular price (the label's 通常価格, else its 売価) on a line of its own,
// 「通常価格 298円」, worked out like the big price in the layout's mode; outside the sale it
// prints the regular price. Tax is at the rate of the label's class in force on `day`.
struct PriceTexts {
    QString price;
    QString netLine;        // "(本体 398円)" under a total with tax
    QString grossLine;      // "税込 437円" beside 本体価格
    QString whole;          // the big price without blanks around it and never cut
    QString saleMark{};     // 「特価」 in a sale
    QString regularLine{};  // 「通常価格 298円」 in a sale
};

// Characters of the price field: a price up to this long prints right-aligned in it.
inline constexpr qsizetype kPriceFieldCharacters = 5;
PriceTexts priceTexts(const SheetState& sheet, int n, QDate day = {});

// Label numbers of the empty sheet, right-aligned in two characters (" 1" .. "21").
QString labelNumber(int n);

}  // namespace zukaro
