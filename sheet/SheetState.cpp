#include "SheetState.h"

#include <type_traits>

#include "Items.h"

namespace zukaro {

static_assert(std::tuple_size_v<decltype(SheetContent::labels)> ==
              std::tuple_size_v<std::decay_t<decltype(labelArrays())>>);

bool LabelRecord::isBlank() const {
    return jan.isEmpty() && maker.isEmpty() && product.isEmpty() && spec.isEmpty() &&
           lot.isEmpty() && price.isEmpty() && salePrice.isEmpty() && regularPrice.isEmpty();
}

void SheetState::clearAllLabels() {
    for (LabelTexts SheetState::*texts : labelArrays()) {
        (this->*texts).clear();
    }
}

LabelRecord SheetState::label(int n) const {
    return {janText[n], makerText[n], productText[n], specText[n],     lotText[n],  priceText[n],
            taxRate[n], taxKind[n],   salePrice[n],   regularPrice[n], saleFrom[n], saleTo[n]};
}

void SheetState::setLabel(int n, const LabelRecord& record) {
    janText[n] = record.jan;
    makerText[n] = record.maker;
    productText[n] = record.product;
    specText[n] = record.spec;
    lotText[n] = record.lot;
    priceText[n] = record.price;
    taxRate[n] = record.taxRate;
    taxKind[n] = record.taxKind;
    salePrice[n] = record.salePrice;
    regularPrice[n] = record.regularPrice;
    saleFrom[n] = record.saleFrom;
    saleTo[n] = record.saleTo;
}

SheetContent SheetState::content() const {
    SheetContent content{{}, layout, sheetX, sheetY, BARCODE};
    for (std::size_t i = 0; i < content.labels.size(); ++i) {
        content.labels[i] = this->*labelArrays()[i];
    }
    return content;
}

void SheetState::setContent(const SheetContent& content) {
    for (std::size_t i = 0; i < content.labels.size(); ++i) {
        this->*labelArrays()[i] = content.labels[i];
    }
    layout = content.layout;
    sheetX = content.sheetX;
    sheetY = content.sheetY;
    BARCODE = content.BARCODE;
}

}  // namespace zukaro
