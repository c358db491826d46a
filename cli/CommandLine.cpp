#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "ConsoleMessages.h"
#include "FilePlace.h"
#include "ListSheets.h"
#include "SheetState.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

const QString kPrintPdf = QStringLiteral("print-pdf");
const QString kPreviewPng = QStringLiteral("preview-png");
const QString kPrint = QStringLiteral("print");
const QString kPrintList = QStringLiteral("print-list");
const QString kDpi = QStringLiteral("dpi");
const QString kZoom = QStringLiteral("zoom");
const QString kPrinter = QStringLiteral("printer");
const QString kStart = QStringLiteral("start");
const QString kChangedOnly = QStringLiteral("changed-only");
const QString kRecordPrinted = QStringLiteral("record-printed");
const QString kCalibrationSheet = QStringLiteral("calibration-sheet");
const QString kCalibratedFor = QStringLiteral("calibrated-for");
const QString kMaster = QStringLiteral("master");
const QString kImportList = QStringLiteral("import-list");
const QString kReplaceNewer = QStringLiteral("replace-newer");
const QString kMasterImportFrom = QStringLiteral("master-import-from");
const QString kAsOf = QStringLiteral("as-of");
const QString kTaxRateFrom = QStringLiteral("tax-rate-from");

using Mode = CommandLine::Mode;

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

CommandLine withMode(Mode mode) {
    CommandLine command;
    command.mode = mode;
    return command;
}

CommandLine usageError(const QString& error) {
    CommandLine command = withMode(Mode::UsageError);
    command.error = error;
    return command;
}

// The options of every form.
struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")}};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}};
    QCommandLineOption printPdf{kPrintPdf};
    QCommandLineOption previewPng{kPreviewPng};
    QCommandLineOption print{kPrint};
    QCommandLineOption printList{kPrintList};
    QCommandLineOption dpi{kDpi, {}, QStringLiteral("N")};
    QCommandLineOption zoom{kZoom, {}, QStringLiteral("50|100")};
    QCommandLineOption printer{kPrinter, {}, QStringLiteral("NAME")};
    QCommandLineOption start{kStart, {}, QStringLiteral("N")};
    QCommandLineOption changedOnly{kChangedOnly};
    QCommandLineOption recordPrinted{kRecordPrinted};
    QCommandLineOption calibrationSheet{kCalibrationSheet};
    QCommandLineOption calibratedFor{kCalibratedFor, {}, QStringLiteral("NAME")};
    QCommandLineOption master{kMaster, {}, QStringLiteral("ADDRESS")};
    QCommandLineOption importList{kImportList};
    QCommandLineOption replaceNewer{kReplaceNewer};
    QCommandLineOption masterImportFrom{kMasterImportFrom};
    QCommandLineOption asOf{kAsOf, {}, QStringLiteral("YYYY-MM-DD")};
    QCommandLineOption taxRateFrom{kTaxRateFrom};
};

// The option whose value is missing: a value option given as the last argument.
QString optionWithoutValue(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return {};
    }
    QString last = arguments.last();
    while (last.startsWith(u'-')) {
        last.remove(0, 1);
    }
    for (const QString& name : {kDpi, kZoom, kPrinter, kStart, kCalibratedFor, kMaster, kAsOf}) {
        if (last == name) {
            return name;
        }
    }
    return {};
}

// The argument that gives a value to an option that takes none ("--print-pdf=x").
QString flagGivenAValue(const QStringList& arguments, const QList<QCommandLineOption>& flags) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == u"--") {
            break;
        }
        const qsizetype equals = argument.indexOf(u'=');
        if (!argument.startsWith(u'-') || equals < 0) {
            continue;
        }
        QString name = argument.left(equals);
        while (name.startsWith(u'-')) {
            name.remove(0, 1);
        }
        for (const QCommandLineOption& flag : flags) {
            if (flag.valueName().isEmpty() && flag.names().contains(name)) {
                return argument;
            }
        }
    }
    return {};
}

