// zukaro run as a shop's script runs it, with no display and no printer; its PDF is read back
// by poppler and zbar, its PNG pixel by pixel. Failures exit non-zero and change no file.
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "CliFixture.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"

using namespace zukaro;

namespace {

const QString kSheetFile = fixture::path("full_sheet.csv");

QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        QFile file(dir + u'/' + name);
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    return files;
}

// full_sheet.csv's labels and its own layout (the box texts must not move the sheet) at a
// fresh start's sheet offsets.
SheetState fullSheet() {
    SheetState sheet = sample::fullSheet();
    sheet.sheetX = 2.7;
    sheet.sheetY = 12.6;
    sheet.layout = {.janFont{.Size = 10},
                    .productFont{.Size = 12},
                    .lotFont{.Size = 9},
                    .priceFont{.Size = 40},
                    .yenFont{.Size = 14},
                    .borderColor = 255,
                    .janX = 1,
                    .barX = 1,
                    .makerX = -1,
                    .productY = 1,
                    .specY = -1,
                    .lotX = 1,
                    .priceX = 2,
                    .yenX = -2,
                    .縁取 = caption::outlineOn,
                    .x座標調整 = "3",
                    .y座標調整 = "-2"};
    return sheet;
}

}  // namespace

class TestCliOutput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textsAtTheirAnchors();
    void oneA4PageOfBarsOnThePrinterPixelGrid();
    void previewPng_data();
    void previewPng();
    void dataTxtOfTheUser();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void helpAndVersion();

private:
    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }
    QString temp(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    const SheetState sheet_ = fullSheet();
    QString pdf_ = temp("sheet.pdf");
    QString png_ = temp("sheet.png");
    QImage page_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
};

void TestCliOutput::initTestCase() {
    // No display, no platform chosen, no configuration and no CUPS server.
    env_.remove("DISPLAY");
    env_.remove("WAYLAND_DISPLAY");
    env_.remove("QT_QPA_PLATFORM");
    env_.insert("XDG_CONFIG_HOME", temp("config"));
    env_.insert("CUPS_SERVER", temp("no-cups.sock"));
    QVERIFY(QDir().mkpath(temp("work")));
    // The work folder for the failures: a label file, an older output, an empty file.
    QVERIFY(QFile::copy(kSheetFile, temp("work/sheet.csv")));
    QVERIFY(QFile::copy(kSheetFile, temp("work/older.pdf")));
    QVERIFY(QFile(temp("work/empty.csv")).open(QIODevice::WriteOnly));
    const auto run = zukaro({"--print-pdf", kSheetFile, pdf_});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    page_ = printed::rasterise(pdf_, 600, png_);
}

void TestCliOutput::textsAtTheirAnchors() {
    const QList<printed::Word> words = printed::pdfWords(pdf_);
    for (int n = 1; n <= kLabelCount; ++n) {
        for (const printed::Word& e : printed::expectedWords(sheet_, n)) {
            const auto [found, distance] = printed::nearestWord(words, e);
            const QString where = QString("label %1 \"%2\" at %3, %4 mm").arg(n).arg(e.text);
            QVERIFY2(distance <= 0.25, qPrintable(where.arg(found.x).arg(found.y)));
        }
    }
}

void TestCliOutput::oneA4PageOfBarsOnThePrinterPixelGrid() {
    QVERIFY(printed::run("pdfinfo", {pdf_}).contains(QRegularExpression("Pages:\\s+1\\n")));
    // Portrait A4 at 600 dpi: 4960 x 7016 pixels (Qt writes 595 x 842 points).
    QVERIFY(std::abs(page_.width() - 4960) <= 5 && std::abs(page_.height() - 7016) <= 5);
    QCOMPARE(printed::zbarCodes(png_), printed::expectedZbarCodes(sheet_));
    // 55 mm are 1299 pixels: 11 for each of EAN-13's 113 modules, 15 for each of EAN-8's 85.
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString fault =
            printed::checkModules(page_, sheet_, n, 600, sheet_.janText[n].size() == 8 ? 15 : 11);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("label %1: ").arg(n) + fault));
    }
}

void TestCliOutput::previewPng_data() {
    QTest::addColumn<QStringList>("zoomArgs");
    QTest::addColumn<QString>("display");
    QTest::newRow("50 % by default") << QStringList{} << "";
    // A display that is set but gone (a cron job, a stale ssh session) still needs no window.
    QTest::newRow("--zoom 100, stale display") << QStringList{"--zoom", "100"} << ":97";
}

