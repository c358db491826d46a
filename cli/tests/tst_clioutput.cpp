// zukaro run as a shop's script runs it, with no display and no printer; its PDF is read back
// by poppler and zbar, its PNG pixel by pixel. Failures exit non-zero and change no file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <map>

#include "BuiltInValues.h"
#include "CliFixture.h"
#include "Cp932.h"
#include "LabelFile.h"
#include "PrintedSheet.h"
#include "SampleSheet.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kSheetFile = fixture::path("full_sheet.csv");
const auto kAll = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;

// Every entry of a folder: its name, where it links to, and a plain file's bytes.
QByteArray snapshot(const QString& dir) {
    QByteArray all;
    for (const QFileInfo& info : QDir(dir).entryInfoList(kAll)) {
        QFile file(info.filePath());
        all += QFile::encodeName(info.fileName() + " -> " + info.symLinkTarget()) + '\n' +
               (info.isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "") + '\n';
    }
    return all;
}

// full_sheet.csv's labels and its own layout (the box texts must not move the sheet).
SheetState fullSheet() {
    SheetState sheet = sample::fullSheet();
    Layout& l = sheet.layout;
    std::tie(l.janFont.Size, l.productFont.Size, l.lotFont.Size, l.priceFont.Size, l.yenFont.Size) =
        std::tuple(10, 12, 9, 40, 14);
    std::tie(l.janX, l.barX, l.makerX, l.productY, l.specY, l.lotX, l.priceX, l.yenX) =
        std::tuple(1, 1, -1, 1, -1, 1, 2, -2);
    std::tie(l.borderColor, l.縁取, l.x座標調整, l.y座標調整) = std::tuple(255, true, "3", "-2");
    return sheet;
}

}  // namespace

class TestCliOutput : public QObject {
    Q_OBJECT

    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }
    QString temp(const QString& name) const { return dir_.filePath(name); }

    // A settings folder with one printer's calibration, as a clerk's printing.json holds it.
    QString calibratedConfig() const {
        const QString folder = temp("calibrated/zukaro");
        QFile file(folder + "/printing.json");
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
            file.write(R"({"printers": {"Label-Printer": {"offsetX": 1.2, "offsetY": -0.8,
                           "scaleX": 1.003, "scaleY": 0.998, "measured": "2025-04-01"}}})") <= 0) {
            return {};
        }
        return temp("calibrated");
    }

    QTemporaryDir dir_;
    const SheetState sheet_ = fullSheet();
    QString pdf_ = temp("pdf/sheet.pdf");
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();

