#pragma once

#include <QFile>
#include <QTest>

#include "BuiltInValues.h"
#include "FieldWriter.h"
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
    l.x座標調整 = QStringLiteral("3");
    l.y座標調整 = QStringLiteral("-2");
    l.縁取 = caption::outlineOn;
    l.borderColor = 65280;
    l.janFont = {QStringLiteral("ＭＳ ゴシック"), 9, true, false};
    l.janColor = 16711680;
    l.janX = 1;
    l.janY = -1;
    l.barX = 2;
    l.barY = -2;
    l.makerFont = {QStringLiteral("ＭＳ 明朝"), 10, false, true};
    l.メーカー表示 = caption::hidden;
    l.メーカーU表示 = caption::underlined;
    l.makerY = -3;
    l.productFont = {QStringLiteral("ＭＳ Ｐゴシック"), 18, true, true};
    l.productColor = 128;
    l.productX = 4;
    l.productY = 5;
    l.specFont.Size = 10;
    l.規格U表示 = caption::underlined;
    l.specX = -6;
    l.specY = 7;
    l.lotFont.Size = 10;
    l.ロット表示 = caption::hidden;
    l.lotX = 8;
    l.lotY = -9;
    l.priceX = 10;
    l.priceY = -11;
    l.yenFont.Size = 24;
    l.yenX = -12;
    l.yenY = 13;
    return l;
}

// The block as text, for readable comparisons.
inline QString asText(const zukaro::Layout& layout) {
    zukaro::FieldWriter w;
    zukaro::writeSettingsBlock(w, layout);
    return w.result();
}

// The block of `head` for its first `lines` lines and of `tail` after them, as a file that
// ends early leaves it.
inline QString splice(const zukaro::Layout& head, int lines, const zukaro::Layout& tail) {
    const QStringList h = asText(head).split(u"\r\n"_qs);
    return (h.first(lines) + asText(tail).split(u"\r\n"_qs).mid(lines)).join(u"\r\n"_qs);
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
