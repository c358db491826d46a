// The weekly price change in the list window: each row marked against the label last printed,
// 「変更分だけ」, the question after a print or a save that alone records, and the next start
// offered after a sheet left partly used; and the same weeks through --print-list, which must
// mark, print and record as the window does (both go through listsession/). A shop's real exports
// (productlist/tests/data), last week's recorded by printing it here.
#include <QtTest>
#include <QtWidgets>

#include "Cp932.h"
#include "ModalDialogs.h"
#include "PrintedSheet.h"
#include "ProductListModel.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "QtMessageBoxes.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

const QString kLastWeek = QStringLiteral(POS_FIXTURES "/pos_week_1130_utf8_bom.csv");
const QString kThisWeek = QStringLiteral(POS_FIXTURES "/pos_week_1207_shift_jis.csv");
const QString kNextWeek = QStringLiteral(POS_FIXTURES "/pos_week_1214_shift_jis.csv");

// 1,080: whole yen with separators, as the labels print it.
QString yen(qint64 amount) {
    return QLocale(QLocale::English).toString(amount);
}

// The 前回 column, row by row in list order.
QStringList marksShown(const ProductListModel& model) {
    QStringList marks;
    for (int row = 0; row < model.rowCount(); ++row) {
        marks << model.index(row, ProductListModel::Change).data().toString();
    }
    return marks;
}

// Which rows are checked for printing, as 1 and 0.
QString chosen(const ProductListModel& model) {
    QString rows;
    for (const bool on : model.chosen()) {
        rows += on ? '1' : '0';
    }
    return rows;
}

// A modal dialog still open `ms` after this is made is closed and its text kept in `left`, so
// that a test fails naming it instead of hanging.
class DialogLeftOpen : public QObject {
public:
    explicit DialogLeftOpen(int ms) {
        QTimer::singleShot(ms, this, [this] {
            if (QWidget* open = QApplication::activeModalWidget()) {
                const auto* box = qobject_cast<QMessageBox*>(open);
                left = open->objectName() + ' ' + (box != nullptr ? box->text() : QString());
                open->close();
            }
        });
    }
    QString left;
};

}  // namespace

class TestListHistory : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<ProductMaster> master_;

    ProductListHooks hooks() {
        ProductListHooks hooks;
        hooks.base = [] {
            SheetState base;  // a shop shows totals with tax
            base.layout.priceMode = PriceMode::TaxIncluded;
            base.layout.thousandsSeparators = true;
            return base;
        };
        hooks.master = master_.get();
        hooks.settingsFolder = dir_->filePath("config");
        return hooks;
    }

    std::unique_ptr<ProductListWindow> window(MessageBoxes& messages) {
        auto window = std::make_unique<ProductListWindow>(dialogs_, messages, hooks());
        window->show();
        return window;
    }

    // まとめて印刷 into a PDF of the test's folder.
    void printToPdf(ProductListWindow& window, const QString& name) {
        DialogAnswer answer;
        answer.choosePrinter = [this, name](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir_->filePath(name));
        };
        dialogs_.script(answer);
        QTest::mouseClick(window.findChild<QPushButton*>("まとめて印刷"), Qt::LeftButton);
    }

    // The price last recorded as printed for the code, or "none".
    QString recordedPrice(const QString& jan) {
        const ProductMaster::PrintedResult found = master_->lastPrinted({jan});
        if (!found.ok) {
            return found.error;
        }
        return found.labels.contains(jan) ? found.labels.value(jan).price : QString("none");
    }

