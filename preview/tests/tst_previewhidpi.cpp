// The preview on a screen with two device pixels per logical pixel: the page image holds
// every device pixel, and the widget shows it one to one instead of enlarging a 96-dpi image.
#include <QTest>

#include "PreviewSurface.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

using namespace zukaro;

// Set before the application starts.
[[maybe_unused]] static const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

class TestPreviewHiDpi : public QObject {
    Q_OBJECT

private slots:
    void imageHasEveryDevicePixel() {
        SheetState sheet = sample::fullSheet();
        PreviewSurface picDraw;  // A4 (794 x 1123 pixels) until a printer says otherwise
        picDraw.show();
        picDraw.paintPage([&](draw::DrawTarget& target) {
            drawSheet(sheet, target, RenderOptions::onScreen(sheet, 0.5));
        });
        const QImage image = picDraw.image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(1588, 2246));
        // Label 1's guide frame at 50 %: left edge 1.35 mm = 10.2 device pixels, one pixel wide.
        QCOMPARE((QList<QRgb>{image.pixel(9, 100), image.pixel(10, 100), image.pixel(11, 100)}),
                 (QList<QRgb>{qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(255, 255, 255)}));
        QImage shown = picDraw.grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown, image);
    }
};

QTEST_MAIN(TestPreviewHiDpi)
#include "tst_previewhidpi.moc"
