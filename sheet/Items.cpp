#include "Items.h"

#include <algorithm>

namespace zukaro {

const std::array<ItemDescription, kItemCount>& items() {
    using S = SheetState;
    using L = Layout;
    // One row per item: what it is; its label text, file column and entry field; its layout
    // fields; its settings line, first-start and デフォルト sizes and built-in colour; where
    // and in what order it is drawn; the window's controls.
    // clang-format off
    static const std::array<ItemDescription, kItemCount> table{{
        {Item::Jan, u"JAN",
         &S::janText, &S::janWork, 1, u"Text1",
         &L::janFont, &L::janColor, &L::jan表示, nullptr, &L::janX, &L::janY,
         3, u"jan", 8, 12, 0,
         32, 11, TextShape::JanDigits, 1,
         u"JANコード", u"janフォント切替", u"JAN_COLOR", u"jan表示", nullptr, u"jan_"},
        {Item::Maker, u"メーカー",
         &S::makerText, &S::makerWork, 2, u"Text2",
         &L::makerFont, &L::makerColor, &L::メーカー表示, &L::メーカーU表示, &L::makerX, &L::makerY,
         5, u"メーカー", 9, 10, 0,
         5, 13.5, TextShape::Plain, 5,
         u"メーカー", u"メーカーフォント切替", u"メーカー_color", u"メーカー表示", u"メーカーU表示", u"maker_"},
        {Item::Product, u"品名",
         &S::productText, &S::productWork, 3, u"Text3",
         &L::productFont, &L::productColor, &L::品名表示, &L::品名U表示, &L::productX, &L::productY,
         6, u"品名", 11, 18, 0,
         4, 17, TextShape::CentredName, 2,
         u"品名", u"品名フォント切替", u"品名_color", u"品名表示", u"品名U表示", u"品名_"},
        {Item::Spec, u"規格",
         &S::specText, &S::specWork, 4, u"Text4",
         &L::specFont, &L::specColor, &L::規格表示, &L::規格U表示, &L::specX, &L::specY,
         7, u"規格", 9, 10, 0,
         8, 26, TextShape::Plain, 6,
         u"規格", u"規格フォント切替", u"規格_color", u"規格表示", u"規格U表示", u"規格_"},
        {Item::Lot, u"ロット",
         &S::lotText, &S::lotWork, 5, u"Text6",
         &L::lotFont, &L::lotColor, &L::ロット表示, &L::ロットU表示, &L::lotX, &L::lotY,
         8, u"ロット", 8, 10, 0,
         8, 30, TextShape::Plain, 7,
         u"ロット", u"ロットフォント切替", u"色_color", u"ロット表示", u"ロットU表示", u"rot_"},
        {Item::Price, u"売価",
         &S::priceText, &S::priceWork, 6, u"Text5",
         &L::priceFont, &L::priceColor, &L::単価表示, nullptr, &L::priceX, &L::priceY,
         9, u"売価", 48, 48, 255,
         0, 20, TextShape::PriceField, 3,
         u"売価", u"単価フォント切替", u"売価_COLOR", u"単価表示", nullptr, u""},
        {Item::Yen, u"円",
         nullptr, nullptr, 0, nullptr,
         &L::yenFont, &L::yenColor, &L::円表示, nullptr, &L::yenX, &L::yenY,
         10, u"円", 12, 24, 255,
         48, 30, TextShape::YenMark, 4,
         u"円", u"円フォント切替", u"円_color", u"円表示", nullptr, u"enn_"},
        // Right of the price, above 円: room for "税込 109,998円" inside the label.
        {Item::NetLine, u"本体の行",
         nullptr, nullptr, 0, nullptr,
         &L::netFont, &L::netColor, &L::本体行表示, nullptr, &L::netX, &L::netY,
         0, u"本体", 7, 7, 0,
         44, 22, TextShape::NetLine, 8,
         u"本体の行", u"本体フォント切替", u"本体_color", u"本体行表示", nullptr, u"本体_"},
        {Item::GrossLine, u"税込の行",
         nullptr, nullptr, 0, nullptr,
         &L::grossFont, &L::grossColor, &L::税込行表示, nullptr, &L::grossX, &L::grossY,
         0, u"税込", 9, 9, 255,
         44, 22, TextShape::GrossLine, 9,
         u"税込の行", u"税込フォント切替", u"税込_color", u"税込行表示", nullptr, u"税込_"},
    }};
    // clang-format on
    return table;
}

const ItemDescription& describe(Item item) {
    const auto& all = items();
    return *std::find_if(all.begin(), all.end(),
                         [item](const ItemDescription& d) { return d.item == item; });
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
    static const BarsDescription description{
        &Layout::barX, &Layout::barY, 4,      u"BARCODE", 10, 3, 65, 11,
        u"バーコード", u"BARCODE",    u"bar_"};
    return description;
}

}  // namespace zukaro
