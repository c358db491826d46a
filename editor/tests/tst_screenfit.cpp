// The editor and the product list on the screens clerks have: 1366 x 768 at 100, 125 and
// 150 %, 1920 x 1080 at 200 %, each on its own Xvfb with openbox, so the windows get real
// title bars and borders (scripts/with-openbox.sh; CMake runs this test once for each screen).
// What the user sees must be on the screen: the whole frame, the status bar, the list's bottom
// row of buttons.
#include <QtTest>
#include <QtWidgets>

#include "CalibrationDialog.h"
#include "EditorWindow.h"
#include "ModalDialogs.h"
#include "PrintingSettings.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

using namespace zukaro;

namespace {

QRect onScreen(const QWidget* w) {
    return {w->mapToGlobal(QPoint()), w->size()};
}

QString describe(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The window manager has put its title bar and borders around the window.
bool decorated(const QWidget& window) {
    return window.frameGeometry().height() > window.height();
}

}  // namespace

class TestScreenFit : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<EditorWindow> window_;

    QRect room() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The window, frame included, and what must stay visible of it lie inside the screen.
    void checkInside(const QWidget& window, const QWidgetList& mustShow) {
        QVERIFY2(QTest::qWaitFor([&] { return decorated(window); }),
                 "no window manager decorates the window");
        QTRY_VERIFY2(room().contains(window.frameGeometry()),
                     qPrintable(describe(window.frameGeometry()) + " on " + describe(room())));
        for (const QWidget* w : mustShow) {
            QVERIFY2(w->isVisible() && room().contains(onScreen(w)) &&
                         window.rect().contains(QRect(w->mapTo(&window, QPoint()), w->size())),
                     qPrintable(w->objectName() + ' ' + describe(onScreen(w))));
        }
    }

private slots:
    void initTestCase() {
        qInfo() << QGuiApplication::platformName() << "screen" << room() << "scale"
                << qgetenv("QT_SCALE_FACTOR");
        QCOMPARE(QGuiApplication::platformName(), "xcb");
    }

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

