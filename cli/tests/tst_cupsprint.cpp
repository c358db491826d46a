// A real print: zukaro --print hands a full sheet to the private CUPS server of
// scripts/test-printer.sh, whose cups-pdf queue turns it into a PDF through the whole filter
// chain. When that server is not running this test fails: real printing must be proven.
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "CliFixture.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"

using namespace zukaro;

namespace {

// cups-pdf writes job `id` under its number; it is done when the file ends with %%EOF.
QString waitForJobPdf(const QString& dir, int id) {
    for (int i = 0; i < 1200; ++i, QThread::msleep(100)) {
        for (const QString& name : QDir(dir).entryList({QString("*-job_%1.pdf").arg(id)})) {
            QFile file(QDir(dir).filePath(name));
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF")) {
                return file.fileName();
            }
        }
    }
    return {};
}

}  // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT

    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }
    QString value(const char* name) const { return printer_->value(name).toString(); }
    QStringList pdfs() const { return QDir(value("ZUKARO_TEST_PDF_DIR")).entryList({"*.pdf"}); }

    std::unique_ptr<QSettings> printer_;  // NAME=value lines written by scripts/test-printer.sh
    QTemporaryDir config_;                // the user's settings: none, unless a test writes some
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    const QString sheet_ = fixture::path("full_sheet.csv");

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(TEST_PRINTER_ENV), TEST_PRINTER_ENV
                 " is missing: run `sh scripts/test-printer.sh start` (test.sh does)");
        printer_ = std::make_unique<QSettings>(TEST_PRINTER_ENV, QSettings::IniFormat);
        QVERIFY2(QFileInfo::exists(value("CUPS_SERVER")), "the test printer is not running");
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("CUPS_SERVER", value("CUPS_SERVER"));
        env_.insert("XDG_CONFIG_HOME", config_.path());
    }

    void printsAFullSheet_data() {
        QTest::addColumn<QStringList>("printerArgs");
        QTest::newRow("--printer NAME") << QStringList{"--printer", value("ZUKARO_TEST_QUEUE")};
        QTest::newRow("the default printer") << QStringList{};
    }

    void printsAFullSheet() {
        QFETCH(QStringList, printerArgs);
        const auto run = zukaro(QStringList{"--print", sheet_} + printerArgs);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QRegularExpressionMatch job = QRegularExpression("ジョブ (\\d+)").match(run.out);
        QVERIFY2(job.hasMatch() && run.out.contains(value("ZUKARO_TEST_QUEUE")),
                 qPrintable(run.out));

        const QString pdf = waitForJobPdf(value("ZUKARO_TEST_PDF_DIR"), job.captured(1).toInt());
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
        QTemporaryDir dir;
        const QImage page = printed::rasterise(pdf, 600, dir.filePath("page.png"));
        QFile::remove(pdf);
        // One A4 page, all 21 codes read.
        QVERIFY(std::abs(page.width() - 4960) <= 5 && std::abs(page.height() - 7016) <= 5);
        QCOMPARE(printed::zbarCodes(dir.filePath("page.png")),
                 printed::expectedZbarCodes(sample::fullSheet()));
    }

    // A product list goes to the printer as one job of as many pages as it needs.
    void printsAListAsOneJob() {
        const QString list = fixture::path("fifty_products.csv");
        const auto run = zukaro({"--print-list", list, "--printer", value("ZUKARO_TEST_QUEUE")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QRegularExpressionMatch job = QRegularExpression("ジョブ (\\d+)").match(run.out);
        QVERIFY2(job.hasMatch(), qPrintable(run.out));
        const QString pdf = waitForJobPdf(value("ZUKARO_TEST_PDF_DIR"), job.captured(1).toInt());
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
        QTemporaryDir dir;
        QCOMPARE(printed::pageCount(pdf), 3);
        QCOMPARE(printed::codesOnEveryPage(pdf, 300, dir.path()), fixture::listedCodes(list));
        QFile::remove(pdf);
    }

    // The queue calibrated as a printer that prints 1.2 mm right and 0.8 mm high, 0.3 % wide
    // and 0.2 % short: --print sends each label corner that must land at p to
    // (p − offset) / scale, label 1's (2.7, 12.6) to (1.49551, 13.42685) and label 21's
    // (134.9, 241.2) to (133.30010, 242.48497). Read back from the queue's PDF: the bars there,
    // in whole 600-dpi pixels, and every code.
    void printsCalibrated() {
        QVERIFY(QDir().mkpath(config_.filePath("zukaro")));
        QFile settings(config_.filePath("zukaro/printing.json"));
        QVERIFY(settings.open(QIODevice::WriteOnly) &&
                settings.write(QString(R"({"printers": {"%1": {"offsetX": 1.2, "offsetY": -0.8,
                    "scaleX": 1.003, "scaleY": 0.998}}})")
                                   .arg(value("ZUKARO_TEST_QUEUE"))
                                   .toUtf8()) > 0);
        settings.close();
        const auto run = zukaro({"--print", sheet_, "--printer", value("ZUKARO_TEST_QUEUE")});
        QFile::remove(settings.fileName());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QRegularExpressionMatch job = QRegularExpression("ジョブ (\\d+)").match(run.out);
        QVERIFY2(job.hasMatch(), qPrintable(run.out));
        const QString pdf = waitForJobPdf(value("ZUKARO_TEST_PDF_DIR"), job.captured(1).toInt());
        QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
        QTemporaryDir dir;
        const QImage page = printed::rasterise(pdf, 600, dir.filePath("page.png"));
        QFile::remove(pdf);
        SheetState sheet = sample::fullSheet();
        sheet.layout.barX = 1;  // full_sheet.csv moves the bars 1 mm right
        QCOMPARE(printed::zbarCodes(dir.filePath("page.png")), printed::expectedZbarCodes(sheet));
        for (const auto& [n, corner] :
             {std::pair{1, SheetOrigin{1.4955134596, 13.4268537074}},
              std::pair{21, SheetOrigin{133.3000997009, 242.4849699399}}}) {
            const QString fault = printed::checkModules(page, sheet, n, 600, 11, corner);
            QVERIFY2(fault.isEmpty(), qPrintable(QString("label %1: ").arg(n) + fault));
        }
    }

    void refusedJobIsReported_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--print") << QStringList{"--print", sheet_};
        QTest::newRow("--print-list")
            << QStringList{"--print-list", fixture::path("fifty_products.csv")};
    }

    void refusedJobIsReported() {
        QFETCH(QStringList, args);
        const QString refusing = value("ZUKARO_TEST_REFUSING");
        const QStringList before = pdfs();
        const auto run = zukaro(args + QStringList{"--printer", refusing});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("「" + refusing + "」が印刷を受け付けませんでした"),
                 qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QThread::msleep(500);
        QCOMPARE(pdfs(), before);
    }
};

QTEST_GUILESS_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
