#pragma once

#include <QString>
#include <cstdint>

#include "SheetState.h"
#include "SpecQuantity.h"

// 単位価格: what a pack's price comes to per 100 g, per 100 ml or per piece. Integer
// arithmetic, so that 98 yen for 185 g × 30 is 0.6 yen per 100 g and never 0.59999.
namespace zukaro {

// `yen` for the pack `quantity` per 100 g / 100 ml (per piece for counts), in tenths of a yen,
// rounded half up (四捨五入) to whole yen or to 0.1 yen as `rounding` says: 128 yen for 500 ml
// is 25.6, so 260 (26 yen) or 256 (25.6 yen).
std::int64_t unitPriceTenths(std::int64_t yen, const Quantity& quantity,
                             UnitPriceRounding rounding);

// 「100mlあたり 26円」「100gあたり 12.5円」「1本あたり 98円」: whole yen without a decimal,
// to 0.1 yen always with one (「100gあたり 26.0円」), so that a shelf's labels line up; thousands
// separated as the layout's prices are.
QString unitPriceText(std::int64_t yen, const Quantity& quantity, UnitPriceRounding rounding,
                      bool separators);

}  // namespace zukaro
