// The arguments of the command line: every form, its defaults, and what is refused as a
// usage error (with a message that names the problem).
#include <QTemporaryDir>
#include <QTest>

#include "CommandLine.h"

using namespace zukaro;
using Mode = CommandLine::Mode;

Q_DECLARE_METATYPE(CommandLine::Mode)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void forms_data();
    void forms();
    void usageErrors_data();
    void usageErrors();
    void hiddenWindowFlags();
    void outputThatIsTheInputFileIsRefused();
};

void TestCommandLine::forms_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("printer");

    QTest::newRow("nothing: the start screen") << QStringList{} << Mode::Window << ""
                                               << "" << 600 << 50 << "";
    QTest::newRow("a file: the editor") << QStringList{"棚札.csv"} << Mode::Window << "棚札.csv"
                                        << "" << 600 << 50 << "";
    QTest::newRow("pdf, default 600 dpi")
        << QStringList{"--print-pdf", "a.csv", "a.pdf"} << Mode::PrintPdf << "a.csv"
        << "a.pdf" << 600 << 50 << "";
    QTest::newRow("pdf at 300 dpi")
        << QStringList{"--print-pdf", "a.csv", "a.pdf", "--dpi", "300"} << Mode::PrintPdf << "a.csv"
        << "a.pdf" << 300 << 50 << "";
    QTest::newRow("pdf, single-dash option")
        << QStringList{"-print-pdf", "a.csv", "a.pdf", "-dpi", "72"} << Mode::PrintPdf << "a.csv"
        << "a.pdf" << 72 << 50 << "";
    QTest::newRow("png, default 50 %")
        << QStringList{"--preview-png", "a.csv", "a.png"} << Mode::PreviewPng << "a.csv"
        << "a.png" << 600 << 50 << "";
    QTest::newRow("png at 100 %") << QStringList{"--preview-png", "a.csv", "a.png", "--zoom", "100"}
                                  << Mode::PreviewPng << "a.csv"
                                  << "a.png" << 600 << 100 << "";
    QTest::newRow("print on the default printer")
        << QStringList{"--print", "a.csv"} << Mode::Print << "a.csv"
        << "" << 600 << 50 << "";
    QTest::newRow("print on a named printer")
        << QStringList{"--print", "a.csv", "--printer", "店頭 A4"} << Mode::Print << "a.csv"
        << "" << 600 << 50 << "店頭 A4";
    QTest::newRow("--help") << QStringList{"--help"} << Mode::Help << ""
                            << "" << 600 << 50 << "";
    QTest::newRow("-h wins over a command")
        << QStringList{"--print-pdf", "a.csv", "a.pdf", "-h"} << Mode::Help << ""
        << "" << 600 << 50 << "";
    QTest::newRow("--version") << QStringList{"--version"} << Mode::Version << ""
                               << "" << 600 << 50 << "";
    QTest::newRow("a file named like an option, after --")
        << QStringList{"--print", "--", "--print.csv"} << Mode::Print << "--print.csv"
        << "" << 600 << 50 << "";
}

void TestCommandLine::forms() {
    QFETCH(QStringList, args);
    QFETCH(Mode, mode);
    args.prepend(QStringLiteral("zukaro"));
    const CommandLine command = parseCommandLine(args);
    QCOMPARE(command.error, QString());
    QCOMPARE(command.mode, mode);
    QTEST(command.file, "file");
    QTEST(command.output, "output");
    QTEST(command.dpi, "dpi");
    QTEST(command.zoomPercent, "zoom");
    QTEST(command.printer, "printer");
}

void TestCommandLine::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");

    QTest::newRow("unknown option") << QStringList{"--print-png", "a.csv", "a.png"}
                                    << "「--print-png」というオプションはありません。";
    QTest::newRow("two commands") << QStringList{"--print-pdf", "--print", "a.csv", "a.pdf"}
                                  << "一つだけ";
    QTest::newRow("pdf without output")
        << QStringList{"--print-pdf", "a.csv"} << "開くファイルと書き出す PDF ファイルの二つ";
    QTest::newRow("png without output")
        << QStringList{"--preview-png", "a.csv"} << "書き出す PNG ファイル";
    QTest::newRow("print with two files") << QStringList{"--print", "a.csv", "b.csv"} << "一つだけ";
    QTest::newRow("two files for the window") << QStringList{"a.csv", "b.csv"} << "一つだけ";
    QTest::newRow("empty file name") << QStringList{"--print", ""} << "名前が空";
    QTest::newRow("dpi not a number")
        << QStringList{"--print-pdf", "a.csv", "a.pdf", "--dpi", "600dpi"} << "「600dpi」";
    QTest::newRow("dpi too low") << QStringList{"--print-pdf", "a.csv", "a.pdf", "--dpi", "71"}
                                 << "72 から 2400";
    QTest::newRow("dpi without value")
        << QStringList{"--print-pdf", "a.csv", "a.pdf", "--dpi"} << "--dpi の後に値";
    QTest::newRow("dpi for a png") << QStringList{"--preview-png", "a.csv", "a.png", "--dpi", "300"}
                                   << "--dpi は --print-pdf と一緒に";
    QTest::newRow("zoom 75") << QStringList{"--preview-png", "a.csv", "a.png", "--zoom", "75"}
                             << "50 か 100";
    QTest::newRow("printer for the window")
        << QStringList{"a.csv", "--printer", "x"} << "--printer は --print と一緒に";
    QTest::newRow("empty printer name")
        << QStringList{"--print", "a.csv", "--printer", ""} << "プリンターの名前";
}

void TestCommandLine::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    args.prepend(QStringLiteral("zukaro"));
    const CommandLine command = parseCommandLine(args);
    QCOMPARE(command.mode, Mode::UsageError);
    QVERIFY2(command.error.contains(says), qPrintable(command.error));
}

void TestCommandLine::hiddenWindowFlags() {
    const QStringList flags{QStringLiteral("quit-when-shown")};
    const CommandLine given = parseCommandLine(
        {QStringLiteral("zukaro"), QStringLiteral("--quit-when-shown"), QStringLiteral("a.csv")},
        flags);
    QCOMPARE(given.mode, Mode::Window);
    QCOMPARE(given.windowFlags, flags);
    QCOMPARE(given.file, QStringLiteral("a.csv"));
    QCOMPARE(parseCommandLine({QStringLiteral("zukaro")}, flags).windowFlags, QStringList());
    // Unknown to a parser that was not told about it.
    QCOMPARE(parseCommandLine({QStringLiteral("zukaro"), QStringLiteral("--quit-when-shown")}).mode,
             Mode::UsageError);
}

void TestCommandLine::outputThatIsTheInputFileIsRefused() {
    // Writing the PDF over the label data would lose every label typed into it.
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("sheet.csv"));
    QFile file(sheet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(sheet, dir.filePath(QStringLiteral("link.pdf"))));
    for (const QString& out : {sheet, dir.filePath(QStringLiteral("./sheet.csv")),
                               dir.filePath(QStringLiteral("link.pdf"))}) {
        for (const char* mode : {"--print-pdf", "--preview-png"}) {
            const CommandLine command =
                parseCommandLine({QStringLiteral("zukaro"), QLatin1String(mode), sheet, out});
            QCOMPARE(command.mode, Mode::UsageError);
            QVERIFY2(command.error.contains(QStringLiteral("開くファイルと同じ")),
                     qPrintable(command.error));
        }
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
