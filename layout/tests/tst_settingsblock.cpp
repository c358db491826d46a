#include <QTest>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "SettingsBlock.h"
#include "SettingsFile.h"
#include "TestLayouts.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::Layout)

using testlayouts::asText;
using testlayouts::firstStart;
using testlayouts::fixture;
constexpr auto customLayout = testlayouts::custom;

class TestSettingsBlock : public QObject {
    Q_OBJECT

private slots:
    void defaultPatternSavedOnFreshStartIsByteExact();
    void firstStartValuesAreByteExact();
    void builtInValuesKeepCaptionsBorderAndZoom();
    void readFixture_data();
    void readFixture();
    void roundTrip_data();
    void roundTrip();
    void binaryContentKeepsFirstStartValues();
};

void TestSettingsBlock::defaultPatternSavedOnFreshStartIsByteExact() {
    SheetState sheet;
    applyFirstStartValues(sheet.layout);
    applyDefaultPattern(sheet);
    QCOMPARE(settingsBytes(sheet.layout), fixture(u"default_pattern_data.txt"_qs));
    QCOMPARE(sheet.sheetX, 12.0);
    QCOMPARE(sheet.sheetY, 7.8);
}

void TestSettingsBlock::firstStartValuesAreByteExact() {
    const QByteArray bytes = settingsBytes(firstStart());
    QCOMPARE(bytes, fixture(u"first_start_data.txt"_qs));
    QVERIFY(bytes.endsWith("\r\n"));
    QVERIFY(!bytes.endsWith("\r\n\r\n"));
    QCOMPARE(bytes.count("\r\n"), 10);
}

void TestSettingsBlock::builtInValuesKeepCaptionsBorderAndZoom() {
    SheetState sheet;
    sheet.layout = customLayout();
    sheet.layout.単価表示 = u"なにか"_qs;
    sheet.BARCODE = caption::hidden;
    sheet.zoom = 1.0;
    applyDefaultPattern(sheet);

    Layout expected = customLayout();
    expected.単価表示 = u"なにか"_qs;
    expected.janFont = {u"ＭＳ 明朝"_qs, 12, false, false};
    expected.makerFont = {u"ＭＳ 明朝"_qs, 10, false, false};
    expected.productFont = {u"ＭＳ 明朝"_qs, 18, false, false};
    expected.specFont = {u"ＭＳ 明朝"_qs, 10, false, false};
    expected.lotFont = {u"ＭＳ 明朝"_qs, 10, false, false};
    expected.priceFont = {u"ＭＳ 明朝"_qs, 48, false, false};
    expected.yenFont = {u"ＭＳ 明朝"_qs, 24, false, false};
    expected.janColor = expected.productColor = 0;
    expected.janX = expected.janY = expected.barX = expected.barY = expected.makerY = 0;
    expected.productX = expected.productY = expected.specX = expected.specY = 0;
    expected.lotX = expected.lotY = expected.priceX = expected.priceY = 0;
    expected.yenX = expected.yenY = 0;
    expected.縁取 = caption::outlineOff;
    expected.x座標調整 = expected.y座標調整 = u"0"_qs;
    // borderColor and the 表示 and U表示 captions stay as they were.
    QCOMPARE(asText(sheet.layout), asText(expected));
    QVERIFY(sheet.layout == expected);
    QCOMPARE(sheet.BARCODE, caption::hidden);
    QCOMPARE(sheet.zoom, 1.0);

    Layout first = customLayout();
    applyFirstStartValues(first);
    QCOMPARE(first.メーカー表示, caption::hidden);
    QCOMPARE(first.メーカーU表示, caption::underlined);
    QCOMPARE(first.borderColor, 65280);
    QCOMPARE(first.productFont.Size, std::int16_t{11});
}