// Which command the arguments ask for; an error when they ask for more than one.
QString takeMode(const QCommandLineParser& parser, const Options& o, CommandLine& command) {
    const std::pair<const QCommandLineOption*, Mode> commands[] = {
        {&o.printPdf, Mode::PrintPdf},
        {&o.previewPng, Mode::PreviewPng},
        {&o.print, Mode::Print},
        {&o.printList, Mode::PrintList},
        {&o.calibrationSheet, Mode::CalibrationSheet},
        {&o.importList, Mode::ImportList},
        {&o.masterImportFrom, Mode::MasterImportFrom},
        {&o.taxRateFrom, Mode::TaxRateFrom}};
    int given = 0;
    for (const auto& [option, mode] : commands) {
        if (parser.isSet(*option)) {
            command.mode = mode;
            ++given;
        }
    }
    if (given > 1) {
        return QStringLiteral(
            "--print-pdf、--preview-png、--print、--print-list、--calibration-sheet、"
            "--import-list、--master-import-from、--tax-rate-from のうち一つだけを指定して"
            "ください。");
    }
    // Each value option belongs to some commands only.
    const struct {
        const QCommandLineOption& option;
        std::initializer_list<Mode> modes;
        const char16_t* commands;
    } owners[] = {{o.dpi,
                   {Mode::PrintPdf, Mode::PrintList, Mode::CalibrationSheet},
                   u"--print-pdf、--print-list か --calibration-sheet"},
                  {o.zoom, {Mode::PreviewPng}, u"--preview-png"},
                  {o.printer, {Mode::Print, Mode::PrintList}, u"--print か --print-list"},
                  {o.start, {Mode::PrintList}, u"--print-list"},
                  {o.changedOnly, {Mode::PrintList}, u"--print-list"},
                  {o.recordPrinted, {Mode::PrintList}, u"--print-list"},
                  {o.replaceNewer, {Mode::ImportList}, u"--import-list"},
                  {o.calibratedFor,
                   {Mode::PrintPdf, Mode::PrintList, Mode::CalibrationSheet},
                   u"--print-pdf、--print-list か --calibration-sheet"},
                  {o.master,
                   {Mode::Window, Mode::ImportList, Mode::MasterImportFrom, Mode::PrintList},
                   u"--import-list、--master-import-from か --print-list (または画面を開くとき)"},
                  {o.asOf,
                   {Mode::PrintPdf, Mode::PreviewPng, Mode::Print, Mode::PrintList},
                   u"--print-pdf、--preview-png、--print か --print-list"}};
    for (const auto& owner : owners) {
        if (parser.isSet(owner.option) &&
            std::find(owner.modes.begin(), owner.modes.end(), command.mode) == owner.modes.end()) {
            return QStringLiteral("%1 は %2 と一緒に使います。")
                .arg(dashed(owner.option.names().first()), QString::fromUtf16(owner.commands));
        }
    }
    // A printer prints with its own calibration; another one's would put the labels off.
    if (parser.isSet(o.calibratedFor) && parser.isSet(o.printer)) {
        return QStringLiteral(
            "--calibrated-for は PDF に書き出すときに使います。--printer で印刷するときは、"
            "そのプリンターの調整が使われます。");
    }
    return {};
}

