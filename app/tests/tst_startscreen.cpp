#include <QtTest>
#include <QtWidgets>
#include <memory>

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

    // A shown start screen whose 作成 makes real editors.
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

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("design");  // pixels, from the twips at 15 per pixel
        QTest::addColumn<bool>("centred");  // widened around its centre, else to the right
        QTest::newRow("manual address") << "Command5" << QRect(248, 8, 201, 17) << true;
        QTest::newRow("picture") << "Picture1" << QRect(16, 32, 641, 425) << false;
        QTest::newRow("作成") << "Command1" << QRect(80, 472, 129, 25) << true;
        QTest::newRow("終了") << "Command4" << QRect(232, 472, 97, 25) << true;
        QTest::newRow("help line 1") << "Label1" << QRect(48, 56, 241, 25) << false;
        QTest::newRow("help line 2") << "Label2" << QRect(48, 80, 217, 25) << false;
    }

    // A control whose text needs more room than designed is widened just enough.
    void controlsSitWhereDesigned() {
        QFETCH(QString, control);
        QFETCH(QRect, design);
        QFETCH(bool, centred);
        auto start = startScreen();
        chooseHelp(*start);
        QCOMPARE(start->centralWidget()->size(), QSize(678, 511));  // 10170 × 7665 twips
        QCOMPARE(start->helpWindow()->size(), QSize(312, 145));     // 4680 × 2175 twips
        QWidget* parent = control.startsWith("Label") ? start->helpWindow() : start.get();
        QWidget* w = parent->findChild<QWidget*>(control);
        QVERIFY(w);
        const int needed = w->sizeHint().width();
        const QRect r = w->geometry();
        QCOMPARE(r.top(), design.top());
        QCOMPARE(r.height(), design.height());
        QCOMPARE(r.width(), std::max(design.width(), needed));
        // Twice the shift of the centre: at most the odd pixel of the widening.
        const int centreShift = 2 * (r.left() - design.left()) + r.width() - design.width();
        QVERIFY2(centred ? std::abs(centreShift) <= 1 : r.left() == design.left(),
                 qPrintable(QStringLiteral("left %1").arg(r.left())));
    }

    // 作成 twice: one editor, brought back to the front with its labels; once it is closed,
    // 作成 starts a new one from scratch.
    void createTwiceKeepsOneEditor() {
        auto start = startScreen();
        QVERIFY(QTest::qWaitForWindowExposed(start.get()));
        QCOMPARE(editorsMade_, 0);  // the start screen does nothing by itself
        click(*start, "Command1");
        auto* editor = qobject_cast<EditorWindow*>(start->editorWindow());
        QVERIFY(editor);
        QCOMPARE(editor->parentWidget(), nullptr);  // it outlives the start screen
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        const LabelRecord typed{"4901234567894", "山田食品", "国産丸大豆しょうゆ", "1L",
                                "A-0412",        "398"};
        editor->sheet().setLabel(3, typed);
        editor->sheet().currentLabel = 3;
        editor->showMinimized();
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start.get()));

        click(*start, "Command1");
        QCOMPARE(editorsMade_, 1);
        QCOMPARE(start->editorWindow(), editor);
        QVERIFY(!editor->isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->sheet().label(3), typed);
        QCOMPARE(editor->sheet().currentLabel, 3);

        QPointer<QWidget> alive = editor;
        editor->close();
        QTRY_VERIFY(alive.isNull());
        click(*start, "Command1");
        QCOMPARE(editorsMade_, 2);
        auto* fresh = qobject_cast<EditorWindow*>(start->editorWindow());
        QVERIFY(fresh && fresh->sheet().label(3).isBlank());
        QCOMPARE(fresh->windowTitle(), "ズカロ入力画面  無題");
        QVERIFY(messages_.shown().isEmpty() && dialogs_.shown().isEmpty());
    }

    void helpTwiceShowsOneHelpWindow() {
        auto start = startScreen();
        chooseHelp(*start);
        QPointer<QWidget> help = start->helpWindow();
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->parentWidget(), nullptr);
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start.get()));

        chooseHelp(*start);
        QCOMPARE(start->helpWindow(), help.data());
        const auto windows = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(windows.begin(), windows.end(),
                          [](QWidget* w) { return w->isVisible() && w->objectName() == "help01"; }),
            1);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(editorsMade_, 0);
    }

    void closingOrders_data() {
        QTest::addColumn<QStringList>("steps");  // each closes one window
        QTest::newRow("終了, then the editor") << QStringList{"終了", "editor"};
        QTest::newRow("the editor, then 終了") << QStringList{"editor", "終了"};
        QTest::newRow("close box, help, editor") << QStringList{"close box", "help", "editor"};
        QTest::newRow("help, 終了, editor") << QStringList{"help", "終了", "editor"};
        QTest::newRow("終了 alone") << QStringList{"終了"};
    }

    // The program runs until its last window is closed; only the real event loop quits.
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
            // 50 ms apart: a step runs only if the loop still runs after the one before.
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
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<QString>("message");  // part of the error shown, empty for none
        QTest::newRow("blank, %, # and kana in the path")
            << "使い方 100%#1/説明書.html" << true << true << "";
        QTest::newRow("manual missing") << "missing.html" << false << true << "missing.html";
        QTest::newRow("no browser") << "index.html" << true << false << "file:///";
    }

    // The caption is the address, and a click opens exactly that file; failures are told.
    void manualButton() {
        QFETCH(QString, fileName);
        QFETCH(bool, exists);
        QFETCH(bool, browserStarts);
        QFETCH(QString, message);
        QFile file(dir_.filePath(fileName));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(!exists || file.open(QIODevice::WriteOnly));
        auto start = startScreen(fileName);
        QList<QUrl> opened;
        start->setUrlOpener([&](const QUrl& url) {
            opened << url;
            return browserStarts;
        });
        click(*start, "Command5");
        QCOMPARE(opened, exists ? QList{QUrl::fromLocalFile(file.fileName())} : QList<QUrl>{});
        auto* box = start->findChild<QMessageBox*>();
        QCOMPARE(box != nullptr, !message.isEmpty());
        if (box) {
            QVERIFY(box->isVisible());
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QVERIFY2(box->text().contains(message), qPrintable(box->text()));
            // Not application-modal: the editor and the help window stay usable.
            QCOMPARE(box->windowModality(), Qt::WindowModal);
        }
    }
};

QTEST_MAIN(StartScreenTest)
#include "tst_startscreen.moc"
