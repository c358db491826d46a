// The platform dialogs behind CommonDialog1 and MessageBoxes, driven as a user would: each
// modal dialog is found when it opens, filled in, and confirmed or cancelled.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "FileFilter.h"
#include "FontChoiceDialog.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"

using namespace zukaro;

namespace {

const QString kDataFilter = QStringLiteral(
    "テキスト ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

// Types a name into the file dialog's name field, as a user does.
void typeFileName(QFileDialog& d, const QString& name) {
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
}

// Runs `act` on the modal dialog of type D as soon as it is shown.
template <typename D>
void whenShown(std::function<void(D&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        D* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        // The dialog lives on while this runs: its exec() returns only after we do.
        bool finished = false;
        const auto watch =
            QObject::connect(dialog, &QDialog::finished, [&finished] { finished = true; });
        act(*dialog);
        QObject::disconnect(watch);
        // A check that failed inside `act` must not leave the test waiting forever.
        if (!finished) {
            static_cast<QDialog*>(dialog)->reject();
        }
    });
    poll->start(10);
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void japaneseQtTexts();
    void nameFilters_data();
    void nameFilters();
    void defaultSuffix_data();
    void defaultSuffix();
    void openChoosesAFile();
    void saveAddsTheExtension();
    void fontKeepsTheLayoutFaceName();
    void fontChanged_data();
    void fontChanged();
    void colorChosen();
    void printerOffersPrintToFile();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void messageBoxes_data();
    void messageBoxes();

private:
    QTemporaryDir dir_;
};

void TestDialogs::initTestCase() {
    QVERIFY(dir_.isValid());
    // The file dialog remembers folders in the settings; keep the user's own out of it.
    QStandardPaths::setTestModeEnabled(true);
    // Qt's own dialogs, not the desktop's, so that the test can reach inside them.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(installQtJapanese(*QCoreApplication::instance()));
}

void TestDialogs::japaneseQtTexts() {
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"),
             QStringLiteral("PDF ファイルに出力"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("削除"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
             QStringLiteral("はい(Y)"));
}

void TestDialogs::nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("data file filter") << kDataFilter
                                      << QStringList{QStringLiteral("テキスト ファイル (*.csv)"),
                                                     QStringLiteral("テキスト ファイル (*.txt)"),
                                                     QStringLiteral("すべてのファイル (*)")};
    QTest::newRow("without trailing bar") << "CSV|*.csv" << QStringList{"CSV (*.csv)"};
    QTest::newRow("several patterns") << "Data|*.csv;*.txt|" << QStringList{"Data (*.csv *.txt)"};
    QTest::newRow("parentheses always name the patterns")
        << "Data (*.dat)|*.csv|" << QStringList{"Data (*.csv)"};
    QTest::newRow("no description") << "|*.csv|" << QStringList{"*.csv (*.csv)"};
    QTest::newRow("pair without pattern skipped") << "A||B|*.b|" << QStringList{"B (*.b)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestDialogs::nameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(toNameFilters(filter), expected);
}

void TestDialogs::defaultSuffix_data() {
    QTest::addColumn<QString>("nameFilter");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("csv") << QStringLiteral("テキスト ファイル (*.csv)") << "csv";
    QTest::newRow("first of several") << "Data (*.txt *.csv)"
                                      << "txt";
    QTest::newRow("all files") << QStringLiteral("すべてのファイル (*)") << "";
    QTest::newRow("wildcard extension") << "x (*.c*)"
                                        << "";
}

void TestDialogs::defaultSuffix() {
    QFETCH(QString, nameFilter);
    QFETCH(QString, suffix);
    QCOMPARE(defaultSuffixOf(nameFilter), suffix);
}

void TestDialogs::openChoosesAFile() {
    const QString file = dir_.filePath(QStringLiteral("棚札.csv"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QStringList filtersShown;
    whenShown<QFileDialog>([&](QFileDialog& d) {
        filtersShown = d.nameFilters();
        typeFileName(d, QStringLiteral("棚札.csv"));
        static_cast<QDialog&>(d).accept();
    });
    QtCommonDialog1 dialog;
    QString path = dir_.filePath(QStringLiteral("start.csv"));  // its folder opens
    QCOMPARE(dialog.showOpen(kDataFilter, path), 0);
    QCOMPARE(path, file);
    QCOMPARE(filtersShown, toNameFilters(kDataFilter));
}

void TestDialogs::saveAddsTheExtension() {
    whenShown<QFileDialog>([&](QFileDialog& d) {
        QCOMPARE(d.acceptMode(), QFileDialog::AcceptSave);
        typeFileName(d, QStringLiteral("sheet1"));
        static_cast<QDialog&>(d).accept();
    });
    QtCommonDialog1 dialog;
    QString path = dir_.filePath(QStringLiteral("untitled"));  // its folder opens
    QCOMPARE(dialog.showSave(kDataFilter, path), 0);
    QCOMPARE(path, dir_.filePath(QStringLiteral("sheet1.csv")));
}

void TestDialogs::fontKeepsTheLayoutFaceName() {
    // "ＭＳ 明朝" is not installed; the dialog shows its stand-in, and confirming it keeps
    // the layout's own name.
    QString family, style;
    whenShown<FontChoiceDialog>([&](FontChoiceDialog& d) {
        family = d.findChild<QFontComboBox*>(QStringLiteral("family"))->currentFont().family();
        style = d.findChild<QComboBox*>(QStringLiteral("style"))->currentText();
        d.accept();
    });
    QtCommonDialog1 dialog;
    FontChoice font{QStringLiteral("ＭＳ 明朝"), 11, true, false};
    QCOMPARE(dialog.showFont(font), 0);
    QCOMPARE(family, QStringLiteral("IPAMincho"));
    QCOMPARE(style, QStringLiteral("太字"));
    QCOMPARE(font.name, QStringLiteral("ＭＳ 明朝"));
    QCOMPARE(font.size, 11.0);
    QVERIFY(font.bold);
    QVERIFY(!font.italic);
}

void TestDialogs::fontChanged_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    // The IPA faces have a single cut; every style is still offered.
    QTest::newRow("標準") << QStringLiteral("標準") << false << false;
    QTest::newRow("斜体") << QStringLiteral("斜体") << false << true;
    QTest::newRow("太字") << QStringLiteral("太字") << true << false;
    QTest::newRow("太字 斜体") << QStringLiteral("太字 斜体") << true << true;
}

void TestDialogs::fontChanged() {
    QFETCH(QString, style);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFont sample;
    whenShown<FontChoiceDialog>([&](FontChoiceDialog& d) {
        d.findChild<QFontComboBox*>(QStringLiteral("family"))
            ->setCurrentFont(QFont(QStringLiteral("IPAGothic")));
        d.findChild<QComboBox*>(QStringLiteral("style"))->setCurrentText(style);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("size"))->setValue(14.5);
        sample = d.findChild<QLabel*>(QStringLiteral("sample"))->font();
        d.accept();
    });
    QtCommonDialog1 dialog;
    FontChoice font{QStringLiteral("ＭＳ 明朝"), 9, !bold, !italic};
    QCOMPARE(dialog.showFont(font), 0);
    QCOMPARE(font.name, QStringLiteral("IPAGothic"));
    QCOMPARE(font.size, 14.5);
    QCOMPARE(font.bold, bold);
    QCOMPARE(font.italic, italic);
    // The sample shows what will be printed.
    QCOMPARE(sample.family(), QStringLiteral("IPAGothic"));
    QCOMPARE(sample.pointSizeF(), 14.5);
    QCOMPARE(sample.bold(), bold);
    QCOMPARE(sample.italic(), italic);
}

void TestDialogs::colorChosen() {
    whenShown<QColorDialog>([](QColorDialog& d) {
        d.setCurrentColor(QColor(0x12, 0x34, 0x56));
        d.accept();
    });
    QtCommonDialog1 dialog;
    WinColor color = 0;
    QCOMPARE(dialog.showColor(color), 0);
    QCOMPARE(color, 0x563412);  // 0x00BBGGRR
}

void TestDialogs::printerOffersPrintToFile() {
    bool toFileOffered = false;
    whenShown<QPrintDialog>([&](QPrintDialog& d) {
        toFileOffered = d.testOption(QAbstractPrintDialog::PrintToFile);
        d.accept();
    });
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath(QStringLiteral("out.pdf")));
    QtCommonDialog1 dialog;
    QCOMPARE(dialog.showPrinter(printer), 0);
    QVERIFY(toFileOffered);
}

void TestDialogs::cancelChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"printer", "font", "color", "open", "save"}) {
        QTest::newRow(kind) << kind;
    }
}

