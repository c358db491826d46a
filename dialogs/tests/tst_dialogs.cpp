// The platform dialogs behind CommonDialog1 and MessageBoxes, driven as a user would.
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include "FontChoiceDialog.h"
#include "ModalDialogs.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"

using namespace zukaro;
using zukaro::testing::whenShown;

namespace {

QString describe(const FontChoice& f) {
    return QStringLiteral("%1 %2pt%3%4")
        .arg(f.name)
        .arg(f.size)
        .arg(QLatin1String(f.bold ? " bold" : ""), QLatin1String(f.italic ? " italic" : ""));
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void cleanup() { ZUKARO_VERIFY_NO_DIALOG_LEFT(); }

    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);  // keeps the user's recent folders out
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);  // reachable from tests
        QVERIFY(installQtJapanese(*QCoreApplication::instance()));
    }

    // Each dialog filled in, then once cancelled, which must change nothing, and once confirmed:
    // "outcome|font|colour|path|what the dialog offers". The file dialogs get Qt's filters, and
    // a name typed under the first one its extension.
    void confirmOrCancel_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("confirmed");
        const auto row = [](const char* kind, const char* filter, const char* confirmed) {
            QTest::newRow(kind) << QString(filter) << QString(confirmed);
        };
        row("printer", "", "0|ＭＳ 明朝 9pt bold|ff|untitled|to file");
        // The layout's face is offered by its stand-in, which must not replace the face's own
        // name; the sample follows the choice; the IPA faces have one cut, but every style is
        // offered.
        row("font size", "",
            "0|ＭＳ 明朝 12pt bold|ff|untitled|IPAMincho 太字, IPAMincho 12pt bold");
        row("font face and style", "",
            "0|IPAGothic 8.5pt italic|ff|untitled|IPAMincho 太字, IPAGothic 8.5pt italic");
        row("color", "", "0|ＭＳ 明朝 9pt bold|563412|untitled|");  // 0x00BBGGRR
        row("open", "テキスト ファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*|",
            "0|ＭＳ 明朝 9pt bold|ff|棚札.csv|テキスト ファイル (*.csv),すべてのファイル (*)");
        row("save", "Data|*.csv;*.txt|すべて|*.*|",
            "0|ＭＳ 明朝 9pt bold|ff|sheet1.csv|Data (*.csv *.txt),すべて (*)");
    }

    void confirmOrCancel() {
        QFETCH(QString, filter);
        QFETCH(QString, confirmed);
        const QString kind = QTest::currentDataTag();
        QFile existing(dir_.filePath("棚札.csv"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        for (const bool confirm : {false, true}) {
            QString offered;
            whenShown<QDialog>([&](QDialog& d) {
                if (auto* files = qobject_cast<QFileDialog*>(&d)) {
                    offered = files->nameFilters().join(u',');
                    files->findChild<QLineEdit*>("fileNameEdit")
                        ->setText(kind == "open" ? "棚札.csv" : "sheet1");
                } else if (auto* colors = qobject_cast<QColorDialog*>(&d)) {
                    colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
                } else if (qobject_cast<FontChoiceDialog*>(&d)) {
                    auto* families = d.findChild<QFontComboBox*>("family");
                    auto* styles = d.findChild<QComboBox*>("style");
                    offered = families->currentFont().family() + ' ' + styles->currentText();
                    d.findChild<QDoubleSpinBox*>("size")->setValue(kind == "font size" ? 12 : 8.5);
                    if (kind == "font face and style") {
                        families->setCurrentFont(QFont("IPAGothic"));
                        styles->setCurrentText("斜体");
                    }
                    const QFont f = d.findChild<QLabel*>("sample")->font();
                    offered += ", " + describe({f.family(), f.pointSizeF(), f.bold(), f.italic()});
                } else if (auto* print = qobject_cast<QPrintDialog*>(&d)) {
                    offered = print->testOption(QAbstractPrintDialog::PrintToFile) ? "to file" : "";
                    // Every text, shown or behind the options button, is Japanese ("A4" and "PDF"
                    // aside): labels, buttons, group boxes, every choice of a list.
                    for (QWidget* w : d.findChildren<QWidget*>()) {
                        QString text = w->property("title").toString();
                        if (auto* box = qobject_cast<QComboBox*>(w)) {
                            for (int i = 0; i < box->count(); ++i) {
                                text += box->itemText(i) + '|';
                            }
                        } else if (!w->inherits("QLineEdit")) {  // not what is typed
                            text += w->property("text").toString();
                        }
                        if (text.remove("PDF").contains(QRegularExpression("[A-Za-z]{3,}"))) {
                            offered += ", English: " + text;
                        }
                    }
                }
                confirm ? d.accept() : d.reject();
            });
            QtCommonDialog1 dialog;
            QPrinter printer;
            printer.setOutputFileName(dir_.filePath("out.pdf"));
            FontChoice font{"ＭＳ 明朝", 9, true, false};
            WinColor color = 0xff;
            QString path = dir_.filePath("untitled");  // its folder opens
            const int outcome = kind == "printer"         ? dialog.showPrinter(printer)
                                : kind.startsWith("font") ? dialog.showFont(font)
                                : kind == "color"         ? dialog.showColor(color)
                                : kind == "open"          ? dialog.showOpen(filter, path)
                                                          : dialog.showSave(filter, path);
            QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(outcome)
                         .arg(describe(font))
                         .arg(color, 0, 16)
                         .arg(QDir(dir_.path()).relativeFilePath(path), offered),
                     confirm ? confirmed
                             : u"%1|ＭＳ 明朝 9pt bold|ff|untitled|"_qs.arg(kCancelError) +
                                   confirmed.section(u'|', 4));
        }
    }

    void printDialogOffersTheSheetsPdf_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("a new PDF") << false << false;
        QTest::newRow("an existing PDF, いいえ") << true << false;
        QTest::newRow("an existing PDF, はい") << true << true;
    }

    // Printing to a file offers the PDF named after the sheet, not the last one printed; one
    // that exists is asked about in Japanese first, and いいえ keeps the dialog open.
    void printDialogOffersTheSheetsPdf() {
        QFETCH(bool, exists);
        QFETCH(bool, overwrite);
        const QString pdf = dir_.filePath("今週.pdf");
        QFile::remove(pdf);
        if (exists) {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("%PDF-1.4 last week") > 0);
        }
        QString offered, asked;
        bool stillOpen = false;
        whenShown<QPrintDialog>([&](QPrintDialog& d) {
            auto* printers = d.findChild<QComboBox*>("printers");
            printers->setCurrentIndex(printers->count() - 1);  // print to a PDF file
            offered = d.findChild<QLineEdit*>("filename")->text();
            if (exists) {
                whenShown<QMessageBox>([&](QMessageBox& box) {
                    asked = box.text() + '|' + box.button(QMessageBox::Yes)->text().remove('&');
                    box.button(overwrite ? QMessageBox::Yes : QMessageBox::No)->click();
                });
            }
            d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            stillOpen = d.isVisible();
        });
        QtCommonDialog1 dialog;
        QPrinter printer;
        printer.setOutputFileName(dir_.filePath("先週.pdf"));  // the last print's file
        dialog.suggestPdfFile(pdf);
        const int outcome = dialog.showPrinter(printer);
        QCOMPARE(offered, QDir::toNativeSeparators(pdf));
        if (exists) {
            QVERIFY2(asked.contains(QDir::toNativeSeparators(pdf)) && asked.contains("上書き") &&
                         asked.endsWith("はい(Y)"),
                     qPrintable(asked));
        } else {
            QCOMPARE(asked, QString());
        }
        QCOMPARE(stillOpen, exists && !overwrite);
        QCOMPARE(outcome, !exists || overwrite ? 0 : kCancelError);
        if (outcome == 0) {
            QCOMPARE(printer.outputFileName(), pdf);
        }
        QCOMPARE(QFileInfo(pdf).size() > 0, exists);  // the dialog itself writes nothing
    }

    // A question with Yes as its default, in Japanese, answered No.
    void messageBoxes() {
        const QString text = "/tmp/a.csvはすでに存在します　上書きしますか?";
        QString shown;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            shown = box.windowTitle() + u'|' + box.text() + u'|' +
                    box.defaultButton()->text().remove(u'&') + u'|' +
                    box.button(QMessageBox::No)->text().remove(u'&');
            QCOMPARE(box.icon(), QMessageBox::Critical);
            box.button(QMessageBox::No)->click();
        });
        QVERIFY(!QtMessageBoxes().askYesNo("削除", text, MessageIcon::Critical, true));
        QCOMPARE(shown, "削除|" + text + "|はい(Y)|いいえ(N)");
    }

    // A question whose buttons say what they do: the first is the default, Escape and the
    // close box are the second.
    void askToDo_data() {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("done");
        QTest::newRow("Enter") << "Enter" << true;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("記録しない clicked") << "しない" << false;
        QTest::newRow("一括で記録 clicked") << "する" << true;
        QTest::newRow("closed") << "close" << false;
    }

    void askToDo() {
        QFETCH(QString, act);
        QFETCH(bool, done);
        QString shown;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            QStringList buttons;
            for (QAbstractButton* b : box.buttons()) {
                buttons << b->text();
            }
            shown =
                box.windowTitle() + u'|' + buttons.join(u',') + u'|' + box.defaultButton()->text();
            if (act == "Enter" || act == "Escape") {
                QTest::keyClick(&box, act == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            } else if (act == "close") {
                box.close();
            } else {
                box.findChild<QPushButton*>(act)->click();
            }
        });
        QCOMPARE(QtMessageBoxes().askToDo("商品リスト", "記録しますか？", MessageIcon::Question,
                                          "一括で記録", "記録しない"),
                 done);
        QCOMPARE(shown, "商品リスト|一括で記録,記録しない|一括で記録");
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
