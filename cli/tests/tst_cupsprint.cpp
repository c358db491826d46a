// A real print: zukaro --print hands a full sheet to the private CUPS server of
// scripts/test-printer.sh, whose cups-pdf queue turns it into a PDF through the whole filter
// chain. When that server is not running this test fails: real printing must be proven.
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QThread>

#include "CliFixture.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"

using namespace zukaro;

namespace {

QStringList pdfsIn(const QString& dir) {
    return QDir(dir).entryList({"*.pdf"}, QDir::Files);
}

// cups-pdf writes job `id` under its number; it is done when the file ends with %%EOF.
QString waitForJobPdf(const QString& dir, int id) {
    for (int i = 0; i < 1200; ++i) {
        for (const QString& name : pdfsIn(dir)) {
            QFile file(QDir(dir).filePath(name));
            if (name.endsWith(QString("-job_%1.pdf").arg(id)) && file.open(QIODevice::ReadOnly) &&
                file.size() > 16 && file.seek(file.size() - 16) &&
                file.readAll().contains("%%EOF")) {
                return file.fileName();
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
    void printsAFullSheet_data();
    void printsAFullSheet();
    void refusedJobIsReported();

private:
    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }
    QString value(const char* name) const { return printer_->value(name).toString(); }

    std::unique_ptr<QSettings> printer_;  // NAME=value lines written by scripts/test-printer.sh
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
};

void TestCupsPrint::initTestCase() {
    QVERIFY2(QFileInfo::exists(TEST_PRINTER_ENV),
             TEST_PRINTER_ENV " is missing: run `sh scripts/test-printer.sh start` (test.sh does)");
    printer_ = std::make_unique<QSettings>(TEST_PRINTER_ENV, QSettings::IniFormat);
    QVERIFY2(QFileInfo::exists(value("CUPS_SERVER")), "the test printer is not running");
    env_.remove("QT_QPA_PLATFORM");
    env_.insert("CUPS_SERVER", value("CUPS_SERVER"));
}

void TestCupsPrint::printsAFullSheet_data() {
    QTest::addColumn<QStringList>("printerArgs");
    QTest::newRow("--printer NAME") << QStringList{"--printer", value("ZUKARO_TEST_QUEUE")};
    QTest::newRow("the default printer") << QStringList{};
}

void TestCupsPrint::printsAFullSheet() {
    QFETCH(QStringList, printerArgs);
    const auto run = zukaro(QStringList{"--print", fixture::path("full_sheet.csv")} + printerArgs);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QRegularExpressionMatch job = QRegularExpression("ジョブ (\\d+)").match(run.out);
    QVERIFY2(job.hasMatch() && run.out.contains(value("ZUKARO_TEST_QUEUE")), qPrintable(run.out));

    const QString pdf = waitForJobPdf(value("ZUKARO_TEST_PDF_DIR"), job.captured(1).toInt());
    QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no PDF for the job within two minutes");
    const QString png = QDir::temp().filePath("zukaro-cups-" + job.captured(1) + ".png");
    const QImage page = printed::rasterise(pdf, 600, png);
    QFile::remove(pdf);
    const QStringList codes = printed::zbarCodes(png);
    QFile::remove(png);
    // One A4 page, all 21 codes read.
    QVERIFY(std::abs(page.width() - 4960) <= 5 && std::abs(page.height() - 7016) <= 5);
    QCOMPARE(codes, printed::expectedZbarCodes(sample::fullSheet()));
}

void TestCupsPrint::refusedJobIsReported() {
    const QString refusing = value("ZUKARO_TEST_REFUSING");
    const QStringList before = pdfsIn(value("ZUKARO_TEST_PDF_DIR"));
    const auto run = zukaro({"--print", fixture::path("full_sheet.csv"), "--printer", refusing});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("「" + refusing + "」が印刷を受け付けませんでした"),
             qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QThread::msleep(500);
    QCOMPARE(pdfsIn(value("ZUKARO_TEST_PDF_DIR")), before);
}

QTEST_GUILESS_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
