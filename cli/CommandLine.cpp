#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "SheetState.h"

namespace zukaro {
namespace {

const QString kPrintPdf = QStringLiteral("print-pdf");
const QString kPreviewPng = QStringLiteral("preview-png");
const QString kPrint = QStringLiteral("print");
const QString kDpi = QStringLiteral("dpi");
const QString kZoom = QStringLiteral("zoom");
const QString kPrinter = QStringLiteral("printer");

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

CommandLine withMode(CommandLine::Mode mode) {
    CommandLine command;
    command.mode = mode;
    return command;
}

CommandLine usageError(const QString& error) {
    CommandLine command = withMode(CommandLine::Mode::UsageError);
    command.error = error;
    return command;
}

// The option whose value is missing: a value option given as the last argument.
QString optionWithoutValue(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return {};
    }
    QString last = arguments.last();
    while (last.startsWith(u'-')) {
        last.remove(0, 1);
    }
    for (const QString& name : {kDpi, kZoom, kPrinter}) {
        if (last == name) {
            return name;
        }
    }
    return {};
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists()) {
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    }
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

}  // namespace

QStringList argumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

CommandLine parseCommandLine(const QStringList& arguments, const QStringList& windowFlags) {
    QCommandLineParser parser;
    // "-dpi 300" means --dpi, as a user coming from other tools would expect.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption printPdf(kPrintPdf, {});
    const QCommandLineOption previewPng(kPreviewPng, {});
    const QCommandLineOption print(kPrint, {});
    const QCommandLineOption dpi(kDpi, {}, QStringLiteral("N"));
    const QCommandLineOption zoom(kZoom, {}, QStringLiteral("50|100"));
    const QCommandLineOption printer(kPrinter, {}, QStringLiteral("NAME"));
    parser.addOptions({help, version, printPdf, previewPng, print, dpi, zoom, printer});
    for (const QString& flag : windowFlags) {
        parser.addOption(QCommandLineOption(flag, {}));
    }

    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            return usageError(QStringLiteral("「%1」というオプションはありません。")
                                  .arg(dashed(parser.unknownOptionNames().first())));
        }
        const QString missing = optionWithoutValue(arguments);
        if (!missing.isEmpty()) {
            return usageError(
                QStringLiteral("%1 の後に値を指定してください。").arg(dashed(missing)));
        }
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        return withMode(CommandLine::Mode::Help);
    }
    if (parser.isSet(version)) {
        return withMode(CommandLine::Mode::Version);
    }

    const int modes =
        int(parser.isSet(printPdf)) + int(parser.isSet(previewPng)) + int(parser.isSet(print));
    if (modes > 1) {
        return usageError(QStringLiteral(
            "--print-pdf、--preview-png、--print のうち一つだけを指定してください。"));
    }
    CommandLine command;
    if (parser.isSet(printPdf)) {
        command.mode = CommandLine::Mode::PrintPdf;
    } else if (parser.isSet(previewPng)) {
        command.mode = CommandLine::Mode::PreviewPng;
    } else if (parser.isSet(print)) {
        command.mode = CommandLine::Mode::Print;
    }

    // Each value option belongs to one command.
    const struct {
        const QCommandLineOption& option;
        CommandLine::Mode mode;
        const QString& command;
    } owners[] = {{dpi, CommandLine::Mode::PrintPdf, kPrintPdf},
                  {zoom, CommandLine::Mode::PreviewPng, kPreviewPng},
                  {printer, CommandLine::Mode::Print, kPrint}};
    for (const auto& owner : owners) {
        if (parser.isSet(owner.option) && command.mode != owner.mode) {
            return usageError(QStringLiteral("%1 は --%2 と一緒に使います。")
                                  .arg(dashed(owner.option.names().first()), owner.command));
        }
    }

    const QStringList files = parser.positionalArguments();
    switch (command.mode) {
        case CommandLine::Mode::PrintPdf:
        case CommandLine::Mode::PreviewPng: {
            const bool pdf = command.mode == CommandLine::Mode::PrintPdf;
            if (files.size() != 2) {
                return usageError(
                    QStringLiteral("--%1 には、開くファイルと書き出す %2 ファイルの二つを"
                                   "指定してください。")
                        .arg(pdf ? kPrintPdf : kPreviewPng,
                             pdf ? QStringLiteral("PDF") : QStringLiteral("PNG")));
            }
            command.file = files.at(0);
            command.output = files.at(1);
            break;
        }
        case CommandLine::Mode::Print:
            if (files.size() != 1) {
                return usageError(
                    QStringLiteral("--print には、開くファイルを一つだけ指定してください。"));
            }
            command.file = files.at(0);
            break;
        default:
            if (files.size() > 1) {
                return usageError(QStringLiteral("開くファイルは一つだけ指定できます。"));
            }
            command.file = files.value(0);
            for (const QString& flag : windowFlags) {
                if (parser.isSet(flag)) {
                    command.windowFlags << flag;
                }
            }
            break;
    }
    if (command.mode != CommandLine::Mode::Window && command.file.isEmpty()) {
        return usageError(QStringLiteral("開くファイルの名前が空です。"));
    }
    if (!command.output.isEmpty() && command.output != QStringLiteral("-") &&
        sameFile(command.file, command.output)) {
        return usageError(
            QStringLiteral("書き出すファイル「%1」が開くファイルと同じです。"
                           "ラベルのデータが消えてしまうため、別の名前を指定してください。")
                .arg(command.output));
    }
    if ((command.mode == CommandLine::Mode::PrintPdf ||
         command.mode == CommandLine::Mode::PreviewPng) &&
        command.output.isEmpty()) {
        return usageError(QStringLiteral("書き出すファイルの名前が空です。"));
    }

    if (parser.isSet(dpi)) {
        bool ok = false;
        command.dpi = parser.value(dpi).toInt(&ok);
        if (!ok || command.dpi < kMinDpi || command.dpi > kMaxDpi) {
            return usageError(QStringLiteral("--dpi には %1 から %2 までの整数を指定してください"
                                             "（「%3」は使えません）。")
                                  .arg(kMinDpi)
                                  .arg(kMaxDpi)
                                  .arg(parser.value(dpi)));
        }
    }
    if (parser.isSet(zoom)) {
        const QString value = parser.value(zoom);
        if (value != QStringLiteral("50") && value != QStringLiteral("100")) {
            return usageError(
                QStringLiteral("--zoom には 50 か 100 を指定してください（「%1」は使えません）。")
                    .arg(value));
        }
        command.zoomPercent = value.toInt();
    }
    if (parser.isSet(printer)) {
        command.printer = parser.value(printer);
        if (command.printer.isEmpty()) {
            return usageError(QStringLiteral("--printer にはプリンターの名前を指定してください。"));
        }
    }
    return command;
}

