// The program run as a shop's script would run it: no display, no printer, a label data file
// written in code page 932. Its PDF is read back by poppler, zbar and ZXing, its PNG pixel by
// pixel; failures must say what went wrong, exit non-zero and leave no file behind.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "CliFixture.h"
#include "PrintedSheet.h"

using namespace zukaro;
using fixture::readAll;
using fixture::Run;

namespace {

constexpr double kToleranceMm = 0.25;
const QString kNotOurFormat = QStringLiteral("ズカロ形式のデータではありません");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Pixels at 96 dpi from millimetres.
int px(double mm) {
    return static_cast<int>(std::floor(mm / 25.4 * 96));
}

bool isGuideGrey(QRgb c) {
    return qRed(c) == 128 && qGreen(c) == 128 && qBlue(c) == 128;
}

// A guide frame's edge: a line of grey along [from, to] at `at` (a row, or a column when
// `vertical`), found within one pixel of it. Returns where it was found, or -1.
int findGreyLine(const QImage& image, int at, int from, int to, bool vertical) {
    for (int line = at - 1; line <= at + 1; ++line) {
        int grey = 0;
        for (int i = from; i <= to; ++i) {
            grey += isGuideGrey(vertical ? image.pixel(line, i) : image.pixel(i, line)) ? 1 : 0;
        }
        if (grey * 10 >= (to - from + 1) * 9) {
            return line;
        }
    }
    return -1;
}

}  // namespace

class TestCliOutput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void pdfIsOneA4Page();
    void textsAtTheirAnchors_data();
    void textsAtTheirAnchors();
    void zbarReadsAll21Codes();
    void barsOnThePrinterPixelGrid_data();
    void barsOnThePrinterPixelGrid();

    void previewPng_data();
    void previewPng();

    void headerFailureWritesNothing_data();
    void headerFailureWritesNothing();
    void damagedFileStillPrints();
    void dataTxtIsReadLikeAFreshStart();
    void damagedDataTxtIsReported();
    void outputFolderMissing_data();
    void outputFolderMissing();
    void printerMissing_data();
    void printerMissing();

    void usageErrors_data();
    void usageErrors();
    void helpAndVersion();
    void runsWithoutADisplay_data();
    void runsWithoutADisplay();

private:
    // No display, no platform chosen, an empty configuration folder and no CUPS server, so
    // every run starts like a fresh start on a bare machine.
    QProcessEnvironment bareEnvironment() const;
    Run zukaro(const QStringList& args, const QProcessEnvironment& env) const {
        return fixture::runZukaro(args, env);
    }
    Run zukaro(const QStringList& args) const { return zukaro(args, bareEnvironment()); }
    QString temp(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    SheetState sheet_ = fixture::fullSheet();
    Run pdfRun_;
    QString pdf_;
    QString png_;
    QList<printed::Word> words_;
    QImage page_;
};

QProcessEnvironment TestCliOutput::bareEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), temp(QStringLiteral("config")));
    env.insert(QStringLiteral("CUPS_SERVER"), temp(QStringLiteral("no-cups.sock")));
    return env;
}

void TestCliOutput::initTestCase() {
    QVERIFY2(printed::missingTools().isEmpty(), qPrintable(printed::missingTools().join(u' ')));
    QVERIFY(dir_.isValid());
    QVERIFY(QDir().mkpath(temp(QStringLiteral("config"))));
    pdf_ = temp(QStringLiteral("sheet.pdf"));
    pdfRun_ = zukaro({QStringLiteral("--print-pdf"), fixture::path("full_sheet.csv"), pdf_});
    QVERIFY2(pdfRun_.exitCode == 0, qPrintable(pdfRun_.err));
    words_ = printed::pdfWords(pdf_);
    png_ = temp(QStringLiteral("sheet.png"));
    page_ = printed::rasterise(pdf_, 600, png_);
    QVERIFY(!page_.isNull());
}

void TestCliOutput::pdfIsOneA4Page() {
    QCOMPARE(pdfRun_.out, QString());
    // Seven items on each of 21 labels, none with a blank inside.
    QCOMPARE(words_.size(), 21 * 7);
    QVERIFY2(!pdfRun_.err.contains(QStringLiteral("zukaro:")), qPrintable(pdfRun_.err));
    const QString info = printed::run(QStringLiteral("pdfinfo"), {pdf_});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    // Portrait A4 at 600 dpi: 4960 x 7016 pixels (Qt writes 595 x 842 points).
    QVERIFY(std::abs(page_.width() - 4960) <= 5);
    QVERIFY(std::abs(page_.height() - 7016) <= 5);
}

