// Round trips through a real decoder: what the encoder paints into an image at printer
// resolutions must scan as the same number (the printed PDF is checked by tst_clioutput).
#include <ZXing/DecodeHints.h>
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include "JanEncoder.h"
#include "PainterTarget.h"

using namespace zukaro;

class TestJanDecode : public QObject {
    Q_OBJECT

private slots:
    void zxingReadsPaintedImage_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("dpi");
        QStringList codes = {"49123456", "96385074", "00000000"};
        const char checks[] = "8765432109";  // of d90123456789 for the leading digits d = 0..9
        for (int lead = 0; lead <= 9; ++lead) {
            codes << QString::number(lead) + "90123456789" + QLatin1Char(checks[lead]);
        }
        for (int dpi : {600, 203}) {
            for (const QString& code : codes) {
                QTest::addRow("%s at %d dpi", qPrintable(code), dpi) << code << dpi;
            }
        }
    }

    void zxingReadsPaintedImage() {
        QFETCH(QString, code);
        QFETCH(int, dpi);
        // A label-sized cell of 70 x 16 mm with the renderer's bar rectangle of 55 x 8 mm.
        QImage image(qRound(70 / 25.4 * dpi), qRound(16 / 25.4 * dpi), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            draw::PainterTarget target(painter, true);
            target.setScaleMode(draw::ScaleMode::Millimeters);
            QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11), 0);
        }
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(),
                              ZXing::ImageFormat::Lum, int(gray.bytesPerLine()));
        ZXing::DecodeHints hints;
        hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8);
        const ZXing::Result result = ZXing::ReadBarcode(view, hints);
        QVERIFY(result.isValid());
        QCOMPARE(QString::fromStdWString(result.text()), code);
    }
};

QTEST_MAIN(TestJanDecode)
#include "tst_jandecode.moc"
