// The editor window with Qt's real file, print, font and colour dialogs and message boxes,
// driven through QApplication::activeModalWidget() as a user would drive them. Real dialogs
// take the focus from the field being typed in, which a scripted stand-in never does.
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "EditorWindow.h"
#include "EntryField.h"
#include "LabelFile.h"
#include "ModalDialogs.h"
#include "PreviewSurface.h"
#include "PrintDayEdit.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"

using namespace zukaro;
using zukaro::testing::whenShown;

namespace {

void typeText(QWidget* field, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

// What the user does in a file dialog: types a name and presses Enter.
std::function<void(QFileDialog&)> chooseFile(const QString& path) {
    return [path](QFileDialog& d) {
        auto* name = d.findChild<QLineEdit*>("fileNameEdit");
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    };
}

// What the user clicks in a message box; the box's text is kept.
std::function<void(QMessageBox&)> clickIn(QMessageBox::StandardButton button, QString* text) {
    return [button, text](QMessageBox& box) {
        *text = box.windowTitle() + '|' + box.text();
        box.button(button)->click();
    };
}

}  // namespace

class TestRealDialogs : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    std::unique_ptr<QtCommonDialog1> dialogs_;
    std::unique_ptr<QtMessageBoxes> messages_;
    std::unique_ptr<EditorWindow> window_;

