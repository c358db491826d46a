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
        QTest::newRow("custom_layout_data.txt") << custom() << 0 << true;
        QTest::newRow("section_words_misspelled.txt") << custom() << 0 << false;
        // "9pt", 40000, yes, 3000000000 and 32768 leave their targets as they were.
        Layout wrong = custom();
        std::tie(wrong.janFont.Size, wrong.makerFont.Size, wrong.makerFont.Bold, wrong.productColor,
                 wrong.priceY) = std::tuple(8, 9, false, 0, 0);
        // 4.5 and 5.5 round to even; a Boolean read into a caption becomes its text.
        std::tie(wrong.productX, wrong.productY, wrong.priceX, wrong.単価表示) =
            std::tuple(4, 6, -32768, "True");
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

    // デフォルト keeps hidden and underlined items, the outline colour and the bars' state.
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
    }

    void binaryKeepsFirstStartValues() {
        const SettingsLoad load = readSettingsData(fixture(u"binary.bin"_qs));
        QCOMPARE(asText(load.layout), asText(firstStart()));
        QVERIFY(load.invalidBytes > 0);
    }
};

QTEST_APPLESS_MAIN(TestSettingsBlock)
#include "tst_settingsblock.moc"
