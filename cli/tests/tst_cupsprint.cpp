// A real print: zukaro --print hands a full sheet to a CUPS server, whose cups-pdf queue turns
// it into a PDF through the whole filter chain; zbar must read all 21 barcodes from that PDF.
// The server is the private one of scripts/test-printer.sh. When it is not running this test
// fails: the suite must prove that real printing works.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QThread>

#include "CliFixture.h"
#include "PrintedSheet.h"

using namespace zukaro;

namespace {

struct TestPrinter {
    QString server;
    QString queue;
    QString refusing;
    QString pdfDir;
    QString problem;  // why the test printer cannot be used
};

// Reads what scripts/test-printer.sh wrote (NAME=value lines) and points this process, and
// the zukaro it runs, at that server before anything asks CUPS.
TestPrinter loadTestPrinter() {
    TestPrinter printer;
    if (!QFileInfo::exists(QStringLiteral(TEST_PRINTER_ENV))) {
        printer.problem = QStringLiteral(TEST_PRINTER_ENV
                                         " is missing: start the test printer with `sh "
                                         "scripts/test-printer.sh start` (scripts/test.sh does)");
        return printer;
    }
    const QSettings env(QStringLiteral(TEST_PRINTER_ENV), QSettings::IniFormat);
    printer.server = env.value(QStringLiteral("CUPS_SERVER")).toString();
    printer.queue = env.value(QStringLiteral("ZUKARO_TEST_QUEUE")).toString();
    printer.refusing = env.value(QStringLiteral("ZUKARO_TEST_REFUSING")).toString();
    printer.pdfDir = env.value(QStringLiteral("ZUKARO_TEST_PDF_DIR")).toString();
    if (printer.server.isEmpty() || printer.queue.isEmpty() || printer.pdfDir.isEmpty()) {
        printer.problem = QStringLiteral(TEST_PRINTER_ENV " is incomplete");
    }
    qputenv("CUPS_SERVER", printer.server.toLocal8Bit());
    return printer;
}

const TestPrinter& testPrinter() {
    static const TestPrinter printer = loadTestPrinter();
    return printer;
}

fixture::Run runZukaro(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("CUPS_SERVER"), testPrinter().server);
    return fixture::runZukaro(args, env);
}

QStringList pdfsIn(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// Waits for cups-pdf to finish job `id`: its PDF appears, complete, under the job number.
QString waitForJobPdf(const QString& dir, int id) {
    const QString suffix = QStringLiteral("-job_%1.pdf").arg(id);
    for (int i = 0; i < 1200; ++i) {
        for (const QString& name : pdfsIn(dir)) {
            if (!name.endsWith(suffix)) {
                continue;
            }
            QFile file(QDir(dir).filePath(name));
            if (file.open(QIODevice::ReadOnly) && file.size() > 16) {
                file.seek(file.size() - 16);
                if (file.readAll().contains("%%EOF")) {
                    return file.fileName();
                }
            }
        }
        QThread::msleep(100);
    }
    return {};
}

}  // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void qtSeesTheQueue();
    void printsAFullSheet_data();
    void printsAFullSheet();
    void refusedJobIsReported();
};

void TestCupsPrint::initTestCase() {
    QVERIFY2(testPrinter().problem.isEmpty(), qPrintable(testPrinter().problem));
    QVERIFY2(printed::missingTools().isEmpty(), qPrintable(printed::missingTools().join(u' ')));
    QVERIFY2(QFileInfo::exists(testPrinter().server),
             qPrintable(testPrinter().server +
                        QStringLiteral(" does not exist: is the test printer running?")));
}

void TestCupsPrint::qtSeesTheQueue() {
    QVERIFY2(QPrinterInfo::availablePrinterNames().contains(testPrinter().queue),
             qPrintable(QPrinterInfo::availablePrinterNames().join(u' ')));
    QCOMPARE(QPrinterInfo::defaultPrinterName(), testPrinter().queue);
}

void TestCupsPrint::printsAFullSheet_data() {
    QTest::addColumn<bool>("named");
    QTest::newRow("--printer NAME") << true;
    QTest::newRow("the default printer") << false;
}

void TestCupsPrint::printsAFullSheet() {
    QFETCH(bool, named);
    QStringList args{QStringLiteral("--print"), fixture::path("full_sheet.csv")};
    if (named) {
        args << QStringLiteral("--printer") << testPrinter().queue;
    }
    const fixture::Run run = runZukaro(args);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    static const QRegularExpression jobNumber(QStringLiteral("ジョブ (\\d+)"));
    const QRegularExpressionMatch job = jobNumber.match(run.out);
    QVERIFY2(job.hasMatch(), qPrintable(run.out));
    QVERIFY(run.out.contains(testPrinter().queue));

    const QString pdf = waitForJobPdf(testPrinter().pdfDir, job.captured(1).toInt());
    QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
    const QString png =
        QDir::temp().filePath(QStringLiteral("zukaro-cups-%1.png").arg(job.captured(1)));
    const QImage page = printed::rasterise(pdf, 600, png);
    QFile::remove(pdf);
    // One A4 page, all 21 codes read by zbar.
    QVERIFY(std::abs(page.width() - 4960) <= 5);
    QVERIFY(std::abs(page.height() - 7016) <= 5);
    const QStringList codes = printed::zbarCodes(png);
    QFile::remove(png);
    QCOMPARE(codes, printed::expectedZbarCodes(fixture::fullSheet()));
}

void TestCupsPrint::refusedJobIsReported() {
    QVERIFY(!testPrinter().refusing.isEmpty());
    const QStringList before = pdfsIn(testPrinter().pdfDir);
    const fixture::Run run = runZukaro({QStringLiteral("--print"), fixture::path("full_sheet.csv"),
                                        QStringLiteral("--printer"), testPrinter().refusing});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("印刷を受け付けませんでした")), qPrintable(run.err));
    QVERIFY2(run.err.contains(testPrinter().refusing), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QThread::msleep(500);
    QCOMPARE(pdfsIn(testPrinter().pdfDir), before);
}

int main(int argc, char* argv[]) {
    testPrinter();  // CUPS_SERVER must be set before Qt's print support first asks CUPS
    QApplication app(argc, argv);
    TestCupsPrint test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cupsprint.moc"
