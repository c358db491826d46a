#include <QTest>

#include "Cp932.h"
#include "SettingsFile.h"
#include "TaxPrice.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

Q_DECLARE_METATYPE(zukaro::Layout)

class TestSettingsBlock : public QObject {
    Q_OBJECT

private slots:
    void read_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QString>("warnings");
        QTest::addColumn<bool>("golden");  // the layout writes the file byte for byte
        QTest::newRow("first_start_data.txt") << firstStart() << QString() << true;
        QTest::newRow("custom_layout_data.txt") << custom() << QString() << true;
        QTest::newRow("section_words_misspelled.txt") << custom() << QString() << false;
        // "9pt", 40000, yes, 3000000000 and 32768 leave their targets as they were.
        Layout wrong = custom();
        std::tie(wrong.janFont.Size, wrong.makerFont.Size, wrong.makerFont.Bold, wrong.productColor,
                 wrong.priceY) = std::tuple(8, 9, false, 0, 0);
        // 4.5 and 5.5 round to even; a Boolean where a caption belongs is no 「表示しない」:
        // the price hidden, as it has always been drawn.
        std::tie(wrong.productX, wrong.productY, wrong.priceX, wrong.単価表示) =
            std::tuple(4, 6, -32768, false);
        const QString kept =
            "%1 項目が足りないか読めない値だったため、その設定は初期値のままです。";
        QTest::newRow("wrong_types.txt") << wrong << QString(kept).arg(5) << false;
        // A size of 0 points and colours outside 0 to 0xFFFFFF draw nothing sensible.
        Layout outOfRange = custom();
        std::tie(outOfRange.janFont.Size, outOfRange.makerColor, outOfRange.borderColor) =
            std::tuple(8, 0, 0);
        QTest::newRow("size_zero_colours_out_of_range.txt")
            << outOfRange << QString(kept).arg(3) << false;
    }

    void read() {
        QFETCH(Layout, layout);
        QFETCH(QString, warnings);
        QFETCH(bool, golden);
        const QByteArray file = fixture(QString::fromLatin1(QTest::currentDataTag()));
        const SettingsLoad load = readSettingsData(file);
        QCOMPARE(asText(load.layout), asText(layout));
        QCOMPARE(load.warnings().join('\n'), warnings);
        if (golden) {
            QCOMPARE(settingsBytes(layout), file);
        }
    }

    // デフォルト keeps hidden and underlined items, the outline colour and the bars' state.
    void defaultPatternKeepsCaptionsAndBorder() {
        SheetState sheet;
        sheet.layout = custom();
        sheet.BARCODE = false;
        applyDefaultPattern(sheet);
        Layout expected = readSettingsData(fixture(u"default_pattern_data.txt"_qs)).layout;
        expected.borderColor = 65280;
        expected.メーカー表示 = expected.ロット表示 = false;
        expected.メーカーU表示 = expected.規格U表示 = true;
        QCOMPARE(asText(sheet.layout), asText(expected));
        QVERIFY(!sheet.BARCODE);
    }

    // data.txt keeps prices with tax, the sale's settings, the rate changes and 単位価格 in
    // lines after its ten, each group only when it is set, 単位価格 last: 総額表示, 本体, 税込;
    // 特売表示, 特価の字, 通常価格の行; one 税率改定 line per change; 単位価格. The lines
    // written after the block as they read in the file (where given), and how many lines.
    void settingsAfterTheTenLines_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QString>("after");  // the lines after the ten, without their ends
        QTest::addColumn<int>("lines");
        const QString prices =
            "\"総額表示\",\"本体+税込\",8,\"四捨五入\",#TRUE#,#TRUE#,0,0,0,0\n"
            "\"本体\",\"ＭＳ ゴシック\",6,#TRUE#,#FALSE#,0,\"表示する\",0,1,-2\n"
            "\"税込\",\"ＭＳ 明朝\",9,#FALSE#,#FALSE#,16711680,\"表示しない\",0,-3,4\n";
        const QString unitPrice =
            "\"単位価格\",#TRUE#,\"0.1円\",\"ＭＳ ゴシック\",8,#FALSE#,#TRUE#,255,-2,3\n";
        Layout withUnitPrice = custom();
        std::tie(withUnitPrice.unitPriceShown, withUnitPrice.unitPriceRounding) =
            std::tuple(true, UnitPriceRounding::TenthYen);
        withUnitPrice.unitPriceFont = {"ＭＳ ゴシック", 8, false, true};
        std::tie(withUnitPrice.unitPriceColor, withUnitPrice.unitPriceX, withUnitPrice.unitPriceY) =
            std::tuple(255, -2, 3);
        Layout both = withPrices();
        std::tie(both.unitPriceShown, both.unitPriceRounding, both.unitPriceFont,
                 both.unitPriceColor, both.unitPriceX, both.unitPriceY) =
            std::tuple(true, UnitPriceRounding::TenthYen, withUnitPrice.unitPriceFont, 255, -2, 3);
        // Off again but moved: the line keeps the offsets, and says it is off.
        Layout movedOff = custom();
        movedOff.unitPriceY = 2;
        QTest::newRow("prices with tax") << withPrices() << prices << -1;
        QTest::newRow("単位価格 alone") << withUnitPrice << unitPrice << -1;
        QTest::newRow("prices and 単位価格") << both << prices + unitPrice << -1;
        QTest::newRow("単位価格 off, moved")
            << movedOff << "\"単位価格\",#FALSE#,\"1円\",\"ＭＳ 明朝\",6,#FALSE#,#FALSE#,0,0,2\n"
            << -1;
        QTest::newRow("neither") << custom() << u""_qs << -1;
        QTest::newRow("sale and rate changes") << withSale() << QString() << 15;
        Layout saleAndPrices = withSale();
        std::tie(saleAndPrices.priceMode, saleAndPrices.netFont) =
            std::tuple(PriceMode::TaxIncluded, FontSpec{});
        QTest::newRow("sale, rate changes and prices") << saleAndPrices << QString() << 18;
        Layout rateOnly = custom();
        rateOnly.taxRateChanges = {{TaxClass::Reduced, 0, QDate(2026, 10, 1)}};
        QTest::newRow("a rate change alone")
            << rateOnly << u"\"税率改定\",\"軽減\",0,\"2026-10-01\"\n"_qs << 11;
    }

    void settingsAfterTheTenLines() {
        QFETCH(Layout, layout);
        QFETCH(QString, after);
        QFETCH(int, lines);
        const QByteArray bytes = settingsBytes(layout);
        QVERIFY(bytes.startsWith(fixture(u"custom_layout_data.txt"_qs)));
        if (!after.isNull()) {
            QCOMPARE(cp932::decode(bytes.mid(fixture(u"custom_layout_data.txt"_qs).size()))
                         .text.replace("\r\n", "\n"),
                     after);
        }
        QCOMPARE(bytes.count("\r\n"), lines < 0 ? 10 + after.count(u'\n') : lines);
        const SettingsLoad load = readSettingsData(bytes);
        QCOMPARE(asText(load.layout), asText(layout));
        QVERIFY(load.layout == layout);
        QCOMPARE(load.warnings(), QStringList());
        QCOMPARE(settingsBytes(load.layout), bytes);
    }

    // The rate changes as written, and 税率改定 lines that cannot be one: a class without a
    // rate, a rate out of range, a day that is not one, a line cut short. Each is left out and
    // counted; the good ones around it are read.
    void rateChangeLines_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("changes");
        QTest::addColumn<int>("unread");
        QTest::newRow("two, out of order")
            << "\"税率改定\",\"標準\",12,\"2028-04-01\"\r\n\"税率改定\",\"軽減\",0,\"2026-10-01\""
            << "軽減 0 2026-10-01, 標準 12 2028-04-01" << 0;
        QTest::newRow("the same class and day twice: the later")
            << "\"税率改定\",\"軽減\",0,\"2026-10-01\"\r\n\"税率改定\",\"軽減\",5,\"2026-10-01\""
            << "軽減 5 2026-10-01" << 0;
        QTest::newRow("非課税 has no rate")
            << "\"税率改定\",\"非課税\",5,\"2026-10-01\"\r\n\"税率改定\",\"軽減\",0,\"2026-10-01\""
            << "軽減 0 2026-10-01" << 1;
        QTest::newRow("an unknown class") << "\"税率改定\",\"特別\",5,\"2026-10-01\""
                                          << "" << 1;
        QTest::newRow("rate 101") << "\"税率改定\",\"標準\",101,\"2026-10-01\""
                                  << "" << 1;
        QTest::newRow("rate -1") << "\"税率改定\",\"標準\",-1,\"2026-10-01\""
                                 << "" << 1;
        QTest::newRow("no such day") << "\"税率改定\",\"軽減\",0,\"2026-02-30\""
                                     << "" << 1;
        QTest::newRow("cut after the rate") << "\"税率改定\",\"軽減\",0"
                                            << "" << 2;
    }

    void rateChangeLines() {
        QFETCH(QString, lines);
        QFETCH(QString, changes);
        QFETCH(int, unread);
        const SettingsLoad load =
            readSettingsData(settingsBytes(custom()) + cp932::encode(lines + "\r\n").bytes);
        QStringList read;
        for (const TaxRateChange& c : load.layout.taxRateChanges) {
            read << QString("%1 %2 %3")
                        .arg(taxClassText(c.taxClass))
                        .arg(c.ratePercent)
                        .arg(c.from.toString(Qt::ISODate));
        }
        QCOMPARE(read.join(", "), changes);
        QCOMPARE(load.skippedFields, unread);
    }

    // Lines of a later version before 本体 (or fields a later version added to a line of
    // ours) cost nothing but themselves, and however many there are, or however long, the
    // warning names the first twenty, each quoted short, and counts the rest: a data.txt of
    // ten megabytes of them is read at every start.
    void linesOfALaterVersion_data() {
        QTest::addColumn<QByteArray>("grown");  // added to the 総額表示 line
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("times");
        QTest::addColumn<QString>("first");  // the first warning
        QTest::addColumn<QString>("last");
        const QString skipped =
            u"12 行目（「future」で始まる行）は、この版では使わない設定のため"
            "読み飛ばしました。"_qs;
        QTest::newRow("one") << QByteArray() << QByteArray("\"future\",1,2,3\r") << 1 << skipped
                             << skipped;
        QTest::newRow("500,000") << QByteArray() << QByteArray("\"future\",1,2,3\r") << 500'000
                                 << skipped << u"ほかに 499,980 行を読み飛ばしました。"_qs;
        QTest::newRow("one of a million characters")
            << QByteArray() << "\"" + QByteArray(1'000'000, 'x') + "\",1\r" << 1
            << u"12 行目（「"_qs + QString(40, u'x') +
                   u"…（全 1,000,000 文字）」で始まる行）は、この版では使わない設定のため"
                   "読み飛ばしました。"_qs
            << QString();
        QTest::newRow("a field of a million characters added to ours")
            << ",\"" + QByteArray(1'000'000, 'y') + "\"" << QByteArray() << 0
            << u"11 行目の後ろにある 1 項目（「"_qs + QString(40, u'y') +
                   u"…（全 1,000,000 文字）」から）は読み込んでいません。"_qs
            << QString();
    }

    void linesOfALaterVersion() {
        QFETCH(QByteArray, grown);
        QFETCH(QByteArray, line);
        QFETCH(int, times);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QList<QByteArray> lines = settingsBytes(withPrices()).split('\n');
        lines[10].insert(lines[10].size() - 1, grown);  // before its CR
        const SettingsLoad later =
            readSettingsData(lines.mid(0, 11).join('\n') + '\n' + (line + '\n').repeated(times) +
                             lines.mid(11).join('\n'));
        QVERIFY(later.layout == withPrices());
        const int skipped = times + (grown.isEmpty() ? 0 : 1);
        QCOMPARE(later.skippedLines.size(), std::min(std::size_t(skipped), kKeptSkippedLines));
        QCOMPARE(later.moreSkippedLines, qint64(std::max(0, skipped - int(kKeptSkippedLines))));
        const QStringList warnings = later.warnings();
        QCOMPARE(warnings.size(), std::min(skipped, int(kKeptSkippedLines) + 1));
        QCOMPARE(warnings.first(), first);
        QCOMPARE(warnings.last(), last.isEmpty() ? first : last);
    }

    void binaryKeepsFirstStartValues() {
        const SettingsLoad load = readSettingsData(fixture(u"binary.bin"_qs));
        QCOMPARE(asText(load.layout), asText(firstStart()));
        QVERIFY(load.warnings().join('\n').contains("シフトJISとして読めないバイトが"));
    }
};

QTEST_APPLESS_MAIN(TestSettingsBlock)
#include "tst_settingsblock.moc"
