#include <QtTest>
#include <QtWidgets>

#include "EditorWindow.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "StartScreen.h"

using namespace zukaro;

namespace {

void click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void chooseHelp(StartScreen& start) {
    start.findChild<QAction*>("HELP1")->trigger();
}

}  // namespace

class StartScreenTest : public QObject {
    Q_OBJECT
    ScriptedCommonDialog1 dialogs_;  // any dialog an editor shows would be cancelled
    ScriptedMessageBoxes messages_;
    QTemporaryDir dir_;  // the editors' data.txt and the manual pages
    int editorsMade_ = 0;

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
        editorsMade_ = 0;
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
        QCOMPARE(start->editorWindow(), editor);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->sheet().label(3), typed);

        QPointer<QWidget> alive = editor;
        editor->close();
        QTRY_VERIFY(alive.isNull());
        click(*start, "Command1");
        QCOMPARE(editorsMade_, 2);
    }

    void helpTwiceShowsOneHelpWindow() {
        auto start = startScreen();
        chooseHelp(*start);
        QPointer<QWidget> help = start->helpWindow();
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start.get()));

        chooseHelp(*start);
        QWidgetList shown = QApplication::topLevelWidgets();
        shown.removeIf([](QWidget* w) { return !w->isVisible() || w->objectName() != "help01"; });
        QCOMPARE(shown, QWidgetList{help});
        QVERIFY(QTest::qWaitForWindowActive(help));
    }

    void closingOrders_data() {
        QTest::addColumn<QStringList>("steps");  // each closes one window
        QTest::newRow("終了, then the editor") << QStringList{"終了", "editor"};
        QTest::newRow("close box, help, editor") << QStringList{"close box", "help", "editor"};
        QTest::newRow("終了 alone") << QStringList{"終了"};
    }

    // The program runs until its last window is closed; steps 50 ms apart, in the real loop.
    void closingOrders() {
        QFETCH(QStringList, steps);
        auto start = startScreen();
        if (steps.contains("editor")) {
            click(*start, "Command1");
        }
        if (steps.contains("help")) {
            chooseHelp(*start);
        }
        const QPointer<QWidget> editor = start->editorWindow(), help = start->helpWindow();
        int stepsRun = 0;
        QObject timers;  // a failed row leaves no step pending
        for (int i = 0; i < steps.size(); ++i) {
            QTimer::singleShot(50 * i, &timers, [&, step = steps[i]] {
                if (step == "終了") {
                    click(*start, "Command4");
                } else if (step == "close box") {
                    start->close();
                } else {
                    (step == "editor" ? editor : help)->close();
                }
                ++stepsRun;
            });
        }
        QTimer::singleShot(5000, &timers, [] { QCoreApplication::exit(1); });
        QVERIFY2(QCoreApplication::exec() == 0, "still running after the last window closed");
        QCOMPARE(stepsRun, steps.size());
    }

    void manualButton_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("exists");
        QTest::newRow("blank, %, # and kana in the path") << "使い方 100%#1/説明書.html" << true;
        QTest::newRow("manual missing") << "missing.html" << false;
    }

    // A click opens exactly the manual's file; a failure is told without blocking other windows.
    void manualButton() {
        QFETCH(QString, fileName);
        QFETCH(bool, exists);
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
