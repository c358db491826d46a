// zukaro run as a shop's script runs it, with no display and no printer; its PDF is read back
// by poppler and zbar, its PNG pixel by pixel. Failures exit non-zero and change no file.
#include <sys/stat.h>
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
    const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString& name : QDir(dir).entryList(all)) {
        QFile file(dir + u'/' + name);
        const QFileInfo info(file);
        files[name] = info.isSymLink() ? "-> " + QFile::encodeName(info.symLinkTarget())
                      : !info.isFile() ? "(not a file)"
                      : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                       : QByteArray();
    }
    return files;
}

// full_sheet.csv's labels and its own layout (the box texts must not move the sheet).
SheetState fullSheet() {
    SheetState sheet = sample::fullSheet();
    Layout& l = sheet.layout;
    std::tie(l.janFont.Size, l.productFont.Size, l.lotFont.Size, l.priceFont.Size, l.yenFont.Size) =
        std::tuple(10, 12, 9, 40, 14);
    std::tie(l.janX, l.barX, l.makerX, l.productY, l.specY, l.lotX, l.priceX, l.yenX) =
        std::tuple(1, 1, -1, 1, -1, 1, 2, -2);
    std::tie(l.borderColor, l.縁取, l.x座標調整, l.y座標調整) =
        std::tuple(255, caption::outlineOn, "3", "-2");
    return sheet;
}

}  // namespace