// --tax-rate-from's three words: 標準 or 軽減, a whole percent, the first day.
QString takeRateChange(const QStringList& words, CommandLine& command) {
    if (words.size() != 3) {
        return QStringLiteral(
            "--tax-rate-from には、税率区分 (標準か軽減)、税率 (%、整数) と適用開始日 "
            "(例 2026-10-01) の三つを指定してください。");
    }
    const std::optional<TaxClass> taxClass = taxClassFromText(words[0].trimmed());
    if (!taxClass || *taxClass == TaxClass::Exempt) {
        return QStringLiteral(
                   "--tax-rate-from の税率区分は「標準」か「軽減」です（「%1」は使えません。"
                   "非課税の税率は 0% のまま変わりません）。")
            .arg(shownText(words[0]));
    }
    QString rateText = words[1].normalized(QString::NormalizationForm_KC).trimmed();
    if (rateText.endsWith(u'%')) {
        rateText.chop(1);
    }
    bool isNumber = false;
    const int rate = rateText.toInt(&isNumber);
    if (!isNumber || rate < 0 || rate > 100) {
        return QStringLiteral(
                   "--tax-rate-from の税率には 0 から 100 までの整数を指定してください"
                   "（「%1」は使えません）。")
            .arg(shownText(words[1]));
    }
    const QDate from = dayFromText(words[2]);
    if (from.isNull()) {
        return QStringLiteral(
                   "--tax-rate-from の適用開始日「%1」は日付として読めません。"
                   "2026-10-01、2026/10/01、20261001 のように書いてください。")
            .arg(shownText(words[2]));
    }
    command.rateChange = {*taxClass, rate, from};
    return {};
}

// The files of the command: what it opens, and what it writes.
QString takeFiles(const QStringList& files, bool toPrinter, CommandLine& command) {
    switch (command.mode) {
        case Mode::TaxRateFrom:
            return takeRateChange(files, command);
        case Mode::PrintPdf:
            if (files.size() < 2) {
                return QStringLiteral(
                    "--print-pdf には、開くファイル (一つ以上) と書き出す PDF ファイルを"
                    "指定してください。");
            }
            command.files = files.mid(0, files.size() - 1);
            command.output = files.last();
            break;
        case Mode::PreviewPng:
            if (files.size() != 2) {
                return QStringLiteral(
                    "--preview-png には、開くファイルと書き出す PNG ファイルの二つを"
                    "指定してください。");
            }
            command.files = {files.at(0)};
            command.output = files.at(1);
            break;
        case Mode::Print:
            if (files.size() != 1) {
                return QStringLiteral("--print には、開くファイルを一つだけ指定してください。");
            }
            command.files = files;
            break;
        case Mode::CalibrationSheet:
            if (files.size() != 1) {
                return QStringLiteral(
                    "--calibration-sheet には、書き出す PDF ファイルを一つだけ指定してください。");
            }
            command.output = files.at(0);
            break;
        case Mode::ImportList:
            if (files.size() != 1) {
                return QStringLiteral("--import-list には、商品リストを一つだけ指定してください。");
            }
            command.files = files;
            break;
        case Mode::MasterImportFrom:
            if (files.size() != 1) {
                return QStringLiteral(
                    "--master-import-from には、取り込む SQLite の商品マスタのファイルを一つだけ"
                    "指定してください。");
            }
            command.files = files;
            break;
        case Mode::PrintList:
            if (files.size() != (toPrinter ? 1 : 2)) {
                return toPrinter ? QStringLiteral(
                                       "--print-list --printer には、商品リストを一つだけ"
                                       "指定してください。")
                                 : QStringLiteral(
                                       "--print-list には、商品リストと書き出す PDF ファイル"
                                       "の二つ (または商品リストと --printer) を指定して"
                                       "ください。");
            }
            command.files = {files.at(0)};
            command.output = files.value(1);
            break;
        default:
            if (files.size() > 1) {
                return QStringLiteral("開くファイルは一つだけ指定できます。");
            }
            command.files = files;
            return {};
    }
    for (const QString& file : command.files) {
        if (file.isEmpty()) {
            return QStringLiteral("開くファイルの名前が空です。");
        }
        if (!command.output.isEmpty() && command.output != kStandardOutput &&
            sameFile(file, command.output)) {
            const bool linked =
                QFileInfo(file).absoluteFilePath() != QFileInfo(command.output).absoluteFilePath();
            return QStringLiteral(
                       "書き出すファイル「%1」は開くファイル「%2」と同じファイルです%3。"
                       "データが消えてしまうため、別のファイルを指定してください。")
                .arg(command.output, file,
                     linked ? QStringLiteral("（リンクで同じものを指しています）") : QString());
        }
    }
    const bool writesFile = command.mode != Mode::Print && command.mode != Mode::ImportList &&
                            command.mode != Mode::MasterImportFrom;
    if (writesFile && !toPrinter && command.output.isEmpty()) {
        return QStringLiteral("書き出すファイルの名前が空です。");
    }
    return {};
}