    // The window opens inside the screen with its title bar, the status bar where every
    // warning appears in view, and can be made as small as the screen; the controls that do
    // not fit scroll, and none lies outside the window.
    void fitsTheScreen() {
        checkInside(*window_, {window_->statusBar()});
        const QSize smallest = window_->minimumSizeHint().expandedTo(window_->minimumSize());
        const QSize frame = window_->frameGeometry().size() - window_->size();
        QVERIFY2(smallest.width() + frame.width() <= room().width() &&
                     smallest.height() + frame.height() <= room().height(),
                 qPrintable(QString("%1 x %2").arg(smallest.width()).arg(smallest.height())));
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
            QWidget* frameOf = controls->widget()->isAncestorOf(w)
                                   ? controls->widget()
                                   : static_cast<QWidget*>(window_.get());
            const QRect at(w->mapTo(frameOf, QPoint()), w->size());
            QVERIFY2(frameOf->rect().contains(at), qPrintable(w->objectName()));
        }
    }

    // A place saved on a larger screen (or before the title bar was counted) is brought
    // inside, frame and status bar included.
    void aSavedPlaceTooLargeComesInside() {
        window_->setGeometry(QRect(QPoint(200, 150), room().size() + QSize(300, 200)));
        QVERIFY(window_->close());
        init();
        checkInside(*window_, {window_->statusBar()});
    }

    // The preview opens with no label cut in half: at 50 % where the three columns fit, at 全体
    // where they do not (1366 x 768 at 125 %), also when the window is made smaller before
    // the clerk chose a zoom. 全体 shows all 21 labels with no scroll bar, and follows the
    // window's size; 倍率 then does what its caption says, 100 % with the scroll bars, and the
    // zoom no longer follows the window.
    void wholeSheetZoom() {
        auto* horizontal = window_->findChild<QScrollBar*>("HScroll1");
        auto* vertical = window_->findChild<QScrollBar*>("VScroll1");
        const auto columnsShown = [this] {
            const SheetState& s = window_->sheet();
            const QWidget* frame = window_->findChild<QWidget*>("picFrame");
            return (3 * kLabelPitchX + s.sheetX) * window_->sheetCommands().zoom() * 96 / 25.4 <=
                   frame->width();
        };
        QVERIFY(decorated(*window_) || QTest::qWaitFor([&] { return decorated(*window_); }));
        QTRY_VERIFY2(columnsShown(),
                     qPrintable(QString("at %1").arg(window_->sheetCommands().zoom())));
        QCOMPARE(horizontal->isVisible(), window_->sheetCommands().zoom() == 0.5);
        window_->resize(window_->minimumSizeHint());
        QTRY_VERIFY(columnsShown());
        QTest::mouseClick(window_->findChild<QPushButton*>("全体"), Qt::LeftButton);
        const auto lastLabelShown = [this] {
            const SheetState& s = window_->sheet();
            const double mmToPx = window_->sheetCommands().zoom() * 96 / 25.4;
            const QWidget* frame = window_->findChild<QWidget*>("picFrame");
            return (2 * kLabelPitchX + kLabelPitchX + s.sheetX) * mmToPx <= frame->width() &&
                   (7 * kLabelPitchY + s.sheetY) * mmToPx <= frame->height();
        };
        QTRY_VERIFY(lastLabelShown());  // once the smaller window's layout has settled
        QVERIFY(!horizontal->isVisible() && !vertical->isVisible());
        const double fitted = window_->sheetCommands().zoom();
        window_->resize(window_->size() + QSize(100, 100));
        QTRY_VERIFY(window_->sheetCommands().zoom() > fitted);
        QVERIFY(lastLabelShown());
        QVERIFY(!horizontal->isVisible() && !vertical->isVisible());
        auto* zoom = window_->findChild<QPushButton*>("倍率");
        QCOMPARE(zoom->text(), caption::zoomHalf);
        QTest::mouseClick(zoom, Qt::LeftButton);
        QCOMPARE(window_->sheetCommands().zoom(), 1.0);
        QCOMPARE(zoom->text(), caption::zoomFull);
        QVERIFY(horizontal->isVisible() && vertical->isVisible());
        const QWidget* frame = window_->findChild<QWidget*>("picFrame");
        const QSize shown = frame->size();
        window_->resize(window_->size() - QSize(100, 100));
        QTRY_VERIFY(frame->size() != shown);
        QCOMPARE(window_->sheetCommands().zoom(), 1.0);
    }

    // Size and place come back with the next window.
    void remembersItsPlace() {
        window_->resize(window_->minimumSizeHint() + QSize(20, 10));
        QTRY_COMPARE(window_->size(), window_->minimumSizeHint() + QSize(20, 10));
        const QSize size = window_->size();
        QVERIFY(window_->close());
        init();
        QTRY_COMPARE(window_->size(), size);
    }

    // 印刷位置の調整 on a printer with a calibration of four parts: inside the screen, and
    // 「今の調整」 on one line, whole.
    void calibrationDialogFits() {
        QVERIFY(storeCalibration(dir_.path(), kPdfFilePrinter,
                                 {{-2.74, -2.46, 1.0030257186, 0.9969378828}, "2024-05-01"})
                    .ok);
        QString stored;
        int lines = 0;
        bool whole = false;
        testing::whenShown<CalibrationDialog>([&](CalibrationDialog& d) {
            d.findChild<QComboBox*>("プリンター")->setCurrentText(kPdfFilePrinter);
            QTest::qWait(200);  // the window manager's frame
            checkInside(d, {d.findChild<QPushButton*>("閉じる")});
            auto* label = d.findChild<QLabel*>("今の調整");
            stored = label->text();
            lines = label->height() / label->fontMetrics().height();
            whole = label->width() >= label->fontMetrics().horizontalAdvance(stored);
            d.accept();
        });
        window_->findChild<QAction*>("印刷位置の調整")->trigger();
        QCOMPARE(stored,
                 "左に 2.7 mm、上に 2.5 mm、横に 0.3 % 伸び、縦に 0.3 % 縮んでいます"
                 "（2024-05-01 に調整）");
        QCOMPARE(lines, 1);
        QVERIFY(whole);
        QVERIFY(forgetCalibration(dir_.path(), kPdfFilePrinter).ok);
    }

    // 商品リスト with a drugstore's list, in each state a clerk meets: inside the screen, frame
    // included, and every control of its lower rows in view; the table gives way. After a
    // print the offer of the next start (「前回の印刷はラベル 13 で終わりました」, 「14 から」);
    // with a master, what registering would do and the untaxed prices' note beside their
    // buttons.
    void listWindowFits_data() {
        QTest::addColumn<bool>("afterAPrint");
        QTest::addColumn<bool>("withMaster");
        QTest::newRow("a drugstore's list") << false << false;
        QTest::newRow("after a print") << true << false;
        QTest::newRow("after a print, with the master's note") << true << true;
    }

    void listWindowFits() {
        QFETCH(bool, afterAPrint);
        QFETCH(bool, withMaster);
        cleanup();
        const QString settings = dir_.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(settings));
        if (afterAPrint) {  // as a print that ended at label 13 left it
            QSettings kept(settings + "/list.ini", QSettings::IniFormat);
            kept.setValue("NextStart/label", 14);
            kept.setValue("NextStart/printedAt", QDateTime(QDate(2026, 12, 7), QTime(10, 2)));
        }
        ProductMaster master(settings + "/products.sqlite");
        ProductListHooks hooks;
        hooks.settingsFolder = settings;
        if (withMaster) {
            hooks.master = &master;
            hooks.changeLayout = [](const std::function<void(Layout&)>&) {};
        }
        ProductListWindow list(dialogs_, messages_, hooks);
        QString rows = "JANコード\t品名\t売価\t税区分\n";
        for (int i = 0; i < 300; ++i) {
            rows += QString("49012345%1\tビタミンC 1000mg 徳用 %2 錠入り ボトル\t￥%3\t外税\n")
                        .arg(i, 5, 10, QChar('0'))
                        .arg(i)
                        .arg(198000 + i);
        }
        QVERIFY(list.pasteRows(rows));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QWidgetList shown;
        QStringList names{"開始位置", "入力画面で開く", "まとめて保存", "まとめて印刷", "概要"};
        if (afterAPrint) {
            names << "前回の続きの説明"
                  << "前回の続き";
        }
        if (withMaster) {
            names << "マスターとの比較"
                  << "マスターに登録"
                  << "税込表示にする";
        }
        for (const QString& name : names) {
            shown << list.findChild<QWidget*>(name);
            QVERIFY2(shown.back() != nullptr, qPrintable(name));
        }
        checkInside(list, shown);
        const QSize smallest = list.minimumSizeHint().expandedTo(list.minimumSize());
        const QSize frame = list.frameGeometry().size() - list.size();
        QVERIFY2(smallest.width() + frame.width() <= room().width(),
                 qPrintable(QString("%1 x %2").arg(smallest.width()).arg(smallest.height())));
        if (afterAPrint) {
            QCOMPARE(list.findChild<QPushButton*>("前回の続き")->text(), "14 から");
        }
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
