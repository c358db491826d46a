// The platform dialogs behind CommonDialog1 and MessageBoxes, driven as a user would.
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "FileFilter.h"
#include "FontChoiceDialog.h"
#include "ModalDialogs.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"

using namespace zukaro;
using zukaro::testing::whenShown;

namespace {

const QString kDataFilter = QStringLiteral(
    "テキスト ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

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
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QStandardPaths::setTestModeEnabled(true);  // keeps the user's recent folders out
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);  // reachable from tests
        QVERIFY(installQtJapanese(*QCoreApplication::instance()));
    }

    void japaneseQtTexts() {
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"),
                 "PDF ファイルに出力");
        QMessageBox box(QMessageBox::Question, "削除", "?", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), "はい(Y)");
    }

    // Every text of the print dialog, shown or behind its options button, is Japanese (paper
    // names such as "A4" and "PDF" aside).
    void printDialogIsJapaneseThroughout() {
        QStringList english;
        whenShown<QPrintDialog>([&](QPrintDialog& d) {
            static const QRegularExpression word("[A-Za-z]{3,}");
            for (QWidget* w : d.findChildren<QWidget*>()) {
                QString text;
                if (auto* label = qobject_cast<QLabel*>(w)) {
                    text = label->text();
                } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    text = button->text();
                } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                    text = group->title();
                }
                text.remove("PDF");
                if (text.contains(word)) {
                    english << text;
                }
            }
        });
        QPrinter printer;
        QtCommonDialog1().showPrinter(printer);
        QCOMPARE(english, QStringList());
    }

    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("suffix");  // what a name typed under the first one gets
        QTest::newRow("data file filter")
            << kDataFilter
            << QStringList{"テキスト ファイル (*.csv)", "テキスト ファイル (*.txt)",
                           "すべてのファイル (*)"}
            << "csv";
        QTest::newRow("several patterns")
            << "Data|*.txt;*.csv|" << QStringList{"Data (*.txt *.csv)"} << "txt";
    }

    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QFETCH(QString, suffix);
        QCOMPARE(toNameFilters(filter), expected);
        QCOMPARE(defaultSuffixOf(expected.value(0)), suffix);
    }

    // Each dialog filled in, then once cancelled, which must change nothing, and once confirmed.
    void confirmOrCancel_data() {
        QTest::addColumn<QString>("confirmed");  // outcome|font|color|path
        QTest::newRow("printer") << "0|ＭＳ 明朝 9pt bold|ff|untitled";
        // The stand-in face shown for "ＭＳ 明朝" must not replace the layout's own name.
        QTest::newRow("font") << "0|ＭＳ 明朝 12pt bold|ff|untitled";
        QTest::newRow("color") << "0|ＭＳ 明朝 9pt bold|563412|untitled";  // 0x00BBGGRR
        QTest::newRow("open") << "0|ＭＳ 明朝 9pt bold|ff|棚札.csv";
        QTest::newRow("save") << "0|ＭＳ 明朝 9pt bold|ff|sheet1.csv";  // extension added
    }

    void confirmOrCancel() {
        QFETCH(QString, confirmed);
        const QString kind = QTest::currentDataTag();
        QFile existing(dir_.filePath("棚札.csv"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        for (const bool confirm : {false, true}) {
            QStringList filters;
            bool toFileOffered = false;
            whenShown<QDialog>([&](QDialog& d) {
                if (auto* files = qobject_cast<QFileDialog*>(&d)) {
                    filters = files->nameFilters();
                    files->findChild<QLineEdit*>("fileNameEdit")
                        ->setText(kind == "open" ? "棚札.csv" : "sheet1");
                } else if (auto* colors = qobject_cast<QColorDialog*>(&d)) {
                    colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
                } else if (auto* fonts = qobject_cast<FontChoiceDialog*>(&d)) {
                    fonts->findChild<QDoubleSpinBox*>("size")->setValue(12);
                } else if (auto* print = qobject_cast<QPrintDialog*>(&d)) {
                    toFileOffered = print->testOption(QAbstractPrintDialog::PrintToFile);
                }
                confirm ? d.accept() : d.reject();
            });
            QtCommonDialog1 dialog;
            QPrinter printer;
            printer.setOutputFileName(dir_.filePath("out.pdf"));
            FontChoice font{"ＭＳ 明朝", 9, true, false};
            WinColor color = 0xff;
            QString path = dir_.filePath("untitled");  // its folder opens
            const int outcome = kind == "printer" ? dialog.showPrinter(printer)
                                : kind == "font"  ? dialog.showFont(font)
                                : kind == "color" ? dialog.showColor(color)
                                : kind == "open"  ? dialog.showOpen(kDataFilter, path)
                                                  : dialog.showSave(kDataFilter, path);
            QCOMPARE(toFileOffered, kind == "printer");
            QCOMPARE(filters,
                     kind == "open" || kind == "save" ? toNameFilters(kDataFilter) : QStringList{});
            QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                         .arg(outcome)
                         .arg(describe(font))
                         .arg(color, 0, 16)
                         .arg(QDir(dir_.path()).relativeFilePath(path)),
                     confirm
                         ? confirmed
                         : QStringLiteral("%1|ＭＳ 明朝 9pt bold|ff|untitled").arg(kCancelError));
        }
    }

    // A face picked, a style with both flags changed and a size: stored and shown in the sample.
    void fontChanged() {
        QString shown, sample;
        whenShown<FontChoiceDialog>([&](FontChoiceDialog& d) {
            auto* families = d.findChild<QFontComboBox*>("family");
            auto* styles = d.findChild<QComboBox*>("style");
            shown = families->currentFont().family() + u'|' + styles->currentText();
            families->setCurrentFont(QFont("IPAGothic"));
            styles->setCurrentText("斜体");  // the IPA faces have one cut; every style is offered
            d.findChild<QDoubleSpinBox*>("size")->setValue(8.5);
            const QFont f = d.findChild<QLabel*>("sample")->font();
            sample = describe({f.family(), f.pointSizeF(), f.bold(), f.italic()});
            d.accept();
        });
        FontChoice font{"ＭＳ 明朝", 11, true, false};
        QCOMPARE(QtCommonDialog1().showFont(font), 0);
        QCOMPARE(shown, "IPAMincho|太字");  // the layout's face by its stand-in
        QCOMPARE(describe(font), "IPAGothic 8.5pt italic");
        QCOMPARE(sample, "IPAGothic 8.5pt italic");
    }

    // A question with Yes as its default, answered No.
    void messageBoxes() {
        const QString text = "/tmp/a.csvはすでに存在します　上書きしますか?";
        QString shown;
        whenShown<QMessageBox>([&](QMessageBox& box) {
            shown = box.windowTitle() + u'|' + box.text();
            QCOMPARE(box.icon(), QMessageBox::Critical);
            QCOMPARE(box.defaultButton(), box.button(QMessageBox::Yes));
            box.button(QMessageBox::No)->click();
        });
        QVERIFY(!QtMessageBoxes().askYesNo("削除", text, MessageIcon::Critical, true));
        QCOMPARE(shown, "削除|" + text);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
