#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "SheetState.h"

// Prices with consumption tax (総額表示): the typed price read as whole yen, the total with
// tax in whole yen, and the amounts as printed. Integer arithmetic throughout, so 398 at 10 %
// is 437 and never 437.99999.
namespace zukaro {

// A price as whole yen, read the one way the editor, the product lists and the print history
// all read it, as clerks type it and registers export it: digits (half- or full-width),
// thousands commas in their places ("1,280", "１，２８０"), blanks around, a yen sign before
// (「￥398」, "¥1,280", "\\398": the yen sign of a Shift_JIS file) and 円 after (「398円」,
// 「1,280 円」), or a dash after a yen sign as receipts write it ("¥1,280-"). Nothing for
// anything else ("398.5", "オープン価格", "-5", ""), and for more than twelve digits.
std::optional<std::int64_t> wholeYen(const QString& typed);

// Whether the price as typed groups its thousands ("12,800", 「１２，８００」): a printed
// amount of that price keeps the clerk's separators.
bool typedWithSeparators(const QString& typed);

// The total with tax at `ratePercent`, rounded to whole yen as `rounding` says.
std::int64_t withTax(std::int64_t net, int ratePercent, TaxRounding rounding);

// 本体価格 worked back from a price that includes tax at `ratePercent` (内税): the tax it
// holds, gross × rate / (100 + rate), is rounded to whole yen as `rounding` says (the same
// rounding that makes a total from 本体価格), and taken off. So 1,100 at 10 % holds 100 and
// leaves 1,000; 1,000 at 8 % holds 74.07, which rounds down (切り捨て, 四捨五入) to 74 and
// leaves 926, or up (切り上げ) to 75 and leaves 925. With 切り捨て a net worked back this way
// gives the same total again: withTax(926, 8, Down) is 1,000.
std::int64_t withoutTax(std::int64_t gross, int ratePercent, TaxRounding rounding);

// Whole yen as printed: "1280", or "1,280" with thousands separators.
QString yenAmount(std::int64_t yen, bool separators);

// The tax rate of label n: its own, else the layout's default.
int taxRateOf(const SheetState& sheet, int n);

// How label n's price stands to tax; an unknown text counts as 外税, as an empty one does.
PriceTax priceTaxOf(const SheetState& sheet, int n);
// The same for a text as stored: 「内税」, 「非課税」, anything else 外税.
PriceTax priceTaxOf(const QString& text);

// The label's text of a PriceTax: empty, 「内税」 or 「非課税」.
QString priceTaxText(PriceTax tax);

// True when the layout turns prices into something other than the typed text.
bool pricesAreComputed(const Layout& layout);

// The labels whose own rate says their price is 本体価格 while the layout prints prices as
// typed (入力どおり): their shelf price goes out without tax. Those that print (a product name)
// with a whole-yen price 外税 and a rate of their own (the rate button, a list's 税率), in order.
std::vector<int> labelsPrintedWithoutTax(const SheetState& sheet);

// 「税抜の売価がそのまま印刷されます」 for `labels`, naming them and how many, and how to mend it.
QString printedWithoutTaxNote(const std::vector<int>& labels);

}  // namespace zukaro