private slots:
    void init() {
        dir_.emplace();
        QVERIFY(QDir(dir_->path()).mkpath("config"));
        dialogs_ = ScriptedCommonDialog1();
        messages_ = ScriptedMessageBoxes();
        master_ = std::make_unique<ProductMaster>(dir_->filePath("products.sqlite"));
        QVERIFY(master_->open().ok);
    }

    // Last week printed and recorded; this week's export marked against it, 変更分だけ on and
    // off; a save not recorded when the clerk says so, a print recorded when the clerk says so.
    void weekOfPriceChanges() {
        const auto list = window(messages_);
        auto* changedOnly = list->findChild<QCheckBox*>("変更分だけ");
        QVERIFY(!changedOnly->isEnabled());  // nothing to compare with before a list
        QVERIFY(list->importFile(kLastWeek));
        QCOMPARE(marksShown(list->model()), QStringList(5, "新規"));
        printToPdf(*list, "last-week.pdf");
        QCOMPARE(printed::pageCount(dir_->filePath("last-week.pdf")), 1);
        QCOMPARE(messages_.shown().size(), 1);
        const ScriptedMessageBoxes::Shown asked = messages_.shown().last();
        QVERIFY(asked.question);
        QCOMPARE(asked.doText + '/' + asked.dontText, "一括で記録/記録しない");
        QVERIFY2(asked.text.startsWith("印刷した 5 行を、商品マスタに印刷済みとして一括で記録"
                                       "しますか？"),
                 qPrintable(asked.text));
        QCOMPARE(marksShown(list->model()), QStringList(5, "変更なし"));
        QCOMPARE(recordedPrice("4569999001024"), "238");

        QVERIFY(list->importFile(kThisWeek));
        const ProductListModel& model = list->model();
        QCOMPARE(marksShown(model), (QStringList{"変更なし", "新規", "価格変更（前回 238）",
                                                 "変更なし", "表示変更", "変更なし"}));
        const QString tip =
            model.index(2, ProductListModel::Change).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith("売価 238 (8%) → 258 (8%)\n前回の印刷: "), qPrintable(tip));
        QCOMPARE(model.index(4, ProductListModel::Change)
                     .data(Qt::ToolTipRole)
                     .toString()
                     .section('\n', 0, 0),
                 "品名");
        QCOMPARE(chosen(model), "111111");
        QVERIFY(changedOnly->isEnabled());
        changedOnly->click();
        QCOMPARE(chosen(model), "011010");
        QCOMPARE(list->findChild<QLabel*>("概要")->text(), "印刷するラベル 3 枚、シート 1 枚");
        changedOnly->click();
        QCOMPARE(chosen(model), "111111");
        changedOnly->click();

        // まとめて保存, and 記録しない: the master is as it was.
        DialogAnswer saveAs;
        saveAs.path = dir_->filePath("棚.csv");
        dialogs_.script(saveAs);
        messages_.scriptAnswer(false);
        QTest::mouseClick(list->findChild<QPushButton*>("まとめて保存"), Qt::LeftButton);
        QVERIFY(QFile::exists(dir_->filePath("棚-001.csv")));
        QVERIFY2(messages_.shown().last().text.startsWith("保存した 3 行を"),
                 qPrintable(messages_.shown().last().text));
        QCOMPARE(recordedPrice("4569999001024"), "238");
        QCOMPARE(recordedPrice("4569999001062"), "none");
        QCOMPARE(marksShown(model)[2], "価格変更（前回 238）");

        // まとめて印刷, and 一括で記録: the three are printed now, and nothing is left to print.
        messages_.scriptAnswer(true);
        printToPdf(*list, "this-week.pdf");
        QCOMPARE(recordedPrice("4569999001024"), "258");
        QCOMPARE(recordedPrice("4569999001062"), "540");
        QCOMPARE(recordedPrice("4569999001017"), "398");
        QCOMPARE(marksShown(model), QStringList(6, "変更なし"));
        QCOMPARE(chosen(model), "000000");
        QCOMPARE(list->findChild<QLabel*>("概要")->text(), "印刷するラベル 0 枚、シート 0 枚");
    }

    // A shop's three Mondays with the register's exports, the list's half of the week: each
    // export registered in the master on the clerk's word, 変更分だけ printed and recorded;
    // last week's export opened again by mistake is older, flagged, and changes nothing
    // without the clerk's word; the third Monday changes three prices, and 変更分だけ prints
    // exactly those, each price on the paper checked against the arithmetic (8 %, rounded
    // down; a 内税 price's 本体 worked back). Real message boxes throughout.
    void weekOfTheRegistersExports() {
        const DialogLeftOpen guard(120000);
        QtMessageBoxes real;
        const auto list = window(real);
        const ProductListModel& model = list->model();
        auto* registerButton = list->findChild<QPushButton*>("マスターに登録");
        auto* note = list->findChild<QLabel*>("マスターとの比較");
        // The exports as the register left them, each with its Monday's time.
        const auto dated = [this](const QString& fixture, const QDateTime& when) {
            const QString copy = dir_->filePath(QFileInfo(fixture).fileName());
            QFile file(copy);
            return QFile::copy(fixture, copy) && file.open(QIODevice::ReadWrite) &&
                           file.setFileTime(when, QFileDevice::FileModificationTime)
                       ? copy
                       : QString();
        };
        const QString nov30 = dated(kLastWeek, QDateTime(QDate(2026, 11, 30), QTime(9, 12)));
        const QString dec07 = dated(kThisWeek, QDateTime(QDate(2026, 12, 7), QTime(8, 55)));
        const QString dec14 = dated(kNextWeek, QDateTime(QDate(2026, 12, 14), QTime(8, 50)));
        QVERIFY(!nov30.isEmpty() && !dec07.isEmpty() && !dec14.isEmpty());
        const auto stored = [this](const char* jan) {
            const ProductMaster::LookupResult found = master_->lookup(jan);
            return found.product ? found.product->product + ' ' + found.product->price
                   : found.ok    ? "none"
                                 : found.error;
        };
        const auto printAndRecord = [&](const QString& name) {
            testing::whenShown<QMessageBox>([](QMessageBox& box) {
                box.findChild<QPushButton*>("する")->click();  // 一括で記録
            });
            printToPdf(*list, name);
        };

        QVERIFY(list->importFile(nov30));
        QTest::mouseClick(registerButton, Qt::LeftButton);
        printAndRecord("1130.pdf");
        QCOMPARE(marksShown(model), QStringList(5, "変更なし"));

        QVERIFY(list->importFile(dec07));
        QVERIFY2(note->text().startsWith("商品マスタと比べて: 新規 1 件、売価が変わる 1 件、品名"
                                         "などが変わる 1 件、変更なし 3 件。"),
                 qPrintable(note->text()));
        QCOMPARE(stored("4569999001024"), "緑茶 ペットボトル 238");  // not before the click
        QTest::mouseClick(registerButton, Qt::LeftButton);
        QCOMPARE(stored("4569999001024"), "緑茶 ペットボトル 258");
        list->findChild<QCheckBox*>("変更分だけ")->click();
        QCOMPARE(chosen(model), "011010");
        printAndRecord("1207.pdf");

        // Last week's export again, by mistake: older than what the master holds.
        QVERIFY(list->importFile(nov30));
        QVERIFY2(note->text().contains("うち 2 件は、商品マスタにあるより古いリストの内容です"),
                 qPrintable(note->text()));
        QCOMPARE(stored("4569999001024"), "緑茶 ペットボトル 258");
        QCOMPARE(stored("4569999001031"), "ワイヤレスイヤホン ホワイト 1100");

        QVERIFY(list->importFile(dec14));
        QCOMPARE(marksShown(model),
                 (QStringList{"価格変更（前回 398）", "変更なし", "価格変更（前回 258）",
                              "変更なし", "変更なし", "価格変更（前回 1000）"}));
        QVERIFY2(
            note->text().startsWith("商品マスタと比べて: 新規 0 件、売価が変わる 3 件、変更なし "
                                    "3 件。売価: ポテトチップス ウスシオ味 398 (8%) → 378 "
                                    "(8%)、緑茶 ペットボトル 258 (8%) → 248 (8%)、幕の内弁当 "
                                    "1000 (内税 8%) → 1080 (内税 8%)。"),
            qPrintable(note->text()));
        QTest::mouseClick(registerButton, Qt::LeftButton);  // newer than the master's: no question
        QCOMPARE(stored("4569999001055"), "幕の内弁当 1080");
        QCOMPARE(chosen(model), "101001");
        QCOMPARE(list->findChild<QLabel*>("概要")->text(), "印刷するラベル 3 枚、シート 1 枚");
        printAndRecord("1214.pdf");
        QCOMPARE(marksShown(model), QStringList(6, "変更なし"));

        // Each label as the arithmetic has it: 本体 × 1.08 rounded down for 外税; for 内税 the
        // price as it is, its tax (price × 8 / 108, rounded down) taken off for 本体.
        const QList<printed::Word> words = printed::pdfWords(dir_->filePath("1214.pdf"));
        const struct {
            const char* jan;
            qint64 price;
            bool included;
        } changed[] = {{"4569999001017", 378, false},
                       {"4569999001024", 248, false},
                       {"4569999001055", 1080, true}};
        const SheetState sheet = list->sheet(0);
        for (int n = 1; n <= 3; ++n) {
            const auto& [jan, price, included] = changed[n - 1];
            const qint64 total = included ? price : price * 108 / 100;
            const qint64 net = included ? price - price * 8 / 108 : price;
            const QStringList printed = printed::labelText(words, sheet, n).split(u' ');
            QVERIFY2(printed.contains(jan) && printed.contains(yen(total)) &&
                         printed.join(' ').contains("(本体 " + yen(net) + "円)"),
                     qPrintable(QString("label %1: %2, expected %3 (本体 %4円)")
                                    .arg(n)
                                    .arg(printed.join(' '), yen(total), yen(net))));
        }
        QCOMPARE(printed::labelText(words, sheet, 4), QString());
        QCOMPARE(guard.left, QString());
        // The editor's half of the week goes on from this master: a scanner typing five codes,
        // one of them unknown (see the editor's tests).
    }

    // Next week's sale from this week's register export: printed and recorded today at the
    // regular prices; 印刷日 set to the sale's first day marks exactly the two sale rows, which
    // 変更分だけ prints with the sale prices (the print dialog told that day) and records for
    // that day; the day after the sale ends marks the one whose sale ended, not the open one.
    // The editor gets the list's day with its sheet. Days are counted from today.
    void saleWeekByThePrintDay() {
        const QDate today = QDate::currentDate();
        const QDate first = today.addDays(6);
        const QString day = first.toString("yyyy/MM/dd");
        const QString list = dir_->filePath("sale.csv");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QString rows =
            "バーコード,商品名,規格,商品単価,税設定,軽減税率対象,特売価格,特売開始日,特売終了日\r\n"
            "4569999001017,ポテトチップス うすしお味,60g,158,外税,○,128," +
            day + "," + first.addDays(6).toString("yyyyMMdd") +
            "\r\n"
            "4569999001024,緑茶 ペットボトル,2L,258,外税,○,,,\r\n"
            "4569999001062,ミックスナッツ,200g,540,外税,○,498," +
            day + ",\r\n";
        file.write(cp932::encode(rows).bytes);
        file.close();
        QDate openedFor;
        ProductListHooks withEditor = hooks();
        withEditor.base = [] {  // a shop's with 単位価格, which a sale's 通常価格 overprints
            SheetState base;
            base.layout.priceMode = PriceMode::TaxIncluded;
            base.layout.thousandsSeparators = true;
            base.layout.unitPriceShown = true;
            return base;
        };
        withEditor.openInEditor = [&openedFor](const SheetState&, const QString&, const QDate& d) {
            openedFor = d;
        };
        ProductListWindow window(dialogs_, messages_, withEditor);
        window.show();
        auto* printDay = window.findChild<QDateEdit*>("印刷日");
        QCOMPARE(printDay->date(), today);
        QVERIFY(window.importFile(list));
        messages_.scriptAnswer(true);
        printToPdf(window, "today.pdf");
        QCOMPARE(dialogs_.printDay(), today);
        QCOMPARE(recordedPrice("4569999001017"), "158");
        auto* notes = window.findChild<QPlainTextEdit*>("問題");
        QCOMPARE(notes->toPlainText(), QString());

        printDay->setDate(first);  // the rows are marked once the clerk stops typing
        const ProductListModel& model = window.model();
        QTRY_COMPARE(marksShown(model),
                     (QStringList{"価格変更（前回 158）", "変更なし", "価格変更（前回 540）"}));
        const QStringList said = notes->toPlainText().split('\n');
        QVERIFY2(said.size() == 2 &&
                     said[0].startsWith("2 行目: 単位価格と通常価格が重なって印刷されます。") &&
                     said[1].startsWith("4 行目: 単位価格と通常価格が重なって印刷されます。"),
                 qPrintable(said.join('\n')));
        window.findChild<QCheckBox*>("変更分だけ")->click();
        QCOMPARE(chosen(model), "101");
        QTest::mouseClick(window.findChild<QPushButton*>("入力画面で開く"), Qt::LeftButton);
        QCOMPARE(openedFor, first);
        const SheetState sheet = window.sheet(0);
        printToPdf(window, "sale.pdf");
        QCOMPARE(dialogs_.printDay(), first);
        // 外税 8 %, rounded down: 128 → 138 under 通常価格 158 → 170; 498 → 537 under 583.
        const QList<printed::Word> words = printed::pdfWords(dir_->filePath("sale.pdf"));
        QCOMPARE(sheet.label(1).jan, "4569999001017");
        for (const auto& [n, sale, regular] : {std::tuple{1, "138", "170"}, {2, "537", "583"}}) {
            const QString printed = printed::labelText(words, sheet, n);
            QVERIFY2(
                printed.contains(sale) && printed.contains("通常価格") && printed.contains(regular),
                qPrintable(QString("label %1: %2").arg(n).arg(printed)));
        }
        QCOMPARE(printed::labelText(words, sheet, 3), QString());
        const ProductMaster::PrintedResult last = master_->lastPrinted({"4569999001017"});
        QVERIFY(last.ok);
        const PrintedLabel chips = last.labels.value("4569999001017");
        QCOMPARE(chips.price + ' ' + chips.regularPrice, "128 158");
        QCOMPARE(chips.printedFor, first);
        QCOMPARE(chosen(model), "000");

        // The day after the chips' last day, typed and entered: marked at once, and printed
        // with the chips alone, back at 158, recorded for that day.
        printDay->setDate(first.addDays(7));
        QTest::keyClick(printDay, Qt::Key_Return);
        QCOMPARE(marksShown(model), (QStringList{"価格変更（前回 128）", "変更なし", "変更なし"}));
        QCOMPARE(chosen(model), "100");
        printToPdf(window, "after.pdf");
        QCOMPARE(printed::pageCount(dir_->filePath("after.pdf")), 1);
        QCOMPARE(recordedPrice("4569999001017"), "158");
        QCOMPARE(master_->lastPrinted({"4569999001017"}).labels.value("4569999001017").printedFor,
                 first.addDays(7));
        QCOMPARE(recordedPrice("4569999001062"), "498");
    }

    // The question is a real message box: Escape (or its close box) records nothing, and the
    // window is the clerk's again.
    void escapeRecordsNothing() {
        const DialogLeftOpen guard(20000);
        QtMessageBoxes real;
        const auto list = window(real);
        QVERIFY(list->importFile(kLastWeek));
        QString buttons;
        testing::whenShown<QMessageBox>([&buttons](QMessageBox& box) {
            for (QAbstractButton* b : box.buttons()) {
                buttons += '[' + b->text() + ']';
            }
            buttons += " default " + box.defaultButton()->text();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        printToPdf(*list, "escaped.pdf");
        QCOMPARE(guard.left, QString());
        QCOMPARE(buttons, "[一括で記録][記録しない] default 一括で記録");
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(printed::pageCount(dir_->filePath("escaped.pdf")), 1);
        QCOMPARE(recordedPrice("4569999001017"), "none");
        QCOMPARE(marksShown(list->model()), QStringList(5, "新規"));
    }

    // A print that ends at label 9 offers 10, shown and taken only by its button; another list
    // starts at 1; the offer outlives the window (kept per user); a print that uses its last
    // sheet up offers nothing.
    void nextStartOffered() {
        auto list = window(messages_);
        auto* start = list->findChild<QSpinBox*>("開始位置");
        auto* offer = list->findChild<QPushButton*>("前回の続き");
        auto* note = list->findChild<QLabel*>("前回の続きの説明");
        QVERIFY(!offer->isVisible() && !note->isVisible());
        QVERIFY(list->importFile(kLastWeek));
        start->setValue(5);
        messages_.scriptAnswer(false);
        printToPdf(*list, "partly.pdf");
        QCOMPARE(list->offeredStart(), 10);
        QCOMPARE(start->value(), 5);  // offered, not applied
        QVERIFY(offer->isVisible() && offer->isEnabled());
        QCOMPARE(offer->text(), "10 から");
        QVERIFY2(note->text().startsWith("前回の印刷はラベル 9 で終わりました（"),
                 qPrintable(note->text()));

        start->setValue(7);
        QVERIFY(list->importFile(kThisWeek));
        QCOMPARE(start->value(), 1);
        QVERIFY(list->pasteRows("JANコード\t品名\n4901234567894\tのり塩"));
        QCOMPARE(start->value(), 1);
        QTest::mouseClick(offer, Qt::LeftButton);
        QCOMPARE(start->value(), 10);
        QVERIFY(!offer->isEnabled());

        list = window(messages_);  // the next day
        start = list->findChild<QSpinBox*>("開始位置");
        QCOMPARE(list->offeredStart(), 10);
        QCOMPARE(start->value(), 1);
        QVERIFY(list->findChild<QPushButton*>("前回の続き")->isVisible());
        QVERIFY(list->importFile(kLastWeek));  // five labels: 17 to 21
        start->setValue(17);
        messages_.scriptAnswer(false);
        printToPdf(*list, "used-up.pdf");
        QCOMPARE(list->offeredStart(), 0);
        QVERIFY(!list->findChild<QPushButton*>("前回の続き")->isVisible());
        QCOMPARE(window(messages_)->offeredStart(), 0);
    }

    // The same Mondays through the list window and through --print-list --changed-only
    // --record-printed, each on a master of its own: each week's marks against what was
    // recorded, the codes on paper (zbar on the PDF) and, at the end, the history.
    void sameSessionBothWays_data() {
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<QStringList>("weeks");
        QTest::addColumn<QStringList>("marks");  // 新規/価格変更/表示変更/変更なし per week
        QTest::addColumn<QList<QStringList>>("codes");  // printed per week
        QTest::addColumn<QStringList>("history");       // code=price at the end
        const QStringList weeks{kLastWeek, kThisWeek, kNextWeek};
        // 11/30 all new; 12/07 the nuts new, the tea 238 → 258, the earphones renamed, the
        // lunch box's 1000 the same as 1,000; 12/14 three prices down or up.
        const QStringList marks{"5/0/0/0", "1/1/1/3", "0/3/0/3"};
        const auto ean = [](const char* n) { return QString("EAN-13:456999900%1").arg(n); };
        const QList<QStringList> codes{
            {ean("1017"), ean("1024"), ean("1031"), ean("1048"), ean("1055")},
            {ean("1024"), ean("1031"), ean("1062")},
            {ean("1017"), ean("1024"), ean("1055")}};
        const QStringList history{"4569999001017=378", "4569999001024=248",  "4569999001031=1100",
                                  "4569999001048=200", "4569999001055=1080", "4569999001062=540"};
        for (const bool commandLine : {false, true}) {
            QTest::addRow("%s", commandLine ? "--print-list" : "list window")
                << commandLine << weeks << marks << codes << history;
        }
    }

    void sameSessionBothWays() {
        QFETCH(bool, commandLine);
        QFETCH(QStringList, weeks);
        QFETCH(QStringList, marks);
        QFETCH(QList<QStringList>, codes);
        QFETCH(QStringList, history);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert("XDG_CONFIG_HOME", dir_->filePath("config"));
        env.insert("XDG_DATA_HOME", dir_->filePath("data"));
        const auto list = commandLine ? nullptr : window(messages_);
        for (int week = 0; week < weeks.size(); ++week) {
            const QString pdf = dir_->filePath(QString("week%1.pdf").arg(week));
            QString marked;
            if (commandLine) {
                QProcess zukaro;
                zukaro.setProcessEnvironment(env);
                zukaro.start(ZUKARO_BINARY,
                             {"--print-list", weeks[week], pdf, "--changed-only",
                              "--record-printed", "--master", dir_->filePath("products.sqlite")});
                QVERIFY(zukaro.waitForFinished(60000));
                const QString said = QString::fromUtf8(zukaro.readAllStandardOutput() +
                                                       zukaro.readAllStandardError());
                QVERIFY2(zukaro.exitCode() == 0, qPrintable(said));
                const QRegularExpressionMatch counts =
                    QRegularExpression(
                        "新規 (\\d+) 行・価格変更 (\\d+) 行・表示変更 (\\d+) "
                        "行を印刷します（変更なし (\\d+) 行")
                        .match(said);
                QVERIFY2(counts.hasMatch(), qPrintable(said));
                marked = QStringList{counts.captured(1), counts.captured(2), counts.captured(3),
                                     counts.captured(4)}
                             .join('/');
            } else {
                QVERIFY(list->importFile(weeks[week]));
                auto* changedOnly = list->findChild<QCheckBox*>("変更分だけ");
                if (!changedOnly->isChecked()) {
                    changedOnly->click();
                }
                const std::vector<ChangeMark>& shown = list->model().marks();
                QStringList counts;
                for (const ChangeMark mark : {ChangeMark::New, ChangeMark::PriceChanged,
                                              ChangeMark::TextChanged, ChangeMark::Unchanged}) {
                    counts << QString::number(std::count(shown.begin(), shown.end(), mark));
                }
                marked = counts.join('/');
                messages_.scriptAnswer(true);  // 一括で記録
                printToPdf(*list, QFileInfo(pdf).fileName());
            }
            QCOMPARE(marked, marks[week]);
            QTemporaryDir pages;
            QCOMPARE(printed::codesOnEveryPage(pdf, 300, pages.path()), codes[week]);
        }
        QStringList recorded;
        QStringList keys;
        for (const QString& entry : history) {
            keys << entry.section('=', 0, 0);
        }
        const ProductMaster::PrintedResult found = master_->lastPrinted(keys);
        QVERIFY2(found.ok, qPrintable(found.error));
        for (const QString& key : keys) {
            recorded << key + '=' + found.labels.value(key).price;
        }
        QCOMPARE(recorded, history);
    }

    // One list from a register, with a row of each kind a clerk meets, through the list window
    // and through --print-list with the same data.txt and master: the same notes, in the same
    // order (the window's pane, the command line's error stream), and the same plan on paper
    // (zbar on each page of the PDF) from label 20 on.
    void notesAndPlanBothWays_data() {
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QList<QStringList>>("pages");  // the codes zbar reads, page by page
        const QStringList notes{
            "2 行目: 品名がラベルからはみ出して印刷されます。「価格を枠内に収める」をオンにすると、"
            "収まる大きさで印刷します。",
            "3 行目: JAN コード「4569999001012」: チェックデジットを 2 から 7 に直しました。",
            "4 行目: JAN コード「49012345678」はバーコードなしで印刷されます（8 桁か 13 桁では"
            "ありません）。",
            "5 行目: 枚数「x」は 0〜999 の整数ではありません。この行は読み込みませんでした。",
            "6 行目: 品名が空のため、ラベルにしません（品名のないラベルは印刷されません）。",
            "7 行目: 枚数が 0 のため、印刷しません。",
            "8 行目: JAN コード「4569999009990」は商品マスタ「{master}」にありません（品名も売価も"
            "わかりません）。",
            "8 行目: 品名が空のため、ラベルにしません（品名のないラベルは印刷されません）。"};
        // Labels 20 and 21 the chips and the soy sauce's corrected code; on the next sheet the
        // mirin without bars and the tea.
        const QList<QStringList> pages{{"EAN-13:4569999001017", "EAN-13:4901234567894"},
                                       {"EAN-13:4569999001024"}};
        for (const bool commandLine : {false, true}) {
            QTest::addRow("%s", commandLine ? "--print-list" : "list window")
                << commandLine << notes << pages;
        }
    }

    void notesAndPlanBothWays() {
        QFETCH(bool, commandLine);
        QFETCH(QStringList, notes);
        QFETCH(QList<QStringList>, pages);
        notes.replaceInStrings("{master}",
                               QDir::toNativeSeparators(dir_->filePath("products.sqlite")));
        const QString list = dir_->filePath("レジ.csv");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(
                    cp932::encode(
                        QString("JANコード,品名,売価,枚数\r\n"
                                "4901234567894,ポテトチップス うすしお味 ファミリーサイズ ３袋入り,"
                                "￥398,1\r\n"
                                "4569999001012,こいくちしょうゆ,￥298,1\r\n"
                                "49012345678,みりん,￥350,1\r\n"
                                "4901234567894,料理酒,￥200,x\r\n"
                                "4901234567894,,￥100,1\r\n"
                                "4901234567894,上白糖,￥128000,0\r\n"
                                "4569999009990,,,\r\n"
                                "4569999001024,緑茶 500ml,￥238,1\r\n"))
                        .bytes) > 0);
        file.close();
        // The clerk's data.txt, as the editor saved it: the window's layout and the command line's.
        // The program's folder is the test's, not zukaro's: the user's copy stands for both.
        const QString userDir = dir_->filePath("config/zukaro");
        const SettingsLocations settings{userDir, userDir};
        QVERIFY(QDir().mkpath(settings.userDir));
        SheetState base;
        base.layout.priceMode = PriceMode::TaxIncluded;
        QVERIFY(saveSettings(settings, base.layout, UnencodablePolicy::WriteQuestionMark).ok);
        const QString pdf = dir_->filePath("レジ.pdf");
        QStringList told;
        if (commandLine) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.remove("QT_QPA_PLATFORM");
            env.insert("XDG_CONFIG_HOME", dir_->filePath("config"));
            env.insert("XDG_DATA_HOME", dir_->filePath("data"));
            QProcess zukaro;
            zukaro.setProcessEnvironment(env);
            zukaro.start(ZUKARO_BINARY, {"--print-list", list, pdf, "--start", "20", "--master",
                                         dir_->filePath("products.sqlite")});
            QVERIFY(zukaro.waitForFinished(60000));
            const QString said = QString::fromUtf8(zukaro.readAllStandardError());
            QVERIFY2(zukaro.exitCode() == 0, qPrintable(said));
            const QString prefix = "zukaro: " + QDir::toNativeSeparators(list) + ": ";
            for (const QString& line : said.split('\n')) {
                if (line.startsWith(prefix)) {
                    told << line.mid(prefix.size());
                }
            }
        } else {
            ProductListHooks clerks = hooks();
            clerks.base = [settings] {
                SheetState sheet;
                sheet.layout = loadSettings(settings).layout;
                return sheet;
            };
            ProductListWindow window(dialogs_, messages_, clerks);
            window.show();
            QVERIFY(window.importFile(list));
            window.findChild<QSpinBox*>("開始位置")->setValue(20);
            told = window.findChild<QPlainTextEdit*>("問題")->toPlainText().split('\n');
            messages_.scriptAnswer(false);  // 記録しない
            printToPdf(window, QFileInfo(pdf).fileName());
        }
        QCOMPARE(told, notes);
        QCOMPARE(printed::pageCount(pdf), pages.size());
        QTemporaryDir rasters;
        for (int page = 1; page <= pages.size(); ++page) {
            const QString png = rasters.filePath(QString("page%1.png").arg(page));
            printed::rasterise(pdf, 300, png, page);
            QCOMPARE(printed::zbarCodes(png), pages[page - 1]);
        }
    }
};

QTEST_MAIN(TestListHistory)
#include "tst_listhistory.moc"