void TestDialogs::cancelChangesNothing() {
    QFETCH(QString, kind);
    whenShown<QDialog>([](QDialog& d) { d.reject(); });
    QtCommonDialog1 dialog;
    QPrinter printer;
    FontChoice font{QStringLiteral("ＭＳ 明朝"), 9, true, false};
    WinColor color = 255;
    QString path = QStringLiteral("/unchanged.csv");
    const int outcome = kind == "printer" ? dialog.showPrinter(printer)
                        : kind == "font"  ? dialog.showFont(font)
                        : kind == "color" ? dialog.showColor(color)
                        : kind == "open"  ? dialog.showOpen(kDataFilter, path)
                                          : dialog.showSave(kDataFilter, path);
    QCOMPARE(outcome, kCancelError);
    QCOMPARE(font.name, QStringLiteral("ＭＳ 明朝"));
    QCOMPARE(font.size, 9.0);
    QVERIFY(font.bold);
    QCOMPARE(color, 255);
    QCOMPARE(path, QStringLiteral("/unchanged.csv"));
}

void TestDialogs::messageBoxes_data() {
    QTest::addColumn<bool>("question");
    QTest::addColumn<bool>("yesIsDefault");
    QTest::addColumn<bool>("pressYes");
    QTest::newRow("No default, Yes pressed") << true << false << true;
    QTest::newRow("No default, No pressed") << true << false << false;
    QTest::newRow("Yes default, No pressed") << true << true << false;
    QTest::newRow("notice with OK") << false << false << false;
}

