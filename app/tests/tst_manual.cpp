#include <QtTest>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "HeaderNames.h"
#include "ItemTexts.h"
#include "JanCompletion.h"
#include "LabelFile.h"
#include "ManualLocation.h"
#include "PrinterCalibration.h"
#include "UnitPriceLine.h"

using namespace zukaro;

class ManualTest : public QObject {
    Q_OBJECT
    QString html_;

private slots:
    void initTestCase() {
        QFile file(MANUAL_SOURCE);
        QVERIFY(file.open(QIODevice::ReadOnly));
        html_ = QString::fromUtf8(file.readAll());
    }

    // From the build tree the program finds the page in the sources (tst_install: installed).
    void findsThePage() { QCOMPARE(manualUrl(), QUrl::fromLocalFile(MANUAL_SOURCE)); }

    // The manual's examples are what the program does: check digits, a saved sheet byte for byte.
    void examplesAreWhatTheProgramDoes() {
        static const QRegularExpression jan(
            "<tr class=\"jan-example\"><td><code>([^<]*)</code></td><td><code>([^<]*)</code>");
        int examples = 0;
        for (const auto& m : jan.globalMatch(html_)) {
            ++examples;
            QCOMPARE(completeJanCheckDigit(m.captured(1)), m.captured(2));
        }
        QVERIFY(examples >= 5);
        const auto example =
            QRegularExpression("<pre id=\"format-example\">([^<]*)</pre>").match(html_);
        const cp932::Encoded file = cp932::encode(example.captured(1).replace("\n", "\r\n"));
        QVERIFY(example.hasMatch() && file.unencodable.empty());
        SheetState sheet, defaults;
        const LabelFileReport report = readLabelData(file.bytes, sheet);
        QVERIFY2(report.opened && !report.anythingSkipped(),
                 qPrintable(report.warnings().join(u'\n')));
        QCOMPARE(labelFileBytes(sheet), file.bytes);
        applyDefaultPattern(defaults);
        QCOMPARE(sheet.layout, defaults.layout);  // as the manual says: the default pattern
        QVERIFY(!html_.contains("src=\"http") && !html_.contains("href=\"http"));  // offline
    }

    // The calibration examples: the two crosses as read, and the words the dialog shows.
    void calibrationExamplesAreWhatTheProgramSays() {
        static const QRegularExpression row(
            "<tr class=\"calibration-example\"><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td>");
        static const QRegularExpression reading("^([右左]) ([\\d.]+)、([下上]) ([\\d.]+)$");
        const auto cross = [](const QString& text) {
            const QRegularExpressionMatch m = reading.match(text);
            return CrossReading{(m.captured(1) == "右" ? 1 : -1) * m.captured(2).toDouble(),
                                (m.captured(3) == "下" ? 1 : -1) * m.captured(4).toDouble()};
        };
        int examples = 0;
        for (const auto& m : row.globalMatch(html_)) {
            ++examples;
            QVERIFY2(
                reading.match(m.captured(1)).hasMatch() && reading.match(m.captured(2)).hasMatch(),
                qPrintable(m.captured(0)));
            const CalibrationResult r =
                calibrateFromCrosses(cross(m.captured(1)), cross(m.captured(2)), kStartUpOrigin);
            QCOMPARE(describeCalibration(r.calibration), m.captured(3));
        }
        QVERIFY(examples >= 3);
        QVERIFY(html_.contains("<img src=\"calibration-sheet.png\""));
        QVERIFY(
            QFileInfo(QFileInfo(MANUAL_SOURCE).dir().filePath("calibration-sheet.png")).isFile());
    }

    // Every header name the manual lists is read as the column it is listed for.
    void headerNamesAreWhatTheProgramReads() {
        static const QRegularExpression row(
            "<tr class=\"header-name\"><td>([^<]*)</td><td>([^<（]*)");
        int rows = 0;
        for (const auto& m : row.globalMatch(html_)) {
            ++rows;
            for (const QString& name : m.captured(2).split(u'、')) {
                const std::optional<ProductColumn> column = columnForHeader(name);
                QVERIFY2(column && displayName(*column) == m.captured(1),
                         qPrintable(name + " is not " + m.captured(1)));
            }
        }
        QCOMPARE(rows, int(kProductColumns.size()));
    }

    // The 内税 examples: the big price and the 本体 line printed in 税込表示.
    void taxIncludedExamplesAreWhatTheProgramPrints() {
        static const QRegularExpression row(
            "<tr class=\"tax-included-example\"><td>(\\d+)</td><td>(\\d+)%</td><td>([^<]*)</td>"
            "<td>[^<]*</td><td>([^<]*)</td><td>([^<]*)</td>");
        int examples = 0;
        for (const auto& m : row.globalMatch(html_)) {
            ++examples;
            SheetState sheet;
            sheet.layout.priceMode = PriceMode::TaxIncluded;
            sheet.layout.thousandsSeparators = true;
            sheet.layout.taxRounding = m.captured(3) == "切り上げ"   ? TaxRounding::Up
                                       : m.captured(3) == "四捨五入" ? TaxRounding::HalfUp
                                                                     : TaxRounding::Down;
            sheet.priceText[1] = m.captured(1);
            sheet.taxRate[1] = m.captured(2);
            sheet.taxKind[1] = kTaxIncludedText;
            const PriceTexts printed = priceTexts(sheet, 1);
            QCOMPARE(printed.price.trimmed() + ' ' + printed.netLine,
                     m.captured(4) + ' ' + m.captured(5));
        }
        QVERIFY(examples >= 3);
    }

