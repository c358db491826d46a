#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "CommonDialog1.h"
#include "EditorWindow.h"
#include "MessageBoxes.h"
#include "StartScreen.h"

using namespace zukaro;

namespace {

// Stands in for the label editor: one field whose text must survive a second 作成.
struct EditorFactoryProbe {
    int made = 0;
    EditorFactory factory() {
        return [this] {
            ++made;
            auto* editor = new QWidget;
            editor->setObjectName(QStringLiteral("ズカロ入力"));
            auto* field = new QLineEdit(editor);
            field->setObjectName(QStringLiteral("Text1"));
            return editor;
        };
    }
};

// The real editor needs its dialogs; none of them is opened here.
class NoDialogs final : public CommonDialog1 {
public:
    int showPrinter(QPrinter&) override { return kCancelError; }
    int showFont(FontChoice&) override { return kCancelError; }
    int showColor(WinColor&) override { return kCancelError; }
    int showOpen(const QString&, QString&) override { return kCancelError; }
    int showSave(const QString&, QString&) override { return kCancelError; }
};

class NoMessages final : public MessageBoxes {
public:
    bool askYesNo(const QString&, const QString&, MessageIcon, bool) override { return false; }
    void tell(const QString&, const QString&, MessageIcon) override {}
};

QPushButton* button(QWidget& window, const char* name) {
    auto* b = window.findChild<QPushButton*>(QString::fromLatin1(name));
    if (!b) {
        qFatal("no button %s", name);
    }
    return b;
}

void click(QWidget& window, const char* name) {
    QTest::mouseClick(button(window, name), Qt::LeftButton);
}

void chooseHelp(StartScreen& start) {
    start.findChild<QAction*>(QStringLiteral("HELP1"))->trigger();
}

QList<QWidget*> visibleWindowsNamed(const QString& name) {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == name) {
            found << w;
        }
    }
    return found;
}

