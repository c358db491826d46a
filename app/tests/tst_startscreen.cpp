#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "EditorWindow.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "StartScreen.h"

using namespace zukaro;

namespace {

// Makes real editors and counts them. Their data.txt lives in a folder of their own.
struct Editors {
    ScriptedCommonDialog1 dialogs;  // any dialog shown would be cancelled
    ScriptedMessageBoxes messages;
    QTemporaryDir settings;
    int made = 0;
    EditorFactory factory() {
        return [this] {
            ++made;
            return new EditorWindow(dialogs, messages, {settings.path(), settings.path()});
        };
    }
};

void click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void chooseHelp(StartScreen& start) {
    start.findChild<QAction*>(QStringLiteral("HELP1"))->trigger();
}

int visibleWindowsNamed(const QString& name) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += w->isVisible() && w->objectName() == name;
    }
    return count;
}

}  // namespace

class StartScreenTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    Editors editors_;

    QUrl page(const QString& fileName, bool create = true) {
        const QString path = dir_.filePath(fileName);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (create && !file.open(QIODevice::WriteOnly)) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return QUrl::fromLocalFile(path);
    }

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        editors_.made = 0;
    }

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("design");  // pixels, from the twips at 15 per pixel
        QTest::addColumn<bool>("growsBothSides");
        QTest::newRow("manual address") << "Command5" << QRect(248, 8, 201, 17) << true;
        QTest::newRow("picture") << "Picture1" << QRect(16, 32, 641, 425) << false;
        QTest::newRow("作成") << "Command1" << QRect(80, 472, 129, 25) << true;
        QTest::newRow("終了") << "Command4" << QRect(232, 472, 97, 25) << true;
        QTest::newRow("help line 1") << "Label1" << QRect(48, 56, 241, 25) << false;
        QTest::newRow("help line 2") << "Label2" << QRect(48, 80, 217, 25) << false;
    }

    // Every control keeps its design place; one whose text needs more room is widened just
    // enough (around its centre for buttons, to the right for texts), never clipped.
    void controlsSitWhereDesigned() {
        QFETCH(QString, control);
        QFETCH(QRect, design);
        QFETCH(bool, growsBothSides);
        StartScreen start(editors_.factory(), page(QStringLiteral("index.html")));
        start.show();
        chooseHelp(start);
        QCOMPARE(start.centralWidget()->size(), QSize(678, 511));  // 10170 × 7665 twips
        QCOMPARE(start.helpWindow()->size(), QSize(312, 145));     // 4680 × 2175 twips

        QWidget* w = control.startsWith(QLatin1String("Label"))
                         ? start.helpWindow()->findChild<QWidget*>(control)
                         : start.findChild<QWidget*>(control);
        QVERIFY(w);
        const QRect r = w->geometry();
        const int needed = qobject_cast<QLabel*>(w) && !qobject_cast<QLabel*>(w)->pixmap().isNull()
                               ? 0
                               : w->sizeHint().width();
        QCOMPARE(r.top(), design.top());
        QCOMPARE(r.height(), design.height());
        QVERIFY2(needed <= r.width(), "text clipped");
        if (needed <= design.width()) {
            QCOMPARE(r, design);
        } else if (growsBothSides) {
            QVERIFY(std::abs(r.center().x() - design.center().x()) <= 1);
        } else {
            QCOMPARE(r.left(), design.left());
        }
    }

    // 作成 twice: one editor, brought back to the front with its labels; once closed, the
    // next 作成 starts a new editor from scratch.
    void createTwiceKeepsOneEditor() {
        StartScreen start(editors_.factory(), page(QStringLiteral("index.html")));
        start.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start));
        QCOMPARE(editors_.made, 0);  // the start screen does nothing by itself

        click(start, "Command1");
        auto* editor = qobject_cast<EditorWindow*>(start.editorWindow());
        QVERIFY(editor);
        QPointer<QWidget> alive = editor;
        QCOMPARE(editor->parentWidget(), nullptr);  // no owner: it outlives the start screen
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        const LabelRecord typed{QStringLiteral("4901234567894"),
                                QStringLiteral("山田食品"),
                                QStringLiteral("国産丸大豆しょうゆ"),
                                QStringLiteral("1L"),
                                QStringLiteral("A-0412"),
                                QStringLiteral("398")};
        editor->sheet().setLabel(3, typed);
        editor->sheet().currentLabel = 3;
        editor->showMinimized();
        start.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&start));

        click(start, "Command1");
        QCOMPARE(editors_.made, 1);
        QCOMPARE(start.editorWindow(), editor);
        QCOMPARE(visibleWindowsNamed(QStringLiteral("ズカロ入力")), 1);
        QVERIFY(!editor->isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->sheet().label(3), typed);
        QCOMPARE(editor->sheet().currentLabel, 3);

        editor->close();
        QTRY_VERIFY(alive.isNull());
        click(start, "Command1");
        QCOMPARE(editors_.made, 2);
        auto* fresh = qobject_cast<EditorWindow*>(start.editorWindow());
        QVERIFY(fresh);
        QVERIFY(fresh->sheet().label(3).isBlank());
        QCOMPARE(fresh->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
        QVERIFY(editors_.messages.shown().isEmpty());
        QVERIFY(editors_.dialogs.shown().isEmpty());
    }

    void helpTwiceShowsOneHelpWindow() {
        StartScreen start(editors_.factory(), page(QStringLiteral("index.html")));
        start.show();
        chooseHelp(start);
        QPointer<QWidget> help = start.helpWindow();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        start.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&start));

        chooseHelp(start);
        QCOMPARE(start.helpWindow(), help.data());
        QCOMPARE(visibleWindowsNamed(QStringLiteral("help01")), 1);
        QCOMPARE(help->parentWidget(), nullptr);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(editors_.made, 0);
    }

    void closingOrders_data() {
        QTest::addColumn<QStringList>("steps");
        // Each step closes one window; the program must run until the last one is closed.
        QTest::newRow("終了, then the editor") << QStringList{"Command4", "editor"};
        QTest::newRow("the editor, then 終了") << QStringList{"editor", "Command4"};
        QTest::newRow("close box, help, editor") << QStringList{"closebox", "help", "editor"};
        QTest::newRow("help, 終了, editor") << QStringList{"help", "Command4", "editor"};
        QTest::newRow("editor, help, close box") << QStringList{"editor", "help", "closebox"};
        QTest::newRow("終了 alone") << QStringList{"Command4"};
    }

    // Runs the real event loop: quitting on the last window closed only happens inside it.
    void closingOrders() {
        QFETCH(QStringList, steps);
        StartScreen start(editors_.factory(), page(QStringLiteral("index.html")));
        start.show();
        if (steps.contains(QStringLiteral("editor"))) {
            click(start, "Command1");
        }
        if (steps.contains(QStringLiteral("help"))) {
            chooseHelp(start);
        }
        QPointer<QWidget> editor = start.editorWindow();
        QPointer<QWidget> help = start.helpWindow();

        int stepsRunInLoop = 0;
        QObject timers;  // owns the pending steps, so a failed row leaves none behind
        std::function<void(int)> runStep = [&](int i) {
            const QString& step = steps[i];
            if (step == QLatin1String("Command4")) {
                click(start, "Command4");
            } else if (step == QLatin1String("closebox")) {
                start.close();
            } else {
                (step == QLatin1String("editor") ? editor : help)->close();
            }
            ++stepsRunInLoop;
            if (i + 1 < steps.size()) {
                // The loop must still be running to get here.
                QTimer::singleShot(50, &timers, [&, i] { runStep(i + 1); });
            }
        };
        QTimer::singleShot(0, &timers, [&] { runStep(0); });
        bool timedOut = false;
        QTimer::singleShot(5000, &timers, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });

        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY2(!timedOut, "still running after the last window closed");
        QCOMPARE(stepsRunInLoop, steps.size());
    }

    void manualButton_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<QString>("message");  // part of the error shown, empty for none
        QTest::newRow("plain") << "index.html" << true << true << "";
        QTest::newRow("blank") << "使い方 manual/index.html" << true << true << "";
        QTest::newRow("percent and hash") << "100%#1/index.html" << true << true << "";
        QTest::newRow("Japanese") << "説明書/ズカロ.html" << true << true << "";
        QTest::newRow("manual missing") << "missing.html" << false << true << "missing.html";
        QTest::newRow("no browser") << "index.html" << true << false << "file:///";
    }

    // The caption is the address, and a click opens exactly that file; failures are told.
    void manualButton() {
        QFETCH(QString, fileName);
        QFETCH(bool, exists);
        QFETCH(bool, browserStarts);
        QFETCH(QString, message);
        const QUrl url = page(fileName, exists);
        StartScreen start(editors_.factory(), url);
        QList<QUrl> opened;
        start.setUrlOpener([&](const QUrl& u) {
            opened << u;
            return browserStarts;
        });
        start.show();
        click(start, "Command5");

        QCOMPARE(opened.size(), exists ? 1 : 0);
        if (exists) {
            QCOMPARE(opened.first().toLocalFile(), url.toLocalFile());
        }
        auto* box = start.findChild<QMessageBox*>();
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
