// The editor on the screens clerks have: 1366 x 768 at 100, 125 and 150 %, 1920 x 1080 at
// 200 % (the screen and scale come from the environment; CMake runs this test once for each).
#include <QtTest>
#include <QtWidgets>

#include "EditorWindow.h"
#include "ModalDialogs.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"

using namespace zukaro;

class TestScreenFit : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<EditorWindow> window_;

    QRect room() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

private slots:
    void init() {
        window_ = std::make_unique<EditorWindow>(dialogs_, messages_,
                                                 SettingsLocations{dir_.path(), dir_.path()});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        ZUKARO_VERIFY_NO_DIALOG_LEFT();
        window_.reset();
    }

    // The window opens inside the screen and can be made as small as the screen; the controls
    // that do not fit scroll, and none lies outside the window.
    void fitsTheScreen() {
        qInfo() << "screen" << room().size() << "scale" << window_->devicePixelRatioF();
        const QSize smallest = window_->minimumSizeHint().expandedTo(window_->minimumSize());
        QVERIFY2(smallest.width() <= room().width() && smallest.height() <= room().height(),
                 qPrintable(QString("%1 x %2").arg(smallest.width()).arg(smallest.height())));
        QVERIFY(window_->frameGeometry().width() <= room().width() &&
                window_->frameGeometry().height() <= room().height());
        auto* controls = window_->findChild<QScrollArea*>("操作パネルのスクロール");
        const QRect inside = window_->rect();
        QVERIFY(inside.contains(QRect(controls->mapTo(window_.get(), QPoint()), controls->size())));
        for (QWidget* w : window_->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                                 qobject_cast<QComboBox*>(w);
            if (!control || !w->isVisibleTo(window_.get())) {
                continue;
            }
            // Inside the scrolling panel a control must lie within the panel, which scrolls;
            // anywhere else within the window.
            QWidget* frame = controls->widget()->isAncestorOf(w)
                                 ? controls->widget()
                                 : static_cast<QWidget*>(window_.get());
            const QRect at(w->mapTo(frame, QPoint()), w->size());
            QVERIFY2(frame->rect().contains(at), qPrintable(w->objectName()));
        }
    }

    // 全体 shows all 21 labels and follows the window's size; 倍率 then does what its caption
    // says, 100 %, and the zoom no longer follows the window.
    void wholeSheetZoom() {
        window_->resize(window_->minimumSizeHint());
        QTest::mouseClick(window_->findChild<QPushButton*>("全体"), Qt::LeftButton);
        const auto lastLabelShown = [this] {
            const SheetState& s = window_->sheet();
            const double mmToPx = s.zoom * 96 / 25.4;
            const QWidget* frame = window_->findChild<QWidget*>("picFrame");
            return (2 * kLabelPitchX + kLabelPitchX + s.sheetX) * mmToPx <= frame->width() &&
                   (7 * kLabelPitchY + s.sheetY) * mmToPx <= frame->height();
        };
        QTRY_VERIFY(lastLabelShown());  // once the smaller window's layout has settled
        const double fitted = window_->sheet().zoom;
        window_->resize(window_->size() + QSize(100, 100));
        QTRY_VERIFY(window_->sheet().zoom > fitted);
        QVERIFY(lastLabelShown());
        auto* zoom = window_->findChild<QPushButton*>("倍率");
        QCOMPARE(zoom->text(), caption::zoomHalf);
        QTest::mouseClick(zoom, Qt::LeftButton);
        QCOMPARE(window_->sheet().zoom, 1.0);
        QCOMPARE(zoom->text(), caption::zoomFull);
        const QWidget* frame = window_->findChild<QWidget*>("picFrame");
        const QSize shown = frame->size();
        window_->resize(window_->size() - QSize(100, 100));
        QTRY_VERIFY(frame->size() != shown);
        QCOMPARE(window_->sheet().zoom, 1.0);
    }

    // Size and place come back with the next window.
    void remembersItsPlace() {
        window_->resize(window_->minimumSizeHint() + QSize(20, 10));
        const QSize size = window_->size();
        QVERIFY(window_->close());
        init();
        QCOMPARE(window_->size(), size);
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
