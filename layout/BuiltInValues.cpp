#include "BuiltInValues.h"

#include "Items.h"

namespace zukaro {

namespace {

// Both sets: every font "ＭＳ 明朝" at the item's size, the item's built-in colour, every
// offset 0, no outline, both boxes "0".
void applyCommon(Layout& layout, std::int16_t ItemDescription::*size) {
    for (const ItemDescription& item : items()) {
        layout.*item.font = FontSpec{.Size = item.*size};
        layout.*item.color = item.builtInColor;
        layout.*item.x = 0;
        layout.*item.y = 0;
    }
    layout.*bars().x = 0;
    layout.*bars().y = 0;
    layout.縁取 = false;
    layout.x座標調整 = QStringLiteral("0");
    layout.y座標調整 = QStringLiteral("0");
}

}  // namespace

void applyFirstStartValues(Layout& layout) {
    applyCommon(layout, &ItemDescription::firstStartSize);
}

void applyNewUserValues(Layout& layout) {
    applyFirstStartValues(layout);
    layout.fitPrice = true;
}

void applyDefaultPattern(SheetState& sheet) {
    applyCommon(sheet.layout, &ItemDescription::patternSize);
    sheet.sheetX = kDefaultPatternOrigin.x;
    sheet.sheetY = kDefaultPatternOrigin.y;
}

}  // namespace zukaro