// A whole number from `low` to `high` in the option's value.
QString takeNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int low,
                   int high, int& target) {
    if (!parser.isSet(option)) {
        return {};
    }
    bool ok = false;
    target = parser.value(option).toInt(&ok);
    if (ok && target >= low && target <= high) {
        return {};
    }
    return QStringLiteral("%1 には %2 から %3 までの整数を指定してください（「%4」は使えません）。")
        .arg(dashed(option.names().first()))
        .arg(low)
        .arg(high)
        .arg(parser.value(option));
}

QString takeOptions(const QCommandLineParser& parser, const Options& o, CommandLine& command) {
    if (QString error = takeNumber(parser, o.dpi, kMinDpi, kMaxDpi, command.dpi);
        !error.isEmpty()) {
        return error;
    }
    if (QString error = takeNumber(parser, o.start, 1, kLabelCount, command.start);
        !error.isEmpty()) {
        return error;
    }
    if (parser.isSet(o.zoom)) {
        const QString value = parser.value(o.zoom);
        if (value != QStringLiteral("50") && value != QStringLiteral("100")) {
            return QStringLiteral(
                       "--zoom には 50 か 100 を指定してください（「%1」は使えません）。")
                .arg(value);
        }
        command.zoomPercent = value.toInt();
    }
    if (parser.isSet(o.printer)) {
        command.printer = parser.value(o.printer);
        if (command.printer.isEmpty()) {
            return QStringLiteral("--printer にはプリンターの名前を指定してください。");
        }
    }
    if (parser.isSet(o.asOf)) {
        const std::optional<QDate> day = parseAsOf(parser.value(o.asOf));
        if (!day) {
            return QStringLiteral(
                       "--as-of には印刷する日を 2026-12-14 のように (年-月-日) 指定してください"
                       "（「%1」は使えません）。")
                .arg(shownText(parser.value(o.asOf)));
        }
        command.asOf = *day;
    }
    command.changedOnly = parser.isSet(o.changedOnly);
    command.recordPrinted = parser.isSet(o.recordPrinted);
    command.replaceNewer = parser.isSet(o.replaceNewer);
    if (parser.isSet(o.master)) {
        command.master = parser.value(o.master).trimmed();
        if (command.master.isEmpty()) {
            return QStringLiteral(
                "--master には商品マスタの接続先 (postgresql://… かファイル) を指定してください。");
        }
    }
    if (parser.isSet(o.calibratedFor)) {
        command.calibratedFor = parser.value(o.calibratedFor);
        if (command.calibratedFor.isEmpty()) {
            return QStringLiteral("--calibrated-for にはプリンターの名前を指定してください。");
        }
    }
    return {};
}

}  // namespace

std::optional<QDate> parseAsOf(const QString& value) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(value).hasMatch()) {
        return std::nullopt;
    }
    const QDate day = QDate::fromString(value, Qt::ISODate);
    return day.isValid() ? std::optional(day) : std::nullopt;
}

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
    const Options o;
    QList<QCommandLineOption> options{o.help,
                                      o.version,
                                      o.printPdf,
                                      o.previewPng,
                                      o.print,
                                      o.printList,
                                      o.dpi,
                                      o.zoom,
                                      o.printer,
                                      o.start,
                                      o.calibrationSheet,
                                      o.calibratedFor,
                                      o.master,
                                      o.importList,
                                      o.masterImportFrom,
                                      o.changedOnly,
                                      o.recordPrinted,
                                      o.replaceNewer,
                                      o.asOf,
                                      o.taxRateFrom};
    for (const QString& flag : windowFlags) {
        options << QCommandLineOption(flag);
    }
    parser.addOptions(options);
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
        if (const QString given = flagGivenAValue(arguments, options); !given.isEmpty()) {
            return usageError(QStringLiteral("%1 には値を付けられません（「%2」）。")
                                  .arg(given.left(given.indexOf(u'=')), given));
        }
        return usageError(QStringLiteral("引数を読めません。原文: %1").arg(parser.errorText()));
    }
    if (parser.isSet(o.help)) {
        return withMode(Mode::Help);
    }
    if (parser.isSet(o.version)) {
        return withMode(Mode::Version);
    }

    CommandLine command;
    QString error = takeMode(parser, o, command);
    if (error.isEmpty()) {
        error = takeFiles(parser.positionalArguments(), parser.isSet(o.printer), command);
    }
    if (error.isEmpty()) {
        error = takeOptions(parser, o, command);
    }
    if (!error.isEmpty()) {
        return usageError(error);
    }
    command.file = command.files.value(0);
    if (command.mode == Mode::Window) {
        for (const QString& flag : windowFlags) {
            if (parser.isSet(flag)) {
                command.windowFlags << flag;
            }
        }
    }
    return command;
}

