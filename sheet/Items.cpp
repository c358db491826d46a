#include "Items.h"

#include <algorithm>

namespace zukaro {

const std::array<ItemDescription, kItemCount>& items() {
    using S = SheetState;
    using L = Layout;
    // One row per item, a line each for: what it is; its label text, file column and entry
    // field; its layout fields; its settings line, first-start and デフォルト sizes and built-in
    // colour; where and in what order it is drawn; the window's controls. A field left out is
    // one the item does not have (円 holds no text, the JAN code no underline).
    static const std::array<ItemDescription, kItemCount> table{{
        {.item = Item::Jan,
         .name = u"JAN",
         .texts = &S::janText,
         .work = &S::janWork,
         .fileColumn = 1,
         .entryField = u"Text1",
         .font = &L::janFont,
         .color = &L::janColor,
         .shown = &L::jan表示,
         .x = &L::janX,
         .y = &L::janY,
         .settingsLine = 3,
         .section = u"jan",
         .firstStartSize = 8,
         .patternSize = 12,
         .builtInColor = 0,
         .anchorX = 32,
         .anchorY = 11,
         .shape = TextShape::JanDigits,
         .drawRank = 1,
         .title = u"JANコード",
         .fontButton = u"janフォント切替",
         .colorButton = u"JAN_COLOR",
         .shownButton = u"jan表示",
         .nudgePrefix = u"jan_"},
        {.item = Item::Maker,
         .name = u"メーカー",
         .texts = &S::makerText,
         .work = &S::makerWork,
         .fileColumn = 2,
         .entryField = u"Text2",
         .font = &L::makerFont,
         .color = &L::makerColor,
         .shown = &L::メーカー表示,
         .underline = &L::メーカーU表示,
         .x = &L::makerX,
         .y = &L::makerY,
         .settingsLine = 5,
         .section = u"メーカー",
         .firstStartSize = 9,
         .patternSize = 10,
         .builtInColor = 0,
         .anchorX = 5,
         .anchorY = 13.5,
         .shape = TextShape::Plain,
         .drawRank = 5,
         .title = u"メーカー",
         .fontButton = u"メーカーフォント切替",
         .colorButton = u"メーカー_color",
         .shownButton = u"メーカー表示",
         .underlineButton = u"メーカーU表示",
         .nudgePrefix = u"maker_"},
        {.item = Item::Product,
         .name = u"品名",
         .texts = &S::productText,
         .work = &S::productWork,
         .fileColumn = 3,
         .entryField = u"Text3",
         .font = &L::productFont,
         .color = &L::productColor,
         .shown = &L::品名表示,
         .underline = &L::品名U表示,
         .x = &L::productX,
         .y = &L::productY,
         .settingsLine = 6,
         .section = u"品名",
         .firstStartSize = 11,
         .patternSize = 18,
         .builtInColor = 0,
         .anchorX = 4,
         .anchorY = 17,
         .shape = TextShape::CentredName,
         .drawRank = 2,
         .title = u"品名",
         .fontButton = u"品名フォント切替",
         .colorButton = u"品名_color",
         .shownButton = u"品名表示",
         .underlineButton = u"品名U表示",
         .nudgePrefix = u"品名_"},
        {.item = Item::Spec,
         .name = u"規格",
         .texts = &S::specText,
         .work = &S::specWork,
         .fileColumn = 4,
         .entryField = u"Text4",
         .font = &L::specFont,
         .color = &L::specColor,
         .shown = &L::規格表示,
         .underline = &L::規格U表示,
         .x = &L::specX,
         .y = &L::specY,
         .settingsLine = 7,
         .section = u"規格",
         .firstStartSize = 9,
         .patternSize = 10,
         .builtInColor = 0,
         .anchorX = 8,
         .anchorY = 26,
         .shape = TextShape::Plain,
         .drawRank = 6,
         .title = u"規格",
         .fontButton = u"規格フォント切替",
         .colorButton = u"規格_color",
         .shownButton = u"規格表示",
         .underlineButton = u"規格U表示",
         .nudgePrefix = u"規格_"},
        {.item = Item::Lot,
         .name = u"ロット",
         .texts = &S::lotText,
         .work = &S::lotWork,
         .fileColumn = 5,
         .entryField = u"Text6",
         .font = &L::lotFont,
         .color = &L::lotColor,
         .shown = &L::ロット表示,
         .underline = &L::ロットU表示,
         .x = &L::lotX,
         .y = &L::lotY,
         .settingsLine = 8,
         .section = u"ロット",
         .firstStartSize = 8,
         .patternSize = 10,
         .builtInColor = 0,
         .anchorX = 8,
         .anchorY = 30,
         .shape = TextShape::Plain,
         .drawRank = 7,
         .title = u"ロット",
         .fontButton = u"ロットフォント切替",
         .colorButton = u"色_color",
         .shownButton = u"ロット表示",
         .underlineButton = u"ロットU表示",
         .nudgePrefix = u"rot_"},
        {.item = Item::Price,
         .name = u"売価",
         .texts = &S::priceText,
         .work = &S::priceWork,
         .fileColumn = 6,
         .entryField = u"Text5",
         .font = &L::priceFont,
         .color = &L::priceColor,
         .shown = &L::単価表示,
         .x = &L::priceX,
         .y = &L::priceY,
         .settingsLine = 9,
         .section = u"売価",
         .firstStartSize = 48,
         .patternSize = 48,
         .builtInColor = 255,
         .anchorX = 0,
         .anchorY = 20,
         .shape = TextShape::PriceField,
         .drawRank = 3,
         .title = u"売価",
         .fontButton = u"単価フォント切替",
         .colorButton = u"売価_COLOR",
         .shownButton = u"単価表示",
         .nudgePrefix = u""},
        {.item = Item::Yen,
         .name = u"円",
         .fileColumn = 0,
         .font = &L::yenFont,
         .color = &L::yenColor,
         .shown = &L::円表示,
         .x = &L::yenX,
         .y = &L::yenY,
         .settingsLine = 10,
         .section = u"円",
         .firstStartSize = 12,
         .patternSize = 24,
         .builtInColor = 255,
         .anchorX = 48,
         .anchorY = 30,
         .shape = TextShape::YenMark,
         .drawRank = 4,
         .title = u"円",
         .fontButton = u"円フォント切替",
         .colorButton = u"円_color",
         .shownButton = u"円表示",
         .nudgePrefix = u"enn_"},
        // Right of the price, above 円: room for "税込 109,998円" inside the label.
        {.item = Item::NetLine,
         .name = u"本体の行",
         .fileColumn = 0,
         .font = &L::netFont,
         .color = &L::netColor,
         .shown = &L::本体行表示,
         .x = &L::netX,
         .y = &L::netY,
         .settingsLine = 0,
         .section = u"本体",
         .firstStartSize = 7,
         .patternSize = 7,
         .builtInColor = 0,
         .anchorX = 44,
         .anchorY = 22,
         .shape = TextShape::NetLine,
         .drawRank = 8,
         .title = u"本体の行",
         .fontButton = u"本体フォント切替",
         .colorButton = u"本体_color",
         .shownButton = u"本体行表示",
         .nudgePrefix = u"本体_"},
        {.item = Item::GrossLine,
         .name = u"税込の行",
         .fileColumn = 0,
         .font = &L::grossFont,
         .color = &L::grossColor,
         .shown = &L::税込行表示,
         .x = &L::grossX,
         .y = &L::grossY,
         .settingsLine = 0,
         .section = u"税込",
         .firstStartSize = 9,
         .patternSize = 9,
         .builtInColor = 255,
         .anchorX = 44,
         .anchorY = 22,
         .shape = TextShape::GrossLine,
         .drawRank = 9,
         .title = u"税込の行",
         .fontButton = u"税込フォント切替",
         .colorButton = u"税込_color",
         .shownButton = u"税込行表示",
         .nudgePrefix = u"税込_"},
        // Right of the price, under the 本体 or 税込 line and over 円: at 6 pt 「1パックあたり
        // 98円」 and 「100gあたり 1,280.5円」 end inside the label.
        {.item = Item::UnitPrice,
         .name = u"単位価格",
         .fileColumn = 0,
         .font = &L::unitPriceFont,
         .color = &L::unitPriceColor,
         .shown = nullptr,
         .drawn = &L::unitPriceShown,
         .x = &L::unitPriceX,
         .y = &L::unitPriceY,
         .settingsLine = 0,
         .section = u"単位価格",
         .firstStartSize = 6,
         .patternSize = 6,
         .builtInColor = 0,
         .anchorX = 44,
         .anchorY = 26,
         .shape = TextShape::UnitPrice,
         .drawRank = 10,
         .title = u"単位価格",
         .fontButton = u"単位価格フォント切替",
         .colorButton = u"単位価格_color",
         .shownButton = u"単位価格表示",
         .nudgePrefix = u"単位価格_"},
    }};
    return table;
}

const ItemDescription& describe(Item item) {
    const auto& all = items();
    return *std::find_if(all.begin(), all.end(),
                         [item](const ItemDescription& d) { return d.item == item; });
}

bool itemShown(const Layout& layout, const ItemDescription& item) {
    return item.drawn != nullptr ? layout.*item.drawn : layout.*item.shown == caption::shown;
}

void setItemShown(Layout& layout, const ItemDescription& item, bool shown) {
    if (item.drawn != nullptr) {
        layout.*item.drawn = shown;
    } else {
        layout.*item.shown = shown ? caption::shown : caption::hidden;
    }
}

const std::array<const ItemDescription*, kTextItemCount>& textItems() {
    static const auto inFileOrder = [] {
        std::array<const ItemDescription*, kTextItemCount> order{};
        for (const ItemDescription& d : items()) {
            if (d.texts != nullptr) {
                order.at(static_cast<std::size_t>(d.fileColumn - 1)) = &d;
            }
        }
        return order;
    }();
    return inFileOrder;
}

const std::array<LabelArrays, kTextItemCount + 2>& labelArrays() {
    static const auto arrays = [] {
        std::array<LabelArrays, kTextItemCount + 2> all{};
        for (std::size_t i = 0; i < kTextItemCount; ++i) {
            all[i] = {textItems()[i]->texts, textItems()[i]->work};
        }
        all[kTextItemCount] = {&SheetState::taxRate, &SheetState::taxRateWork};
        all[kTextItemCount + 1] = {&SheetState::taxKind, &SheetState::taxKindWork};
        return all;
    }();
    return arrays;
}

const BarsDescription& bars() {
    static const BarsDescription description{.x = &Layout::barX,
                                             .y = &Layout::barY,
                                             .settingsLine = 4,
                                             .section = u"BARCODE",
                                             .left = 10,
                                             .top = 3,
                                             .right = 65,
                                             .bottom = 11,
                                             .title = u"バーコード",
                                             .shownButton = u"BARCODE",
                                             .nudgePrefix = u"bar_"};
    return description;
}

}  // namespace zukaro
