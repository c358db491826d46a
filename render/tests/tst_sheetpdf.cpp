// A full sheet printed into a real PDF, read back from outside: poppler finds every text at
// its place on the label, and zbar and ZXing read all 21 barcodes from a 600-dpi raster in
// which every module is a whole number of printer pixels.
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "PainterTarget.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

using namespace zukaro;

namespace {

constexpr int kDpi = 600;
// How far a text may land from its anchor.
constexpr double kToleranceMm = 0.25;

}  // namespace

class TestSheetPdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void oneWordPerItem();
    void textsAtTheirAnchors_data();
    void textsAtTheirAnchors();
    void zbarReadsTheWholePage();
    void zxingReadsEveryLabel_data();
    void zxingReadsEveryLabel();
    void modulesAreWholePrinterPixels_data();
    void modulesAreWholePrinterPixels();

private:
    QTemporaryDir dir_;
    QString pdf_;
    QString png_;
    SheetState sheet_ = sample::fullSheet();
    QList<printed::Word> words_;
    QImage page_;
};

void TestSheetPdf::initTestCase() {
    QVERIFY2(printed::missingTools().isEmpty(), qPrintable(printed::missingTools().join(u' ')));
    QVERIFY(dir_.isValid());
    pdf_ = dir_.filePath(QStringLiteral("sheet.pdf"));

    SheetState sheet = sheet_;
    sheet.printMode = QStringLiteral("1");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf_);
        printer.setResolution(kDpi);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter;
        QVERIFY(painter.begin(&printer));
        draw::PainterTarget target(painter, true);
        drawSheet(sheet, target);
        QVERIFY(painter.end());
    }
    QCOMPARE(sheet.zoom, 0.5);

    words_ = printed::pdfWords(pdf_);
    png_ = dir_.filePath(QStringLiteral("page.png"));
    page_ = printed::rasterise(pdf_, kDpi, png_);
    // A4 (Qt writes it as 595 x 842 points).
    QVERIFY(std::abs(page_.width() * 25.4 / kDpi - 210) < 1);
    QVERIFY(std::abs(page_.height() * 25.4 / kDpi - 297) < 1);
}

void TestSheetPdf::oneWordPerItem() {
    // Seven items on each of 21 labels, none with a blank inside.
    QCOMPARE(words_.size(), 21 * 7);
}

void TestSheetPdf::textsAtTheirAnchors_data() {
    QTest::addColumn<int>("label");
    for (int n = 1; n <= 21; ++n) {
        QTest::addRow("label %d", n) << n;
    }
}

void TestSheetPdf::textsAtTheirAnchors() {
    QFETCH(int, label);
    for (const printed::Word& e : printed::expectedWords(sheet_, label)) {
        const auto [found, distance] = printed::nearestWord(words_, e);
        QVERIFY2(distance <= kToleranceMm,
                 qPrintable(QStringLiteral("\"%1\" expected at (%2, %3) mm, found at (%4, %5)")
                                .arg(e.text)
                                .arg(e.x, 0, 'f', 2)
                                .arg(e.y, 0, 'f', 2)
                                .arg(found.x, 0, 'f', 2)
                                .arg(found.y, 0, 'f', 2)));
    }
}

void TestSheetPdf::zbarReadsTheWholePage() {
    QStringList expected;
    for (int n = 1; n <= 21; ++n) {
        const QString code = sample::janOf(n);
        expected << (code.size() == 8 ? QStringLiteral("EAN-8:") : QStringLiteral("EAN-13:")) +
                        code;
    }
    expected.sort();
    QCOMPARE(printed::zbarCodes(png_), expected);
}

void TestSheetPdf::zxingReadsEveryLabel_data() {
    textsAtTheirAnchors_data();
}

void TestSheetPdf::zxingReadsEveryLabel() {
    QFETCH(int, label);
    QCOMPARE(printed::zxingCode(page_.copy(printed::labelCell(sheet_, label, kDpi))),
             sample::janOf(label));
}

void TestSheetPdf::modulesAreWholePrinterPixels_data() {
    textsAtTheirAnchors_data();
}

void TestSheetPdf::modulesAreWholePrinterPixels() {
    QFETCH(int, label);
    // The bar rectangle is 55 mm = 1299 pixels wide: 11 pixels for each of the 113 modules
    // of EAN-13, 15 for each of the 85 of EAN-8.
    const int module = sample::janOf(label).size() == 8 ? 15 : 11;
    const QString fault = printed::checkModules(page_, sheet_, label, kDpi, module);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_MAIN(TestSheetPdf)
#include "tst_sheetpdf.moc"
