// まとめて印刷 on a real printer: the private CUPS server of scripts/test-printer.sh with its
// cups-pdf queue. The pages go to CUPS as one job only once all are made, with what the print
// dialog chose; キャンセル halfway sends no job at all; and a queue that refuses the job is told
// from every window that prints (the editor's 印刷, 印刷位置の調整, まとめて印刷; the command
// line's is tst_cupsprint's). Fails, never skips, when the server is not running: real printing
// must be proven.
#include <cups/cups.h>
#include <QtTest>
#include <QtWidgets>

#include "CalibrationDialog.h"
#include "EditorWindow.h"
#include "ModalDialogs.h"
#include "PrintedSheet.h"
#include "ProductListModel.h"
#include "ProductListWindow.h"
#include "SampleSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"

using namespace zukaro;

namespace {

// The jobs titled `title` the server has had on `queue`, done or not (the command-line test may
// print on the same queue meanwhile).
QList<int> listJobs(const QString& queue, const QString& title = "商品リスト") {
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    QList<int> ids;
    for (int i = 0; i < count; ++i) {
        if (QString::fromUtf8(jobs[i].title) == title) {
            ids << jobs[i].id;
        }
    }
    cupsFreeJobs(count, jobs);
    return ids;
}

// Every job the server has had on `queue`, done or not.
int jobCount(const QString& queue) {
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(count, jobs);
    return count;
}

// A valid JAN code: 49, ten digits of `n`, the check digit.
QString janOf(int n) {
    const QString digits = QString("49%1").arg(n, 10, 10, QChar('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return digits + QString::number((10 - sum % 10) % 10);
}

// Rows as a spreadsheet copies them: `count` products, `copies` labels each.
QString rows(int count, int copies) {
    QStringList lines{"JANコード\t品名\t売価\t枚数"};
    for (int i = 0; i < count; ++i) {
        lines << QString("%1\t品%2\t%3\t%4").arg(janOf(i)).arg(i + 1).arg(100 + i).arg(copies);
    }
    return lines.join('\n');
}

}  // namespace

class TestListPrint : public QObject {
    Q_OBJECT
    std::unique_ptr<QSettings> printer_;  // NAME=value lines written by scripts/test-printer.sh
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<ProductListWindow> window_;

    QString value(const char* name) const { return printer_->value(name).toString(); }

    // cups-pdf writes job `id` under its number; it is done when the file ends with %%EOF.
    QString jobPdf(int id) const {
        const QDir out(value("ZUKARO_TEST_PDF_DIR"));
        QString pdf;
        QTest::qWaitFor(
            [&] {
                for (const QString& name : out.entryList({QString("*-job_%1.pdf").arg(id)})) {
                    QFile file(out.filePath(name));
                    if (file.open(QIODevice::ReadOnly) &&
                        file.readAll().trimmed().endsWith("%%EOF")) {
                        pdf = file.fileName();
                        return true;
                    }
                }
                return false;
            },
            120000);
        return pdf;
    }

    void printAll(const QString& queue) {
        DialogAnswer answer;
        answer.choosePrinter = [queue](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(queue);
        };
        dialogs_.script(answer);
        QTest::mouseClick(window_->findChild<QPushButton*>("まとめて印刷"), Qt::LeftButton);
    }
    void printAll() { printAll(value("ZUKARO_TEST_QUEUE")); }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(TEST_PRINTER_ENV), TEST_PRINTER_ENV
                 " is missing: run `sh scripts/test-printer.sh start` (test.sh does)");
        printer_ = std::make_unique<QSettings>(TEST_PRINTER_ENV, QSettings::IniFormat);
        QVERIFY2(QFileInfo::exists(value("CUPS_SERVER")), "the test printer is not running");
        cupsSetServer(value("CUPS_SERVER").toUtf8().constData());
        qputenv("CUPS_SERVER", value("CUPS_SERVER").toUtf8());
    }

    void cleanup() { ZUKARO_VERIFY_NO_DIALOG_LEFT(); }

    void init() {
        dialogs_ = ScriptedCommonDialog1();
        messages_ = ScriptedMessageBoxes();
        ProductListHooks hooks;
        hooks.progressDelayMs = 0;
        window_ = std::make_unique<ProductListWindow>(dialogs_, messages_, hooks);
        window_->show();
    }

    // Fifty products on three pages: one job, and zbar reads every product on the queue's PDF.
    void printsOneJob() {
        QVERIFY(window_->pasteRows(rows(50, 1)));
        const QString queue = value("ZUKARO_TEST_QUEUE");
        const QList<int> before = listJobs(queue);
        printAll();
        QCOMPARE(messages_.shown().size(), 0);
        const QList<int> after = listJobs(queue);
        QCOMPARE(after.size(), before.size() + 1);
        const int id = *std::max_element(after.begin(), after.end());
        const QString pdf = jobPdf(id);
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
        QTemporaryDir pages;
        QCOMPARE(printed::pageCount(pdf), 3);
        QStringList codes;
        for (int i = 0; i < 50; ++i) {
            codes << "EAN-13:" + janOf(i);
        }
        codes.sort();
        QCOMPARE(printed::codesOnEveryPage(pdf, 300, pages.path()), codes);
        QFile::remove(pdf);
    }

