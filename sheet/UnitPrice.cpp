#include "UnitPrice.h"

#include "TaxPrice.h"

namespace zukaro {

std::int64_t unitPriceTenths(std::int64_t yen, const Quantity& quantity,
                             UnitPriceRounding rounding) {
    // Per 100 of a weight or volume, per 1 of pieces; the quantity is in thousandths.
    const std::int64_t per = quantity.unit == QuantityUnit::Piece ? 1000 : 100'000;
    const std::int64_t step = rounding == UnitPriceRounding::TenthYen ? 1 : 10;
    // yen × per / thousandths yen, counted in steps, halves up: 12 digits of yen times 10^6
    // stays inside 64 bits.
    const std::int64_t numerator = yen * per * (10 / step);
    const std::int64_t steps = (2 * numerator + quantity.thousandths) / (2 * quantity.thousandths);
    return steps * step;
}

QString unitPriceText(std::int64_t yen, const Quantity& quantity, UnitPriceRounding rounding,
                      bool separators) {
    QString per;
    switch (quantity.unit) {
        case QuantityUnit::Gram:
            per = QStringLiteral("100g");
            break;
        case QuantityUnit::Millilitre:
            per = QStringLiteral("100ml");
            break;
        case QuantityUnit::Piece:
            per = u'1' + quantity.pieceWord;
            break;
    }
    const std::int64_t tenths = unitPriceTenths(yen, quantity, rounding);
    QString amount = yenAmount(tenths / 10, separators);
    if (rounding == UnitPriceRounding::TenthYen) {
        amount += u'.' + QString::number(tenths % 10);
    }
    return QStringLiteral("%1あたり %2円").arg(per, amount);
}

}  // namespace zukaro
