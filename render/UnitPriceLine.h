#pragma once

#include <QString>

#include "ItemTexts.h"
#include "SheetState.h"

// What the 単位価格 item prints on a label: the price per 100 g / 100 ml or per piece of the
// big price as priceTexts() gives it (the total in 税込表示 and 本体+税込, the typed price in
// 入力どおり), so that whatever decides the price on paper decides this too.
namespace zukaro {

struct UnitPriceLine {
    QString text;     // 「100mlあたり 26円」; empty when there is none
    QString missing;  // why there is none, for the label's note; empty when there is one
};

UnitPriceLine unitPriceLine(const SheetState& sheet, int n, const PriceTexts& prices);

}  // namespace zukaro
