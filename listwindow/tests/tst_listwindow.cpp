// The product list window: rows pasted from a spreadsheet, the print checkbox and copies, the
// filter, the start position, and the sheets opened in the editor, saved and printed.
#include <QtTest>
#include <QtWidgets>

#include "LabelFile.h"
#include "PrintedSheet.h"
#include "ProductListModel.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"

using namespace zukaro;

namespace {

// Twenty-five rows as a spreadsheet copies them: tab-separated, a header first.
QString pastedRows() {
    QStringList lines{"JANコード\t品名\t売価\t枚数\t税率"};
    for (int i = 1; i <= 25; ++i) {
        lines << QString("4901234567894\t品%1\t%2\t1\t%3")
                     .arg(i)
                     .arg(100 + i)
                     .arg(i == 3 ? "8%" : "");
    }
    return lines.join('\n');
}

}  // namespace

class TestListWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<ProductMaster> master_;
    std::unique_ptr<ProductListWindow> window_;
    QStringList opened_;  // what the editor was asked to open

private slots:
    void init() {
        dialogs_ = ScriptedCommonDialog1();
        messages_ = ScriptedMessageBoxes();
        opened_.clear();
        master_ = std::make_unique<ProductMaster>(dir_.filePath("products.sqlite"));
        QVERIFY(master_->open().ok);
        ProductListHooks hooks;
        hooks.base = [] {
            SheetState base;
            base.layout.makerY = -3;  // the editor's layout
            return base;
        };
        hooks.openInEditor = [this](const SheetState& sheet, const QString& title) {
            opened_ << title + ' ' + sheet.productText[1];
        };
        hooks.master = master_.get();
        window_ = std::make_unique<ProductListWindow>(dialogs_, messages_, hooks);
        window_->show();
        QApplication::clipboard()->setText(pastedRows());
        QTest::mouseClick(window_->findChild<QPushButton*>("貼り付け"), Qt::LeftButton);
    }

    void pastedRowsBecomeSheets() {
        QCOMPARE(window_->model().rowCount(), 25);
        QCOMPARE(master_->lookup("4901234567894").product->product, "品25");  // kept by JAN
        auto* table = window_->findChild<QTableView*>("商品表");
        // Row 2 unchecked, row 1 twice: 25 labels, start 5: page 1 labels 5-21, page 2 1-8.
        table->model()->setData(table->model()->index(1, ProductListModel::Print), Qt::Unchecked,
                                Qt::CheckStateRole);
        table->model()->setData(table->model()->index(0, ProductListModel::Copies), 2);
        window_->findChild<QSpinBox*>("開始位置")->setValue(5);
        const ListSheets laid = window_->sheets();
        QCOMPARE(laid.sheets.size(), 2u);
        QCOMPARE(laid.sheets[0].productText[5] + laid.sheets[0].productText[6] +
                     laid.sheets[0].productText[7],
                 "品1品1品3");
        QCOMPARE(laid.sheets[0].taxRate[7], "8");
        QCOMPARE(laid.sheets[1].productText[8], "品25");
        QVERIFY(laid.sheets[1].productText[9].isEmpty());
        QCOMPARE(laid.sheets[1].layout.makerY, std::int16_t(-3));
        QCOMPARE(window_->findChild<QLabel*>("概要")->text(), "印刷するラベル 25 枚、シート 2 枚");

        window_->findChild<QSpinBox*>("シート番号")->setValue(2);
        QTest::mouseClick(window_->findChild<QPushButton*>("入力画面で開く"), Qt::LeftButton);
        QCOMPARE(opened_, QStringList{"商品リスト 2/2 品18"});
    }

    // A register's export: the price as it writes it, a code from an order sheet, a name too
    // long for a label. The notes under the table say, by line, what the paper will show.
    void registerExportIsNoted() {
        QFile pos(dir_.filePath("pos.txt"));
        QVERIFY(pos.open(QIODevice::WriteOnly) &&
                pos.write("JANコード\t品名\t売価\n"
                          "490123456789\tポテトチップスうすしお味ファミリー\t￥398\n"
                          "4512345678906\t緑茶\tオープン価格\n") > 0);
        pos.close();
        QVERIFY(window_->importFile(pos.fileName()));
        QCOMPARE(
            window_->findChild<QPlainTextEdit*>("問題")->toPlainText().split('\n'),
            QStringList({"2 行目: JAN コード「490123456789」: チェックデジット 4 を付けました。",
                         "2 行目: 品名がラベルからはみ出して印刷されます。「価格を枠内に"
                         "収める」をオンにすると、収まる大きさで印刷します。",
                         "3 行目: 売価「オープン価格」は円の整数ではないため、書いてある"
                         "とおりに印刷します（税込の計算もしません）。",
                         "3 行目: 売価「オープン価格」は 5 文字の枠に入らないため、20 pt "
                         "に小さくして印刷します。品名と売価が重なって印刷されます。「価格を"
                         "枠内に収める」をオンにすると、収まる大きさで印刷します。"}));
        const ListSheets laid = window_->sheets();
        QCOMPARE(laid.sheets[0].priceText[1] + ' ' + laid.sheets[0].janText[1],
                 "398 4901234567894");
        QCOMPARE(master_->lookup("4901234567894").product->product,
                 "ポテトチップスうすしお味ファミリー");
    }

    // A file, then two pastes: each note names its row so that no 「n 行目」 means two rows,
    // the title keeps the list's name, and printing offers a PDF named after the list.
    void pastedRowsNumberedByTheirPaste() {
        const QString file = dir_.filePath("今週.csv");
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("JAN,\xe5\x95\x86\xe5\x93\x81\xe5\x90\x8d,\xe6\x9e\x9a\xe6\x95\xb0\r\n"  // JAN,商品名,枚数
                  "4901234567894,A,1\r\n4901234567894,B,0\r\n");
        csv.close();
        QVERIFY(window_->importFile(file));
        // Each paste: its second line has no product name.
        QVERIFY(window_->pasteRows("JANコード\t品名\n4901234567894\t\n4901234567894\t品X"));
        // Without a header: JAN, maker, product name.
        QVERIFY(window_->pasteRows("4901234567894\t山田\t品Y\n4901234567894\t山田\t"));
        const QStringList notes =
            window_->findChild<QPlainTextEdit*>("問題")->toPlainText().split('\n');
        QCOMPARE(notes.size(), 3);
        QVERIFY2(notes[0].startsWith("3 行目: 枚数が 0") &&
                     notes[1].startsWith("貼り付け 2 行目: 品名が空") &&
                     notes[2].startsWith("貼り付け(2回目) 2 行目: 品名が空"),
                 qPrintable(notes.join('\n')));
        QVERIFY2(window_->windowTitle().contains(QDir::toNativeSeparators(file)),
                 qPrintable(window_->windowTitle()));
        QCOMPARE(window_->model().rowCount(), 6);
        dialogs_.scriptCancel();
        window_->printAll();
        QCOMPARE(dialogs_.pdfSuggestion(), dir_.filePath("今週.pdf"));
    }

    void filterAndSort() {
        auto* filter = window_->findChild<QLineEdit*>("絞り込み");
        QInputMethodEvent typed;  // 品2 and 品20 to 品25
        typed.setCommitString("品2");
        QApplication::sendEvent(filter, &typed);
        auto* table = window_->findChild<QTableView*>("商品表");
        QCOMPARE(table->model()->rowCount(), 7);
        table->sortByColumn(ProductListModel::Price, Qt::DescendingOrder);
        QCOMPARE(table->model()->index(0, ProductListModel::Product).data().toString(), "品25");
    }

    void savedAsNumberedLabelFiles() {
        DialogAnswer answer;
        answer.path = dir_.filePath("棚.csv");
        dialogs_.script(answer);
        QTest::mouseClick(window_->findChild<QPushButton*>("まとめて保存"), Qt::LeftButton);
        SheetState second;
        QVERIFY(readLabelFile(dir_.filePath("棚-002.csv"), second).opened);
        QCOMPARE(second.productText[4], "品25");
        QVERIFY(QFile::exists(dir_.filePath("棚-001.csv")));
        QVERIFY(!QFile::exists(dir_.filePath("棚-003.csv")));
        QCOMPARE(messages_.shown().last().icon, MessageIcon::Information);
    }

    void printedAsOneJob() {
        DialogAnswer answer;
        answer.choosePrinter = [this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir_.filePath("list.pdf"));
        };
        dialogs_.script(answer);
        QTest::mouseClick(window_->findChild<QPushButton*>("まとめて印刷"), Qt::LeftButton);
        QCOMPARE(printed::pageCount(dir_.filePath("list.pdf")), 2);
        QVERIFY(messages_.shown().isEmpty());
    }
};

QTEST_MAIN(TestListWindow)
#include "tst_listwindow.moc"