void TestDialogs::messageBoxes() {
    QFETCH(bool, question);
    QFETCH(bool, yesIsDefault);
    QFETCH(bool, pressYes);
    QString seen;
    bool defaultIsYes = false;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        seen = QStringLiteral("%1|%2|%3|%4 buttons")
                   .arg(box.windowTitle(), box.text())
                   .arg(int(box.icon()))
                   .arg(box.buttons().size());
        defaultIsYes = box.defaultButton() == box.button(QMessageBox::Yes);
        box.button(!question  ? QMessageBox::Ok
                   : pressYes ? QMessageBox::Yes
                              : QMessageBox::No)
            ->click();
    });
    QtMessageBoxes boxes;
    const QString text = QStringLiteral("/tmp/a.csvはすでに存在します　上書きしますか?");
    if (question) {
        QCOMPARE(boxes.askYesNo(QStringLiteral("削除"), text, MessageIcon::Critical, yesIsDefault),
                 pressYes);
        QCOMPARE(defaultIsYes, yesIsDefault);
    } else {
        boxes.tell(QStringLiteral("削除"), text, MessageIcon::Critical);
    }
    QCOMPARE(seen, QStringLiteral("削除|%1|%2|%3 buttons")
                       .arg(text)
                       .arg(int(QMessageBox::Critical))
                       .arg(question ? 2 : 1));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