class TestCliOutput : public QObject {
    Q_OBJECT

    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }
    QString temp(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    const SheetState sheet_ = fullSheet();
    QString pdf_ = temp("sheet.pdf");
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();

private slots:
    void initTestCase() {
        // No display, no platform chosen, no configuration and no CUPS server.
        env_.remove("DISPLAY");
        env_.remove("WAYLAND_DISPLAY");
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("XDG_CONFIG_HOME", temp("config"));
        env_.insert("CUPS_SERVER", temp("no-cups.sock"));
        env_.insert("XDG_RUNTIME_DIR", temp("runtime"));
        QVERIFY(QDir().mkpath(temp("runtime")) &&
                QFile::setPermissions(temp("runtime"), QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner));
        QVERIFY(QDir().mkpath(temp("work")));
        // The work folder for the failures: a label file, an older output, an empty file.
        QVERIFY(QFile::copy(kSheetFile, temp("work/sheet.csv")));
        QVERIFY(QFile::copy(kSheetFile, temp("work/older.pdf")));
        QVERIFY(QFile(temp("work/empty.csv")).open(QIODevice::WriteOnly));
        // A pipe a script reads from, and links that go round in a circle.
        QCOMPARE(mkfifo(QFile::encodeName(temp("work/pipe.pdf")).constData(), 0600), 0);
        QVERIFY(QFile::link(temp("work/loop1.csv"), temp("work/loop2.csv")) &&
                QFile::link(temp("work/loop2.csv"), temp("work/loop1.csv")));
        QVERIFY(QDir().mkpath(temp("user/zukaro")));
        QVERIFY(QFile::copy(fixture::path("layout_only_data.txt"), temp("user/zukaro/data.txt")));
        const auto run = zukaro({"--print-pdf", kSheetFile, pdf_});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }

    void printedPdf() {
        QVERIFY(printed::run("pdfinfo", {pdf_}).contains(QRegularExpression("Pages:\\s+1\\n")));
        // Portrait A4 at 600 dpi: 4960 x 7016 pixels (Qt writes 595 x 842 points).
        const QImage page = printed::rasterise(pdf_, 600, temp("sheet.png"));
        QVERIFY(std::abs(page.width() - 4960) <= 5 && std::abs(page.height() - 7016) <= 5);
        QCOMPARE(printed::zbarCodes(temp("sheet.png")), printed::expectedZbarCodes(sheet_));
        const QList<printed::Word> words = printed::pdfWords(pdf_);
        for (int n = 1; n <= kLabelCount; ++n) {
            const QString label = QString("label %1: ").arg(n);
            for (const printed::Word& e : printed::expectedWords(sheet_, n)) {
                const double mm = printed::nearestWord(words, e).second;
                QVERIFY2(mm <= 0.25, qPrintable(label + e.text + QString(" %1 mm away").arg(mm)));
            }
            // 55 mm are 1299 pixels: 11 for each of EAN-13's 113 modules, 15 for EAN-8's 85.
            const int module = sheet_.janText[n].size() == 8 ? 15 : 11;
            const QString fault = printed::checkModules(page, sheet_, n, 600, module);
            QVERIFY2(fault.isEmpty(), qPrintable(label + fault));
        }
    }

    void previewPng_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("zoomArgs");
        QTest::newRow("50 % by default") << kSheetFile << QStringList{};
        QTest::newRow("--zoom 100") << kSheetFile << QStringList{"--zoom", "100"};
        // Only labels in the file: the layout is the user's data.txt, as at a fresh start.
        QTest::newRow("data.txt") << fixture::path("records_without_layout.csv") << QStringList{};
    }

    void previewPng() {
        QFETCH(QString, file);
        QFETCH(QStringList, zoomArgs);
        const double zoom = zoomArgs.isEmpty() ? 0.5 : 1.0;
        QProcessEnvironment env = env_;
        // A display that is set but gone (a cron job, a stale ssh session) still needs no window.
        env.insert("DISPLAY", ":97");
        env.insert("XDG_CONFIG_HOME", temp("user"));
        const QString png = temp(QTest::currentDataTag()) + ".png";
        const auto run =
            fixture::runZukaro(QStringList{"--preview-png", file, png} + zoomArgs, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(794, 1123));  // the whole A4 surface at 96 dpi
        const auto px = [zoom](double mm) { return int(std::floor(mm * zoom / 25.4 * 96)); };
        for (int n = 1; n <= kLabelCount; ++n) {
            const double left = printed::labelLeft(sheet_, n), top = printed::labelTop(sheet_, n);
            // The red outline's lower bar, and the first imitation bar (14 mm + barX across).
            QCOMPARE(image.pixel(px(left + 26.5), px(top + 35.75)), qRgb(255, 0, 0));
            QCOMPARE(image.pixel(px(left + 15.5), px(top + 6.75)), qRgb(0, 0, 0));
        }
    }

    // Nothing is left in the temporary folder: the PDF is made beside its output, and the
    // scratch file for standard output loses its name as soon as it is made.
    void temporaryFolderStaysEmpty_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("file") << "sheet.pdf";
        QTest::newRow("standard output") << "-";
    }

    void temporaryFolderStaysEmpty() {
        QFETCH(QString, output);
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        const QString folder = temp(QTest::currentDataTag()), tmp = folder + "/tmp";
        QVERIFY(QDir().mkpath(tmp));
        QProcessEnvironment env = env_;
        env.insert("TMPDIR", tmp);
        const QString out = output == "-" ? output : folder + '/' + output;
        const auto run = fixture::runZukaro({"--print-pdf", kSheetFile, out}, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(QDir(tmp).entryList(all), QStringList());
        const QStringList expected =
            output == "-" ? QStringList{"tmp"} : QStringList{output, "tmp"};
        QCOMPARE(QDir(folder).entryList(all), expected);
    }

    // 総額表示 on paper: the totals with tax (worked out by hand) where the price goes, and the
    // 本体 lines at their anchor right of it. Label 1 has the reduced rate of its own.
    void taxIncludedSheetOnPaper() {
        const QString pdf = temp("tax.pdf");
        const auto run = zukaro({"--print-pdf", fixture::path("tax_included_sheet.csv"), pdf});
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
        const QList<printed::Word> words = printed::pdfWords(pdf);
        const struct {
            int label;
            const char* total;  // right-aligned in five characters at 40 pt
            const char* net;
        } labels[] = {{1, "  105", "98円)"},       // 98 at 8 %: 105.84
                      {2, "  140", "128円)"},      // 128 at 10 %: 140.8
                      {5, " 2178", "1980円)"},     // 1980 at 10 %
                      {16, "13579", "12345円)"}};  // 12345 at 10 %: 13579.5, never cut
        for (const auto& l : labels) {
            const double x = printed::labelLeft(sheet_, l.label);
            const double y = printed::labelTop(sheet_, l.label);
            const QString total = QString(l.total).trimmed();
            const double spaces = QString(l.total).size() - total.size();
            const printed::Word expected[] = {
                {total, x + 2 + spaces * 20 * printed::kMmPerPoint, y + 20},
                {"(本体", x + 44, y + 22},
                {l.net, x + 44 + 3 * 7 * printed::kMmPerPoint, y + 22}};
            for (const printed::Word& e : expected) {
                const double mm = printed::nearestWord(words, e).second;
                QVERIFY2(mm <= 0.3,
                         qPrintable(
                             QString("label %1: %2 %3 mm away").arg(l.label).arg(e.text).arg(mm)));
            }
        }
    }

    // A shop's list of fifty products: three pages, and zbar reads every code on them.
    void printsAProductList() {
        const QString list = fixture::path("fifty_products.csv");
        const auto run = zukaro({"--print-list", list, temp("list.pdf")});
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(printed::pageCount(temp("list.pdf")), 3);
        QVERIFY(QDir().mkpath(temp("pages")));
        QCOMPARE(printed::codesOnEveryPage(temp("list.pdf"), 300, temp("pages")),
                 fixture::listedCodes(list));
    }

    // Rows that cannot be labels are told one line each; the rest print.
    void listRowsThatAreSkipped() {
        QFile list(temp("rows.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("JAN,品名,枚数\n4901234567894,A,2\n49012345678,B,1\n4912345X,C,x\n,,\n");
        list.close();
        const auto run =
            zukaro({"--print-list", list.fileName(), temp("rows.pdf"), "--start", "20"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains("3 行目: JAN コード「49012345678」はバーコードなしで"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].contains("4 行目: 枚数「x」"), qPrintable(lines[1]));
        QCOMPARE(printed::pageCount(temp("rows.pdf")), 2);  // labels 20, 21 and 1 of page 2
    }

    // A label that goes out without bars is named on stderr; the sheet still prints.
    void labelsWithoutBarsAreListed() {
        const auto run = zukaro(
            {"--print-pdf", fixture::path("two_codes_without_bars.csv"), temp("without-bars.pdf")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err,
                 "zukaro: ラベル 2 は JAN コード「245012355838」のバーコードなしで印刷しました"
                 "（8 桁か 13 桁ではありません）。\n"
                 "zukaro: ラベル 4 は JAN コード「4450123716760」のバーコードなしで印刷しました"
                 "（チェックデジットが合いません）。\n");
    }

    void runsChangeNoFile_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("says");  // on stdout when it succeeds, else on stderr
        const QString w = temp("work/");
        const QString wrong = QStringLiteral(DATAFILE_FIXTURES "/header_wrong.csv");
        const QString notOurs = QStringLiteral("ズカロ形式のデータではありません");
        const auto row = [](const char* name, const QStringList& args, int code,
                            const QStringList& says) {
            QTest::newRow(name) << args << code << says;
        };
        row("--help", {"--help"}, 0, {"--printer"});
        row("--version", {"--version"}, 0, {"zukaro " ZUKARO_VERSION "\n"});
        row("header wrong", {"--print-pdf", wrong, w + "older.pdf"}, 1, {notOurs, wrong});
        row("empty file", {"--preview-png", w + "empty.csv", w + "older.pdf"}, 1, {notOurs});
        // A file that cannot be read is not called a file of the wrong format.
        row("missing file", {"--print", w + "missing.csv"}, 1,
            {"「" + w + "missing.csv」が見つかりません。", "!" + notOurs});
        row("links in a circle", {"--print-pdf", w + "loop1.csv", w + "older.pdf"}, 1,
            {"シンボリックリンクが循環しています"});
        row("output is a named pipe", {"--print-pdf", kSheetFile, w + "pipe.pdf"}, 1,
            {w + "pipe.pdf", "名前付きパイプ", "上書きしません"});
        // Standard output, for a pipeline into lp or a web server.
        row("PDF to standard output", {"--print-pdf", kSheetFile, "-"}, 0, {"%PDF-1.4", "%%EOF"});
        row("PNG to standard output", {"--preview-png", kSheetFile, "-"}, 0, {"PNG\r\n"});
        row("list missing", {"--print-list", w + "no.csv", w + "l.pdf"}, 1, {"見つかりません"});
        row("no output folder", {"--print-pdf", kSheetFile, w + "no/s.pdf"}, 1, {w + "no/s.pdf"});
        row("no such printer", {"--print", kSheetFile, "--printer", "nosuch"}, 1,
            {"プリンター「nosuch」が見つかりません"});
        row("no default printer", {"--print", kSheetFile}, 1, {"いつも使うプリンター"});
        // Writing the PDF over the label file would lose every label typed into it.
        row("output is the label file", {"--print-pdf", w + "sheet.csv", w + "sheet.csv"}, 2,
            {"開くファイルと同じ", "使い方:"});
    }

    void runsChangeNoFile() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QStringList, says);
        const QMap<QString, QByteArray> before = snapshot(temp("work"));
        const auto run = zukaro(args);
        QCOMPARE(run.exitCode, exitCode);
        for (const QString& text : says) {  // "!" first: must not be said
            const bool said =
                (exitCode == 0 ? run.out : run.err).contains(text.mid(text.startsWith('!')));
            QVERIFY2(said != text.startsWith('!'), qPrintable(text + '\n' + run.err));
        }

        QCOMPARE(exitCode == 0 ? run.err : run.out, QString());
        QVERIFY(snapshot(temp("work")) == before);
    }
};

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
