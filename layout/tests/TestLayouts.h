#pragma once

#include <QFile>
#include <QTest>

#include "BuiltInValues.h"
#include "SettingsBlock.h"

// Layouts the fixture files hold, built field by field from their lines, and file helpers.
namespace testlayouts {

inline zukaro::Layout firstStart() {
    zukaro::Layout layout;
    zukaro::applyFirstStartValues(layout);
    return layout;
}

// The block of custom_layout_data.txt and full_sheet_custom_layout.csv.
inline zukaro::Layout custom() {
    using namespace zukaro;
    Layout l = firstStart();
    l.janFont = {"ＭＳ ゴシック", 9, true, false};
    l.makerFont = {"ＭＳ 明朝", 10, false, true};
    l.productFont = {"ＭＳ Ｐゴシック", 18, true, true};
    std::tie(l.specFont.Size, l.lotFont.Size, l.yenFont.Size) = std::tuple(10, 10, 24);
    std::tie(l.borderColor, l.janColor, l.productColor) = std::tuple(65280, 16711680, 128);
    std::tie(l.janX, l.janY, l.barX, l.barY, l.makerX, l.makerY, l.productX, l.productY) =
        std::tuple(1, -1, 2, -2, 0, -3, 4, 5);
    std::tie(l.specX, l.specY, l.lotX, l.lotY, l.priceX, l.priceY, l.yenX, l.yenY) =
        std::tuple(-6, 7, 8, -9, 10, -11, -12, 13);
    l.メーカー表示 = l.ロット表示 = false;
    l.メーカーU表示 = l.規格U表示 = true;
    std::tie(l.縁取, l.x座標調整, l.y座標調整) = std::tuple(true, "3", "-2");
    return l;
}

// custom() with every setting of prices with tax changed from its default.
inline zukaro::Layout withPrices() {
    using namespace zukaro;
    Layout l = custom();
    std::tie(l.priceMode, l.defaultTaxRate, l.taxRounding, l.thousandsSeparators, l.fitPrice) =
        std::tuple(PriceMode::NetAndTaxIncluded, 8, TaxRounding::HalfUp, true, true);
    l.netFont = {"ＭＳ ゴシック", 6, true, false};
    std::tie(l.grossColor, l.netX, l.netY, l.grossX, l.grossY) = std::tuple(0xFF0000, 1, -2, -3, 4);
    l.本体行表示 = false;
    return l;
}

// custom() with the sale's settings changed and two rate changes.
inline zukaro::Layout withSale() {
    using namespace zukaro;
    Layout l = custom();
    l.strikeRegularPrice = false;
    l.saleMarkFont = {"ＭＳ ゴシック", 12, true, false};
    std::tie(l.regularColor, l.saleMarkX, l.regularY) = std::tuple(0xFF0000, 2, -1);
    l.taxRateChanges = {{TaxClass::Reduced, 0, QDate(2026, 10, 1)},
                        {TaxClass::Standard, 12, QDate(2028, 4, 1)}};
    return l;
}

inline QString asText(const zukaro::Layout& layout) {
    zukaro::FieldWriter w;
    zukaro::writeSettingsBlock(w, layout);
    zukaro::writeLinesAfterBlock(w, layout);
    return w.result();
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray fixture(const QString& name) {
    return readBytes(QStringLiteral(TESTDATA "/") + name);
}

}  // namespace testlayouts
