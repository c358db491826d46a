// Every dialog the program opens speaks Japanese: the file dialogs (with a folder in detail
// view), the print dialog with its options and プロパティ for a real CUPS printer, the font and
// colour dialogs, and the message boxes, Qt's own question before a PDF is replaced included.
// What the user can see is read off the widgets; any English word that is not a proper name or
// a unit fails, named with where it stands.
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "ModalDialogs.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"

using namespace zukaro;
using zukaro::testing::whenShown;

namespace {

// Names and units that stay as they are in a Japanese program.
const QStringList kAllowed = {
    "PDF", "CUPS", "mm", "cm", "pt", "dpi", "HTML", "RGB", "HSV", "Qt", "IPA", "IPAMincho",
    "IPAGothic", "IPAPMincho", "IPAPGothic", "CSV", "csv", "txt", "pdf", "OK",
    // The font dialog's type specimen.
    "Aa",
    // Units of the page set-up.
    "in", "pc", "CC", "DD", "DPI"};

// What a user sees of a widget: its captions, choices, tips, tabs, column titles and cells.
QStringList textsOf(QWidget* w) {
    QStringList texts{w->toolTip()};
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        texts << button->text();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        texts << QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        texts << group->title();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        texts << edit->placeholderText();  // what is typed is the user's
    } else if (auto* box = qobject_cast<QComboBox*>(w)) {
        // Font families are names; the font combo's entries are the installed faces.
        for (int i = 0; i < box->count() && !qobject_cast<QFontComboBox*>(w); ++i) {
            texts << box->itemText(i);
        }
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            texts << tabs->tabText(i);
        }
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
        const QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        auto* tree = qobject_cast<QTreeView*>(w);
        for (int c = 0; c < model->columnCount(root); ++c) {
            if (tree != nullptr && tree->isColumnHidden(c)) {
                continue;
            }
            if (tree != nullptr && !tree->isHeaderHidden()) {
                texts << model->headerData(c, Qt::Horizontal).toString();
            }
            for (int r = 0; r < model->rowCount(root); ++r) {
                texts << model->index(r, c, root).data().toString();
            }
            if (qobject_cast<QListView*>(w)) {
                break;  // a list shows its model column only
            }
        }
    }
    return texts;
}

// The English words among what `dialog` shows now, each with the widget it is on; every tab of
// every tab widget is looked at.
QStringList englishIn(QWidget& dialog, const QStringList& ownNames) {
    QStringList found;
    const auto look = [&](QWidget* w, const QStringList& texts) {
        static const QRegularExpression word("[A-Za-z]{2,}");
        for (QString text : texts) {
            for (const QString& name : ownNames) {
                text.remove(name);
            }
            for (const auto& m : word.globalMatch(text)) {
                if (!kAllowed.contains(m.captured())) {
                    found << QStringLiteral("%1 in %2 %3 (\"%4\")")
                                 .arg(m.captured(), w->metaObject()->className(), w->objectName(),
                                      text.simplified());
                }
            }
        }
    };
    const auto lookAtVisible = [&] {
        look(&dialog, {dialog.windowTitle()});
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (w->isVisibleTo(&dialog)) {
                look(w, textsOf(w));
            }
        }
        // Context menus: what a right click offers.
        for (QAction* action : dialog.findChildren<QAction*>()) {
            if (action->isVisible() && !action->text().isEmpty()) {
                look(&dialog, {action->text()});
            }
        }
    };
    lookAtVisible();
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>()) {
        for (int i = 0; tabs->isVisibleTo(&dialog) && i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            lookAtVisible();
        }
    }
    found.removeDuplicates();
    return found;
}

QPushButton* buttonNamed(QWidget& dialog, const QString& name) {
    return dialog.findChild<QPushButton*>(name);
}

// Runs `act` on the next modal dialog over `under` once it is shown, and closes it if `act`
// left it open; gives up after five seconds.
void whenShownOver(const QWidget* under, std::function<void(QDialog&)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == under) {
            if (triesLeft > 0) {
                whenShownOver(under, act, triesLeft - 1);
            }
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

}  // namespace

