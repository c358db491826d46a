#include "SheetState.h"

#include <tuple>

namespace zukaro {

bool LabelRecord::isBlank() const {
    return jan.isEmpty() && maker.isEmpty() && product.isEmpty() && spec.isEmpty() &&
           lot.isEmpty() && price.isEmpty();
}

void SheetState::clearAllLabels() {
    for (LabelTexts* texts :
         {&janText, &makerText, &productText, &specText, &lotText, &priceText, &taxRate, &janWork,
          &makerWork, &productWork, &specWork, &lotWork, &priceWork, &taxRateWork}) {
        texts->clear();
    }
}

LabelRecord SheetState::label(int n) const {
    return {janText[n], makerText[n], productText[n], specText[n],
            lotText[n], priceText[n], taxRate[n]};
}

void SheetState::setLabel(int n, const LabelRecord& record) {
    janText[n] = record.jan;
    makerText[n] = record.maker;
    productText[n] = record.product;
    specText[n] = record.spec;
    lotText[n] = record.lot;
    priceText[n] = record.price;
    taxRate[n] = record.taxRate;
}

SheetContent SheetState::content() const {
    return {{janText, makerText, productText, specText, lotText, priceText, taxRate},
            layout,
            sheetX,
            sheetY,
            BARCODE};
}

void SheetState::setContent(const SheetContent& content) {
    std::tie(janText, makerText, productText, specText, lotText, priceText, taxRate) =
        std::tie(content.labels[0], content.labels[1], content.labels[2], content.labels[3],
                 content.labels[4], content.labels[5], content.labels[6]);
    layout = content.layout;
    sheetX = content.sheetX;
    sheetY = content.sheetY;
    BARCODE = content.BARCODE;
}

}  // namespace zukaro