private slots:
    void initTestCase() {
        // No display, no platform chosen, no configuration and no CUPS server.
        env_.remove("DISPLAY");
        env_.remove("WAYLAND_DISPLAY");
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("XDG_CONFIG_HOME", temp("config"));
        env_.insert("XDG_DATA_HOME", temp("data"));  // no product master but the test's own
        env_.insert("CUPS_SERVER", temp("no-cups.sock"));
        env_.insert("XDG_RUNTIME_DIR", temp("runtime"));
        env_.insert("TMPDIR", temp("tmp"));  // left empty by every run, see cleanup()
        QCOMPARE(mkdir(QFile::encodeName(temp("runtime")).constData(), 0700), 0);
        QVERIFY(QDir().mkpath(temp("work")) && QDir().mkpath(temp("tmp")) &&
                QDir().mkpath(temp("pdf")));
        // The work folder for the failures: a label file and an older output.
        QVERIFY(QFile::copy(kSheetFile, temp("work/sheet.csv")));
        QVERIFY(QFile::copy(kSheetFile, temp("work/older.pdf")));
        // A pipe a script reads from, and links that go round in a circle.
        QCOMPARE(mkfifo(QFile::encodeName(temp("work/pipe.pdf")).constData(), 0600), 0);
        QVERIFY(QFile::link(temp("work/loop1.csv"), temp("work/loop2.csv")) &&
                QFile::link(temp("work/loop2.csv"), temp("work/loop1.csv")));
        // A list no row of which makes a label: 0 copies, no product name.
        QFile none(temp("work/nothing.csv"));
        QVERIFY(none.open(QIODevice::WriteOnly) &&
                none.write("JAN,品名,枚数\r\n4901234567894,しょうゆ,0\r\n4901234567894,,3\r\n") >
                    0);
        none.close();
        QFile rows(temp("rows.csv"));  // a product list
        QVERIFY(rows.open(QIODevice::WriteOnly) &&
                rows.write(
                    "JAN,品名,枚数\n4901234567894,A,2\n49012345678,B,1\n4912345X,C,x\n,,\n") > 0);
        QFile pos(temp("pos.csv"));  // a register's export
        QVERIFY(pos.open(QIODevice::WriteOnly) &&
                pos.write("JAN,品名,規格,売価\n490123456789,ポテトチップスうすしお味ファミリー,60g,"
                          "￥398\n4901234567894,アタック,500ml,1280円\n") > 0);
        QVERIFY(QDir().mkpath(temp("user/zukaro")));
        QVERIFY(QFile::copy(fixture::path("layout_only_data.txt"), temp("user/zukaro/data.txt")));
        // Outputs that are hard links to the inputs: a second name of the same file.
        QVERIFY(QFile::copy(fixture::path("fifty_products.csv"), temp("work/list.csv")));
        for (const auto& [input, output] :
             {std::pair("sheet.csv", "linked.pdf"), std::pair("sheet.csv", "linked.png"),
              std::pair("list.csv", "list-linked.pdf")}) {
            QCOMPARE(::link(QFile::encodeName(temp("work/") + input).constData(),
                            QFile::encodeName(temp("work/") + output).constData()),
                     0);
        }
        // 101 products at 999 labels each: more than one job may print.
        QFile huge(temp("work/huge.csv"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write("JAN,品名,売価,枚数\n");
        for (int i = 0; i < 101; ++i) {
            huge.write("4901234567894,ポテトチップス うすしお味,398,999\n");
        }
        huge.close();
        // Cells a terminal must never get raw: escape sequences, and a cell of 100,000 digits.
        QFile hostile(temp("hostile.csv"));
        QVERIFY(hostile.open(QIODevice::WriteOnly) &&
                hostile.write("JAN,品名,枚数\n4901234567894,A,1\n4901234567894,B,\x1b]0;hacked\x07"
                              "\x1b[2J\n4901234567894,C," +
                              QByteArray(100000, '9') + "\n4901234\x1b,D,1\n") > 0);
        // A label file of a later version: 100,000 lines this one does not know.
        QVERIFY(QFile::copy(kSheetFile, temp("later.csv")));
        QFile later(temp("later.csv"));
        QVERIFY(later.open(QIODevice::Append) &&  // 「拡張」 in Shift_JIS
                later.write(QByteArray("\"\x8a\x67\x92\xa3\",1\r\n").repeated(100'000)) > 0);
        later.close();
        // As root: a sticky folder everyone may write, and in it a link that the user nobody
        // planted, pointing at the older PDF.
        if (::geteuid() == 0) {
            QCOMPARE(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
            QVERIFY(QDir().mkpath(temp("work/shared")));
            QCOMPARE(::chmod(QFile::encodeName(temp("work/shared")).constData(), 01777), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                                ::symlink(
                                    QFile::encodeName(temp("work/older.pdf")).constData(),
                                    QFile::encodeName(temp("work/shared/sheet.pdf")).constData()) ==
                                    0
                            ? 0
                            : 1);
            }
            int status = 0;
            QVERIFY(::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0);
        }
        const auto run = zukaro({"--print-pdf", kSheetFile, pdf_});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        // The PDF is made beside its output and takes its name.
        QCOMPARE(QDir(temp("pdf")).entryList(kAll), QStringList{"sheet.pdf"});
    }

    // Nothing is left in the temporary folder; the scratch file for standard output loses its
    // name as soon as it is made.
    void cleanup() {
        QDir tmp(temp("tmp"));
        const QStringList left = tmp.entryList(kAll);
        QVERIFY(tmp.removeRecursively() && tmp.mkpath("."));
        QCOMPARE(left, QStringList());
    }

    void printedPdf() {
        QCOMPARE(printed::pageCount(pdf_), 1);
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

    // 総額表示 on paper: the totals with tax (worked out by hand) where the price goes,
    // right-aligned in five characters at 40 pt, and the 本体 lines at their anchor right of it.
    void taxIncludedSheetOnPaper() {
        const QString pdf = temp("tax.pdf");
        const auto run = zukaro({"--print-pdf", fixture::path("tax_included_sheet.csv"), pdf});
        QVERIFY2(run.exitCode == 0 && fixture::withoutOverprintNotes(run.err).isEmpty(),
                 qPrintable(run.err));
        const QList<printed::Word> words = printed::pdfWords(pdf);
        QStringList misplaced;
        // Label 1 has the reduced rate of its own: 98 at 8 % is 105.84. At 10 %, 128 is 140.8,
        // 1980 is 2178, and 12345 is 13579.5, never cut.
        for (const auto& [n, total, net] :
             {std::tuple(1, "105", "98円)"), std::tuple(2, "140", "128円)"),
              std::tuple(5, "2178", "1980円)"), std::tuple(16, "13579", "12345円)")}) {
            const double x = printed::labelLeft(sheet_, n), y = printed::labelTop(sheet_, n);
            const double spaces = 5 - QString(total).size();
            for (const printed::Word& e :
                 {printed::Word{total, x + 2 + spaces * 20 * printed::kMmPerPoint, y + 20},
                  printed::Word{"(本体", x + 44, y + 22},
                  printed::Word{net, x + 44 + 3 * 7 * printed::kMmPerPoint, y + 22}}) {
                if (printed::nearestWord(words, e).second > 0.3) {
                    misplaced << QString("label %1: %2").arg(n).arg(e.text);
                }
            }
        }
        QCOMPARE(misplaced, QStringList());
    }

    // A clerk's sheet with 3桁区切り, 税込表示 and fitting on: specs of 3 to 6 characters beside
    // totals of four digits (filling the field at 48 pt, 「2,」 left of where the spec is and
    // 「893」 right of it), six and seven. On the PDF each total reads whole, as worked out by
    // hand, with no other word between its first and last character; zbar reads every code.
    void separatedTotalsReadWhole() {
        const QString file = fixture::path("separated_totals_beside_short_specs.csv");
        const QString pdf = temp("separated.pdf");
        const auto run = zukaro({"--print-pdf", file, pdf});
        QVERIFY2(run.exitCode == 0 && !run.err.contains("重なって") &&
                     !run.err.contains("はみ出して") && !run.err.contains("収まりません"),
                 qPrintable(run.err));
        // 10 %, and 8 % on the food of labels 4 and 6, rounded down: 2630 × 1.1 = 2893,
        // 9800 × 1.08 = 10584, 1234567 × 1.1 = 1358023.7.
        const QStringList totals{"2,893",     "3,183",     "1,408",   "10,584",
                                 "5,478",     "1,706",     "140,800", "437,800",
                                 "1,009,800", "1,358,023", "107,800", "3,278"};
        const QList<printed::Word> words = printed::pdfWords(pdf);
        const SheetState origin;
        QStringList wrong;
        for (int n = 1; n <= totals.size(); ++n) {
            const double left = printed::labelLeft(origin, n), top = printed::labelTop(origin, n);
            const auto on = [&](const printed::Word& w) {
                return w.x >= left && w.right <= left + kLabelPitchX && w.y >= top &&
                       w.bottom <= top + kLabelPitchY;
            };
            const auto price = std::find_if(words.begin(), words.end(), [&](const auto& w) {
                return w.text == totals[n - 1] && on(w);
            });
            if (price == words.end()) {
                wrong << QString("label %1: %2 not read whole").arg(n).arg(totals[n - 1]);
                continue;
            }
            for (const printed::Word& w : words) {
                const double x = (w.x + w.right) / 2, y = (w.y + w.bottom) / 2;
                if (&w != &*price && x > price->x && x < price->right && y > price->y &&
                    y < price->bottom) {
                    wrong << QString("label %1: 「%2」 inside %3").arg(n).arg(w.text, price->text);
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        SheetState sheet;
        QVERIFY(readLabelFile(file, sheet).opened);
        printed::rasterise(pdf, 600, temp("separated.png"));
        QCOMPARE(printed::zbarCodes(temp("separated.png")), printed::expectedZbarCodes(sheet));
    }

    // A line of a later version before the 税率 line costs nothing but itself: label 1 keeps
    // its 8 %, so 398 prints as 429, label 2 at the default 10 % as 437.
    void unknownLineBeforeTheRates() {
        const QString pdf = temp("rates.pdf");
        const auto run =
            zukaro({"--print-pdf", fixture::path("unknown_line_before_rates.csv"), pdf});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err.section('\n', 1),
                 "  34 行目（「拡張」で始まる行）は、この版では使わない設定のため"
                 "読み飛ばしました。\n");
        const QList<printed::Word> words = printed::pdfWords(pdf);
        SheetState sheet;
        for (const auto& [n, total] : {std::pair(1, "429"), std::pair(2, "437")}) {
            const printed::Word expected{
                total, printed::labelLeft(sheet, n) + 2 * 24 * printed::kMmPerPoint,
                printed::labelTop(sheet, n) + 20};
            QVERIFY2(printed::nearestWord(words, expected).second <= 0.3, total);
        }
    }

    // A grocer's sheet with 単位価格 on, 税込表示, food at 8 %, rounded down, printed by
    // --print-pdf: each label read back from the PDF carries its price per unit, worked by hand
    // from the total; 「大」 prints its price without one, and the run says which label.
    void unitPricesOnPaper() {
        SheetState sheet;
        applyNewUserValues(sheet.layout);
        sheet.layout.priceMode = PriceMode::TaxIncluded;
        sheet.layout.unitPriceShown = true;
        const LabelRecord labels[] = {
            {"4902102072618", "明治", "おいしい牛乳", "1000ml", "A-1", "238", "8"},
            {"4901085089613", "伊藤園", "お〜いお茶 ケース", "2L×6本", "B-2", "1,180", "8"},
            {"4512345678906", "さくら製菓", "特大おにぎり", "大", "C-3", "198", "8"},
            {"4901234567894", "はごろも", "シーチキン", "７０ｇ×３缶", "D-4", "398", "8"},
            {"4903301123453", "花王", "アタック 詰替", "詰替 400ml", "E-5", "328"},
            {"4984824123458", "パナソニック", "エボルタ 単3", "単3 4本入", "F-6", "498"},
        };
        for (int n = 1; n <= 6; ++n) {
            sheet.setLabel(n, labels[n - 1]);
        }
        const QString file = temp("unit.csv"), pdf = temp("unit.pdf");
        QVERIFY(writeLabelFile(file, sheet, UnencodablePolicy::Refuse).ok);
        const auto run = zukaro({"--print-pdf", file, pdf});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(fixture::withoutOverprintNotes(run.err),
                 "zukaro: ラベル 3: 規格「大」から内容量や入数が読み取れないため、単位価格を印刷"
                 "しません。「500ml」「185g×30本」「6個入」のように書くと印刷します。\n");
        // 238 × 1.08 = 257.04, 25.7 per 100 ml; 1,180 × 1.08 = 1,274.4 for 12 L, 10.6;
        // 398 × 1.08 = 429.84 for 210 g, 204.3; 328 × 1.1 = 360.8 for 400 ml, 90; 498 × 1.1 =
        // 547.8 for 4 本 (単3 is no quantity), 136.75.
        const QStringList perUnit{"100mlあたり 26円", "100mlあたり 11円", "",
                                  "100gあたり 204円", "100mlあたり 90円", "1本あたり 137円"};
        const QList<printed::Word> words = printed::pdfWords(pdf);
        QStringList wrong;
        for (int n = 1; n <= 6; ++n) {
            const QString text = printed::labelText(words, sheet, n);
            const bool told =
                perUnit[n - 1].isEmpty() ? !text.contains("あたり") : text.contains(perUnit[n - 1]);
            if (!told) {
                wrong << QString("label %1: %2").arg(n).arg(text);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    }

    // 軽減 8 % → 0 % from 2026-10-01, entered by a script into data.txt: the line after the
    // others, replaced (not doubled) when given again; then the same label file printed for
    // the day before and the first day. Label 1 (軽減, 98) prints 105 (105.84) the day before
    // and 98 on the day, label 2 (標準, 128) 140 on both.
    void taxRateChangeFromAScript() {
        QProcessEnvironment env = env_;
        env.insert("XDG_CONFIG_HOME", temp("rates"));
        const QString dataTxt = temp("rates/zukaro/data.txt");
        QVERIFY(QDir().mkpath(temp("rates/zukaro")));
        QVERIFY(QFile::copy(fixture::path("layout_only_data.txt"), dataTxt));
        const QByteArray before = fileBytes(dataTxt);
        for (const char* rate : {"5", "0"}) {
            const auto run =
                fixture::runZukaro({"--tax-rate-from", "軽減", rate, "2026/10/01"}, env);
            QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
            QCOMPARE(run.out, u"%1 に書き込みました: 2026-10-01 から軽減は %2% です。\n"_qs.arg(
                                  dataTxt, QString(rate)));
        }
        QCOMPARE(fileBytes(dataTxt),
                 before + cp932::encode(u"\"税率改定\",\"軽減\",0,\"2026-10-01\"\r\n"_qs).bytes);
        SheetState sheet;
        for (const auto& [day, label1] :
             {std::pair("2026-09-30", "105"), std::pair("2026-10-01", "98")}) {
            const QString pdf = temp(QString("rates-%1.pdf").arg(day));
            const auto run = fixture::runZukaro(
                {"--print-pdf", fixture::path("tax_included_sheet.csv"), pdf, "--as-of", day}, env);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            const QList<printed::Word> words = printed::pdfWords(pdf);
            for (const auto& [n, total] : {std::pair(1, label1), std::pair(2, "140")}) {
                const double spaces = 5 - QString(total).size();
                const printed::Word expected{
                    total, printed::labelLeft(sheet, n) + 2 + spaces * 20 * printed::kMmPerPoint,
                    printed::labelTop(sheet, n) + 20};
                QVERIFY2(printed::nearestWord(words, expected).second <= 0.3,
                         qPrintable(QString("%1, label %2: %3").arg(day).arg(n).arg(total)));
            }
        }
        // A data.txt that could not be read whole is not written over.
        QFile damaged(dataTxt);
        QVERIFY(damaged.open(QIODevice::Append) && damaged.write("\"later\",1\r\n") > 0);
        damaged.close();
        const QByteArray kept = fileBytes(dataTxt);
        const auto refused =
            fixture::runZukaro({"--tax-rate-from", "標準", "12", "2028-04-01"}, env);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.startsWith(u"zukaro: %1 を読み切れなかったため、税率の改定を"
                                        "書き込みませんでした"_qs.arg(dataTxt)),
                 qPrintable(refused.err));
        QCOMPARE(fileBytes(dataTxt), kept);
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

    // Runs that print but say on stderr what went amiss: list rows that cannot be labels, one
    // line each, and labels that go out without bars.
    void printsAndTells_data() {
        QTest::addColumn<QStringList>("args");  // the output file goes after the first two
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("err");
        QTest::addColumn<bool>("unfitted");  // a data.txt of the first-start values without fitting
        QTest::newRow("list rows skipped")
            << QStringList{"--print-list", temp("rows.csv"), "--start", "20"}
            << 2  // labels 20, 21 and label 1 of page 2
            << "zukaro: rows.csv: 3 行目: JAN コード「49012345678」はバーコードなしで印刷されます"
               "（8 桁か 13 桁ではありません）。\n"
               "zukaro: rows.csv: 4 行目: 枚数「x」は 0〜999 の整数ではありません。"
               "この行は読み込みませんでした。\n"
            << false;
        QTest::newRow("cells shown escaped and cut")
            << QStringList{"--print-list", temp("hostile.csv")} << 1
            << "zukaro: hostile.csv: 3 行目: 枚数「\\x1B]0;hacked\\x07\\x1B[2J」は 0〜999 "
               "の整数では"
               "ありません。この行は読み込みませんでした。\n"
               "zukaro: hostile.csv: 4 行目: 枚数「" +
                   QString(40, '9') +
                   "…（全 4,096 文字）」は 0〜999 の整数ではありません。この行は読み込みません"
                   "でした。\n"
                   "zukaro: hostile.csv: 4 行目: 3 列目の文字が 4,096 文字を超えるため、最初の "
                   "4,096 文字だけを読みました（全 100,000 文字）。\n"
                   "zukaro: hostile.csv: 5 行目: JAN コード「4901234\\x1B」: チェックデジットを "
                   "\\x1B から 7 に直しました。\n"
            << false;
        QTest::newRow("labels without bars")
            << QStringList{"--print-pdf", fixture::path("two_codes_without_bars.csv")} << 1
            << "zukaro: ラベル 2 は JAN コード「245012355838」のバーコードなしで印刷しました"
               "（チェックデジットがありません）。\n"
               "zukaro: ラベル 4 は JAN コード「4450123716760」のバーコードなしで印刷しました"
               "（チェックデジットが合いません）。\n"
            << false;
        const QString fit = "「価格を枠内に収める」をオンにすると、収まる大きさで印刷します。\n";
        // A register's prices are whole yen; the list's lines are named. A new user's layout
        // fits the long name and the four-digit price; a data.txt without fitting tells.
        const QString checkDigit =
            "zukaro: pos.csv: 2 行目: JAN コード「490123456789」: "
            "チェックデジット 4 を付けました。\n";
        QTest::newRow("list notes by line")
            << QStringList{"--print-list", temp("pos.csv")} << 1
            << checkDigit + "zukaro: pos.csv: 2 行目: 品名がラベルからはみ出して印刷されます。" +
                   fit + "zukaro: pos.csv: 3 行目: 売価と規格が重なって印刷されます。" + fit
            << true;
        QTest::newRow("list at the first start")
            << QStringList{"--print-list", temp("pos.csv")} << 1 << checkDigit << false;
        // The first-start layout: a six-digit price drawn whole, smaller; it and a four-digit
        // one print over 規格 and ロット; 18 characters of 品名 run onto the next label.
        QTest::newRow("labels drawn smaller, overprinted and off the label")
            << QStringList{"--print-pdf", fixture::path("long_price_and_name.csv")} << 1
            << "zukaro: ラベル 1: 売価「123456」は 5 文字の枠に入らないため、40 pt に小さくして"
               "印刷します。売価と規格、売価とロットが重なって印刷されます。品名がラベルから"
               "はみ出して印刷されます。" +
                   fit + "zukaro: ラベル 2: 売価と規格、売価とロットが重なって印刷されます。" + fit
            << false;
        // The labels of a later version's file print; its 100,000 unknown lines cost twenty
        // notes and a count, not 100,000 lines (nor the memory of them).
        QString skipped;
        for (int line = 33; line < 53; ++line) {
            skipped += QString(
                           "  %1 行目（「拡張」で始まる行）は、この版では使わない設定のため"
                           "読み飛ばしました。\n")
                           .arg(line);
        }
        QTest::newRow("100,000 lines of a later version")
            << QStringList{"--print-pdf", temp("later.csv")} << 1
            << "zukaro: later.csv: 一部を読み込めませんでした。読み込めた分だけを使います。\n" +
                   skipped + "  ほかに 99,980 行を読み飛ばしました。\n"
            << false;
    }

    void printsAndTells() {
        QFETCH(QStringList, args);
        QFETCH(int, pages);
        QFETCH(QString, err);
        QFETCH(bool, unfitted);
        const QString pdf = temp(QTest::currentDataTag()) + ".pdf";
        QProcessEnvironment env = env_;
        if (unfitted) {
            Layout firstStart;
            applyFirstStartValues(firstStart);
            QVERIFY(QDir().mkpath(temp("unfitted/zukaro")));
            QVERIFY(writeFileAtomically(temp("unfitted/zukaro/data.txt"), settingsBytes(firstStart))
                        .ok);
            env.insert("XDG_CONFIG_HOME", temp("unfitted"));
        }
        auto run = fixture::runZukaro(args.mid(0, 2) + QStringList{pdf} + args.mid(2), env);
        QCOMPARE(run.exitCode, 0);
        const QString said = run.err.remove(dir_.path() + '/');
        QCOMPARE(err.contains("重なって") ? said : fixture::withoutOverprintNotes(said), err);
        QCOMPARE(printed::pageCount(pdf), pages);
    }

    // What the disk sees of a run, watched from outside by strace so that only real system
    // calls count: the output is complete and synced before it takes the old output's place
    // in one rename, made in the folder opened for the save (never by a path looked up again),
    // and its folder is synced after that.
    void outputReachesTheDiskInOrder_data() {
        QTest::addColumn<QStringList>("args");  // the output goes last
        QTest::addColumn<QString>("output");
        QTest::newRow("PDF over an older one")
            << QStringList{"--print-pdf", kSheetFile} << "sheet.pdf";
        QTest::newRow("new PNG") << QStringList{"--preview-png", kSheetFile} << "preview.png";
    }

    void outputReachesTheDiskInOrder() {
        QFETCH(QStringList, args);
        QFETCH(QString, output);
        const QString strace = QStandardPaths::findExecutable("strace");
        QVERIFY2(!strace.isEmpty(), "strace is missing: sh scripts/deps.sh installs it");
        const QString folder = temp("synced");
        QVERIFY(QDir().mkpath(folder));
        const QString out = folder + '/' + output;
        if (output.endsWith(".pdf")) {
            QVERIFY(QFile::copy(temp("work/older.pdf"), out));
        }
        const QString log = temp("strace.log");
        QProcess run;
        run.setProcessEnvironment(env_);
        run.start(strace,
                  QStringList{"-f", "-y", "-qq", "-o", log, "-e",
                              "trace=fsync,fdatasync,rename,renameat,renameat2", ZUKARO_BINARY} +
                      args + QStringList{out});
        QVERIFY(run.waitForFinished(60000));
        QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
        QFile traced(log);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        // "1234 fsync(5</f/.sheet.pdf.zukaro-0a1b2c3d>) = 0", a call of one thread possibly
        // split around another's as "<unfinished ...>" and "<... fsync resumed>".
        QMap<QString, QString> unfinished;
        QStringList calls;
        const QRegularExpression line("^(\\d+) +(.*)$");
        const QRegularExpression call("^(\\w+)\\((.*)\\) += (-?\\d+)");
        for (const QString& text : QString::fromUtf8(traced.readAll()).split('\n')) {
            const auto m = line.match(text);
            QString body = m.captured(2);
            if (body.endsWith("<unfinished ...>")) {
                unfinished[m.captured(1)] = body.chopped(16);
                continue;
            }
            if (body.startsWith("<... ")) {
                body = unfinished.take(m.captured(1)) + body.section("resumed>", 1);
            }
            const auto c = call.match(body);
            if (!c.hasMatch() || !c.captured(2).contains(folder)) {
                continue;
            }
            QString said = c.captured(1).replace(QRegularExpression("^renameat2?$"), "rename") +
                           ' ' + c.captured(2) + (c.captured(3) == "0" ? "" : " failed");
            said.replace(QRegularExpression("\\d+<" + QRegularExpression::escape(folder) + ">"),
                         "folder/")
                .replace(QRegularExpression("\\d+<([^>]*)>"), "\\1")
                .remove(QRegularExpression("AT_FDCWD, |, RENAME_\\w+|\"|,"))
                .replace(folder + "/." + output + ".zukaro-", "temp-")
                .replace(" ." + output + ".zukaro-", " temp-")
                .replace(QRegularExpression("temp-[0-9a-f]{8}"), "temp")
                .replace(folder + '/', "");
            calls << said;
        }
        QCOMPARE(calls.join(" → "),
                 "fsync temp → rename folder/ temp folder/ " + output + " → fsync folder/");
        QCOMPARE(QDir(folder).entryList(kAll), QStringList{output});
        QVERIFY(QDir(folder).removeRecursively());
    }

    // A printer that prints 1.2 mm right and 0.8 mm high, 0.3 % wide and 0.2 % short: the PDF
    // as it would reach it sends each label corner that must land at p to (p − offset) / scale.
    // Label 1's corner (2.7, 12.6) goes to (1.5 / 1.003, 13.4 / 0.998) = (1.49551, 13.42685),
    // label 21's (134.9, 241.2) to (133.7 / 1.003, 242.0 / 0.998) = (133.30010, 242.48497).
    // Everything on a label moves with its corner and keeps its size; the bars stay whole
    // device pixels.
    void calibratedPdf_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("ean13Module");  // pixels: 55 mm over 113 or 85 modules, floored
        QTest::addColumn<int>("ean8Module");
        QTest::newRow("300 dpi") << 300 << 5 << 7;  // 649.7 px: 5.7 and 7.6 per module
        QTest::newRow("600 dpi") << 600 << 11 << 15;
    }

    void calibratedPdf() {
        QFETCH(int, dpi);
        QFETCH(int, ean13Module);
        QFETCH(int, ean8Module);
        QProcessEnvironment env = env_;
        env.insert("XDG_CONFIG_HOME", calibratedConfig());
        const QString plain = temp(QString("plain%1.pdf").arg(dpi));
        const QString calibrated = temp(QString("calibrated%1.pdf").arg(dpi));
        const QString dpiText = QString::number(dpi);
        auto run = fixture::runZukaro({"--print-pdf", kSheetFile, plain, "--dpi", dpiText}, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        run = fixture::runZukaro({"--print-pdf", kSheetFile, calibrated, "--dpi", dpiText,
                                  "--calibrated-for", "Label-Printer"},
                                 env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const QList<printed::Word> before = printed::pdfWords(plain);
        const QList<printed::Word> after = printed::pdfWords(calibrated);
        const auto corner = [](int n) {
            const std::map<int, SheetOrigin> byHand{{1, {1.4955134596, 13.4268537074}},
                                                    {21, {133.3000997009, 242.4849699399}}};
            const SheetOrigin p{2.7 + (n - 1) % 3 * 66.1, 12.6 + (n - 1) / 3 * 38.1};
            return byHand.count(n) ? byHand.at(n)
                                   : SheetOrigin{(p.x - 1.2) / 1.003, (p.y + 0.8) / 0.998};
        };
        QStringList misplaced;
        for (int n = 1; n <= kLabelCount; ++n) {
            const SheetOrigin moved{corner(n).x - printed::labelLeft(sheet_, n),
                                    corner(n).y - printed::labelTop(sheet_, n)};
            for (const printed::Word& e : printed::expectedWords(sheet_, n)) {
                const printed::Word was = printed::nearestWord(before, e).first;
                const printed::Word is =
                    printed::nearestWord(after, {e.text, e.x + moved.x, e.y + moved.y}).first;
                if (std::abs(is.x - was.x - moved.x) > 0.01 ||
                    std::abs(is.y - was.y - moved.y) > 0.01 ||
                    std::abs((is.bottom - is.y) - (was.bottom - was.y)) > 0.01) {
                    misplaced << QString("label %1 %2: moved %3, %4 mm, %5 mm high (was %6)")
                                     .arg(n)
                                     .arg(e.text)
                                     .arg(is.x - was.x)
                                     .arg(is.y - was.y)
                                     .arg(is.bottom - is.y)
                                     .arg(was.bottom - was.y);
                }
            }
        }
        QCOMPARE(misplaced, QStringList());

        const QString png = temp(QString("calibrated%1.png").arg(dpi));
        const QImage page = printed::rasterise(calibrated, dpi, png);
        QCOMPARE(printed::zbarCodes(png), printed::expectedZbarCodes(sheet_));
        for (int n = 1; n <= kLabelCount; ++n) {
            const int module = sheet_.janText[n].size() == 8 ? ean8Module : ean13Module;
            const QString fault = printed::checkModules(page, sheet_, n, dpi, module, corner(n));
            QVERIFY2(fault.isEmpty(), qPrintable(QString("label %1: ").arg(n) + fault));
        }
    }

    // The calibration sheet: each half of a scale says which way the cross went, so the word
    // where the label's edge crosses it is the reading. Its check sheet is printed as the
    // printer's sheets are.
    void calibrationSheet() {
        QProcessEnvironment env = env_;
        env.insert("XDG_CONFIG_HOME", calibratedConfig());
        const QString sheet = temp("calibration.pdf");
        const QString check = temp("check.pdf");
        auto run = fixture::runZukaro({"--calibration-sheet", sheet}, env);
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
        run = fixture::runZukaro(
            {"--calibration-sheet", check, "--calibrated-for", "Label-Printer"}, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<printed::Word> words = printed::pdfWords(sheet);
        const auto find = [](const QList<printed::Word>& in, const QString& text, double x,
                             double y) {
            return printed::nearestWord(in, {text, x, y});
        };
        QVERIFY(find(words, "調整用", 0, 0).second < 300);
        QVERIFY(find(words, "PDF", 0, 0).second < 300);  // the printer it was made for
        QVERIFY(find(printed::pdfWords(check), "確認用", 0, 0).second < 300);
        // The crosses at the corners of label 1 (2.7, 12.6) and label 21 (134.9, 241.2); the
        // scale across runs 11 mm below, the one down 11 mm right. The words stand half a
        // scale from the cross (their centres; the text box starts about 1.4 mm earlier). At
        // label 1, 2.7 mm from the paper's edge, the 「右」 half ends on the paper (the stock's
        // edge cannot lie beyond it), its word smaller, between the edge and the cross.
        for (const auto& [x, y] : {std::pair{2.7, 12.6}, std::pair{134.9, 241.2}}) {
            const printed::Word right = find(words, "右", x - 4, y + 15).first;
            const printed::Word left = find(words, "左", x + 4, y + 15).first;
            const printed::Word down = find(words, "下", x + 16, y - 4).first;
            const printed::Word up = find(words, "上", x + 16, y + 4).first;
            const bool atTheEdge = x < 4;
            QVERIFY2(
                right.x >= 0 && right.right < x && left.x > x + 2 &&
                    (atTheEdge || (right.x < x - 3 && std::abs(right.y - left.y) < 0.01)),
                qPrintable(
                    QString("右 at %1 to %2, 左 at %3").arg(right.x).arg(right.right).arg(left.x)));
            QVERIFY2(down.y < y - 3 && up.y > y + 2 && std::abs(down.x - up.x) < 0.01,
                     qPrintable(QString("下 at %1, 上 at %2").arg(down.y).arg(up.y)));
            // The 2 mm marks of the scale across, either side of the cross (a digit's box
            // starts 0.45 mm left of its centre).
            const printed::Word twoRight = find(words, "2", x - 2, y + 12).first;
            const printed::Word twoLeft = find(words, "2", x + 2, y + 12).first;
            QVERIFY2(std::abs((twoRight.x + twoLeft.x) / 2 - (x - 0.45)) < 0.05 &&
                         std::abs(twoLeft.x - twoRight.x - 4) < 0.01,
                     qPrintable(QString("2 at %1 and %2").arg(twoRight.x).arg(twoLeft.x)));
        }
        for (const printed::Word& w : words) {
            QVERIFY2(w.x >= 0 && w.right <= 210, qPrintable(w.text + QString(" at %1").arg(w.x)));
        }
        // On the check sheet the cross of label 1 is where the printer's labels are sent.
        const printed::Word left = find(words, "左", 5.3, 26.2).first;
        const printed::Word moved = find(printed::pdfWords(check), "左", 4.1, 27).first;
        QVERIFY2(std::abs(moved.x - left.x - (1.4955134596 - 2.7)) < 0.01 &&
                     std::abs(moved.y - left.y - (13.4268537074 - 12.6)) < 0.01,
                 qPrintable(QString("moved %1, %2").arg(moved.x - left.x).arg(moved.y - left.y)));
    }

    // Failures exit non-zero and change no file. What is said must match, on stdout when the
    // run succeeds and else on stderr, the work folder shown as W/ and the fixtures' as D/.
    void runsChangeNoFile_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");  // a pattern
        const QString w = temp("work/");
        const auto row = [](const char* name, const QStringList& args, int code, const char* says) {
            QTest::newRow(name) << args << code << QString(says);
        };
        row("--help", {"--help"}, 0, "--printer");
        row("--version", {"--version"}, 0, "^zukaro " ZUKARO_VERSION "\n$");
        row("header wrong", {"--print-pdf", DATAFILE_FIXTURES "/header_wrong.csv", w + "older.pdf"},
            1, "^zukaro: 「D/header_wrong.csv」はズカロ形式のデータではありません。");
        // A file that cannot be read is not called a file of the wrong format.
        row("missing file", {"--print", w + "missing.csv"}, 1,
            "^zukaro: 「W/missing.csv」が見つかりません。\n$");
        row("links in a circle", {"--print-pdf", w + "loop1.csv", w + "older.pdf"}, 1,
            "「W/loop1.csv」を開けません（シンボリックリンクが循環しています）。");
        row("output is a named pipe", {"--print-pdf", kSheetFile, w + "pipe.pdf"}, 1,
            "「W/pipe.pdf」に保存できませんでした。そこにあるのは名前付きパイプで、"
            "普通のファイルではありません。上書きしません。");
        // Run by an administrator, the link is not followed: the older PDF it points at stays.
        row("as root: another user's link in a sticky folder",
            {"--print-pdf", kSheetFile, w + "shared/sheet.pdf"}, 1,
            "^zukaro: 「W/shared/sheet.pdf」に保存できませんでした。「W/shared/sheet.pdf」は、"
            "だれでも書き込めるフォルダ「W/shared」に置かれた、ほかのユーザー（nobody）の"
            "シンボリックリンクです。リンクの先のファイルを書き換えることになるため、たどりません。"
            "\n$");
        // Standard output, for a pipeline into lp or a web server.
        row("PDF to standard output", {"--print-pdf", kSheetFile, "-"}, 0, "^%PDF-1.4.*%%EOF\n?$");
        row("PNG to standard output", {"--preview-png", kSheetFile, "-"}, 0, "^.PNG\r\n");
        row("list missing", {"--print-list", w + "no.csv", w + "l.pdf"}, 1,
            "「W/no.csv」が見つかりません。");
        // No blank page for a list that gives no label: each row said, then why nothing is
        // printed (a code alone the master does not know, too).
        row("list without a label", {"--print-list", w + "nothing.csv", w + "l.pdf"}, 1,
            "^zukaro: W/nothing.csv: 2 行目: 枚数が 0 のため、印刷しません。\n"
            "zukaro: W/nothing.csv: 3 行目: JAN コード「4901234567894」は商品マスタ「[^」]*」に"
            "ありません（品名も売価もわかりません）。\n"
            "zukaro: W/nothing.csv: 3 行目: 品名が空のため、.*\n"
            "zukaro: W/nothing.csv: 印刷するラベルがありません。\n$");
        row("no output folder", {"--print-pdf", kSheetFile, w + "no/s.pdf"}, 1,
            "「W/no/s.pdf」に保存できませんでした。保存先のフォルダがありません。");
        row("no such printer", {"--print", kSheetFile, "--printer", "nosuch"}, 1,
            "プリンター「nosuch」が見つかりません。\n  使えるプリンターがありません。");
        row("no default printer", {"--print", kSheetFile}, 1,
            "いつも使うプリンターが決まっていません");
        // A misspelt printer must not give a PDF that looks checked.
        row("no calibration kept",
            {"--print-pdf", kSheetFile, w + "older.pdf", "--calibrated-for", "Label-Printr"}, 1,
            "プリンター「Label-Printr」の印刷位置の調整は保存されていません。\n"
            "  調整が保存されたプリンターはありません。");
        // Writing the PDF over the label file would lose every label typed into it; so would
        // writing it over another name of the same file.
        row("output is the label file", {"--print-pdf", w + "sheet.csv", w + "sheet.csv"}, 2,
            "^zukaro: 書き出すファイル「W/sheet.csv」は開くファイル「W/sheet.csv」と同じファイル"
            "です。データが消えてしまうため、別のファイルを指定してください。\n\n使い方:\n");
        row("PDF over a hard link of the label file",
            {"--print-pdf", w + "older.pdf", w + "sheet.csv", w + "linked.pdf"}, 2,
            "^zukaro: 書き出すファイル「W/linked.pdf」は開くファイル「W/sheet.csv」と同じファイル"
            "です（リンクで同じものを指しています）。");
        row("PNG over a hard link of the label file",
            {"--preview-png", w + "sheet.csv", w + "linked.png"}, 2,
            "「W/linked.png」は開くファイル「W/sheet.csv」と同じファイルです（リンク");
        row("list PDF over a hard link of the list",
            {"--print-list", w + "list.csv", w + "list-linked.pdf"}, 2,
            "「W/list-linked.pdf」は開くファイル「W/list.csv」と同じファイルです（リンク");
        // Refused before any work: no page is laid out.
        row("more labels than one job", {"--print-list", w + "huge.csv", w + "huge.pdf"}, 1,
            "^zukaro: W/huge.csv: 印刷するラベルが 100,899 枚あります。一度に印刷できるのは "
            "100,000 枚までです。リストを分けるか、枚数を減らしてください。\n$");
        // What the arguments quote is escaped as a file's cells are: nothing on stderr drives
        // the terminal, whichever message it comes in.
        const auto escaped = [](const char* name, const QStringList& args, const QString& says) {
            QTest::newRow(name) << args << 2 << QRegularExpression::escape(says);
        };
        escaped("an unknown option",
                {"--print-pdf", kSheetFile, w + "o.pdf", "--x\x1B]0;owned\x07"},
                "zukaro: 「--x\\x1B]0;owned\\x07」というオプションはありません。\n");
        escaped("a zoom", {"--preview-png", kSheetFile, w + "p.png", "--zoom", "\x1B[2J"},
                "（「\\x1B[2J」は使えません）");
        escaped("a resolution", {"--print-pdf", kSheetFile, w + "o.pdf", "--dpi", "6\x1B[8m00"},
                "（「6\\x1B[8m00」は使えません）");
        escaped(
            "a start",
            {"--print-list", w + "list.csv", w + "l.pdf", "--start", QChar(0x9B) + QString("31m1")},
            "（「\\u009B31m1」は使えません）");
        escaped("names of the same file", {"--print-pdf", w + "a\x1B[1m.csv", w + "a\x1B[1m.csv"},
                "「W/a\\x1B[1m.csv」は開くファイル「W/a\\x1B[1m.csv」と同じファイルです。");
        escaped("a value for an option that takes none", {"--print-pdf=x", kSheetFile, w + "o.pdf"},
                "zukaro: --print-pdf には値を付けられません（「--print-pdf=x」）。\n");
        escaped("a day", {"--print-pdf", kSheetFile, w + "o.pdf", "--as-of", "2026\x1B[2J"},
                "（「2026\\x1B[2J」は使えません）。");
        escaped("a rate change's class", {"--tax-rate-from", "\x1B[2J", "0", "2026-10-01"},
                "（「\\x1B[2J」は使えません。");
        row("as of a day that is none",
            {"--print-pdf", kSheetFile, w + "o.pdf", "--as-of", "2026-02-29"}, 2,
            "^zukaro: --as-of には印刷する日を 2026-12-14 のように \\(年-月-日\\) 指定してください"
            "（「2026-02-29」は使えません）。\n");
    }

    void runsChangeNoFile() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        if (QString(QTest::currentDataTag()).startsWith("as root") && ::geteuid() != 0) {
            QSKIP("planting a link as another user needs root (CI runs as root)");
        }
        const QByteArray before = snapshot(temp("work"));
        auto run = zukaro(args);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(exitCode == 0 ? fixture::withoutOverprintNotes(run.err) : run.out, QString());
        QString& said = (exitCode == 0 ? run.out : run.err)
                            .replace(temp("work/"), "W/")
                            .replace(DATAFILE_FIXTURES "/", "D/");
        QVERIFY2(
            said.contains(QRegularExpression(says, QRegularExpression::DotMatchesEverythingOption)),
            qPrintable(said));
        QCOMPARE(snapshot(temp("work")), before);
        static const QRegularExpression control(
            QStringLiteral("[\\x00-\\x09\\x0B-\\x1F\\x7F-\\x9F]"));
        QVERIFY2(!run.err.contains(control), qPrintable(run.err));
    }

    // Standard output closed by the script ("- >&-"): nothing to write the PDF or PNG to, and
    // whatever the program opens must not take its place. Said as such, not as an error number.
    void closedStandardOutput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("PDF") << QStringList{"--print-pdf", kSheetFile, "-"};
        QTest::newRow("PNG") << QStringList{"--preview-png", kSheetFile, "-"};
        QTest::newRow("list") << QStringList{"--print-list", temp("pos.csv"), "-"};
    }

    void closedStandardOutput() {
        QFETCH(QStringList, args);
        QProcess p;
        p.setProcessEnvironment(env_);
        p.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
        p.start(ZUKARO_BINARY, args);
        QVERIFY(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(fixture::withoutOverprintNotes(QString::fromUtf8(p.readAllStandardError()))
                     .split('\n', Qt::SkipEmptyParts)
                     .last(),
                 "zukaro: 標準出力が閉じられているため、書き出せません。出力を「-」にするときは、"
                 "標準出力をファイルかパイプにつないでください。");
    }

    // A computer whose memory runs out while a long list is read (here: an address space of
    // 200 MB for a 45 MB list): said in Japanese, the library's words after them, exit 1, no
    // PDF, instead of the C++ library's abort.
    void memoryRunsOut() {
        QFile list(temp("long.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("JAN,品名,売価\n");
        for (int i = 0; i < 600000; ++i) {
            list.write(QString("%1,ポテトチップス うすしお味 徳用大袋 %2,%3\n")
                           .arg(4900000000000LL + i * 10LL)
                           .arg(i)
                           .arg(100 + i % 900)
                           .toUtf8());
        }
        list.close();
        QProcess p;
        p.setProcessEnvironment(env_);
        p.setChildProcessModifier([] {
            const rlimit limit{200'000'000, 200'000'000};
            ::setrlimit(RLIMIT_AS, &limit);
        });
        p.start(ZUKARO_BINARY, {"--print-list", list.fileName(), temp("long.pdf")});
        QVERIFY(p.waitForFinished(60000));
        QFile::remove(list.fileName());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 "zukaro: メモリが足りなくなったため、やめました。ほかのプログラムを閉じるか、"
                 "リストを分けてください。原文: std::bad_alloc\n");
        QVERIFY(!QFile::exists(temp("long.pdf")));
    }

    // A POS export of a million rows whose copies do not read: the first hundred are told,
    // then how many more; the run fails for want of labels.
    void millionSkippedRowsBoundedStderr() {
        QFile list(temp("million.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("JAN,品名,枚数\n");
        const QByteArray row = "4901234567894,ポテトチップス,x\n";
        list.write(row.repeated(1'000'000));
        list.close();
        auto run = zukaro({"--print-list", list.fileName(), temp("million.pdf")});
        QFile::remove(list.fileName());
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.err.remove(dir_.path() + '/').split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 102);
        QCOMPARE(lines.at(0),
                 "zukaro: million.csv: 2 行目: 枚数「x」は 0〜999 の整数ではありません。"
                 "この行は読み込みませんでした。");
        QVERIFY2(lines.at(99).startsWith("zukaro: million.csv: 101 行目: "),
                 qPrintable(lines.at(99)));
        QCOMPARE(lines.at(100), "zukaro: ほか 999,900 行（最初の 100 行だけを書き出しました）");
        QCOMPARE(lines.at(101), "zukaro: million.csv: 印刷するラベルがありません。");
        QVERIFY(!QFile::exists(temp("million.pdf")));
    }

    // Stopped while the PDF is being written (kill, Ctrl+C, the terminal closed): the hidden
    // file beside the output goes too, and the program still ends by the signal.
    void stoppedRunLeavesNoTemporaryFile_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void stoppedRunLeavesNoTemporaryFile() {
        QFETCH(int, signalNumber);
        const QString folder = temp(QString("stopped-") + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        // 2,000 pages: seconds of work, so that the signal comes while the PDF is written.
        QStringList args{"--print-pdf"};
        for (int i = 0; i < 2000; ++i) {
            args << kSheetFile;
        }
        QProcess p;
        p.setProcessEnvironment(env_);
        // As from a terminal, whatever the test runner ignores.
        p.setChildProcessModifier([] {
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGHUP, SIG_DFL);
        });
        p.start(ZUKARO_BINARY, args << folder + "/sheets.pdf");
        QVERIFY(QTest::qWaitFor([&] { return !QDir(folder).entryList(kAll).isEmpty(); }, 30000));
        const QStringList writing = QDir(folder).entryList(kAll);
        QCOMPARE(::kill(static_cast<pid_t>(p.processId()), signalNumber), 0);
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(writing.size() == 1 && writing.first().startsWith(".sheets.pdf.zukaro-"),
                 qPrintable(writing.join(' ')));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(folder).entryList(kAll), QStringList());
    }

    // A name of 250 bytes (the most most file systems allow is 255): its hidden temporary file
    // is cut to fit, never in the middle of a character, and the PDF takes the whole name.
    void outputNameOf250Bytes() {
        const QString name = QString("棚札").repeated(41) + ".pdf";
        QCOMPARE(name.toUtf8().size(), 250);
        QVERIFY(QDir().mkpath(temp("long")));
        const auto run = zukaro({"--print-pdf", kSheetFile, temp("long/" + name)});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(QDir(temp("long")).entryList(kAll), QStringList{name});
        QCOMPARE(printed::pageCount(temp("long/" + name)), 1);
    }

    // A PDF cut short by the file-size limit of the shell (ulimit -f) names the file and why,
    // and leaves neither it nor its temporary file.
    void fileSizeLimitNamed() {
        QVERIFY(QDir().mkpath(temp("limited")));
        fixture::Run run;
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start("sh", {"-c", "ulimit -f 20 && exec \"$0\" \"$@\"", ZUKARO_BINARY, "--print-pdf",
                       kSheetFile, temp("limited/sheet.pdf")});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError()).remove(dir_.path() + '/');
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.startsWith("zukaro: PDF ファイル「limited/sheet.pdf」を書き終えられません"
                                "でした（ファイルの大きさの上限 10,240 バイトに達しました）。\n"),
                 qPrintable(err));
        QCOMPARE(QDir(temp("limited")).entryList(kAll), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
