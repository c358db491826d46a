#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "SheetState.h"

// Prices with consumption tax (総額表示): the typed price read as whole yen, the total with
// tax in whole yen, and the amounts as printed. Integer arithmetic throughout, so 398 at 10 %
// is 437 and never 437.99999.
namespace zukaro {

// A typed price as whole yen: digits (half- or full-width), blanks around them and thousands
// commas in their places allowed ("1,280", "１２８０"). Nothing for anything else ("398.5",
// "オープン", "-5", ""), and for more than twelve digits.
std::optional<std::int64_t> wholeYen(const QString& typed);

// The total with tax at `ratePercent`, rounded to whole yen as `rounding` says.
std::int64_t withTax(std::int64_t net, int ratePercent, TaxRounding rounding);

// Whole yen as printed: "1280", or "1,280" with thousands separators.
QString yenAmount(std::int64_t yen, bool separators);

// The tax rate of label n: its own, else the layout's default.
int taxRateOf(const SheetState& sheet, int n);

// True when the layout turns prices into something other than the typed text.
bool pricesAreComputed(const Layout& layout);

}  // namespace zukaro
