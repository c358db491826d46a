// The product list window: rows pasted from a spreadsheet, the print checkbox and copies, the
// filter, the start position, and the sheets opened in the editor, saved and printed.
#include <QRegularExpression>
#include <QtTest>
#include <QtWidgets>

#include "Cp932.h"
#include "LabelFile.h"
#include "ModalDialogs.h"
#include "PrintedSheet.h"
#include "ProductListModel.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "TestPostgres.h"

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

// A valid JAN code: 49, ten digits of `n`, the check digit.
QString janOf(qint64 n) {
    const QString digits = QString("49%1").arg(n, 10, 10, QChar('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return digits + QString::number((10 - sum % 10) % 10);
}

// Waits in the progress dialog until `ready` says so, then presses its キャンセル; what the
// dialog said then goes to `seen`.
void cancelWhen(std::function<bool(QProgressDialog&)> ready, QString& seen) {
    testing::whenShown<QProgressDialog>([ready, &seen](QProgressDialog& dialog) {
        if (!QTest::qWaitFor([&] { return ready(dialog); }, 30000)) {
            return;  // left open: the helper closes it, and the checks after fail
        }
        seen = QString("%1 (%2/1000)").arg(dialog.labelText()).arg(dialog.value());
        QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
    });
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
    void cleanup() { ZUKARO_VERIFY_NO_DIALOG_LEFT(); }

    void init() {
        master_ = std::make_unique<ProductMaster>(dir_.filePath("products.sqlite"));
        openWindow();
    }

private:
    // The window with master_ as its product master, the 25 rows pasted (and kept there).
    void openWindow() {
        window_.reset();
        dialogs_ = ScriptedCommonDialog1();
        messages_ = ScriptedMessageBoxes();
        opened_.clear();
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
        hooks.progressDelayMs = 0;  // the dialog of long work at once, for the test to press
        window_ = std::make_unique<ProductListWindow>(dialogs_, messages_, hooks);
        window_->show();
        QApplication::clipboard()->setText(pastedRows());
        QTest::mouseClick(window_->findChild<QPushButton*>("貼り付け"), Qt::LeftButton);
    }

private slots:

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

    // Every row the reading left out, and every row that makes no label or a questionable
    // one, is listed under the table in the list's order, one line each, whether the rows
    // came from a file (Shift_JIS, as a POS writes it) or from a paste.
    void problemsPaneListsEveryRow_data() {
        QTest::addColumn<bool>("pasted");
        QTest::newRow("file") << false;
        QTest::newRow("pasted") << true;
    }

    void problemsPaneListsEveryRow() {
        QFETCH(bool, pasted);
        const QString rows =
            "JANコード|品名|売価|枚数|税率\n"
            "4901234567894|ポテトチップス うすしお味 ファミリーサイズ ３袋入り|￥398|2|8%\n"
            "4901234567890|こいくちしょうゆ|￥298|1|\n"
            "49012345678|みりん|￥350|1|\n"
            "4901234567894|料理酒|￥200|x|\n"
            "4901234567894|穀物酢|￥180|1|5%\n"
            "4901234567894||￥100|1|\n"
            "4901234567894|上白糖|￥128000|0|";
        if (pasted) {
            QVERIFY(window_->pasteRows(QString(rows).replace('|', '\t')));
        } else {
            const QString file = dir_.filePath("pos.csv");
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) &&
                    out.write(cp932::encode(QString(rows).replace('|', ',').replace("\n", "\r\n"))
                                  .bytes) > 0);
            out.close();
            QVERIFY(window_->importFile(file));
        }
        QStringList notes{
            "2 行目: 品名がラベルからはみ出して印刷されます。「価格を枠内に収める」をオンにすると、"
            "収まる大きさで印刷します。",
            "3 行目: JAN コード「4901234567890」: チェックデジットを 0 から 4 に直しました。",
            "4 行目: JAN コード「49012345678」はバーコードなしで印刷されます（8 桁か 13 桁では"
            "ありません）。",
            "5 行目: 枚数「x」は 0〜999 の整数ではありません。この行は読み込みませんでした。",
            "6 行目: 税率「5%」は読めません（8、10、8%、10%、標準税率、軽減税率、非課税 のどれか"
            "です）。この行は読み込みませんでした。",
            "7 行目: 品名が空のため、ラベルにしません（品名のないラベルは印刷されません）。",
            "8 行目: 枚数が 0 のため、印刷しません。"};
        if (pasted) {  // named after their paste, the second after init()'s
            notes.replaceInStrings(QRegularExpression("^"), "貼り付け(2回目) ");
        }
        QTRY_COMPARE(window_->findChild<QPlainTextEdit*>("問題")->toPlainText().split('\n'), notes);
        // The pasted rows come after the 25 of init().
        QCOMPARE(window_->findChild<QLabel*>("概要")->text(),
                 pasted ? "印刷するラベル 29 枚、シート 2 枚" : "印刷するラベル 4 枚、シート 1 枚");
    }

    // 0 copies typed into the table is taken and shown, and the row is listed as printing
    // nothing.
    void zeroCopiesAreTakenAndListed() {
        auto* table = window_->findChild<QTableView*>("商品表");
        const QModelIndex copies = table->model()->index(2, ProductListModel::Copies);
        table->setCurrentIndex(copies);
        table->edit(copies);
        auto* editor = table->viewport()->findChild<QSpinBox*>();
        QVERIFY(editor != nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "0");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(copies.data().toInt(), 0);  // the view commits after the key
        QTRY_COMPARE(window_->findChild<QPlainTextEdit*>("問題")->toPlainText(),
                     "貼り付け 4 行目: 枚数が 0 のため、印刷しません。");
        QCOMPARE(window_->findChild<QLabel*>("概要")->text(), "印刷するラベル 24 枚、シート 2 枚");
    }

    // Codes are read against the shelf digit by digit: each is shown whole in its cell.
    void codesShownWhole() {
        auto* table = window_->findChild<QTableView*>("商品表");
        const QFontMetrics metrics(table->font());
        const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QModelIndex cell = table->model()->index(row, ProductListModel::Jan);
            const QString code = cell.data().toString();
            QCOMPARE(code.size(), 13);
            QVERIFY2(table->visualRect(cell).width() >= metrics.horizontalAdvance(code) + margins,
                     qPrintable(code));
        }
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
        const SheetState first = window_->sheet(0);
        QCOMPARE(first.priceText[1] + ' ' + first.janText[1], "398 4901234567894");
        QCOMPARE(master_->lookup("4901234567894").product->product,
                 "ポテトチップスうすしお味ファミリー");
    }

    // A file, then two pastes: each note names its row so that no 「n 行目」 means two rows,
    // the title keeps the list's name, and printing offers a PDF named after the list.
    void pastedRowsNumberedByTheirPaste() {
        const QString file = dir_.filePath("今週.csv");
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(
            "JAN,\xe5\x95\x86\xe5\x93\x81\xe5\x90\x8d,\xe6\x9e\x9a\xe6\x95\xb0\r\n"  // JAN,商品名,枚数
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

    // Cells are shown under the table as they are, never as what they would do: a control
    // character escaped, a price of 100,000 digits cut.
    void cellsShownEscapedUnderTheTable() {
        QVERIFY(
            window_->pasteRows("JANコード\t品名\t売価\n4901234\x1b\tのり\t100\n"
                               "4901234567894\t塩\t" +
                               QString(100000, '9')));
        const QString shown = window_->findChild<QPlainTextEdit*>("問題")->toPlainText();
        for (const QChar c : shown) {
            QVERIFY2(c >= ' ' || c == '\n', qPrintable(QString::number(c.unicode(), 16)));
        }
        QVERIFY2(
            shown.contains("貼り付け(2回目) 2 行目: JAN コード「4901234\\x1B」: チェックデジットを "
                           "\\x1B から 7 に直しました。"),
            qPrintable(shown));
        // A cell is kept to 4,096 characters, and the cut is said.
        QVERIFY2(shown.contains("貼り付け(2回目) 3 行目: 3 列目の文字が 4,096 文字を超えるため、"
                                "最初の 4,096 文字だけを読みました（全 100,000 文字）。"),
                 qPrintable(shown.left(2000)));
        QVERIFY2(shown.contains("貼り付け(2回目) 3 行目: 売価「" + QString(40, '9') +
                                "…（全 4,096 文字）」は 5 文字の枠に入らないため"),
                 qPrintable(shown.left(2000)));
    }

    // A POS's own header names: 列の割り当て through the real dialog reads the pasted rows again
    // with the columns chosen there.
    void columnsChosenAgain() {
        QVERIFY(window_->pasteRows("コード\t名前\t値段\n4901234567894\tのり塩\t128"));
        testing::whenShown<QDialog>([](QDialog& dialog) {
            if (dialog.objectName() != "列の割り当て") {
                return;  // another dialog: closed, and the checks below fail
            }
            for (const auto& [key, column] :
                 {std::pair("jan", 1), std::pair("product", 2), std::pair("price", 3)}) {
                dialog.findChild<QComboBox*>(key)->setCurrentIndex(column);
            }
            dialog.findChild<QCheckBox*>("見出し行")->setChecked(true);
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QTest::mouseClick(window_->findChild<QPushButton*>("列の割り当て"), Qt::LeftButton);
        QCOMPARE(window_->model().rowCount(), 1);
        const ProductRow& row = window_->model().rows().front();
        QCOMPARE(QStringList({QString::number(row.line), row.jan, row.product, row.price}),
                 QStringList({"2", "4901234567894", "のり塩", "128"}));
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
        // Told, then asked whether to record what was saved as printed.
        QCOMPARE(messages_.shown().size(), 2);
        QCOMPARE(messages_.shown().first().icon, MessageIcon::Information);
        QCOMPARE(messages_.shown().last().doText, "一括で記録");
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
        // Nothing told; only asked whether to record the rows as printed.
        QCOMPARE(messages_.shown().size(), 1);
        QVERIFY(messages_.shown().first().text.startsWith("印刷した 25 行を"));
    }

    // A chain's master list of 200,000 products read into the window and the master (a shop's
    // SQLite file, or the chain's database on the private PostgreSQL server): the progress
    // dialog follows the import, and キャンセル there leaves the list and the master as they
    // were (one transaction).
    void largeImportCancelled_data() {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("SQLite") << false;
        QTest::newRow("PostgreSQL") << true;
    }

    void largeImportCancelled() {
        QFETCH(bool, postgres);
        testing::TestPostgres server;
        if (postgres) {
            QVERIFY2(server.ready(), qPrintable(server.error()));
            window_.reset();
            master_ = std::make_unique<ProductMaster>(
                server.location(server.createDatabase(), server.office));
            openWindow();
            QCOMPARE(master_->lookup("4901234567894").product->product, "品25");
        }
        const QString masterName = postgres ? "（" + master_->location().describe() + "）"
                                            : QString("「products.sqlite」");
        QFile list(dir_.filePath("全店マスタ.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("JANコード,メーカー,品名,売価\n");
        for (int i = 0; i < 200'000; ++i) {
            list.write(QString("%1,カトー製菓,ポテトチップス うすしお味 %2,%3\n")
                           .arg(janOf(i))
                           .arg(i)
                           .arg(100 + i % 900)
                           .toUtf8());
        }
        list.close();
        QString seen;
        cancelWhen(
            [](QProgressDialog& d) {
                return d.labelText().contains("商品マスタ") && d.value() > 0;
            },
            seen);
        QVERIFY(!window_->importFile(list.fileName()));
        QVERIFY2(seen.startsWith("商品マスタ" + masterName + "に登録しています\n"),
                 qPrintable(seen));
        QCOMPARE(messages_.shown().last().text,
                 "「" + list.fileName() +
                     "」の読み込みを取り消しました。リストも商品マスタも前の"
                     "ままです。");
        QCOMPARE(window_->model().rowCount(), 25);
        QCOMPARE(master_->lookup("4901234567894").product->product, "品25");
        for (const int i : {0, 1, 199'999}) {
            QVERIFY2(!master_->lookup(janOf(i)).product, qPrintable(janOf(i)));
        }
    }

    // 100,000 labels at most per job; below that, 4,759 sheets saved as label files, and
    // キャンセル halfway: the files saved so far are whole, the message names them, the rest
    // are not there, and nothing is left half written.
    void saveAllCancelledHalfway() {
        QStringList rows{"JANコード\t品名\t売価\t枚数"};
        for (int i = 0; i < 100; ++i) {
            rows << QString("%1\tのり塩 %2\t128\t999").arg(janOf(i)).arg(i);
        }
        QVERIFY(window_->pasteRows(rows.join('\n')));
        auto* table = window_->findChild<QTableView*>("商品表");
        table->model()->setData(table->model()->index(0, ProductListModel::Copies), 999);
        QCOMPARE(window_->findChild<QLabel*>("概要")->text(),
                 "印刷するラベル 100,923 枚、シート 4,806 枚（一度に保存・印刷できるのは 100,000 "
                 "枚までです）");
        QTest::mouseClick(window_->findChild<QPushButton*>("まとめて保存"), Qt::LeftButton);
        QCOMPARE(messages_.shown().last().text,
                 "印刷するラベルが 100,923 枚あります。一度に保存・印刷できるのは 100,000 枚"
                 "までです。印刷する行を減らすか、枚数を減らしてください。");

        table->model()->setData(table->model()->index(0, ProductListModel::Copies), 1);
        QCOMPARE(window_->plan().sheetCount(), 4759);
        QVERIFY(QDir(dir_.path()).mkpath("saved"));
        DialogAnswer answer;
        answer.path = dir_.filePath("saved/棚.csv");
        dialogs_.script(answer);
        QString seen;
        cancelWhen([](QProgressDialog& d) { return d.value() >= 100; }, seen);
        QTest::mouseClick(window_->findChild<QPushButton*>("まとめて保存"), Qt::LeftButton);
        const QString said = messages_.shown().last().text;
        const QRegularExpressionMatch saved =
            QRegularExpression(
                "^保存を取り消しました。4,759 枚のうち ([\\d,]+) 枚を保存しました。\n保存したのは "
                "(.+) "
                "から 棚-(\\d+)\\.csv "
                "までです。\nどのファイルも最後まで書いてあります。残りは保存して"
                "いません。$")
                .match(said);
        QVERIFY2(saved.hasMatch(), qPrintable(said + "\n" + seen));
        const int count = saved.captured(1).remove(',').toInt();
        QCOMPARE(saved.captured(2), dir_.filePath("saved/棚-001.csv"));
        QCOMPARE(saved.captured(3).toInt(), count);
        QVERIFY2(count > 0 && count < 4759, qPrintable(said));
        // Every file there is a whole label file, in order, and only those.
        const QStringList files =
            QDir(dir_.filePath("saved")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(files.size(), count);
        QCOMPARE(files.last(), QString("棚-%1.csv").arg(count, 3, 10, QChar('0')));
        for (int n = 1; n <= count; ++n) {
            SheetState sheet;
            const LabelFileReport read = readLabelFile(
                dir_.filePath(QString("saved/棚-%1.csv").arg(n, 3, 10, QChar('0'))), sheet);
            QVERIFY2(read.opened && !read.anythingSkipped() && !sheet.productText[21].isEmpty(),
                     qPrintable(QString("sheet %1").arg(n)));
        }
    }
};

QTEST_MAIN(TestListWindow)
#include "tst_listwindow.moc"
