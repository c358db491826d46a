#include <QTest>

#include "SettingsFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

Q_DECLARE_METATYPE(zukaro::Layout)

class TestSettingsBlock : public QObject {
    Q_OBJECT

private slots:
    void read_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<bool>("golden");  // the layout writes the file byte for byte
        QTest::newRow("first_start_data.txt") << firstStart() << 0 << true;
        SheetState fresh;  // a fresh start, then the デフォルト button
        applyDefaultPattern(fresh);
        QTest::newRow("default_pattern_data.txt") << fresh.layout << 0 << true;
        QTest::newRow("custom_layout_data.txt") << custom() << 0 << true;
        QTest::newRow("section_words_misspelled.txt") << custom() << 0 << false;
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
        QTest::newRow("wrong_types.txt") << wrong << 5 << false;
    }

    void read() {
        QFETCH(Layout, layout);
        QFETCH(int, skipped);
        QFETCH(bool, golden);
        const QByteArray file = fixture(QString::fromLatin1(QTest::currentDataTag()));
        const SettingsLoad load = readSettingsData(file);
        QCOMPARE(asText(load.layout), asText(layout));
        QCOMPARE(load.skippedFields, skipped);
        if (golden) {
            QCOMPARE(settingsBytes(layout), file);
        }
    }

    // デフォルト keeps hidden and underlined items and the outline colour, and moves the sheet.
    void defaultPatternKeepsCaptionsAndBorder() {
        SheetState sheet;
        sheet.layout = custom();
        sheet.BARCODE = caption::hidden;
        applyDefaultPattern(sheet);
        Layout expected = readSettingsData(fixture(u"default_pattern_data.txt"_qs)).layout;
        expected.borderColor = 65280;
        expected.メーカー表示 = expected.ロット表示 = caption::hidden;
        expected.メーカーU表示 = expected.規格U表示 = caption::underlined;
        QCOMPARE(asText(sheet.layout), asText(expected));
        QCOMPARE(sheet.BARCODE, caption::hidden);
        QCOMPARE(sheet.sheetX, 12.0);
        QCOMPARE(sheet.sheetY, 7.8);
    }

    void binaryKeepsFirstStartValues() {
        QByteArray binary;
        for (int i = 0; i < 4 * 256; ++i) {
            binary.append(static_cast<char>((i * 7) & 0xFF));
        }
        const SettingsLoad load = readSettingsData(binary);
        QCOMPARE(asText(load.layout), asText(firstStart()));
        QVERIFY(load.invalidBytes > 0);
    }
};

QTEST_APPLESS_MAIN(TestSettingsBlock)
#include "tst_settingsblock.moc"
