#pragma once

#include <QDate>
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

// Dated rates. The rates of the law since 2019-10-01 are built in (標準 10 %, 軽減 8 %); a
// change is a row of the layout (TaxRateChange). A class takes, on a day, the rate of its row
// with the latest first day on or before it; a row of the layout replaces a built-in row of
// the same class and day. Before every row a class has its earliest one. 非課税 is always 0.
const std::vector<TaxRateChange>& builtInTaxRates();
int taxRateOn(TaxClass taxClass, QDate day, const std::vector<TaxRateChange>& changes);

// The class a rate of a label, a list or the history stands for: 8 is 軽減, any other 標準.
TaxClass taxClassOfRate(int ratePercent);
// A class as a label keeps it: 「非課税」 as its kind, else its own rate ("8": 軽減, "10":
// 標準), else the layout's default rate's class.
TaxClass taxClassOf(const SheetState& sheet, int n);
// The rate in force for label n on `day` (null: today).
int taxRateOn(const SheetState& sheet, int n, QDate day);

// The words of the classes: 「標準」, 「軽減」, 「非課税」; nothing for any other word.
QString taxClassText(TaxClass taxClass);
std::optional<TaxClass> taxClassFromText(const QString& text);

// Adds `change` to `changes` in the order of the days, replacing a row of the same class and
// day.
void setTaxRateChange(std::vector<TaxRateChange>& changes, const TaxRateChange& change);
// Adds the rows of `known` whose class and day `changes` has no row for: a label file saved
// before a rate change was entered (data.txt, --tax-rate-from) still prints at the rates of
// the day; its own rows stay as they are.
void addKnownTaxRateChanges(std::vector<TaxRateChange>& changes,
                            const std::vector<TaxRateChange>& known);

// A day as clerks type it and registers write it: 2026/12/08, 2026-12-08, 20261208 (half- or
// full-width digits, blanks around); single-digit months and days with a separator
// (2026/1/5). Null for anything else and for days that do not exist (2026/02/30).
QDate dayFromText(const QString& typed);
// How a day is stored: "yyyy-MM-dd".
QString dayText(QDate day);
// The day a price is worked out for: `day`, or today when it is null.
QDate dayOrToday(QDate day);

// Label n's sale is on, on `day` (null: today): it has a sale price and the day lies in its
// period, both ends included; an end left empty is open, one that is no day (a damaged file)
// keeps the sale off.
bool saleIsOn(const SheetState& sheet, int n, QDate day);

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