    // The 単位価格 examples: what the item prints for the spec and the price as printed.
    void unitPriceExamplesAreWhatTheProgramPrints() {
        static const QRegularExpression row(
            "<tr class=\"unit-price-example\"><td>([^<]*)</td><td>(\\d+)</td><td>([^<]*)</td>"
            "<td>([^<]*)</td>");
        int examples = 0;
        for (const auto& m : row.globalMatch(html_)) {
            ++examples;
            SheetState sheet;
            sheet.layout.unitPriceShown = true;
            sheet.layout.unitPriceRounding = m.captured(3) == "0.1円単位"
                                                 ? UnitPriceRounding::TenthYen
                                                 : UnitPriceRounding::WholeYen;
            sheet.specText[1] = m.captured(1);
            sheet.priceText[1] = m.captured(2);
            const QString printed = unitPriceLine(sheet, 1, priceTexts(sheet, 1)).text;
            QCOMPARE(printed.isEmpty() ? "（印刷しません）" : printed, m.captured(4));
        }
        QVERIFY(examples >= 5);
    }

    // The sale examples: a sale on the day printed for, in each mode; the rate change
    // examples: a 軽減 or 標準 label printed for a day before or on the change.
    void saleAndRateChangeExamplesAreWhatTheProgramPrints() {
        static const QRegularExpression sale(
            "<tr class=\"sale-example\"><td>([^<]*)</td><td>(\\d+)%</td><td>(\\d+)</td>"
            "<td>(\\d+)</td><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td>");
        const QStringList modes{"入力どおり", "税込表示", "本体+税込"};
        int examples = 0;
        for (const auto& m : sale.globalMatch(html_)) {
            ++examples;
            SheetState sheet;
            sheet.layout.priceMode = PriceMode(modes.indexOf(m.captured(1)));
            std::tie(sheet.taxRate[1], sheet.priceText[1], sheet.salePrice[1]) =
                std::tuple(m.captured(2), m.captured(3), m.captured(4));
            std::tie(sheet.saleFrom[1], sheet.saleTo[1]) = std::pair("2026-12-08", "2026-12-14");
            const PriceTexts printed = priceTexts(sheet, 1, QDate(2026, 12, 14));
            QCOMPARE(QStringList({printed.price.trimmed(), printed.netLine + printed.grossLine,
                                  printed.regularLine}),
                     QStringList({m.captured(5), m.captured(6), m.captured(7)}));
            QCOMPARE(priceTexts(sheet, 1, QDate(2026, 12, 15)).price.trimmed(),
                     priceTexts(sheet, 1, QDate(2026, 12, 7)).price.trimmed());
        }
        QVERIFY(examples >= 3);
        static const QRegularExpression change(
            "<tr class=\"rate-change-example\"><td>(\\S+) (\\d+)% ([\\d-]+)</td><td>([^<]*)</td>"
            "<td>(\\d+)</td><td>([\\d-]+)</td><td>(\\d+)</td>");
        examples = 0;
        for (const auto& m : change.globalMatch(html_)) {
            ++examples;
            SheetState sheet;
            sheet.layout.priceMode = PriceMode::TaxIncluded;
            sheet.layout.taxRateChanges = {
                {m.captured(1) == "軽減" ? TaxClass::Reduced : TaxClass::Standard,
                 m.captured(2).toInt(), QDate::fromString(m.captured(3), Qt::ISODate)}};
            sheet.taxRate[1] = m.captured(4) == "軽減" ? "8" : "10";
            sheet.priceText[1] = m.captured(5);
            QCOMPARE(
                priceTexts(sheet, 1, QDate::fromString(m.captured(6), Qt::ISODate)).price.trimmed(),
                m.captured(7));
        }
        QVERIFY(examples >= 2);
    }

    // The chapters are numbered 1, 2, 3 … in the order of the contents, which names each.
    void chaptersNumberedInOrder() {
        static const QRegularExpression chapter("<h2 id=\"([^\"]+)\">(\\S+) ([^<]*)</h2>");
        static const QRegularExpression entry("<li><a href=\"#([^\"]+)\">([^<]*)</a></li>");
        const QString contents = html_.section("</nav>", 0, 0);
        QStringList chapters, listed;
        for (const auto& m : chapter.globalMatch(html_)) {
            if (m.captured(1) != "contents") {
                QCOMPARE(m.captured(2), QString("%1.").arg(chapters.size() + 1));
                chapters << m.captured(1) + ' ' + m.captured(3);
            }
        }
        for (const auto& m : entry.globalMatch(contents)) {
            listed << m.captured(1) + ' ' + m.captured(2);
        }
        QVERIFY(chapters.size() >= 14);
        QCOMPARE(listed, chapters);
    }
};

QTEST_MAIN(ManualTest)
#include "tst_manual.moc"