void TestSettingsBlock::readFixture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Layout>("expected");
    QTest::addColumn<int>("skipped");

    QTest::newRow("every field") << u"custom_layout_data.txt"_qs << customLayout() << 0;
    QTest::newRow("misspelled section words")
        << u"section_words_misspelled.txt"_qs << customLayout() << 0;
    QTest::newRow("LF-only line ends") << u"lf_only_data.txt"_qs << customLayout() << 0;
    QTest::newRow("the example file") << u"default_pattern_data.txt"_qs << [] {
        SheetState s;
        applyDefaultPattern(s);
        return s.layout;
    }() << 0;

    Layout shortFile = firstStart();
    shortFile.x座標調整 = u"3"_qs;
    shortFile.y座標調整 = u"-2"_qs;
    shortFile.縁取 = caption::outlineOn;
    shortFile.borderColor = 65280;
    shortFile.janFont = {u"ＭＳ ゴシック"_qs, 9, true, false};
    shortFile.janColor = 16711680;
    shortFile.janX = 1;
    shortFile.janY = -1;
    QTest::newRow("three lines only") << u"short_three_lines.txt"_qs << shortFile << 70;

    Layout wrong = customLayout();
    wrong.janFont.Size = 8;        // "9pt"
    wrong.makerFont.Size = 9;      // 40000 does not fit 16 bits
    wrong.makerFont.Bold = false;  // yes is no Boolean
    wrong.productColor = 0;        // 3000000000 does not fit 32 bits
    wrong.productX = 4;            // 4.5 rounds to even
    wrong.productY = 6;            // 5.5 rounds to even
    wrong.単価表示 = u"True"_qs;   // a Boolean read into a caption
    wrong.priceX = -32768;
    wrong.priceY = 0;  // 32768 does not fit 16 bits
    QTest::newRow("wrong types and ranges") << u"wrong_types.txt"_qs << wrong << 5;
}

void TestSettingsBlock::readFixture() {
    QFETCH(QString, file);
    QFETCH(Layout, expected);
    QFETCH(int, skipped);
    const SettingsLoad load = readSettingsData(fixture(file));
    QCOMPARE(asText(load.layout), asText(expected));
    QVERIFY(load.layout == expected);
    QCOMPARE(load.skippedFields, skipped);
    QCOMPARE(load.invalidBytes, 0);
}

void TestSettingsBlock::roundTrip_data() {
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<Layout>("readBack");

    QTest::newRow("custom") << customLayout() << customLayout();

    Layout extremes = customLayout();
    extremes.makerX = -32768;
    extremes.makerY = 32767;
    extremes.borderColor = -2147483647 - 1;
    extremes.priceColor = 2147483647;
    extremes.yenFont.Size = -1;
    QTest::newRow("extremes") << extremes << extremes;

    Layout texts = customLayout();
    texts.x座標調整 = u"10"_qs;
    texts.y座標調整 = QString();
    texts.品名表示 = u"知らない表示"_qs;
    texts.makerFont.Name = u"Font, with comma"_qs;
    QTest::newRow("box texts and unknown captions") << texts << texts;

    Layout quoted = customLayout();
    quoted.specFont.Name = u"My \"Font\""_qs;
    Layout quotedBack = quoted;
    quotedBack.specFont.Name = u"My ”Font”"_qs;
    QTest::newRow("quote in a font name") << quoted << quotedBack;
}

void TestSettingsBlock::roundTrip() {
    QFETCH(Layout, layout);
    QFETCH(Layout, readBack);
    const QByteArray bytes = settingsBytes(layout);
    const SettingsLoad load = readSettingsData(bytes);
    QCOMPARE(asText(load.layout), asText(readBack));
    QVERIFY(load.layout == readBack);
    QCOMPARE(load.skippedFields, 0);
    QCOMPARE(settingsBytes(load.layout), settingsBytes(readBack));
}

void TestSettingsBlock::binaryContentKeepsFirstStartValues() {
    QByteArray binary;
    for (int i = 0; i < 4 * 256; ++i) {
        binary.append(static_cast<char>((i * 7) & 0xFF));
    }
    const SettingsLoad load = readSettingsData(binary);
    QCOMPARE(asText(load.layout), asText(firstStart()));
    QVERIFY(load.damaged());
    QVERIFY(load.invalidBytes > 0);
}

QTEST_APPLESS_MAIN(TestSettingsBlock)
#include "tst_settingsblock.moc"