    EntryField* field(const char* name) const {
        return window_->findChild<EntryField*>(QLatin1String(name));
    }
    void click(const QString& name, int times = 1) const {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(window_->findChild<QPushButton*>(name), Qt::LeftButton);
        }
    }
    void clickInto(const char* name) const { QTest::mouseClick(field(name), Qt::LeftButton); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    QString path(const QString& name) const { return dir_->filePath(name); }
    // What the window manager does once a dialog has closed; until then the window is not
    // active, and no focus event reaches its fields.
    bool backToTheWindow() const {
        window_->activateWindow();
        return QTest::qWaitForWindowActive(window_.get());
    }
    // Counter, current label and the six fields must all name the same label.
    QString shownLabel() const {
        const SheetState& s = window_->sheet();
        const LabelRecord r = s.label(s.currentLabel);
        const QStringList fields{field("Text1")->text(), field("Text2")->text(),
                                 field("Text3")->text(), field("Text4")->text(),
                                 field("Text6")->text(), field("Text5")->text()};
        const QStringList label{r.jan, r.maker, r.product, r.spec, r.lot, r.price};
        return QString("%1 %2%3")
            .arg(window_->controls().Label6->text())
            .arg(s.currentLabel)
            .arg(fields == label ? "" : " fields: " + fields.join('|'));
    }
    // A sheet in a label file, labels "品1" to "品<count>".
    QString sampleFile(int count = kLabelCount) const {
        SheetState sheet;
        for (int n = 1; n <= count; ++n) {
            sheet.setLabel(
                n, {"4901234567894", "メーカ" + QString::number(n), "品" + QString::number(n),
                    "規格", "ロット", QString::number(100 * n)});
        }
        const QString file = path("sample.csv");
        return writeLabelFile(file, sheet, UnencodablePolicy::Refuse).ok ? file : QString();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(installQtJapanese(*QCoreApplication::instance()));
    }

    void init() {
        dir_.emplace();
        dialogs_ = std::make_unique<QtCommonDialog1>();
        messages_ = std::make_unique<QtMessageBoxes>();
        window_ = std::make_unique<EditorWindow>(*dialogs_, *messages_,
                                                 SettingsLocations{path("settings"), {}});
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() {
        ZUKARO_VERIFY_NO_DIALOG_LEFT();
        window_.reset();  // destroyed without the closing question
    }

    // Whatever opens a dialog or a question, the text typed into the field is in the sheet
    // by the time it is on screen.
    void typedTextIsStoredBeforeTheDialogOpens_data() {
        QTest::addColumn<QString>("command");  // a shortcut, a button, or "close"
        QTest::addColumn<QString>("dialog");
        QTest::newRow("save as") << "Ctrl+Shift+S"
                                 << "QFileDialog";
        QTest::newRow("overwrite save of a new sheet") << "Ctrl+S"
                                                       << "QFileDialog";
        QTest::newRow("open asks first") << "Ctrl+O"
                                         << "QMessageBox";
        QTest::newRow("new asks first") << "Ctrl+N"
                                        << "QMessageBox";
        QTest::newRow("closing asks first") << "close"
                                            << "QMessageBox";
        QTest::newRow("print") << "Ctrl+P"
                               << "QPrintDialog";
        QTest::newRow("font") << "品名フォント切替"
                              << "zukaro::FontChoiceDialog";
        QTest::newRow("colour") << "品名_color"
                                << "QColorDialog";
        QTest::newRow("delete question") << "削除"
                                         << "QMessageBox";
    }

    void typedTextIsStoredBeforeTheDialogOpens() {
        QFETCH(QString, command);
        QFETCH(QString, dialog);
        click("Cmdnext", 3);
        clickInto("Text3");
        typeText(field("Text3"), "棚の品");
        QString shown, storedThen;
        whenShown<QDialog>([&](QDialog& d) {
            shown = d.metaObject()->className();
            storedThen = window_->sheet().productText[4];
            d.reject();
        });
        if (command == "close") {
            QVERIFY(!window_->close());
        } else if (command.startsWith("Ctrl+")) {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(command));
        } else {
            click(command);
        }
        QCOMPARE(shown, dialog);
        QCOMPARE(storedThen, "棚の品");
        QVERIFY(backToTheWindow());
        QCOMPARE(shownLabel(), " 4/21 4");
    }

    // Save as from label 4 with the price just typed: the file has it, and the editor shows
    // label 1 in counter, frame and fields. A character Shift_JIS cannot hold is asked about
    // before anything is written.
    void saveAs_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");  // to the Shift_JIS question; 0 when none is asked
        QTest::addColumn<QString>("saved");
        QTest::newRow("price") << "Text5"
                               << "1980" << 0 << "1980";
        QTest::newRow("unencodable, no") << "Text3"
                                         << "café😀" << int(QMessageBox::No) << "";
        QTest::newRow("unencodable, yes") << "Text3"
                                          << "café😀" << int(QMessageBox::Yes) << "caf??";
    }

    void saveAs() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, saved);
        const QString file = path("typed.csv");
        click("Cmdnext", 3);
        clickInto(field.toLatin1());
        typeText(this->field(field.toLatin1()), typed);
        QString question;
        bool writtenBeforeTheQuestion = false;
        whenShown<QFileDialog>([&](QFileDialog& d) {
            chooseFile(file)(d);
            if (answer != 0) {
                whenShown<QMessageBox>([&](QMessageBox& box) {
                    writtenBeforeTheQuestion = QFile::exists(file);
                    clickIn(QMessageBox::StandardButton(answer), &question)(box);
                });
            }
        });
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!writtenBeforeTheQuestion);
        QCOMPARE(question.contains("ラベル 4 の品名、4 文字目「é」"), answer != 0);
        SheetState reread;
        QCOMPARE(readLabelFile(file, reread).opened, !saved.isEmpty());
        if (!saved.isEmpty()) {
            const LabelRecord r = reread.label(4);
            QCOMPARE(field == "Text5" ? r.price : r.product, saved);
            QCOMPARE(shownLabel(), " 1/21 1");
            QCOMPARE(window_->windowTitle(), "ズカロ入力画面  " + file);
        }
        QVERIFY(backToTheWindow());
        // Enter through the six fields moves on from label 1 and leaves label 4 alone.
        for (int i = 0; i < 6; ++i) {
            key(Qt::Key_Return);
        }
        QCOMPARE(shownLabel(), (saved.isEmpty() ? " 5/21 5" : " 2/21 2"));
        QCOMPARE(window_->sheet().label(4).price + window_->sheet().label(4).product, typed);
    }

    // 削除 answered はい in the real box: the fields show the label that moved up, and Enter
    // through them writes nothing back over it.
    void deleteThenEnterKeepsEveryLabel() {
        const QString file = sampleFile();
        whenShown<QFileDialog>(chooseFile(file));
        QTest::keySequence(field("Text1"), QKeySequence("Ctrl+O"));
        QCOMPARE(window_->sheet().productText[1], "品1");
        QVERIFY(backToTheWindow());
        QString question;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            icon = box.icon();
            clickIn(QMessageBox::Yes, &question)(box);
        });
        click("削除");
        QCOMPARE(question, "削除|削除しますか？");
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(shownLabel(), " 1/21 1");
        QVERIFY(backToTheWindow());
        QCOMPARE(field("Text3")->text(), "品2");
        for (int i = 0; i < 6; ++i) {
            key(Qt::Key_Return);
        }
        QStringList products;
        for (int n = 1; n <= 3; ++n) {
            products << window_->sheet().productText[n];
        }
        QCOMPARE(products, (QStringList{"品2", "品3", "品4"}));
        QCOMPARE(shownLabel(), " 2/21 2");
    }

    // The question before unsaved work is lost, in its four places.
    void unsavedChanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("after");  // open / closed, the labels, and the file saved
        QTest::newRow("終了, いいえ") << "Command1" << int(QMessageBox::No) << "closed";
        QTest::newRow("close box, キャンセル") << "close" << int(QMessageBox::Cancel) << "open 品|";
        QTest::newRow("open, はい") << "Ctrl+O" << int(QMessageBox::Yes) << "open 品|品";
        QTest::newRow("new, いいえ") << "Ctrl+N" << int(QMessageBox::No) << "open |";
        QTest::newRow("new, はい") << "Ctrl+N" << int(QMessageBox::Yes) << "open |品";
    }

    void unsavedChanges() {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(QString, after);
        click("maker_上");  // the layout, which a new sheet keeps
        clickInto("Text3");
        typeText(field("Text3"), "品");
        key(Qt::Key_Return);
        QCOMPARE(window_->windowTitle(), "*ズカロ入力画面  無題");
        const QString file = path("saved.csv");
        QString question;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            if (answer == QMessageBox::Yes) {  // the sheet has no name yet
                whenShown<QFileDialog>([&](QFileDialog& save) {
                    chooseFile(file)(save);
                    if (command == "Ctrl+O") {  // then the file to open: none
                        whenShown<QFileDialog>([](QFileDialog& open) { open.reject(); });
                    }
                });
            }
            clickIn(QMessageBox::StandardButton(answer), &question)(box);
        });
        QPointer<EditorWindow> window = window_.get();
        if (command == "close") {
            window_->close();
        } else if (command.startsWith("Ctrl+")) {
            QTest::keySequence(field("Text1"), QKeySequence(command));
        } else {
            click(command);
        }
        QCOMPARE(question, "ズカロ|変更を保存しますか？");
        QVERIFY(!window_->isVisible() || backToTheWindow());
        SheetState reread;
        const QString savedProduct =
            readLabelFile(file, reread).opened ? reread.productText[1] : QString();
        const QString state =
            window_->isVisible() ? "open " + window_->sheet().productText[1] + '|' : "closed";
        QCOMPARE(state + (window_->isVisible() ? savedProduct : QString()), after);
        if (window_->isVisible()) {
            QCOMPARE(window_->sheet().layout.makerY, std::int16_t(-1));
        }
        if (command == "Ctrl+N") {
            QCOMPARE(window_->windowTitle(), "ズカロ入力画面  無題");
        }
    }

    // A price typed on label 3 and a real click on the rate button: label 3 gets the 8 %, and
    // the PDF printed through the real print dialog has label 3's 8 % total (1,280 → 1,382,
    // not 1,408 at 10 %). In 入力どおり the real question comes first and names the label;
    // いいえ prints nothing. The status bar says where the PDF went.
    void rateButtonAfterThePriceIsThatLabels_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("answer");  // to the question; 0: none asked
        QTest::addColumn<QString>("printed");
        QTest::newRow("税込表示") << 1 << 0 << "1382";
        QTest::newRow("入力どおり, printed as it is") << 0 << int(QMessageBox::Yes) << "1,280";
        QTest::newRow("入力どおり, not printed") << 0 << int(QMessageBox::No) << "";
    }

    void rateButtonAfterThePriceIsThatLabels() {
        QFETCH(int, mode);
        QFETCH(int, answer);
        QFETCH(QString, printed);
        window_->sheet().layout.priceMode = PriceMode(mode);
        window_->mirrorCaptions();
        click("Cmdnext", 2);
        clickInto("Text3");
        typeText(field("Text3"), "おいしい牛乳");
        clickInto("Text5");
        typeText(field("Text5"), "1,280");
        click("税率切替");
        QCOMPARE(shownLabel(), " 3/21 3");
        QCOMPARE(window_->sheet().taxRate[3] + '|' + window_->sheet().taxRate[4], "8|");
        const QString pdf = path("rate.pdf");
        QString question;
        const auto printDialog = [&] {
            whenShown<QPrintDialog>([&](QPrintDialog& d) {
                auto* printers = d.findChild<QComboBox*>("printers");
                printers->setCurrentIndex(printers->count() - 1);  // 「PDF ファイルに出力」
                d.findChild<QLineEdit*>("filename")->setText(pdf);
                d.accept();
            });
        };
        if (answer != 0) {
            whenShown<QMessageBox>([&](QMessageBox& box) {
                if (answer == QMessageBox::Yes) {
                    printDialog();
                }
                clickIn(QMessageBox::StandardButton(answer), &question)(box);
            });
        } else {
            printDialog();
        }
        key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(backToTheWindow());
        QCOMPARE(question.isEmpty(), answer == 0);
        QVERIFY2(question.isEmpty() || question.startsWith("印刷|ラベル 3 の 1 枚は税率が付いて"),
                 qPrintable(question));
        QCOMPARE(QFile::exists(pdf), !printed.isEmpty());
        if (!printed.isEmpty()) {
            QProcess text;
            text.start("pdftotext", {pdf, "-"});
            QVERIFY(text.waitForFinished());
            const QString onPaper = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(onPaper.contains(printed) && !onPaper.contains("1408"), qPrintable(onPaper));
            QCOMPARE(window_->statusBar()->currentMessage(),
                     QDir::toNativeSeparators(pdf) + " に印刷しました。");
        }
        QCOMPARE(shownLabel(), " 3/21 3");
    }

    // Print through the real print dialog into a PDF: the texts typed last are on the page, the
    // sale's last day too (typed, not yet entered), as the label prints on 印刷日: the price
    // before and after the sale, the sale price on its first day. The print dialog names the
    // day, and says when it is not today.
    void printsWhatWasTyped_data() {
        QTest::addColumn<int>("days");  // 印刷日, from today
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("notPrinted");
        QTest::newRow("today, before the sale") << 0 << "4321"
                                                << "3980";
        QTest::newRow("the sale's first day") << 6 << "3980 通常価格 4321"
                                              << "";
        QTest::newRow("the day after it") << 13 << "4321"
                                          << "3980";
    }

    void printsWhatWasTyped() {
        QFETCH(int, days);
        QFETCH(QString, printed);
        QFETCH(QString, notPrinted);
        const QDate day = QDate::currentDate().addDays(days);
        window_->findChild<QDateEdit*>("印刷日")->setDate(day);
        click("Cmdnext", 2);
        clickInto("Text3");
        typeText(field("Text3"), "印刷品");
        clickInto("Text5");
        typeText(field("Text5"), "4321");
        QTest::mouseClick(window_->findChild<QLineEdit*>("特価"), Qt::LeftButton);
        typeText(QApplication::focusWidget(), "3980");
        key(Qt::Key_Return);
        key(Qt::Key_Return);  // no 通常価格 of its own: the price
        typeText(QApplication::focusWidget(),
                 QDate::currentDate().addDays(6).toString("yyyy/MM/dd"));
        key(Qt::Key_Return);
        typeText(QApplication::focusWidget(),
                 QDate::currentDate().addDays(12).toString("yyyyMMdd"));
        const QString pdf = path("printed.pdf");
        QString named;
        whenShown<QPrintDialog>([&](QPrintDialog& d) {
            const auto* note = d.findChild<QLabel*>("印刷日の説明");
            named = note != nullptr && note->isVisible() ? note->text() : "no day named";
            auto* printers = d.findChild<QComboBox*>("printers");
            printers->setCurrentIndex(printers->count() - 1);  // 「PDF ファイルに出力」
            d.findChild<QLineEdit*>("filename")->setText(pdf);
            d.accept();
        });
        key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(backToTheWindow());
        QCOMPARE(named, spokenDay(day) +
                            (days == 0 ? "の特価・税率で印刷します。（今日）"
                                       : "の特価・税率で印刷します。今日の分ではありません。"));
        QCOMPARE(window_->sheet().saleTo[3],
                 QDate::currentDate().addDays(12).toString(Qt::ISODate));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString onPaper =
            QString::fromUtf8(text.readAllStandardOutput()).simplified().remove("円");
        const QStringList words = printed.split(' ') << "印刷品";
        QVERIFY2(std::all_of(words.begin(), words.end(),
                             [&](const QString& w) { return onPaper.contains(w); }) &&
                     (notPrinted.isEmpty() || !onPaper.contains(notPrinted)),
                 qPrintable(onPaper));
        QCOMPARE(shownLabel(), " 3/21 3");
        // The preview showed the label of that day: today's differs on the sale's days only.
        auto* preview = window_->findChild<PreviewSurface*>();
        const QImage shown = preview->grab().toImage();
        window_->findChild<QDateEdit*>("印刷日")->setDate(QDate::currentDate());
        QCOMPARE(preview->grab().toImage() != shown, days == 6);
    }
};

QTEST_MAIN(TestRealDialogs)
#include "tst_realdialogs.moc"
