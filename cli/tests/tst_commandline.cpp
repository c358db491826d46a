// Every form of the arguments with its defaults, and usage errors that name the problem.
#include <QTest>

#include "CommandLine.h"

using namespace zukaro;

namespace {

void row(const char* name, const QStringList& args, const char* expected) {
    QTest::newRow(name) << args << QString::fromUtf8(expected);
}

QString described(const CommandLine& c) {
    static const char* const modes[] = {"window", "pdf",  "png",  "print", "list",   "sheet",
                                        "import", "copy", "rate", "help",  "version"};
    if (c.mode == CommandLine::Mode::UsageError) {
        return c.error;
    }
    return QStringLiteral("%1 %2 %3 %4 %5 %6%7%8%9%10")
               .arg(QLatin1String(modes[int(c.mode)]), c.files.join(u'+'), c.output,
                    QString::number(c.dpi), QString::number(c.zoomPercent), c.printer,
                    c.start == 1 ? QString() : QStringLiteral(" start %1").arg(c.start),
                    c.calibratedFor.isEmpty() ? QString() : " for " + c.calibratedFor,
                    QString(c.changedOnly ? " changed-only" : "") +
                        (c.recordPrinted ? " record-printed" : "") +
                        (c.replaceNewer ? " replace-newer" : ""),
                    c.master.isEmpty() ? QString() : " master " + c.master) +
           (c.asOf.isNull() ? QString() : " as of " + c.asOf.toString(Qt::ISODate)) +
           (c.mode == CommandLine::Mode::TaxRateFrom
                ? QStringLiteral(" class %1 %2% from %3")
                      .arg(int(c.rateChange.taxClass))
                      .arg(c.rateChange.ratePercent)
                      .arg(c.rateChange.from.toString(Qt::ISODate))
                : QString());
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        // "mode file output dpi zoom printer", or part of the error
        QTest::addColumn<QString>("expected");
        row("nothing: the start screen", {}, "window   600 50 ");
        row("a file: the editor", {"棚札.csv"}, "window 棚札.csv  600 50 ");
        row("pdf, 600 dpi by default", {"--print-pdf", "a", "b"}, "pdf a b 600 50 ");
        row("single dashes, 72 dpi", {"-print-pdf", "a", "b", "-dpi", "72"}, "pdf a b 72 50 ");
        row("png, 50 % by default", {"--preview-png", "a", "b"}, "png a b 600 50 ");
        row("png at 100 %", {"--preview-png", "a", "b", "--zoom", "100"}, "png a b 600 100 ");
        row("print, default printer", {"--print", "a"}, "print a  600 50 ");
        row("print, named printer", {"--print", "a", "--printer", "店頭"}, "print a  600 50 店頭");
        row("-h wins over a command", {"--print-pdf", "a", "b", "-h"}, "help   600 50 ");
        row("--version", {"--version"}, "version   600 50 ");
        row("after --, a file like an option", {"--print", "--", "--x"}, "print --x  600 50 ");
        row("pdf of three label files", {"--print-pdf", "a", "b", "c", "o"}, "pdf a+b+c o 600 50 ");
        row("list to a pdf", {"--print-list", "l.csv", "o.pdf", "--start", "5", "--dpi", "300"},
            "list l.csv o.pdf 300 50  start 5");
        row("list to a printer", {"--print-list", "l.xlsx", "--printer", "店頭"},
            "list l.xlsx  600 50 店頭");
        row("this week's changes, recorded",
            {"--print-list", "l.csv", "o.pdf", "--changed-only", "--record-printed"},
            "list l.csv o.pdf 600 50  changed-only record-printed");
        row("changes to a printer", {"--print-list", "l.csv", "--printer", "p", "--changed-only"},
            "list l.csv  600 50 p changed-only");
        row("changes against a chain's master",
            {"--print-list", "l.csv", "o.pdf", "--changed-only", "--master", "postgresql:///z"},
            "list l.csv o.pdf 600 50  changed-only master postgresql:///z");
        row("next week's sale labels",
            {"--print-list", "l.csv", "o.pdf", "--changed-only", "--as-of", "2026-12-14"},
            "list l.csv o.pdf 600 50  changed-only as of 2026-12-14");
        row("a leap day", {"--print-list", "l.csv", "--printer", "p", "--as-of=2028-02-29"},
            "list l.csv  600 50 p as of 2028-02-29");
        row("pdf as a printer would get it",
            {"--print-pdf", "a", "o", "--calibrated-for", "Label-Printer"},
            "pdf a o 600 50  for Label-Printer");
        row("calibration sheet", {"--calibration-sheet", "s.pdf", "--dpi", "300"},
            "sheet  s.pdf 300 50 ");
        row("check sheet", {"--calibration-sheet", "s.pdf", "--calibrated-for", "店頭"},
            "sheet  s.pdf 600 50  for 店頭");
        row("a list into the master", {"--import-list", "週.csv"}, "import 週.csv  600 50 ");
        row("a list into a chain's master",
            {"--import-list", "週.csv", "--master", " postgresql://本部@db/zukaro "},
            "import 週.csv  600 50  master postgresql://本部@db/zukaro");
        row("an older list's prices taken", {"--import-list", "週.csv", "--replace-newer"},
            "import 週.csv  600 50  replace-newer");
        row("a shop's master copied", {"--master-import-from", "p.sqlite"},
            "copy p.sqlite  600 50 ");
        row("the window on a chain's master", {"--master", "postgresql:///zukaro"},
            "window   600 50  master postgresql:///zukaro");

        // The day printed for, as registers and clerks write it; a rate change by a script.
        row("pdf for a day", {"--print-pdf", "a", "b", "--as-of", "2026-12-08"},
            "pdf a b 600 50  as of 2026-12-08");
        row("png for a day", {"--preview-png", "a", "b", "--as-of", "2026-12-08"},
            "png a b 600 50  as of 2026-12-08");
        row("print for a day", {"--print", "a", "--as-of=2026-12-15"},
            "print a  600 50  as of 2026-12-15");
        row("軽減 to 0 % from a day", {"--tax-rate-from", "軽減", "0", "2026-10-01"},
            "rate   600 50  class 1 0% from 2026-10-01");
        row("標準 12 % with its sign", {"--tax-rate-from", "標準", "12%", "2028/4/1"},
            "rate   600 50  class 0 12% from 2028-04-01");
        row("as of a word", {"--print-pdf", "a", "b", "--as-of", "来週"},
            "（「来週」は使えません）");
        row("as of eight digits", {"--print", "a", "--as-of=20261215"},
            "（「20261215」は使えません）");
        row("rate change of 非課税", {"--tax-rate-from", "非課税", "5", "2026-10-01"},
            "税率区分は「標準」か「軽減」です（「非課税」は使えません");
        row("rate change of 8.5 %", {"--tax-rate-from", "軽減", "8.5", "2026-10-01"},
            "0 から 100 までの整数を指定してください（「8.5」は使えません）");
        row("rate change of 101 %", {"--tax-rate-from", "標準", "101", "2026-10-01"},
            "（「101」は使えません）");
        row("rate change without a day", {"--tax-rate-from", "軽減", "0"}, "の三つを指定して");
        row("rate change on no day", {"--tax-rate-from", "軽減", "0", "2026-13-01"},
            "適用開始日「2026-13-01」は日付として読めません");
        row("rate change and a pdf", {"--tax-rate-from", "--print-pdf", "a", "b", "c"}, "一つだけ");

        row("unknown option", {"--print-png", "a", "b"}, "「--print-png」というオプション");
        row("a value for an option without one", {"--print-pdf=x", "a", "b"},
            "--print-pdf には値を付けられません（「--print-pdf=x」）。");
        row("a value for a single-dash option without one", {"-print-list=l", "o.pdf"},
            "-print-list には値を付けられません（「-print-list=l」）。");
        row("master for a pdf", {"--print-pdf", "a", "b", "--master", "m"},
            "--master は --import-list、--master-import-from か --print-list (または画面を開く"
            "とき) と");
        row("master without value", {"--import-list", "l", "--master"}, "--master の後に値");
        row("master empty", {"--import-list", "l", "--master", " "}, "商品マスタの接続先");
        row("import without a list", {"--import-list"}, "商品リストを一つだけ");
        row("older prices for a print", {"--print-list", "l", "o", "--replace-newer"},
            "--replace-newer は --import-list と一緒に使います。");
        row("copy of two files", {"--master-import-from", "a", "b"}, "ファイルを一つだけ");
        row("import and print", {"--import-list", "l", "--print", "a"}, "一つだけ");
        row("two commands", {"--print-pdf", "--print", "a", "b"}, "一つだけ");
        row("pdf without output", {"--print-pdf", "a"}, "書き出す PDF ファイル");
        row("list without output", {"--print-list", "l"}, "--printer");
        row("list to a pdf and a printer", {"--print-list", "l", "o", "--printer", "p"},
            "一つだけ");
        row("start 22", {"--print-list", "l", "o", "--start", "22"}, "1 から 21");
        row("start for a pdf", {"--print-pdf", "a", "b", "--start", "2"}, "--print-list");
        row("changes of a label file", {"--print-pdf", "a", "b", "--changed-only"},
            "--changed-only は --print-list と");
        row("recording a label file", {"--print", "a", "--record-printed"},
            "--record-printed は --print-list と");
        row("two files for the window", {"a", "b"}, "一つだけ");
        // The day printed for is a day of the calendar, written as the examples are.
        const char* notADay = "--as-of には印刷する日を 2026-12-14 のように (年-月-日) 指定して";
        row("as of a day no calendar has", {"--print-list", "l", "o", "--as-of", "2026-02-29"},
            notADay);
        row("as of a day in a register's spelling",
            {"--print-list", "l", "o", "--as-of", "2026/12/14"}, notADay);
        row("as of a short day", {"--print-list", "l", "o", "--as-of", "2026-12-4"}, notADay);
        row("as of, empty", {"--print-list", "l", "o", "--as-of", ""}, notADay);
        row("as of without value", {"--print-list", "l", "o", "--as-of"}, "--as-of の後に値");
        row("as of for a master import", {"--import-list", "l", "--as-of", "2026-12-14"},
            "--as-of は --print-pdf、--preview-png、--print か --print-list と一緒に使います。");
        row("empty file name", {"--print", ""}, "名前が空");
        row("dpi 71", {"--print-pdf", "a", "b", "--dpi", "71"}, "72 から 2400");
        row("dpi without value", {"--print-pdf", "a", "b", "--dpi"}, "--dpi の後に値");
        row("dpi for a png", {"--preview-png", "a", "b", "--dpi", "1"},
            "--dpi は --print-pdf、--print-list か --calibration-sheet と");
        // A printer prints with its own calibration, a PDF with the one asked for.
        row("calibrated for, to a printer", {"--print", "a", "--calibrated-for", "p"},
            "--calibrated-for は --print-pdf、--print-list か --calibration-sheet と");
        row("calibrated for, list to a printer",
            {"--print-list", "l", "--printer", "p", "--calibrated-for", "q"},
            "--printer で印刷するときは、そのプリンターの調整");
        row("calibration sheet without output", {"--calibration-sheet"}, "一つだけ");
        row("calibrated for nobody", {"--print-pdf", "a", "b", "--calibrated-for", ""},
            "プリンターの名前");
        row("zoom 75", {"--preview-png", "a", "b", "--zoom", "75"}, "50 か 100");
        row("empty printer name", {"--print", "a", "--printer", ""}, "プリンターの名前");
    }

    void parse() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const CommandLine command = parseCommandLine(QStringList{"zukaro"} + args);
        const QString got = described(command);
        QVERIFY2(command.mode == CommandLine::Mode::UsageError ? got.contains(expected)
                                                               : got == expected,
                 qPrintable(got));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
