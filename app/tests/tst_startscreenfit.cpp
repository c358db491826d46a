// The start screen on the screens clerks have, each on its own Xvfb with openbox (CMake runs
// this test once for each, as the editor's tst_screenfit): with its title bar it lies on the
// screen, 作成, 終了 and the manual button in view; the picture gives up height only when the
// screen is too small for it.
#include <QtTest>
#include <QtWidgets>

#include "DesignGeometry.h"
#include "StartScreen.h"

using namespace zukaro;

class TestStartScreenFit : public QObject {
    Q_OBJECT

    static QRect onScreen(const QWidget* w) { return {w->mapToGlobal(QPoint()), w->size()}; }

private slots:
    void fitsTheScreen() {
        QCOMPARE(QGuiApplication::platformName(), "xcb");
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        StartScreen start({}, QUrl::fromLocalFile("/nonexistent/index.html"));
        start.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start));
        QVERIFY2(QTest::qWaitFor([&] { return start.frameGeometry().height() > start.height(); }),
                 "no window manager decorates the window");
        QTRY_VERIFY2(room.contains(start.frameGeometry()),
                     qPrintable(QString("%1 x %2 on %3 x %4")
                                    .arg(start.frameGeometry().width())
                                    .arg(start.frameGeometry().height())
                                    .arg(room.width())
                                    .arg(room.height())));
        auto* picture = start.findChild<QLabel*>("Picture1");
        for (const char* name : {"Command1", "Command4", "Command5"}) {
            auto* button = start.findChild<QPushButton*>(name);
            QVERIFY2(button->isVisible() && room.contains(onScreen(button)) &&
                         start.rect().contains(QRect(button->mapTo(&start, QPoint()), button->size())),
                     name);
        }
        const QRect designed = designRect(240, 480, 9615, 6375);
        QCOMPARE(picture->width(), designed.width());
        QVERIFY(picture->height() <= designed.height() && picture->height() >= designed.height() / 2);
        // Below the picture, never over it.
        QVERIFY(start.findChild<QPushButton*>("Command1")->y() > picture->geometry().bottom());
        // Full height whenever the screen has room for it.
        const int spare = room.height() - start.frameGeometry().height();
        QVERIFY2(picture->height() == designed.height() || spare <= 1,
                 qPrintable(QString("picture %1 high, %2 px to spare").arg(picture->height()).arg(spare)));
        QCOMPARE(picture->pixmap().deviceIndependentSize().toSize(), picture->contentsRect().size());
    }
};

QTEST_MAIN(TestStartScreenFit)
#include "tst_startscreenfit.moc"
