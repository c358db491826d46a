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
        QCOMPARE(window_->plan().sheetCount(), 2);
        const SheetState first = window_->sheet(0), second = window_->sheet(1);
        QCOMPARE(first.productText[5] + first.productText[6] + first.productText[7], "品1品1品3");
        QCOMPARE(first.taxRate[7], "8");
        QCOMPARE(second.productText[8], "品25");
        QVERIFY(second.productText[9].isEmpty());
        QCOMPARE(second.layout.makerY, std::int16_t(-3));
        QCOMPARE(window_->findChild<QLabel*>("概要")->text(), "印刷するラベル 25 枚、シート 2 枚");

        window_->findChild<QSpinBox*>("シート番号")->setValue(2);
        QTest::mouseClick(window_->findChild<QPushButton*>("入力画面で開く"), Qt::LeftButton);
        QCOMPARE(opened_, QStringList{"商品リスト 2/2 品18"});
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