QString usageText() {
    return QStringLiteral(
        "使い方:\n"
        "  zukaro [ファイル] [--master 接続先]\n"
        "  zukaro --print-pdf ファイル... 出力.pdf [--dpi N] [--calibrated-for プリンター名]"
        " [--as-of 年-月-日]\n"
        "  zukaro --preview-png ファイル 出力.png [--zoom 50|100] [--as-of 年-月-日]\n"
        "  zukaro --print ファイル [--printer プリンター名] [--as-of 年-月-日]\n"
        // One line each: the manual page's synopsis is made of these lines.
        "  zukaro --print-list 商品リスト 出力.pdf [--start N] [--dpi N]"
        " [--calibrated-for プリンター名] [--changed-only] [--record-printed] [--as-of 年-月-日]"
        " [--master 接続先]\n"
        "  zukaro --print-list 商品リスト --printer プリンター名 [--start N]"
        " [--changed-only] [--record-printed] [--as-of 年-月-日] [--master 接続先]\n"
        "  zukaro --calibration-sheet 出力.pdf [--dpi N] [--calibrated-for プリンター名]\n"
        "  zukaro --import-list 商品リスト [--master 接続先] [--replace-newer]\n"
        "  zukaro --master-import-from ファイル.sqlite [--master 接続先]\n"
        "  zukaro --tax-rate-from 標準|軽減 税率 適用開始日\n"
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
               "                        ファイルをいくつも指定すると、1 ファイル 1 ページ\n"
               "                        で順に印刷します。用紙の左上隅が原点です (余白なし)。\n"
               "                        出力を - にすると標準出力に書き出します。\n"
               "  --dpi N               PDF の解像度 (72 から 2400、既定は 600)。\n"
               "                        バーコードはこの解像度の画素にそろえて描きます。\n"
               "  --calibrated-for 名前 PDF を、このプリンターの印刷位置の調整を入れて\n"
               "                        書き出します (そのプリンターに届くとおりの位置)。\n"
               "                        指定しなければ「PDF ファイル」の調整 (ふつうはなし)。\n"
               "  --preview-png         ファイルを開いたときのプレビューを、A4 全体の\n"
               "                        96 dpi の PNG (794 × 1123 画素) に保存します\n"
               "                        (- なら標準出力)。\n"
               "  --zoom 50|100         プレビューの倍率 (既定は 50)。\n"
               "  --as-of 年-月-日      この日に貼るラベルとして印刷します: 特売はその日が\n"
               "                        期間内なら特価で、税率はその日のものです (既定は\n"
               "                        今日)。--print-list では年のない日付 (12/14) は\n"
               "                        この日の年で、--changed-only はこの日に印刷する内容\n"
               "                        が前回の印刷と違う行 (特売が始まる・終わる) を\n"
               "                        選びます。\n"
               "  --print               ファイルを開き、シートをプリンターで印刷します\n"
               "                        (A4、ダイアログなし、そのプリンターの印刷位置の調整\n"
               "                        を入れて)。\n"
               "  --printer 名前        使うプリンター (既定は、いつも使うプリンター)。\n"
               "  --print-list          商品リスト (CSV、TSV、xlsx) の全部の行を、枚数の分\n"
               "                        だけ、必要なページ数の A4 に印刷します。\n"
               "  --start N             1 ページ目の最初のラベルの位置 (1 から 21、既定は 1)。\n"
               "                        使いかけのシートの残りから印刷できます。\n"
               "  --changed-only        商品マスタに記録した前回の印刷と比べて、新規の商品と\n"
               "                        売価や表示の変わった商品の行だけを印刷します。\n"
               "  --record-printed      印刷できたら、印刷した行を商品マスタに印刷済みとして\n"
               "                        記録します (これがなければ商品マスタには書き込みません)。\n"
               "  --calibration-sheet   印刷位置の調整用シートを PDF に書き出します。\n"
               "                        --calibrated-for を付けると、そのプリンターの調整を\n"
               "                        入れた確認用シートになります。\n"
               "  --import-list         商品リストを商品マスタに登録します (JAN コードごとに\n"
               "                        追加か更新。空の欄は登録済みの値を残します)。\n"
               "                        新規・売価が変わる・変更なしの件数を標準エラーに\n"
               "                        書きます。商品マスタの売価が、このリストより新しい\n"
               "                        リストのものなら、その商品は登録せずに知らせます。\n"
               "  --replace-newer       (--import-list で) そういう商品も、このリストの古い\n"
               "                        売価で置き換えます。\n"
               "  --master-import-from  SQLite の商品マスタのファイル (products.sqlite) を、\n"
               "                        使っている商品マスタ (ふつうは PostgreSQL) に写します。\n"
               "  --tax-rate-from       税率の改定を data.txt に書き込みます: 区分 (標準か\n"
               "                        軽減)、税率 (%)、適用開始日。同じ区分と日の行は\n"
               "                        置き換えます。例: --tax-rate-from 軽減 0 2026-10-01\n"
               "  --master 接続先       この回だけ使う商品マスタ (--changed-only と\n"
               "                        --record-printed でも)。PostgreSQL なら\n"
               "                        postgresql://ユーザー@サーバー:5432/データベース、\n"
               "                        ほかは SQLite のファイル。パスワードは ~/.pgpass か\n"
               "                        環境変数 PGPASSWORD に書きます。指定しなければ\n"
               "                        「商品マスター」の設定 (~/.config/zukaro/master.ini)、\n"
               "                        それもなければこのパソコンのファイルを使います。\n"
               "  -h, --help            この説明を表示します。\n"
               "  -v, --version         バージョンを表示します。\n"
               "\n"
               "レイアウトは、起動したときと同じく data.txt (なければ初期値) から始まり、\n"
               "ファイルに保存されたレイアウトで置き換えます。シートの位置 (ラベル 1 の左上\n"
               "の角の、用紙の左上隅からの距離) は、入力画面の印字位置調整で最後に合わせた\n"
               "位置で、合わせたことがなければ %1 mm / %2 mm です。印刷位置の調整と合わせて\n"
               "~/.config/zukaro/printing.json に保存されています。\n"
               "画面がなくても動きます。\n"
               "\n"
               "商品リストの読み飛ばした行やバーコードにならない行は、1 行ずつ標準エラーに\n"
               "書き出します (最初の %3 行まで。残りは数だけ)。一度に印刷できるラベルは\n"
               "%4 枚までです。書き出すファイルが開くファイルと同じもの (リンクを含む)\n"
               "なら、何もせずに終わります。\n"
               "\n"
               "終了コード: 0 成功、1 開けない・書き出せない・印刷できない、2 使い方の誤り。\n")
               .arg(kStartUpOrigin.x)
               .arg(kStartUpOrigin.y)
               .arg(ConsoleMessages::kShownNotes)
               .arg(countText(kMaxLabelsPerJob));
}

QString versionText() {
    return QStringLiteral("zukaro %1\n").arg(QStringLiteral(ZUKARO_VERSION));
}

}  // namespace zukaro
