#include "UnitPriceLine.h"

#include "ShownText.h"
#include "SpecQuantity.h"
#include "TaxPrice.h"
#include "UnitPrice.h"

namespace zukaro {

UnitPriceLine unitPriceLine(const SheetState& sheet, int n, const PriceTexts& prices) {
    const Layout& l = sheet.layout;
    const QString& spec = sheet.specText[n];
    const std::optional<Quantity> quantity = quantityOf(spec);
    if (!quantity) {
        return {{},
                spec.trimmed().isEmpty()
                    ? QStringLiteral("規格が空のため、単位価格を印刷しません。")
                    : QStringLiteral("規格「%1」から内容量や入数が読み取れないため、単位価格を"
                                     "印刷しません。「500ml」「185g×30本」「6個入」のように"
                                     "書くと印刷します。")
                          .arg(shownText(spec))};
    }
    // A customer compares what they pay: the total where the label shows one (本体+税込 prints
    // it on its own line), the price as it stands otherwise.
    const QString shelfPrice =
        prices.grossLine.isEmpty() ? prices.whole : prices.grossLine.section(u' ', 1);
    const std::optional<std::int64_t> yen = wholeYen(shelfPrice);
    if (!yen) {
        return {{},
                QStringLiteral("売価「%1」が円の金額でないため、単位価格を印刷しません。")
                    .arg(shownText(sheet.priceText[n]))};
    }
    return {unitPriceText(*yen, *quantity, l.unitPriceRounding, l.thousandsSeparators), {}};
}

}  // namespace zukaro
