#include "BuiltInValues.h"

namespace zukaro {

namespace {

struct FontSizes {
    std::int16_t jan, maker, product, spec, lot, price, yen;
};

void applyCommon(Layout& layout, const FontSizes& sizes) {
    const auto font = [](std::int16_t size) { return FontSpec{.Size = size}; };
    layout.janFont = font(sizes.jan);
    layout.makerFont = font(sizes.maker);
    layout.productFont = font(sizes.product);
    layout.specFont = font(sizes.spec);
    layout.lotFont = font(sizes.lot);
    layout.priceFont = font(sizes.price);
    layout.yenFont = font(sizes.yen);

    layout.janColor = layout.makerColor = layout.productColor = layout.specColor = layout.lotColor =
        0;
    layout.priceColor = layout.yenColor = 255;

    for (std::int16_t* offset :
         {&layout.janX, &layout.janY, &layout.barX, &layout.barY, &layout.makerX, &layout.makerY,
          &layout.productX, &layout.productY, &layout.specX, &layout.specY, &layout.lotX,
          &layout.lotY, &layout.priceX, &layout.priceY, &layout.yenX, &layout.yenY}) {
        *offset = 0;
    }

    layout.縁取 = caption::outlineOff;
    layout.x座標調整 = QStringLiteral("0");
    layout.y座標調整 = QStringLiteral("0");
}

}  // namespace

void applyFirstStartValues(Layout& layout) {
    applyCommon(layout,
                {.jan = 8, .maker = 9, .product = 11, .spec = 9, .lot = 8, .price = 48, .yen = 12});
}

void applyDefaultPattern(SheetState& sheet) {
    applyCommon(
        sheet.layout,
        {.jan = 12, .maker = 10, .product = 18, .spec = 10, .lot = 10, .price = 48, .yen = 24});
    sheet.sheetX = 12.0;
    sheet.sheetY = 7.8;
}

}  // namespace zukaro
