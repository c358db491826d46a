#pragma once

#include <QString>
#include <QStringList>

#include "JanEncoder.h"
#include "SheetState.h"

namespace zukaro::sample {

// A valid code: 12 data digits (or 7) completed with their check digit.
inline QString withCheckDigit(const QString& data) {
    std::string digits = data.toStdString();
    std::int16_t check = 0;
    Module1::janCheckDigit(digits, check);
    return QString::fromStdString(digits) + QString::number(check);
}

// The JAN code of label n of the sample sheet: EAN-8 on labels 5 and 17, EAN-13 elsewhere,
// with every leading digit and parity pattern represented.
inline QString janOf(int n) {
    if (n == 5) {
        return QStringLiteral("49123456");
    }
    if (n == 17) {
        return QStringLiteral("96385074");
    }
    return withCheckDigit(QStringLiteral("%1%2").arg(n % 10).arg(45012340000LL + n * 7919LL));
}

// A full sheet of 21 shop labels with product names of 1 to 13 characters, prices of every
// width and both JAN lengths, on the start-up layout (offsets 2.7 / 12.6 mm).
inline SheetState fullSheet() {
    static const char* const makers[] = {
        "花王",     "ライオン",   "資生堂",       "サンスター", "ユニチャーム", "明治",
        "森永",     "カゴメ",     "キッコーマン", "味の素",     "日清",         "ハウス",
        "エスビー", "ロッテ",     "江崎グリコ",   "亀田製菓",   "伊藤園",       "キリン",
        "アサヒ",   "サントリー", "ヤクルト"};
    static const char* const products[] = {"茶",
                                           "石鹸",
                                           "歯ブラシ",
                                           "シャンプー",
                                           "紙おむつ六枚",
                                           "ミルクチョコ",
                                           "キャラメル八粒",
                                           "トマトジュース",
                                           "濃口醤油一リットル",
                                           "ほんだし",
                                           "カップヌードル",
                                           "バーモントカレー中辛",
                                           "テーブルコショー",
                                           "キシリトールガムボトル",
                                           "ポッキー",
                                           "ハッピーターン徳用パック",
                                           "おーいお茶",
                                           "午後の紅茶",
                                           "三ツ矢サイダーゼロカロリー",
                                           "天然水",
                                           "ヤクルト400"};
    static const char* const specs[] = {"500ml", "90g",  "1本",   "550ml", "L62",   "50g", "12粒",
                                        "190g",  "1L",   "120g",  "78g",   "230g",  "20g", "14粒",
                                        "72g",   "120g", "525ml", "500ml", "500ml", "2L",  "80ml"};
    static const char* const prices[] = {"98",  "128",   "198",    "598", "1980", "138", "100",
                                         "158", "398",   "458",    "193", "298",  "248", "118",
                                         "168", "12345", "  500 ", "148", "128",  "98",  "980"};
    SheetState sheet;
    for (int n = 1; n <= kLabelCount; ++n) {
        const int i = n - 1;
        sheet.setLabel(n, {janOf(n), QString::fromUtf8(makers[i]), QString::fromUtf8(products[i]),
                           QString::fromUtf8(specs[i]), QStringLiteral("L%1").arg(2400 + n),
                           QString::fromUtf8(prices[i])});
    }
    return sheet;
}

}  // namespace zukaro::sample
