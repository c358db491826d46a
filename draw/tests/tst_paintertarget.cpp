// The QPainter target: whole-pixel boxes without antialiasing, and Windows faces mapped.
#include <QImage>
#include <QPainter>
#include <QTest>

#include "FontNames.h"
#include "PainterTarget.h"

using namespace zukaro::draw;

class TestPainterTarget : public QObject {
    Q_OBJECT

private slots:
    void faceNames() {
        QStringList installed;
        for (const char* chosen :
             {"ＭＳ 明朝", "ＭＳ Ｐ明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "DejaVu Sans"}) {
            installed << QString::fromStdString(installedFace(chosen));
        }
        QCOMPARE(installed.join(u','), "IPAMincho,IPAPMincho,IPAGothic,IPAPGothic,DejaVu Sans");
    }

    void boxCoversInclusivePixels_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<bool>("outline");
        QTest::addColumn<QRect>("ink");
        QTest::newRow("pixels reversed")
            << int(ScaleMode::Pixels) << 20.0 << 10.0 << false << QRect(10, 0, 11, 10);
        // 600 dpi: 10 mm = 236.22 px, 20 mm = 472.44 px.
        QTest::newRow("millimetres")
            << int(ScaleMode::Millimeters) << 10.0 << 20.0 << false << QRect(236, 0, 237, 10);
        QTest::newRow("outline") << int(ScaleMode::Millimeters) << 10.0 << 20.0 << true
                                 << QRect(236, 0, 237, 10);
    }

    void boxCoversInclusivePixels() {
        QFETCH(int, mode);
        QFETCH(double, x1);
        QFETCH(double, x2);
        QFETCH(bool, outline);
        QFETCH(QRect, ink);
        QImage image(600, 40, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(600 / 0.0254));
        image.setDotsPerMeterY(qRound(600 / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PainterTarget target(painter, false);
            target.setScaleMode(static_cast<ScaleMode>(mode));
            const double y2 = 9 / target.pixelsPerUnitY();
            outline ? target.drawBox(x1, 0, x2, y2, rgb(255, 0, 0))
                    : target.fillBox(x1, 0, x2, y2, rgb(255, 0, 0));
        }
        // Every pixel is the colour or white: no antialiasing at fractional edges.
        QRect found;
        for (int py = 0; py < image.height(); ++py) {
            for (int px = 0; px < image.width(); ++px) {
                const QRgb p = image.pixel(px, py);
                QVERIFY2(p == qRgb(255, 255, 255) || p == qRgb(255, 0, 0), "blended pixel");
                found |= p == qRgb(255, 0, 0) ? QRect(px, py, 1, 1) : QRect();
            }
        }
        QCOMPARE(found, ink);
    }
};

QTEST_MAIN(TestPainterTarget)
#include "tst_paintertarget.moc"