void TestCliOutput::textsAtTheirAnchors_data() {
    QTest::addColumn<int>("label");
    for (int n = 1; n <= kLabelCount; ++n) {
        QTest::addRow("label %d", n) << n;
    }
}

void TestCliOutput::textsAtTheirAnchors() {
    QFETCH(int, label);
    // The file's own layout (offsets, sizes) at the start-up sheet offsets; the box texts
    // "3" and "-2" it also holds must not move anything.
    for (const printed::Word& e : printed::expectedWords(sheet_, label)) {
        const auto [found, distance] = printed::nearestWord(words_, e);
        QVERIFY2(distance <= kToleranceMm,
                 qPrintable(QStringLiteral("\"%1\" expected at (%2, %3) mm, found at (%4, %5)")
                                .arg(e.text)
                                .arg(e.x, 0, 'f', 2)
                                .arg(e.y, 0, 'f', 2)
                                .arg(found.x, 0, 'f', 2)
                                .arg(found.y, 0, 'f', 2)));
    }
}

void TestCliOutput::zbarReadsAll21Codes() {
    const QStringList expected = printed::expectedZbarCodes(sheet_);
    QCOMPARE(expected.size(), 21);
    QCOMPARE(printed::zbarCodes(png_), expected);
}

void TestCliOutput::barsOnThePrinterPixelGrid_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("ean13");  // pixels per module
    QTest::addColumn<int>("ean8");
    // The 55 mm rectangle is 1299 pixels at 600 dpi: 11 for each of EAN-13's 113 modules, 15
    // for each of EAN-8's 85; at 300 dpi 649 pixels: 5 and 7.
    QTest::newRow("600 dpi (default)") << 600 << 11 << 15;
    QTest::newRow("--dpi 300") << 300 << 5 << 7;
}

void TestCliOutput::barsOnThePrinterPixelGrid() {
    QFETCH(int, dpi);
    QFETCH(int, ean13);
    QFETCH(int, ean8);
    QImage page = page_;
    QString png = png_;
    if (dpi != 600) {
        const QString pdf = temp(QStringLiteral("sheet%1.pdf").arg(dpi));
        const Run run = zukaro({QStringLiteral("--print-pdf"), fixture::path("full_sheet.csv"), pdf,
                                QStringLiteral("--dpi"), QString::number(dpi)});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        png = temp(QStringLiteral("sheet%1.png").arg(dpi));
        page = printed::rasterise(pdf, dpi, png);
        QCOMPARE(printed::zbarCodes(png), printed::expectedZbarCodes(sheet_));
    }
    for (int n = 1; n <= kLabelCount; ++n) {
        const int module = sheet_.janText[n].size() == 8 ? ean8 : ean13;
        const QString fault = printed::checkModules(page, sheet_, n, dpi, module);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("label %1: ").arg(n) + fault));
    }
}

void TestCliOutput::previewPng_data() {
    QTest::addColumn<QStringList>("zoomArgs");
    QTest::addColumn<double>("zoom");
    QTest::newRow("default") << QStringList{} << 0.5;
    QTest::newRow("--zoom 50") << QStringList{"--zoom", "50"} << 0.5;
    QTest::newRow("--zoom 100") << QStringList{"--zoom", "100"} << 1.0;
}

void TestCliOutput::previewPng() {
    QFETCH(QStringList, zoomArgs);
    QFETCH(double, zoom);
    const QString png = temp(QStringLiteral("preview.png"));
    QFile::remove(png);
    const Run run =
        zukaro(QStringList{QStringLiteral("--preview-png"), fixture::path("full_sheet.csv"), png} +
               zoomArgs);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QImage image(png);
    // The whole A4 surface at 96 dpi.
    QCOMPARE(image.size(), QSize(794, 1123));
    QVERIFY(std::abs(image.dotsPerMeterX() - 3780) <= 1);

    for (int n = 1; n <= kLabelCount; ++n) {
        const double x0 = printed::labelLeft(sheet_, n) * zoom;
        const double y0 = printed::labelTop(sheet_, n) * zoom;
        const double w = kLabelPitchX * zoom;
        const double h = kLabelPitchY * zoom;
        const QString where = QStringLiteral("label %1").arg(n);
        // The grey guide frame, all four sides.
        QVERIFY2(findGreyLine(image, px(y0), px(x0) + 3, px(x0 + w) - 3, false) >= 0,
                 qPrintable(where + QStringLiteral(": top")));
        QVERIFY2(findGreyLine(image, px(y0 + h), px(x0) + 3, px(x0 + w) - 3, false) >= 0,
                 qPrintable(where + QStringLiteral(": bottom")));
        QVERIFY2(findGreyLine(image, px(x0), px(y0) + 3, px(y0 + h) - 3, true) >= 0,
                 qPrintable(where + QStringLiteral(": left")));
        QVERIFY2(findGreyLine(image, px(x0 + w), px(y0) + 3, px(y0 + h) - 3, true) >= 0,
                 qPrintable(where + QStringLiteral(": right")));
        // The file's red outline (its lower bar) and the first imitation bar (14 mm + barX
        // across, 2 to 11.5 mm down).
        const double left = printed::labelLeft(sheet_, n);
        const double top = printed::labelTop(sheet_, n);
        QCOMPARE(image.pixel(px((left + 26.5) * zoom), px((top + 35.75) * zoom)), qRgb(255, 0, 0));
        QCOMPARE(
            image.pixel(px((left + 14 + sheet_.layout.barX + 0.5) * zoom), px((top + 6.75) * zoom)),
            qRgb(0, 0, 0));
    }
    // Nothing beyond the sheet: the page below the last row is white.
    const int below = px((printed::labelTop(sheet_, 21) + kLabelPitchY) * zoom) + 3;
    for (int y = below; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
        }
    }
}

