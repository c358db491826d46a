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
    const auto at = [](auto& x, auto& y, std::int16_t a, std::int16_t b) { x = a, y = b; };
    l.x座標調整 = QStringLiteral("3");
    l.y座標調整 = QStringLiteral("-2");
    l.縁取 = caption::outlineOn;
    l.borderColor = 65280;
    l.janFont = {QStringLiteral("ＭＳ ゴシック"), 9, true, false};
    l.janColor = 16711680;
    at(l.janX, l.janY, 1, -1);
    at(l.barX, l.barY, 2, -2);
    l.makerFont = {QStringLiteral("ＭＳ 明朝"), 10, false, true};
    l.メーカー表示 = l.ロット表示 = caption::hidden;
    l.メーカーU表示 = l.規格U表示 = caption::underlined;
    at(l.makerX, l.makerY, 0, -3);
    l.productFont = {QStringLiteral("ＭＳ Ｐゴシック"), 18, true, true};
    l.productColor = 128;
    at(l.productX, l.productY, 4, 5);
    l.specFont.Size = l.lotFont.Size = 10;
    at(l.specX, l.specY, -6, 7);
    at(l.lotX, l.lotY, 8, -9);
    at(l.priceX, l.priceY, 10, -11);
    l.yenFont.Size = 24;
    at(l.yenX, l.yenY, -12, 13);
    return l;
}

inline QString asText(const zukaro::Layout& layout) {
    zukaro::FieldWriter w;
    zukaro::writeSettingsBlock(w, layout);
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
