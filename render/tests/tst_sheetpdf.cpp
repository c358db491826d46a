// A full sheet printed into a real PDF through QPrinter at 600 dpi, read back from outside:
// poppler finds every text at its place on the label, zbar reads all 21 barcodes from a
// 600-dpi raster, and every module is a whole number of printer pixels.
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include "PainterTarget.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

using namespace zukaro;

class TestSheetPdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void zbarReadsTheWholePage();
    void eachLabel_data();
    void eachLabel();

private:
    static constexpr int kDpi = 600;
    QTemporaryDir dir_;
    QString png_;
    SheetState sheet_ = sample::fullSheet();
    QList<printed::Word> words_;
    QImage page_;
};

void TestSheetPdf::initTestCase() {
    QVERIFY2(printed::missingTools().isEmpty(), qPrintable(printed::missingTools().join(u' ')));
    QVERIFY(dir_.isValid());
    const QString pdf = dir_.filePath(QStringLiteral("sheet.pdf"));
    SheetState sheet = sheet_;
    sheet.printMode = QStringLiteral("1");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(kDpi);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter;
        QVERIFY(painter.begin(&printer));
        draw::PainterTarget target(painter, true);
        drawSheet(sheet, target);
        QVERIFY(painter.end());
    }
    words_ = printed::pdfWords(pdf);
    // Seven items on each of 21 labels, none with a blank inside.
    QCOMPARE(words_.size(), 21 * 7);
    png_ = dir_.filePath(QStringLiteral("page.png"));
    page_ = printed::rasterise(pdf, kDpi, png_);
    QVERIFY(qAbs(page_.width() * 25.4 / kDpi - 210) < 1 &&
            qAbs(page_.height() * 25.4 / kDpi - 297) < 1);
}

void TestSheetPdf::zbarReadsTheWholePage() {
    const QStringList expected = printed::expectedZbarCodes(sheet_);
    QCOMPARE(expected.size(), 21);
    QCOMPARE(printed::zbarCodes(png_), expected);
}

void TestSheetPdf::eachLabel_data() {
    QTest::addColumn<int>("label");
    for (int n = 1; n <= 21; ++n) {
        QTest::addRow("label %d", n) << n;
    }
}

void TestSheetPdf::eachLabel() {
    QFETCH(int, label);
    for (const printed::Word& e : printed::expectedWords(sheet_, label)) {
        const double distance = printed::nearestWord(words_, e).second;
        QVERIFY2(distance <= 0.25,
                 qPrintable(e.text + QStringLiteral(" lies %1 mm from its anchor").arg(distance)));
    }
    // 55 mm = 1299 pixels: 11 for each of the 113 modules of EAN-13, 15 for the 85 of EAN-8.
    const int module = sheet_.janText[label].size() == 8 ? 15 : 11;
    const QString fault = printed::checkModules(page_, sheet_, label, kDpi, module);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_MAIN(TestSheetPdf)
#include "tst_sheetpdf.moc"
