// Round trips through real decoders: what the encoder paints must scan as the same number,
// in an image at printer resolutions (ZXing) and on a PDF page rasterised like paper (zbar).
#include <ZXing/DecodeHints.h>
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "JanEncoder.h"
#include "PainterTarget.h"

using namespace zukaro;

namespace {

constexpr double kMmPerInch = 25.4;

// A white image of the given size in millimetres at the given resolution.
QImage blankImage(double widthMm, double heightMm, int dpi) {
    QImage image(qRound(widthMm / kMmPerInch * dpi), qRound(heightMm / kMmPerInch * dpi),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

// Paints one symbol into the renderer's bar rectangle (55 x 8 mm) of a label-sized cell.
QImage paintLabelCell(const std::string& code, int dpi) {
    QImage image = blankImage(70, 16, dpi);
    QPainter painter(&image);
    draw::PainterTarget target(painter, true);
    target.setScaleMode(draw::ScaleMode::Millimeters);
    const int result = Module1::drawJanBarcode(target, code, 10, 3, 65, 11);
    painter.end();
    return result == 0 ? image : QImage();
}

QString decodeWithZxing(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                          int(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) {
        return {};
    }
    return QString::fromStdWString(result.text());
}

// Lengths of the runs of equal pixels along one row, from the first dark pixel to the last.
QList<int> darkSpanRuns(const QImage& image, int y, int* firstDark) {
    QList<int> runs;
    const int w = image.width();
    auto dark = [&](int x) { return qGray(image.pixel(x, y)) < 128; };
    int start = 0;
    while (start < w && !dark(start)) {
        ++start;
    }
    int end = w - 1;
    while (end > start && !dark(end)) {
        --end;
    }
    *firstDark = start;
    int runStart = start;
    for (int x = start + 1; x <= end + 1; ++x) {
        if (x == end + 1 || dark(x) != dark(runStart)) {
            runs.append(x - runStart);
            runStart = x;
        }
    }
    return runs;
}

QStringList validCodesForEveryLeadingDigit() {
    QStringList codes;
    for (int lead = 0; lead <= 9; ++lead) {
        std::string data = std::to_string(lead) + "90123456789";
        data.resize(12);
        std::int16_t check = 0;
        Module1::janCheckDigit(data, check);
        codes << QString::fromStdString(data) + QString::number(check);
    }
    return codes;
}

}  // namespace

class TestJanDecode : public QObject {
    Q_OBJECT

private slots:
    void zxingReadsPaintedImage_data();
    void zxingReadsPaintedImage();
    void zbarReadsPrintedPdf();
};

void TestJanDecode::zxingReadsPaintedImage_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("dpi");
    QStringList codes = validCodesForEveryLeadingDigit();
    codes << "49123456" << "96385074" << "73513537" << "00000000" << "45012341";
    for (int dpi : {600, 203}) {
        for (const QString& code : codes) {
            QTest::addRow("%s at %d dpi", qPrintable(code), dpi) << code << dpi;
        }
    }
}

void TestJanDecode::zxingReadsPaintedImage() {
    QFETCH(QString, code);
    QFETCH(int, dpi);
    const QImage image = paintLabelCell(code.toStdString(), dpi);
    QVERIFY(!image.isNull());
    QCOMPARE(decodeWithZxing(image), code);
}

void TestJanDecode::zbarReadsPrintedPdf() {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    QVERIFY2(!pdftoppm.isEmpty() && !zbarimg.isEmpty(), "poppler-utils and zbar-tools needed");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("bars.pdf"));
    const QStringList codes = {QStringLiteral("4901234567894"), QStringLiteral("49123456"),
                               QStringLiteral("0123456789012")};
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter(&printer);
        draw::PainterTarget target(painter, true);
        target.setScaleMode(draw::ScaleMode::Millimeters);
        for (int i = 0; i < codes.size(); ++i) {
            const double top = 20 + 40 * i;
            QCOMPARE(Module1::drawJanBarcode(target, codes[i].toStdString(), 10, top, 65, top + 8),
                     0);
        }
    }

    const QString stem = dir.filePath(QStringLiteral("page"));
    QCOMPARE(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("600"),
                                          QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                                          QStringLiteral("-png"), pdf, stem}),
             0);
    const QString png = stem + QStringLiteral(".png");

    QProcess zbar;
    zbar.start(zbarimg, {QStringLiteral("--quiet"), png});
    QVERIFY(zbar.waitForFinished(60000));
    QStringList found = QString::fromLatin1(zbar.readAllStandardOutput())
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    found.sort();
    QStringList expected = {QStringLiteral("EAN-13:4901234567894"),
                            QStringLiteral("EAN-8:49123456"),
                            QStringLiteral("EAN-13:0123456789012")};
    expected.sort();
    QCOMPARE(found, expected);

    // On the 600-dpi raster every module is exactly 11 pixels: the first symbol's dark span,
    // from the start guard to the end guard (95 modules), starts at pixel 236 + 9 x 11.
    QImageReader::setAllocationLimit(0);  // an A4 page at 600 dpi is larger than Qt's default
    const QImage page(png);
    int firstDark = 0;
    const QList<int> runs = darkSpanRuns(page, qRound(24 / kMmPerInch * 600), &firstDark);
    QCOMPARE(firstDark, 236 + 9 * 11);
    int total = 0;
    for (int run : runs) {
        QCOMPARE(run % 11, 0);
        total += run;
    }
    QCOMPARE(total, 95 * 11);
}

QTEST_MAIN(TestJanDecode)
#include "tst_jandecode.moc"