class TestJapanese : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QSettings printerEnv_{TEST_PRINTER_ENV, QSettings::IniFormat};
    // Names of this machine's folders and the test's files, shown as they are.
    QStringList ownNames_;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(installQtJapanese(*QCoreApplication::instance()));
        QVERIFY(QDir(dir_.path()).mkdir("棚札"));
        QFile sheet(dir_.filePath("今週.csv"));
        QVERIFY(sheet.open(QIODevice::WriteOnly));
        QFile pdf(dir_.filePath("今週.pdf"));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        ownNames_ = QDir::toNativeSeparators(dir_.path()).split('/', Qt::SkipEmptyParts) +
                    QDir::homePath().split('/', Qt::SkipEmptyParts);
        ownNames_.prepend(dir_.path());
        // Printers' names and models are their makers', and so are the driver's option texts
        // (its printer description: "*OpenUI *PageSize/Page Size:", "*PageSize A4/A4:").
        for (const QPrinterInfo& printer : QPrinterInfo::availablePrinters()) {
            ownNames_ << printer.printerName() << printer.makeAndModel();
        }
        QFile ppd(printerEnv_.value("ZUKARO_TEST_PPD").toString());
        QVERIFY2(ppd.open(QIODevice::ReadOnly), qPrintable(ppd.fileName()));
        static const QRegularExpression driverText(R"(^\*(?:OpenGroup: *)?[^/:]*/([^:]+))");
        for (const QByteArray& line : ppd.readAll().split('\n')) {
            if (const auto m = driverText.match(QString::fromLatin1(line)); m.hasMatch()) {
                ownNames_ << m.captured(1).trimmed();
            }
        }
        // The longest first, so that no shorter name takes a part out of a longer one.
        std::sort(ownNames_.begin(), ownNames_.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        ownNames_.removeAll(QString());
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(
                     printerEnv_.value("ZUKARO_TEST_QUEUE").toString()),
                 "the test printer is not running: sh scripts/test-printer.sh start");
    }

    void dialogs_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"open", "save", "printer", "font", "color", "yes-no",
                                 "yes-no-cancel", "notice"}) {
            QTest::newRow(kind) << QString(kind);
        }
    }

    void dialogs() {
        QFETCH(QString, kind);
        QStringList english;
        QStringList seen;  // the dialogs looked at, so that none is missed unnoticed
        const auto check = [&](QWidget& dialog) {
            seen << dialog.metaObject()->className();
            english << englishIn(dialog, ownNames_);
        };
        whenShown<QDialog>([&](QDialog& d) {
            if (auto* files = qobject_cast<QFileDialog*>(&d)) {
                // The detail view, where the type column says what a folder is.
                files->findChild<QToolButton*>("detailModeButton")->click();
                auto* tree = files->findChild<QTreeView*>("treeView");
                QVERIFY(QTest::qWaitFor([&] { return tree->model()->rowCount(tree->rootIndex()) >= 2; }));
                // The sidebar's and the path box's entries include the folders' own names.
                check(d);
            } else if (auto* print = qobject_cast<QPrintDialog*>(&d)) {
                auto* printers = d.findChild<QComboBox*>("printers");
                printers->setCurrentIndex(
                    printers->findText(printerEnv_.value("ZUKARO_TEST_QUEUE").toString()));
                for (QPushButton* b : d.findChildren<QPushButton*>()) {
                    if (b->text().contains(">>")) {
                        b->click();  // オプション >>: the tabs below
                    }
                }
                check(d);
                whenShownOver(&d, [&](QDialog& properties) { check(properties); });
                buttonNamed(d, "properties")->click();
                // Print to a PDF that exists: Qt's own question.
                printers->setCurrentIndex(printers->count() - 1);
                QVERIFY(print->findChild<QLineEdit*>("filename")->isEnabled());
                print->findChild<QLineEdit*>("filename")->setText(dir_.filePath("今週.pdf"));
                whenShown<QMessageBox>([&](QMessageBox& box) {
                    check(box);
                    box.button(QMessageBox::No)->click();
                });
                d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            } else {
                check(d);
            }
            d.reject();
        });
        QtCommonDialog1 dialogs;
        QtMessageBoxes messages;
        QPrinter printer;
        FontChoice font{"ＭＳ 明朝", 9, false, false};
        WinColor color = 0;
        QString path = dir_.filePath("今週.csv");
        const QString filter = "テキスト ファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*|";
        if (kind == "open") {
            dialogs.showOpen(filter, path);
        } else if (kind == "save") {
            dialogs.showSave(filter, path);
        } else if (kind == "printer") {
            dialogs.showPrinter(printer);
        } else if (kind == "font") {
            dialogs.showFont(font);
        } else if (kind == "color") {
            dialogs.showColor(color);
        } else if (kind == "yes-no") {
            messages.askYesNo("保存", "保存しますか？", MessageIcon::Question, true);
        } else if (kind == "yes-no-cancel") {
            messages.askYesNoCancel("ズカロ", "変更を保存しますか？", MessageIcon::Exclamation);
        } else {
            messages.tell("注意", "読み込めませんでした。", MessageIcon::Information);
        }
        QVERIFY2(!seen.isEmpty(), "no dialog was shown");
        if (kind == "printer") {
            QCOMPARE(seen.size(), 3);  // the dialog, its properties and the question
        }
        for (const QString& word : english) {
            qInfo().noquote() << word;
        }
        QVERIFY2(english.isEmpty(), qPrintable(QString("%1 English words, the first: %2")
                                                   .arg(english.size())
                                                   .arg(english.value(0))));
    }
};

int main(int argc, char* argv[]) {
    // The CUPS client library reads the server from the environment once, at its first use.
    const QSettings env(TEST_PRINTER_ENV, QSettings::IniFormat);
    qputenv("CUPS_SERVER", env.value("CUPS_SERVER").toString().toLocal8Bit());
    QApplication app(argc, argv);
    TestJapanese test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_japanese.moc"
