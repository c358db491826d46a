#include <QtTest>
#include <QtWidgets>

#include "EditorWindow.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "StartScreen.h"

using namespace zukaro;

class StartScreenTest : public QObject {
    Q_OBJECT
    ScriptedCommonDialog1 dialogs_;  // any dialog an editor shows would be cancelled
    ScriptedMessageBoxes messages_;
    QTemporaryDir dir_;    // the editors' data.txt and the manual pages
    int editorsMade_ = 0;  // checked by the first test only

    static void click(QWidget& window, const char* name) {  // asserts when there is no such button
        QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton);
    }

    std::unique_ptr<StartScreen> startScreen(const QString& manual = "index.html") {
        auto start = std::make_unique<StartScreen>(
            [this]() -> QWidget* {
                ++editorsMade_;
                return new EditorWindow(dialogs_, messages_, {dir_.path(), dir_.path()});
            },
            QUrl::fromLocalFile(dir_.filePath(manual)));
        start->show();
        return start;
    }

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // 作成 twice: one editor, brought back with its labels; once closed, 作成 makes a new one.
    void createTwiceKeepsOneEditor() {
        auto start = startScreen();
        click(*start, "Command1");
        auto* editor = qobject_cast<EditorWindow*>(start->editorWindow());
        QVERIFY(editor && QTest::qWaitForWindowExposed(editor));
        const LabelRecord typed{"4901234567894", "山田食品", "しょうゆ", "1L", "A-0412", "398"};
        editor->sheet().setLabel(3, typed);
        editor->showMinimized();
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start.get()));

        click(*start, "Command1");
        QCOMPARE(editorsMade_, 1);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->sheet().label(3), typed);

        QPointer<QWidget> alive = editor;
        messages_.scriptAnswer(Answer::No);  // the typed label is not saved
        editor->close();
        QTRY_VERIFY(alive.isNull());
        click(*start, "Command1");
        QCOMPARE(editorsMade_, 2);
    }

    void helpTwiceShowsOneHelpWindow() {
        auto start = startScreen();
        start->findChild<QAction*>("HELP1")->trigger();
        QPointer<QWidget> help = start->helpWindow();
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start.get()));

        start->findChild<QAction*>("HELP1")->trigger();
        QWidgetList shown = QApplication::topLevelWidgets();
        shown.removeIf([](QWidget* w) { return !w->isVisible() || w->objectName() != "help01"; });
        QCOMPARE(shown, QWidgetList{help});
        QVERIFY(QTest::qWaitForWindowActive(help));
        // It names the button the start screen really has, and the whole text is shown.
        auto* where = help->findChild<QLabel*>("Label2");
        QVERIFY2(where->text().contains("「" + start->findChild<QPushButton*>("Command5")->text() +
                                        "」ボタン"),
                 qPrintable(where->text()));
        QVERIFY(where->heightForWidth(where->width()) <= where->height());
        QVERIFY(help->rect().contains(where->geometry()));
    }

    // 終了 with the editor and help open: the program runs until the last of them is closed.
    void programEndsWithItsLastWindow() {
        auto start = startScreen();
        click(*start, "Command1");
        start->findChild<QAction*>("HELP1")->trigger();
        const QPointer<QWidget> editor = start->editorWindow(), help = start->helpWindow();
        QVERIFY(editor && help);
        QObject timers;  // a failed run leaves nothing pending
        QTimer::singleShot(0, &timers, [&] { click(*start, "Command4"); });
        QTimer::singleShot(50, &timers, [&] { help->close(); });
        QTimer::singleShot(100, &timers, [&] { editor->close(); });
        QTimer::singleShot(5000, &timers, [] { QCoreApplication::exit(1); });
        QVERIFY2(QCoreApplication::exec() == 0, "still running after the last window closed");
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.begin(), windows.end(), std::mem_fn(&QWidget::isVisible)));
    }

    void manualButton_data() {
        QTest::addColumn<QString>("fileName");  // made unless it starts with "missing"
        QTest::newRow("blank, %, # and kana in the path") << "使い方 100%#1/説明書.html";
        QTest::newRow("manual missing") << "missing.html";
    }

    // A click opens exactly the manual's file; a failure is told without blocking other windows.
    void manualButton() {
        QFETCH(QString, fileName);
        const bool exists = !fileName.startsWith("missing");
        QFile file(dir_.filePath(fileName));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(!exists || file.open(QIODevice::WriteOnly));
        auto start = startScreen(fileName);
        QList<QUrl> opened;
        start->setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        click(*start, "Command5");
        QCOMPARE(opened, exists ? QList{QUrl::fromLocalFile(file.fileName())} : QList<QUrl>{});
        auto* box = start->findChild<QMessageBox*>();
        QCOMPARE(box != nullptr, !exists);
        QVERIFY(!box || (box->isVisible() && box->windowModality() == Qt::WindowModal));
    }
};

QTEST_MAIN(StartScreenTest)
#include "tst_startscreen.moc"
