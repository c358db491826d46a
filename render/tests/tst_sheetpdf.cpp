// A full sheet printed into a real PDF, read back from outside: poppler finds every text at
// its place on the label, and zbar and ZXing read all 21 barcodes from a 600-dpi raster in
// which every module is a whole number of printer pixels.
#include <ZXing/DecodeHints.h>
#include <ZXing/ReadBarcode.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <cmath>

#include "ItemTexts.h"
#include "PainterTarget.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

using namespace zukaro;

namespace {

constexpr double kMmPerPoint = 25.4 / 72;
constexpr int kDpi = 600;
// How far a text may land from its anchor.
constexpr double kToleranceMm = 0.25;

struct Word {
    QString text;
    double x;  // left edge of the first character, mm from the page's left edge
    double y;  // top of the text line, mm from the page's top edge
};

// Where label n starts on the page, in mm, with the start-up sheet offsets.
double labelLeft(int n) {
    return ((n - 1) % 3) * 66.1 + 2.7;
}
double labelTop(int n) {
    return ((n - 1) / 3) * 38.1 + 12.6;
}

int mmToPixel(double mm) {
    return static_cast<int>(std::floor(mm / 25.4 * kDpi));
}

// The width of a half-width space, in mm, of a fixed-pitch face at the given size.
double spacesMm(int count, double points) {
    return count * points / 2 * kMmPerPoint;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(program), args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<Word> wordsOf(const QString& bboxHtml) {
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<Word> words;
    for (const QRegularExpressionMatch& m : re.globalMatch(bboxHtml)) {
        const QString text = QTextDocumentFragment::fromHtml(m.captured(3)).toPlainText();
        words.append(
            {text, m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint});
    }
    return words;
}

QString decodeWithZxing(const QImage& gray) {
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                          int(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? QString::fromStdWString(result.text()) : QString();
}

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
    QList<Word> words_;
    QImage page_;
};

void TestSheetPdf::initTestCase() {
    for (const char* tool : {"pdftotext", "pdftoppm", "zbarimg"}) {
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);
    }
    QVERIFY(dir_.isValid());
    pdf_ = dir_.filePath(QStringLiteral("sheet.pdf"));

    SheetState sheet = sample::fullSheet();
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

    words_ = wordsOf(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf_, QStringLiteral("-")}));
    const QString stem = dir_.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"),
         QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf_, stem});
    png_ = stem + QStringLiteral(".png");
    QImageReader::setAllocationLimit(0);  // an A4 page at 600 dpi is larger than Qt's default
    page_ = QImage(png_).convertToFormat(QImage::Format_Grayscale8);
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
    const SheetState sheet = sample::fullSheet();
    const double x0 = labelLeft(label);
    const double y0 = labelTop(label);
    const QString jan = sheet.janText[label];
    const QString product = sheet.productText[label];
    const QString price = sheet.priceText[label].trimmed();
    // Anchors of the start-up layout; leading spaces (fixed-pitch, half an em each) push the
    // first visible character to the right.
    const QList<Word> expected = {
        {jan, x0 + 32 + spacesMm(jan.size() == 8 ? 4 : 0, 8), y0 + 11},
        {sheet.makerText[label], x0 + 5, y0 + 13.5},
        {product, x0 + 4 + spacesMm(productNameSpaces(2 * product.size()), 11), y0 + 17},
        {price, x0 + spacesMm(std::max<int>(0, 5 - price.size()), 48), y0 + 20},
        {sheet.specText[label], x0 + 8, y0 + 26},
        {sheet.lotText[label], x0 + 8, y0 + 30},
        {QStringLiteral("円"), x0 + 48, y0 + 30},
    };
    for (const Word& e : expected) {
        double best = 1e9;
        Word found{};
        for (const Word& w : words_) {
            const double d = std::hypot(w.x - e.x, w.y - e.y);
            if (w.text == e.text && d < best) {
                best = d;
                found = w;
            }
        }
        QVERIFY2(best <= kToleranceMm,
                 qPrintable(QStringLiteral("\"%1\" expected at (%2, %3) mm, found at (%4, %5)")
                                .arg(e.text)
                                .arg(e.x, 0, 'f', 2)
                                .arg(e.y, 0, 'f', 2)
                                .arg(found.x, 0, 'f', 2)
                                .arg(found.y, 0, 'f', 2)));
    }
}

void TestSheetPdf::zbarReadsTheWholePage() {
    const QString out = run(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), png_});
    QStringList found = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    found.sort();
    QStringList expected;
    for (int n = 1; n <= 21; ++n) {
        const QString code = sample::janOf(n);
        expected << (code.size() == 8 ? QStringLiteral("EAN-8:") : QStringLiteral("EAN-13:")) +
                        code;
    }
    expected.sort();
    QCOMPARE(found, expected);
}

void TestSheetPdf::zxingReadsEveryLabel_data() {
    textsAtTheirAnchors_data();
}

void TestSheetPdf::zxingReadsEveryLabel() {
    QFETCH(int, label);
    const QRect cell(mmToPixel(labelLeft(label)), mmToPixel(labelTop(label)), mmToPixel(66.1),
                     mmToPixel(38.1));
    QCOMPARE(decodeWithZxing(page_.copy(cell)), sample::janOf(label));
}

void TestSheetPdf::modulesAreWholePrinterPixels_data() {
    textsAtTheirAnchors_data();
}

void TestSheetPdf::modulesAreWholePrinterPixels() {
    QFETCH(int, label);
    // The bar rectangle is 55 mm = 1299 pixels wide: 11 pixels for each of the 113 modules
    // of EAN-13, 15 for each of the 85 of EAN-8. The dark span runs from the start guard to
    // the end guard, 9 light modules after the rectangle's left edge.
    const bool ean8 = sample::janOf(label).size() == 8;
    const int module = ean8 ? 15 : 11;
    const int darkModules = ean8 ? 67 : 95;
    // The encoder converts with its own 56.7 twips per mm (2.4 twips per pixel at 600 dpi).
    const int left = static_cast<int>(std::floor((labelLeft(label) + 10) * 56.7 / 2.4));
    const int right = mmToPixel(labelLeft(label) + 65);
    const int y = mmToPixel(labelTop(label) + 7);
    const uchar* row = page_.constScanLine(y);
    auto dark = [row](int x) { return row[x] < 128; };
    int first = left;
    while (first < right && !dark(first)) {
        ++first;
    }
    int last = right;
    while (last > first && !dark(last)) {
        --last;
    }
    QCOMPARE(first, left + 9 * module);
    QCOMPARE(last - first + 1, darkModules * module);
    int runStart = first;
    for (int x = first + 1; x <= last + 1; ++x) {
        if (x == last + 1 || dark(x) != dark(runStart)) {
            QVERIFY2((x - runStart) % module == 0,
                     qPrintable(
                         QStringLiteral("run of %1 pixels at %2").arg(x - runStart).arg(runStart)));
            runStart = x;
        }
    }
}

QTEST_MAIN(TestSheetPdf)
#include "tst_sheetpdf.moc"