    // 143 pages, キャンセル once some are drawn: no job reaches the printer, and the window says
    // so.
    void cancelledPrintSendsNothing() {
        QVERIFY(window_->pasteRows(rows(100, 30)));
        const QString queue = value("ZUKARO_TEST_QUEUE");
        const QList<int> jobs = listJobs(queue);
        QString seen;
        testing::whenShown<QProgressDialog>([&seen](QProgressDialog& dialog) {
            if (QTest::qWaitFor([&] { return dialog.value() > 0; }, 30000)) {
                seen = dialog.labelText();
                QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        printAll();
        QVERIFY2(seen.startsWith("「" + queue + "」に印刷しています\n"), qPrintable(seen));
        QCOMPARE(messages_.shown().last().text,
                 "印刷を取り消しました。プリンター「" + queue + "」には何も送っていません。");
        QCOMPARE(listJobs(queue), jobs);
    }

    // The editor's 印刷 on the queue: one job under the sheet's name, zbar reads all 21 codes
    // on the queue's PDF, and the editor says where it went.
    void editorPrintsOnTheQueue() {
        const QString queue = value("ZUKARO_TEST_QUEUE");
        QTemporaryDir settings;
        EditorWindow editor(dialogs_, messages_,
                            SettingsLocations{settings.path(), settings.path()});
        editor.sheet() = sample::fullSheet();
        editor.sheet().fileName = settings.filePath("今週の棚札.csv");
        const QList<int> before = listJobs(queue, "今週の棚札.csv");
        DialogAnswer answer;
        answer.choosePrinter = [queue](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(queue);
        };
        dialogs_.script(answer);
        QTest::mouseClick(editor.findChild<QPushButton*>("印刷"), Qt::LeftButton);
        QCOMPARE(messages_.shown().size(), 0);
        const QList<int> after = listJobs(queue, "今週の棚札.csv");
        QCOMPARE(after.size(), before.size() + 1);
        const QString pdf = jobPdf(*std::max_element(after.begin(), after.end()));
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
        QTemporaryDir pages;
        QCOMPARE(printed::codesOnEveryPage(pdf, 300, pages.path()),
                 printed::expectedZbarCodes(sample::fullSheet()));
        QFile::remove(pdf);
        QCOMPARE(editor.statusBar()->currentMessage(),
                 "プリンター「" + queue + "」に印刷を送りました。");
    }

    // The queue that refuses every job, chosen in the print dialog of each window: the clerk
    // is told in Japanese which printer refused, with CUPS's own reason, and nothing is queued.
    void refusedJobIsTold_data() {
        QTest::addColumn<QString>("route");
        QTest::newRow("editor 印刷") << "editor";
        QTest::newRow("印刷位置の調整") << "calibration";
        QTest::newRow("まとめて印刷") << "list";
    }

    void refusedJobIsTold() {
        QFETCH(QString, route);
        const QString refusing = value("ZUKARO_TEST_REFUSING");
        const int jobs = jobCount(refusing);
        QTemporaryDir settings;
        if (route == "list") {
            QVERIFY(window_->pasteRows(rows(30, 1)));
            printAll(refusing);
        } else {
            DialogAnswer answer;
            answer.choosePrinter = [refusing](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::NativeFormat);
                printer.setPrinterName(refusing);
            };
            dialogs_.script(answer);
            EditorWindow editor(dialogs_, messages_,
                                SettingsLocations{settings.path(), settings.path()});
            editor.sheet() = sample::fullSheet();
            if (route == "editor") {
                QTest::mouseClick(editor.findChild<QPushButton*>("印刷"), Qt::LeftButton);
            } else {
                CalibrationDialog dialog(dialogs_, messages_, editor.printer(), settings.path(),
                                         kStartUpOrigin, &editor);
                dialog.printSheet(false);
            }
        }
        QVERIFY(!messages_.shown().isEmpty());
        const auto& told = messages_.shown().last();
        QVERIFY2(told.text.startsWith("プリンター「" + refusing +
                                      "」が印刷を受け付けませんでした。シートは印刷されていませ"
                                      "ん。\n") &&
                     told.text.size() > told.text.indexOf('\n') + 1,
                 qPrintable(told.text));
        QCOMPARE(told.icon, MessageIcon::Critical);
        QCOMPARE(jobCount(refusing), jobs);
    }
};

QTEST_MAIN(TestListPrint)
#include "tst_listprint.moc"