void TestCliOutput::previewPng() {
    QFETCH(QStringList, zoomArgs);
    QFETCH(QString, display);
    const double zoom = zoomArgs.isEmpty() ? 0.5 : 1.0;
    QProcessEnvironment env = env_;
    env.insert("DISPLAY", display);
    const QString png = temp(QTest::currentDataTag()) + ".png";
    const auto run =
        fixture::runZukaro(QStringList{"--preview-png", kSheetFile, png} + zoomArgs, env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QImage image(png);
    // The whole A4 surface at 96 dpi.
    QCOMPARE(image.size(), QSize(794, 1123));
    const auto px = [zoom](double mm) { return int(std::floor(mm * zoom / 25.4 * 96)); };
    for (int n = 1; n <= kLabelCount; ++n) {
        const double left = printed::labelLeft(sheet_, n), top = printed::labelTop(sheet_, n);
        // The red outline's lower bar, and the first imitation bar (14 mm + barX across).
        QCOMPARE(image.pixel(px(left + 26.5), px(top + 35.75)), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(px(left + 15.5), px(top + 6.75)), qRgb(0, 0, 0));
    }
}

void TestCliOutput::dataTxtOfTheUser() {
    // The file holds only labels; the layout is the user's data.txt, as at a fresh start.
    const QString dataTxt = temp("user/zukaro/data.txt");
    QVERIFY(QDir().mkpath(temp("user/zukaro")));
    QVERIFY(QFile::copy(fixture::path("layout_only_data.txt"), dataTxt));
    QProcessEnvironment env = env_;
    env.insert("XDG_CONFIG_HOME", temp("user"));
    const QString pdf = temp("user.pdf");
    const auto run =
        fixture::runZukaro({"--print-pdf", fixture::path("records_without_layout.csv"), pdf}, env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QList<printed::Word> words = printed::pdfWords(pdf);
    for (const printed::Word& e : printed::expectedWords(sheet_, 1)) {
        QVERIFY2(printed::nearestWord(words, e).second <= 0.25, qPrintable(e.text));
    }
}

void TestCliOutput::failuresChangeNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("says");
    const QString w = temp("work/");
    const QString wrong = QStringLiteral(DATAFILE_FIXTURES "/header_wrong.csv");
    const QString notOurs = QStringLiteral("ズカロ形式のデータではありません");
    QTest::newRow("header wrong") << QStringList{"--print-pdf", wrong, w + "older.pdf"} << 1
                                  << QStringList{notOurs, wrong};
    QTest::newRow("empty file") << QStringList{"--preview-png", w + "empty.csv", w + "older.pdf"}
                                << 1 << QStringList{notOurs, w + "empty.csv"};
    QTest::newRow("missing file") << QStringList{"--print", w + "missing.csv"} << 1
                                  << QStringList{notOurs, w + "missing.csv"};
    QTest::newRow("output folder missing") << QStringList{"--print-pdf", kSheetFile, w + "no/s.pdf"}
                                           << 1 << QStringList{w + "no/s.pdf"};
    QTest::newRow("no such printer") << QStringList{"--print", kSheetFile, "--printer", "nosuch"}
                                     << 1 << QStringList{"プリンター「nosuch」が見つかりません"};
    QTest::newRow("no default printer") << QStringList{"--print", kSheetFile} << 1
                                        << QStringList{"いつも使うプリンターが決まっていません"};
    // Writing the PDF over the label file would lose every label typed into it.
    QTest::newRow("output is the label file")
        << QStringList{"--print-pdf", w + "sheet.csv", w + "sheet.csv"} << 2
        << QStringList{"開くファイルと同じ", "使い方:"};
}

void TestCliOutput::failuresChangeNothing() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, says);
    const QMap<QString, QByteArray> before = snapshot(temp("work"));
    const auto run = zukaro(args);
    QCOMPARE(run.exitCode, exitCode);
    for (const QString& text : says) {
        QVERIFY2(run.err.contains(text), qPrintable(run.err));
    }
    QCOMPARE(run.out, QString());
    QVERIFY(snapshot(temp("work")) == before);
}

void TestCliOutput::helpAndVersion() {
    const auto help = zukaro({"--help"});
    QVERIFY2(help.exitCode == 0 && help.out.contains("--printer"), qPrintable(help.out));
    const auto version = zukaro({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("zukaro " ZUKARO_VERSION "\n"));
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