QString usageText() {
    return QStringLiteral(
        "使い方:\n"
        "  zukaro [ファイル]\n"
        "  zukaro --print-pdf ファイル 出力.pdf [--dpi N]\n"
        "  zukaro --preview-png ファイル 出力.png [--zoom 50|100]\n"
        "  zukaro --print ファイル [--printer プリンター名]\n"
        "  zukaro --help | --version\n");
}

QString helpText() {
    return QStringLiteral(
               "ズカロ: 21 面 (3 列 × 7 段) の棚札・値札シートを作って印刷します。\n"
               "\n") +
           usageText() +
           QStringLiteral(
               "\n"
               "  ファイル               "
               "画面を開き、このラベルデータファイルを入力画面で開きます。\n"
               "  --print-pdf           ファイルを開き、シートを A4 の PDF に印刷します。\n"
               "                        用紙の左上隅が原点です (余白なし)。\n"
               "                        出力を - にすると標準出力に書き出します。\n"
               "  --dpi N               PDF の解像度 (72 から 2400、既定は 600)。\n"
               "                        バーコードはこの解像度の画素にそろえて描きます。\n"
               "  --preview-png         ファイルを開いたときのプレビューを、A4 全体の\n"
               "                        96 dpi の PNG (794 × 1123 画素) に保存します\n"
               "                        (- なら標準出力)。\n"
               "  --zoom 50|100         プレビューの倍率 (既定は 50)。\n"
               "  --print               ファイルを開き、シートをプリンターで印刷します\n"
               "                        (A4、ダイアログなし)。\n"
               "  --printer 名前        使うプリンター (既定は、いつも使うプリンター)。\n"
               "  -h, --help            この説明を表示します。\n"
               "  -v, --version         バージョンを表示します。\n"
               "\n"
               "レイアウトは、起動したときと同じく data.txt (なければ初期値) から始まり、\n"
               "ファイルに保存されたレイアウトで置き換えます。シートの位置は %1 mm / %2 mm "
               "です。\n"
               "画面がなくても動きます。\n"
               "\n"
               "終了コード: 0 成功、1 開けない・書き出せない・印刷できない、2 使い方の誤り。\n")
               .arg(kStartUpOrigin.x)
               .arg(kStartUpOrigin.y);
}

QString versionText() {
    return QStringLiteral("zukaro %1\n").arg(QStringLiteral(ZUKARO_VERSION));
}

}  // namespace zukaro
