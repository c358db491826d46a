// The preview on a screen with two device pixels per logical pixel: the page image holds
// every device pixel, and the widget shows it one to one instead of enlarging a 96-dpi image.
#include <QApplication>
#include <QPrinter>
#include <QTest>

#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "SampleSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

using namespace zukaro;

class TestPreviewHiDpi : public QObject {
    Q_OBJECT

private slots:
    void imageHasEveryDevicePixel();
};

void TestPreviewHiDpi::imageHasEveryDevicePixel() {
    SheetState sheet = sample::fullSheet();
    PreviewPane pane;
    pane.resize(900, 1300);
    pane.show();
    QCOMPARE(pane.picDraw().devicePixelRatioF(), 2.0);
    QPrinter printer;
    ScriptedCommonDialog1 dialog;
    ScriptedMessageBoxes messages;
    SheetCommands commands(sheet, pane.picDraw(), dialog, messages, printer);
    commands.showPreview();

    const QImage image = pane.picDraw().image();
    QCOMPARE(pane.picDraw().size(), QSize(794, 1123));
    QCOMPARE(image.size(), QSize(1588, 2246));
    QCOMPARE(image.logicalDpiX(), 192);
    // Label 1's guide frame at 50 %: its left edge 1.35 mm = 10.2 device pixels, one pixel wide.
    QCOMPARE(image.pixel(10, 100), qRgb(128, 128, 128));
    QCOMPARE(image.pixel(11, 100), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(9, 100), qRgb(255, 255, 255));

    QImage shown = pane.picDraw().grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    shown.setDevicePixelRatio(1);
    QCOMPARE(shown, image.convertToFormat(QImage::Format_RGB32));
}

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestPreviewHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewhidpi.moc"