void TestCliOutput::headerFailureWritesNothing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("command");  // %1 is the output file

    const QStringList files = {
        fixture::datafile("header_wrong.csv"),
        QStringLiteral("empty.csv"),
        QStringLiteral("missing.csv"),
        QStringLiteral("a folder"),
    };
    const QList<QStringList> commands = {
        {QStringLiteral("--print-pdf"), QStringLiteral("%1")},
        {QStringLiteral("--preview-png"), QStringLiteral("%1")},
        {QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("any")},
    };
    for (const QString& file : files) {
        for (const QStringList& command : commands) {
            QTest::addRow("%s %s", qPrintable(QFileInfo(file).fileName()),
                          qPrintable(command.first()))
                << file << command;
        }
    }
}

void TestCliOutput::headerFailureWritesNothing() {
    QFETCH(QString, file);
    QFETCH(QStringList, command);
    if (!QFileInfo(file).isAbsolute()) {
        file = temp(file);
    }
    if (file.endsWith(QStringLiteral("empty.csv"))) {
        writeFile(file, {});
    } else if (file.endsWith(QStringLiteral("a folder"))) {
        QVERIFY(QDir().mkpath(file));
    }
    // An older output of the same name stays as it was.
    const QString out = temp(QStringLiteral("kept.out"));
    writeFile(out, "an older sheet");
    const QStringList entriesBefore = QDir(dir_.path()).entryList(QDir::AllEntries);

    QStringList args{command.first(), file};
    for (const QString& arg : command.mid(1)) {
        args << QString(arg).replace(QStringLiteral("%1"), out);
    }
    const Run run = zukaro(args);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(kNotOurFormat), qPrintable(run.err));
    QVERIFY2(run.err.contains(QDir::toNativeSeparators(file)), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(readAll(out), QByteArray("an older sheet"));
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries), entriesBefore);
}

void TestCliOutput::damagedFileStillPrints() {
    // Record 4 is numbered 22 and the file ends after record 10: what could be read is
    // printed, and the user is told what was not.
    const QString pdf = temp(QStringLiteral("damaged.pdf"));
    const Run run = zukaro(
        {QStringLiteral("--print-pdf"), fixture::path("record_22_and_cut_after_10.csv"), pdf});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("一部を読み込めませんでした")), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("1 から 21 でない行を読み飛ばしました（4 件目")),
             qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("途中で終わっています")), qPrintable(run.err));

    QStringList expected;
    for (int n : {1, 2, 3, 5, 6, 7, 8, 9, 10}) {
        const QString code = sheet_.janText[n];
        expected << (code.size() == 8 ? QStringLiteral("EAN-8:") : QStringLiteral("EAN-13:")) +
                        code;
    }
    expected.sort();
    const QString png = temp(QStringLiteral("damaged.png"));
    printed::rasterise(pdf, 600, png);
    QCOMPARE(printed::zbarCodes(png), expected);
}