QMessageBox* shownMessage(QWidget& parent) {
    for (auto* box : parent.findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

}  // namespace

class StartScreenTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QUrl manual_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QFile page(dir_.filePath(QStringLiteral("index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        manual_ = QUrl::fromLocalFile(page.fileName());
    }

    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("design");  // pixels, from the twips at 15 per pixel
        QTest::addColumn<bool>("growsBothSides");

        QTest::newRow("manual address") << "zukaro"
                                        << "Command5" << QRect(248, 8, 201, 17) << true;
        QTest::newRow("picture") << "zukaro"
                                 << "Picture1" << QRect(16, 32, 641, 425) << false;
        QTest::newRow("作成") << "zukaro"
                              << "Command1" << QRect(80, 472, 129, 25) << true;
        QTest::newRow("終了") << "zukaro"
                              << "Command4" << QRect(232, 472, 97, 25) << true;
        QTest::newRow("help line 1") << "help01"
                                     << "Label1" << QRect(48, 56, 241, 25) << false;
        QTest::newRow("help line 2") << "help01"
                                     << "Label2" << QRect(48, 80, 217, 25) << false;
    }

    // Every control keeps its design place; one whose text needs more room is widened just
    // enough (around its centre for buttons, to the right for texts), never clipped.
    void controlsSitWhereDesigned() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, design);
        QFETCH(bool, growsBothSides);

        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
        start.show();
        chooseHelp(start);
        QWidget* host = window == QLatin1String("zukaro") ? &start : start.helpWindow();
        QVERIFY(host);
        auto* w = host->findChild<QWidget*>(control);
        QVERIFY(w);
        const QRect r = w->geometry();

        QCOMPARE(r.top(), design.top());
        QCOMPARE(r.height(), design.height());
        QVERIFY2(r.contains(design), qPrintable(control));
        if (qobject_cast<QLabel*>(w) && !qobject_cast<QLabel*>(w)->pixmap().isNull()) {
            QCOMPARE(r, design);
            return;
        }
        QVERIFY2(w->sizeHint().width() <= r.width(), "text clipped");
        if (w->sizeHint().width() <= design.width()) {
            QCOMPARE(r, design);
        } else if (growsBothSides) {
            QVERIFY(std::abs(r.center().x() - design.center().x()) <= 1);
        } else {
            QCOMPARE(r.left(), design.left());
        }
    }

    void insideSizesAreDesigned() {
        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
        start.show();
        QCOMPARE(start.centralWidget()->size(), QSize(678, 511));  // 10170 × 7665 twips
        chooseHelp(start);
        QWidget* help = start.helpWindow();
        QVERIFY(help);
        QCOMPARE(help->size(), QSize(312, 145));  // 4680 × 2175 twips
    }

    void createTwiceOpensOneEditorAndKeepsIt() {
        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
        start.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start));
        QCOMPARE(probe.made, 0);  // nothing happens at start-up

        click(start, "Command1");
        QPointer<QWidget> editor = start.editorWindow();
        QVERIFY(editor);
        QVERIFY(editor->isWindow());
        QCOMPARE(editor->parentWidget(), nullptr);  // no owner: it outlives the start screen
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        editor->findChild<QLineEdit*>(QStringLiteral("Text1"))
            ->setText(QStringLiteral("4901234567894"));

        editor->showMinimized();
        start.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&start));
        click(start, "Command1");

        QCOMPARE(probe.made, 1);
        QCOMPARE(start.editorWindow(), editor.data());
        QCOMPARE(visibleWindowsNamed(QStringLiteral("ズカロ入力")).size(), 1);
        QVERIFY(!editor->isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
                 QStringLiteral("4901234567894"));
    }

    // A closed editor is gone with its labels; 作成 then starts a new one from scratch.
    void createAfterClosingStartsAFreshEditor() {
        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
        start.show();
        click(start, "Command1");
        QPointer<QWidget> first = start.editorWindow();
        first->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("typed"));
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(start.editorWindow(), nullptr);

        click(start, "Command1");
        QCOMPARE(probe.made, 2);
        QVERIFY(start.editorWindow());
        QVERIFY(start.editorWindow()->isVisible());
        QCOMPARE(start.editorWindow()->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
                 QString());
    }

    // The same with the real label editor: its labels survive a second 作成, and a closed
    // editor comes back empty (it starts up again from scratch).
    void realEditorKeepsItsLabelsUntilClosed() {
        NoDialogs dialogs;
        NoMessages messages;
        int made = 0;
        StartScreen start(
            [&]() -> QWidget* {
                ++made;
                return new EditorWindow(dialogs, messages);
            },
            manual_);
        start.show();
        click(start, "Command1");
        QPointer<EditorWindow> editor = qobject_cast<EditorWindow*>(start.editorWindow());
        QVERIFY(editor);
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        const LabelRecord typed{QStringLiteral("4901234567894"),
                                QStringLiteral("山田食品"),
                                QStringLiteral("国産丸大豆しょうゆ"),
                                QStringLiteral("1L"),
                                QStringLiteral("A-0412"),
                                QStringLiteral("398")};
        editor->sheet().setLabel(3, typed);
        editor->sheet().currentLabel = 3;

        click(start, "Command1");
        QCOMPARE(made, 1);
        QCOMPARE(start.editorWindow(), editor.data());
        QCOMPARE(editor->sheet().label(3), typed);
        QCOMPARE(editor->sheet().currentLabel, 3);

        editor->close();
        QTRY_VERIFY(editor.isNull());
        QVERIFY(start.isVisible());
        click(start, "Command1");
        QCOMPARE(made, 2);
        auto* fresh = qobject_cast<EditorWindow*>(start.editorWindow());
        QVERIFY(fresh);
        QVERIFY(fresh->sheet().label(3).isBlank());
        QCOMPARE(fresh->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
    }

    void helpTwiceShowsOneHelpWindow() {
        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
        start.show();
        chooseHelp(start);
        QPointer<QWidget> help = start.helpWindow();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        start.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&start));

        chooseHelp(start);
        QCOMPARE(start.helpWindow(), help.data());
        QCOMPARE(visibleWindowsNamed(QStringLiteral("help01")).size(), 1);
        QCOMPARE(help->parentWidget(), nullptr);
        QCOMPARE(help->windowTitle(), QStringLiteral("使い方"));
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(probe.made, 0);
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
        QVERIFY(QApplication::quitOnLastWindowClosed());

        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), manual_);
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
        QString failure;
        QObject timers;  // owns the pending steps, so a failed row leaves none behind
        std::function<void(int)> runStep = [&](int i) {
            const QString& step = steps[i];
            if (step == QLatin1String("Command4")) {
                click(start, "Command4");
            } else if (step == QLatin1String("closebox")) {
                start.close();
            } else if (step == QLatin1String("editor")) {
                editor->close();
            } else {
                help->close();
            }
            ++stepsRunInLoop;
            if (i + 1 < steps.size()) {
                // The loop must still be running to get here.
                QTimer::singleShot(50, &timers, [&, i] { runStep(i + 1); });
            }
        };
        QTimer::singleShot(0, &timers, [&] { runStep(0); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [&] {
            failure = QStringLiteral("still running after the last window closed");
            QCoreApplication::exit(1);
        });
        guard.start(5000);

        const int rc = QCoreApplication::exec();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(rc, 0);
        QCOMPARE(stepsRunInLoop, steps.size());
        QVERIFY(!start.isVisible());
    }

    void manualButtonOpensItsCaption_data() {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << "index.html";
        QTest::newRow("blank") << "使い方 manual/index.html";
        QTest::newRow("percent and hash") << "100%#1/index.html";
        QTest::newRow("Japanese") << "説明書/ズカロ.html";
    }

    void manualButtonOpensItsCaption() {
        QFETCH(QString, fileName);
        const QString path = dir_.filePath(fileName);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile page(path);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();

        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), QUrl::fromLocalFile(path));
        QList<QUrl> opened;
        start.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        start.show();
        QVERIFY(button(start, "Command5")->text().startsWith(QStringLiteral("file:///")));
        click(start, "Command5");

        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toLocalFile(), path);
        QCOMPARE(shownMessage(start), nullptr);
    }

    void manualFailuresAreReported_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<int>("opens");
        QTest::addColumn<QString>("messageNames");
        QTest::newRow("manual missing") << false << true << 0 << "missing.html";
        QTest::newRow("no browser") << true << false << 1 << "file:///";
    }

    void manualFailuresAreReported() {
        QFETCH(bool, fileExists);
        QFETCH(bool, browserStarts);
        QFETCH(int, opens);
        QFETCH(QString, messageNames);
        const QString path = dir_.filePath(fileExists ? QStringLiteral("index.html")
                                                      : QStringLiteral("missing.html"));

        EditorFactoryProbe probe;
        StartScreen start(probe.factory(), QUrl::fromLocalFile(path));
        int opened = 0;
        start.setUrlOpener([&](const QUrl&) {
            ++opened;
            return browserStarts;
        });
        start.show();
        click(start, "Command5");

        QCOMPARE(opened, opens);
        QMessageBox* box = shownMessage(start);
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QVERIFY2(box->text().contains(messageNames), qPrintable(box->text()));
        // The program goes on: the box does not block the other windows.
        QCOMPARE(box->windowModality(), Qt::WindowModal);
    }
};

QTEST_MAIN(StartScreenTest)
#include "tst_startscreen.moc"
