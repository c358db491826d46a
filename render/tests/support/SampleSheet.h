#pragma once

#include <QStringList>

#include "SheetState.h"

namespace zukaro::sample {

// A full sheet of 21 shop labels with product names of 1 to 13 characters, prices of every
// width, EAN-8 on labels 5 and 17 and every leading digit and parity pattern of EAN-13, on
// the start-up layout (offsets 2.7 / 12.6 mm).
inline SheetState fullSheet() {
    auto list = [](const char* items) { return QString::fromUtf8(items).split(u','); };
    const QStringList jans = list(
        "1450123479198,2450123558380,3450123637572,4450123716764,49123456,6450123875148,"
        "7450123954330,8450124033521,9450124112713,0450124191908,1450124271098,2450124350280,"
        "3450124429473,4450124508665,5450124587850,6450124667049,96385074,8450124825423,"
        "9450124904615,0450124983800,1450125062992");
    const QStringList makers = list(
        "花王,ライオン,資生堂,サンスター,ユニチャーム,明治,森永,カゴメ,キッコーマン,味の素,日清,"
        "ハウス,エスビー,ロッテ,江崎グリコ,亀田製菓,伊藤園,キリン,アサヒ,サントリー,ヤクルト");
    const QStringList products = list(
        "茶,石鹸,歯ブラシ,シャンプー,紙おむつ六枚,ミルクチョコ,キャラメル八粒,トマトジュース,"
        "濃口醤油一リットル,ほんだし,カップヌードル,バーモントカレー中辛,テーブルコショー,"
        "キシリトールガムボトル,ポッキー,ハッピーターン徳用パック,おーいお茶,午後の紅茶,"
        "三ツ矢サイダーゼロカロリー,天然水,ヤクルト400");
    const QStringList specs = list(
        "500ml,90g,1本,550ml,L62,50g,12粒,190g,1L,120g,78g,230g,20g,14粒,72g,120g,525ml,500ml,"
        "500ml,2L,80ml");
    const QStringList prices = list(
        "98,128,198,598,1980,138,100,158,398,458,193,298,248,118,168,12345,  500 ,148,128,98,980");
    SheetState sheet;
    for (int i = 0; i < kLabelCount; ++i) {
        sheet.setLabel(i + 1, {jans[i], makers[i], products[i], specs[i],
                               QStringLiteral("L%1").arg(2401 + i), prices[i]});
    }
    return sheet;
}

}  // namespace zukaro::sample