void TestCliOutput::dataTxtIsReadLikeAFreshStart() {
    // The file holds only the labels; the layout is the one data.txt gives a fresh start
    // (the user's copy, here under XDG_CONFIG_HOME).
    QProcessEnvironment env = bareEnvironment();
    const QString config = temp(QStringLiteral("pattern"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/zukaro")));
    writeFile(config + QStringLiteral("/zukaro/data.txt"),
              readAll(fixture::path("layout_only_data.txt")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    const QString pdf = temp(QStringLiteral("pattern.pdf"));
    const Run run = zukaro(
        {QStringLiteral("--print-pdf"), fixture::path("records_without_layout.csv"), pdf}, env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("レイアウト設定のうち 100 項目を読めなかった")),
             qPrintable(run.err));
    const QList<printed::Word> words = printed::pdfWords(pdf);
    for (int n : {1, 5, 17, 21}) {
        for (const printed::Word& e : printed::expectedWords(sheet_, n)) {
            QVERIFY2(printed::nearestWord(words, e).second <= kToleranceMm,
                     qPrintable(QStringLiteral("label %1: \"%2\"").arg(n).arg(e.text)));
        }
    }
}

void TestCliOutput::damagedDataTxtIsReported() {
    QProcessEnvironment env = bareEnvironment();
    const QString config = temp(QStringLiteral("broken"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/zukaro")));
    const QString dataTxt = config + QStringLiteral("/zukaro/data.txt");
    writeFile(dataTxt, "\"印字位置調整\",\"0\"\r\n");
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    const QString pdf = temp(QStringLiteral("broken.pdf"));
    const Run run =
        zukaro({QStringLiteral("--print-pdf"), fixture::path("full_sheet.csv"), pdf}, env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(QDir::toNativeSeparators(dataTxt)), qPrintable(run.err));
}

void TestCliOutput::outputFolderMissing_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("pdf") << "--print-pdf";
    QTest::newRow("png") << "--preview-png";
}

void TestCliOutput::outputFolderMissing() {
    QFETCH(QString, command);
    const QString out = temp(QStringLiteral("no such folder/sheet.out"));
    const Run run = zukaro({command, fixture::path("full_sheet.csv"), out});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QDir::toNativeSeparators(out)), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(temp(QStringLiteral("no such folder"))));
}

void TestCliOutput::printerMissing_data() {
    QTest::addColumn<QStringList>("printerArgs");
    QTest::addColumn<QString>("says");
    QTest::newRow("named printer that does not exist")
        << QStringList{"--printer", "nosuch"} << "プリンター「nosuch」が見つかりません";
    QTest::newRow("no default printer")
        << QStringList{} << "いつも使うプリンターが決まっていません";
}

void TestCliOutput::printerMissing() {
    QFETCH(QStringList, printerArgs);
    QFETCH(QString, says);
    // No CUPS server at all (bareEnvironment points CUPS_SERVER at nothing).
    const Run run = zukaro(QStringList{QStringLiteral("--print"), fixture::path("full_sheet.csv")} +
                           printerArgs);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("使えるプリンターがありません")), qPrintable(run.err));
    QCOMPARE(run.out, QString());
}

void TestCliOutput::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    const QString sheet = fixture::path("full_sheet.csv");
    QTest::newRow("pdf without output") << QStringList{"--print-pdf", sheet} << "二つ";
    QTest::newRow("output is the label file")
        << QStringList{"--print-pdf", sheet, sheet} << "開くファイルと同じ";
}

void TestCliOutput::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    const QByteArray sheetBefore = readAll(fixture::path("full_sheet.csv"));
    const QStringList entriesBefore = QDir(dir_.path()).entryList(QDir::AllEntries);
    const Run run = fixture::runZukaro(args, bareEnvironment(), dir_.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("使い方:")), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("zukaro --print-pdf ファイル 出力.pdf")),
             qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries), entriesBefore);
    QCOMPARE(readAll(fixture::path("full_sheet.csv")), sheetBefore);
}

void TestCliOutput::helpAndVersion() {
    const Run help = zukaro({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    for (const char* option : {"--print-pdf", "--dpi", "--preview-png", "--zoom", "--print ",
                               "--printer", "--version"}) {
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    }
    QCOMPARE(help.err, QString());

    const Run version = zukaro({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("zukaro " ZUKARO_VERSION "\n"));
    QCOMPARE(version.err, QString());
}

void TestCliOutput::runsWithoutADisplay_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::newRow("no display at all") << ""
                                       << "";
    // A display that is set but gone (a stale ssh session, a cron job): still no window.
    QTest::newRow("X display of no server") << "DISPLAY"
                                            << ":97";
    QTest::newRow("Wayland display of no server") << "WAYLAND_DISPLAY"
                                                  << "wayland-97";
}

void TestCliOutput::runsWithoutADisplay() {
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QProcessEnvironment env = bareEnvironment();
    if (!variable.isEmpty()) {
        env.insert(variable, value);
    }
    const QString png = temp(QStringLiteral("headless.png"));
    QFile::remove(png);
    const Run run =
        zukaro({QStringLiteral("--preview-png"), fixture::path("full_sheet.csv"), png}, env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(QImage(png).size(), QSize(794, 1123));
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
