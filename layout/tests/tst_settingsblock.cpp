#include <QTest>

#include "BuiltInValues.h"
#include "SettingsFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

Q_DECLARE_METATYPE(zukaro::Layout)

class TestSettingsBlock : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void defaultPatternKeepsCaptionsAndBorder();
    void binaryKeepsFirstStartValues();
};

void TestSettingsBlock::read_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("lines");  // lines read into the layout; the rest keeps first start
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("golden");  // writing the layout gives the file byte for byte
    const auto row = [](const char* file, const Layout& layout, int lines, int skipped,
                        bool golden) {
        QTest::newRow(file) << QString::fromLatin1(file) << layout << lines << skipped << golden;
    };
    row("first_start_data.txt", firstStart(), 10, 0, true);
    SheetState fresh;  // a fresh start, then the デフォルト button
    applyDefaultPattern(fresh);
    row("default_pattern_data.txt", fresh.layout, 10, 0, true);
    row("custom_layout_data.txt", custom(), 10, 0, true);
    row("section_words_misspelled.txt", custom(), 10, 0, false);
    row("lf_only_data.txt", custom(), 10, 0, false);
    row("short_three_lines.txt", custom(), 3, 70, false);
    Layout wrong = custom();
    wrong.janFont.Size = 8;        // "9pt"
    wrong.makerFont.Size = 9;      // 40000 does not fit 16 bits
    wrong.makerFont.Bold = false;  // yes is no Boolean
    wrong.productColor = 0;        // 3000000000 does not fit 32 bits
    wrong.productX = 4;            // 4.5 rounds to even
    wrong.productY = 6;            // 5.5 rounds to even
    wrong.単価表示 = u"True"_qs;   // a Boolean read into a caption
    wrong.priceX = -32768;
    wrong.priceY = 0;  // 32768 does not fit 16 bits
    row("wrong_types.txt", wrong, 10, 5, false);
}

void TestSettingsBlock::read() {
    QFETCH(QString, file);
    QFETCH(Layout, layout);
    QFETCH(int, lines);
    QFETCH(int, skipped);
    QFETCH(bool, golden);
    const SettingsLoad load = readSettingsData(fixture(file));
    QCOMPARE(asText(load.layout), splice(layout, lines, firstStart()));
    QCOMPARE(load.skippedFields, skipped);
    QCOMPARE(load.invalidBytes, 0);
    if (golden) {
        QCOMPARE(settingsBytes(layout), fixture(file));
    }
}

void TestSettingsBlock::defaultPatternKeepsCaptionsAndBorder() {
    SheetState sheet;
    sheet.layout = custom();
    sheet.layout.単価表示 = u"なにか"_qs;
    sheet.BARCODE = caption::hidden;
    sheet.zoom = 1.0;
    applyDefaultPattern(sheet);
    Layout expected = readSettingsData(fixture(u"default_pattern_data.txt"_qs)).layout;
    expected.borderColor = 65280;
    expected.メーカー表示 = expected.ロット表示 = caption::hidden;
    expected.メーカーU表示 = expected.規格U表示 = caption::underlined;
    expected.単価表示 = u"なにか"_qs;
    QCOMPARE(asText(sheet.layout), asText(expected));
    QCOMPARE(sheet.BARCODE, caption::hidden);
    QCOMPARE(sheet.zoom, 1.0);
    QCOMPARE(sheet.sheetX, 12.0);
    QCOMPARE(sheet.sheetY, 7.8);
}

void TestSettingsBlock::binaryKeepsFirstStartValues() {
    QByteArray binary;
    for (int i = 0; i < 4 * 256; ++i) {
        binary.append(static_cast<char>((i * 7) & 0xFF));
    }
    const SettingsLoad load = readSettingsData(binary);
    QCOMPARE(asText(load.layout), asText(firstStart()));
    QVERIFY(load.invalidBytes > 0);
}

QTEST_APPLESS_MAIN(TestSettingsBlock)
#include "tst_settingsblock.moc"
