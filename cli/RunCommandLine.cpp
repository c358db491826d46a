#include "RunCommandLine.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>

#include "BatchSession.h"
#include "CodeRows.h"
#include "ColumnMapping.h"
#include "ConsoleMessages.h"
#include "FilePlace.h"
#include "LabelNotes.h"
#include "ListSession.h"
#include "ListSheets.h"
#include "MasterCommands.h"
#include "MasterComparison.h"
#include "MasterMessages.h"
#include "PackedRows.h"
#include "PrintHistory.h"
#include "PrintingSettings.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "ProductRows.h"
#include "SettingsFile.h"
#include "ShownText.h"
#include "TaxPrice.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

// A product list to print: its rows, packed, what reading them had to say, and where their
// labels go, made sheet by sheet as the pages are printed.
struct ListJob {
    PackedRows rows;
    ProductList reading;       // its problems; the rows are in `rows`
    std::vector<bool> chosen;  // --changed-only: the rows new or changed since last printed
    std::optional<SheetPlan> plan;
};

// Reads the list row by row into `job`; a sale's day without its year is in `printDay`'s.
SourceResult readList(const QString& path, ListJob& job, const QDate& printDay) {
    // Room for the texts: a character takes one byte or more in the file.
    job.rows.reserve(0, QFileInfo(path).size() / 2);
    return readListFile(
        path, [&job](ProductRow&& row) { job.rows.append(row); }, job.reading, printDay);
}

// The master of --master, or the one chosen in 商品マスター; nothing (told) when its address
// cannot be read.
std::optional<MasterLocation> masterOf(const CommandLine& command, ConsoleMessages& messages) {
    MasterLocationResult where = chosenMaster(command.master);
    if (!where.location) {
        messages.tell(QStringLiteral("エラー"), where.error, MessageIcon::Critical);
    }
    return where.location;
}

// Rows that hold a JAN code alone (a scanner's list: the code, or the code and 枚数) take their
// texts, price and tax from the product master, read as it is: a master file that is not there
// is not made, an older one not upgraded. The codes it does not know are listed by line.
void fillCodesFromMaster(ConsoleMessages& messages, ListJob& job, const CommandLine& command) {
    const RowAt row = [&job](std::size_t i) { return job.rows.at(i); };
    const std::vector<std::size_t> codes = rowsOfCodesAlone(job.rows.size(), row);
    if (codes.empty()) {
        return;
    }
    QStringList keys;
    for (const std::size_t i : codes) {
        keys << ProductMaster::keyOf(job.rows.at(i).jan);
    }
    const MasterLocationResult where = chosenMaster(command.master);
    QHash<QString, StoredProduct> stored;
    QString named;
    if (!where.location) {
        messages.write(where.error);
    } else {
        named = master::name(*where.location);
        if (where.location->isPostgres() || QFileInfo::exists(where.location->path)) {
            ProductMaster master(*where.location);
            master.readOnlyFromNowOn();
            ProductMaster::StoredResult found = master.storedProducts(keys);
            if (found.ok) {
                stored = std::move(found.products);
            } else {
                messages.write(found.error);
            }
        }
    }
    const qint64 filled = fillCodes(
        codes, row, [&job](std::size_t i, const ProductRow& known) { job.rows.replace(i, known); },
        stored, named, job.reading);
    if (filled > 0) {
        messages.say(QStringLiteral("JAN コードだけの %1 行は、品名・売価などを商品マスタ%2から"
                                    "補いました。")
                         .arg(countText(filled), named));
    }
}

// --changed-only: each row against the label last recorded as printed for its code in the
// product master, and only the new and changed rows chosen, in list order. A master file that
// is not there yet has recorded nothing, and is not made; without --record-printed nothing is
// written to the master, not even an upgrade.
bool chooseChanged(ConsoleMessages& messages, ListJob& job, const Layout& layout,
                   const CommandLine& command) {
    const std::optional<MasterLocation> where = masterOf(command, messages);
    if (!where) {
        return false;
    }
    const RowAt row = [&job](std::size_t i) { return job.rows.at(i); };
    HistoryMarks marked;
    marked.asked = true;
    marked.marks.assign(job.rows.size(), ChangeMark::New);
    if (where->isPostgres() || QFileInfo::exists(where->path)) {
        ProductMaster master(*where);
        if (!command.recordPrinted) {
            master.readOnlyFromNowOn();
        }
        marked = markAgainstHistory(job.rows.size(), row, master, layout.defaultTaxRate, nullptr,
                                    command.asOf, layout.taxRateChanges);
        if (!marked.asked) {
            messages.tell(QStringLiteral("エラー"), marked.error, MessageIcon::Critical);
            return false;
        }
    }
    job.chosen = marked.changed();
    const auto counts = [&marked](ChangeMark mark) { return countText(marked.count(mark)); };
    const QString day =
        command.asOf.isValid()
            ? QStringLiteral("%1 に印刷する内容を").arg(command.asOf.toString(Qt::ISODate))
            : QString();
    messages.say(
        QStringLiteral("%5商品マスタに記録された前回の印刷と比べて、新規 %1 行・価格変更 "
                       "%2 行・表示変更 %3 行を印刷します（変更なし %4 行は印刷しません）。")
            .arg(counts(ChangeMark::New), counts(ChangeMark::PriceChanged),
                 counts(ChangeMark::TextChanged), counts(ChangeMark::Unchanged), day));
    return true;
}

// --record-printed, after the print: the rows that took labels recorded in the product master
// as printed now, all in one transaction.
bool recordPrinted(ConsoleMessages& messages, const ListJob& job, const Layout& layout,
                   const CommandLine& command) {
    const std::optional<MasterLocation> where = masterOf(command, messages);
    if (!where) {
        return false;
    }
    ProductMaster master(*where);
    const ProductMaster::RecordResult recorded = zukaro::recordPrinted(
        *job.plan, [&job](std::size_t i) { return job.rows.at(i); }, master, layout.defaultTaxRate,
        nullptr, command.asOf, layout.taxRateChanges);
    if (!recorded.ok) {
        messages.tell(QStringLiteral("エラー"),
                      QStringLiteral("ラベルは印刷しましたが、印刷済みとして記録できませんでした。"
                                     "次の --changed-only でも同じ行を印刷します。\n") +
                          recorded.error,
                      MessageIcon::Critical);
        return false;
    }
    messages.say(QStringLiteral("商品マスタ%1に %2 件を印刷済みとして記録しました。")
                     .arg(master::name(master.location()), countText(recorded.recorded)));
    return true;
}

QString labelLimitMessage(qint64 labels) {
    return QStringLiteral(
               "印刷するラベルが %1 枚あります。一度に印刷できるのは %2 枚までです。"
               "リストを分けるか、枚数を減らしてください。")
        .arg(countText(labels), countText(kMaxLabelsPerJob));
}

// The list's rows laid out on sheets with data.txt's layout, the first questionable rows told
// on stderr and the rest counted. False when the list cannot be read, gives no label, or more
// labels than one job may print.
bool openList(BatchSession& session, const CommandLine& command, ListJob& job) {
    const QString shown = QDir::toNativeSeparators(command.file);
    ConsoleMessages& messages = session.messages();
    const QString caption = QStringLiteral("エラー");
    if (const SourceResult read = readList(command.file, job, command.asOf); !read.ok) {
        messages.tell(caption, read.error, MessageIcon::Critical);
        return false;
    }
    const SheetState& base = session.startUpSheet();
    fillCodesFromMaster(messages, job, command);
    if (command.changedOnly && !chooseChanged(messages, job, base.layout, command)) {
        return false;
    }
    const SheetPlan& plan = job.plan.emplace(job.rows.planRows(), command.start,
                                             command.changedOnly ? &job.chosen : nullptr);
    if (plan.labels() > kMaxLabelsPerJob) {
        messages.tell(caption, shown + QStringLiteral(": ") + labelLimitMessage(plan.labels()),
                      MessageIcon::Critical);
        return false;
    }
    // What the labels look like on paper, by the line they came from: each row checked once,
    // the first notes kept, all counted.
    PlanNotes noted(plan, job.reading.problemCount);
    eachLabelNote(
        plan, plan.printedRows(), base, nullptr,
        [&](std::size_t row, const QString& text) {
            noted.addLabelNote({job.rows.lineOf(row), text, true});
        },
        command.asOf);
    const std::vector<RowProblem> problems = noted.inOrder(job.reading.problems);
    for (const RowProblem& problem : problems) {
        messages.write(shown + QStringLiteral(": ") + problem.text());
    }
    messages.countUnwritten(noted.count() - static_cast<qint64>(problems.size()));
    messages.reportOmittedNotes();
    if (const QString untaxed = plan.untaxedNote(base.layout); !untaxed.isEmpty()) {
        messages.say(shown + QStringLiteral(": ") + untaxed);
    }
    if (plan.labels() == 0) {
        messages.tell(caption, shown + QStringLiteral(": 印刷するラベルがありません。"),
                      MessageIcon::Critical);
        return false;
    }
    session.setMadePages(
        plan.sheetCount(),
        [&plan, base = session.startUpSheet()](qint64 i) { return plan.sheet(i, base); },
        QFileInfo(command.file).fileName());
    return true;
}

// As many files as one job may print, one page each.
bool openFiles(BatchSession& session, const CommandLine& command) {
    const qint64 maxPages = (kMaxLabelsPerJob + kLabelCount - 1) / kLabelCount;
    if (command.files.size() > maxPages) {
        session.messages().tell(
            QStringLiteral("エラー"),
            QStringLiteral("ファイルが %1 個あります。一度に印刷できるのは %2 ページ（ラベル %3 "
                           "枚）までです。")
                .arg(countText(command.files.size()), countText(maxPages),
                     countText(kMaxLabelsPerJob)),
            MessageIcon::Critical);
        return false;
    }
    for (const QString& file : command.files) {
        if (!session.open(file)) {
            return false;
        }
    }
    return true;
}

// --tax-rate-from: the rate change into data.txt, where the window and every run read the
// layout. A data.txt that could not be read whole is left as it is: writing it again would
// lose what was not read.
int addTaxRateChange(const CommandLine& command, QTextStream& out, QTextStream& err) {
    ConsoleMessages messages(err);
    const QString caption = QStringLiteral("エラー");
    const SettingsLocations locations = SettingsLocations::standard();
    SettingsLoad load = loadSettings(locations);
    if (load.damaged()) {
        messages.tell(caption,
                      QStringLiteral("%1 を読み切れなかったため、税率の改定を書き込みません"
                                     "でした（書き込むと読めなかった設定が消えます）。\n")
                              .arg(QDir::toNativeSeparators(load.path)) +
                          load.warnings().join(u'\n'),
                      MessageIcon::Critical);
        return kExitFailed;
    }
    setTaxRateChange(load.layout.taxRateChanges, command.rateChange);
    const FileResult saved = saveSettings(locations, load.layout, UnencodablePolicy::Refuse);
    if (!saved.ok) {
        messages.tell(caption, saved.error, MessageIcon::Critical);
        return kExitFailed;
    }
    const TaxRateChange& change = command.rateChange;
    out << QStringLiteral("%1 に書き込みました: %2 から%3は %4% です。\n")
               .arg(QDir::toNativeSeparators(saved.path), dayText(change.from),
                    taxClassText(change.taxClass))
               .arg(change.ratePercent);
    return kExitOk;
}

int runBatch(const CommandLine& command, QTextStream& out, QTextStream& err) {
    BatchSession session(SettingsLocations::standard(), err);
    session.setAsOf(command.asOf);
    ListJob list;
    const bool opened = command.mode == CommandLine::Mode::PrintList
                            ? openList(session, command, list)
                            : openFiles(session, command);
    if (!opened) {
        return kExitFailed;
    }
    if (!command.calibratedFor.isEmpty() && !session.useCalibrationOf(command.calibratedFor)) {
        return kExitFailed;
    }
    bool ok = false;
    switch (command.mode) {
        case CommandLine::Mode::PrintPdf:
            ok = session.printPdf(command.output, command.dpi);
            break;
        case CommandLine::Mode::PreviewPng:
            ok = session.savePreviewPng(command.output, command.zoomPercent);
            break;
        case CommandLine::Mode::Print:
            ok = session.print(command.printer, out);
            break;
        case CommandLine::Mode::PrintList:
            ok = command.printer.isEmpty() ? session.printPdf(command.output, command.dpi)
                                           : session.print(command.printer, out);
            ok = ok &&
                 (!command.recordPrinted ||
                  recordPrinted(session.messages(), list, session.startUpSheet().layout, command));
            break;
        case CommandLine::Mode::CalibrationSheet:
            ok = session.printCalibrationSheet(command.output, command.dpi);
            break;
        default:
            break;
    }
    session.messages().reportOmittedNotes();
    return ok ? kExitOk : kExitFailed;
}

// An output that is one of the program's own files, by whatever name (the product master,
// data.txt, printing.json, the .ini files), would replace it: refused before anything is read
// or written, as an output that is an input is. Empty when the output is none of them.
QString outputOverOwnFile(const CommandLine& command) {
    if (command.output.isEmpty() || command.output == kStandardOutput) {
        return {};
    }
    const SettingsLocations settings = SettingsLocations::standard();
    std::vector<OwnFile> files = ownFiles(command.master);
    const QString layout = QStringLiteral("レイアウトの保存ファイル");
    files.push_back({settings.programFile(), layout});
    files.push_back({settings.userFile(), layout});
    files.push_back({printingSettingsPath(settings.userDir), QStringLiteral("印刷位置の設定")});
    for (const OwnFile& file : files) {
        if (sameFile(command.output, file.path)) {
            const bool linked = QFileInfo(command.output).absoluteFilePath() !=
                                QFileInfo(file.path).absoluteFilePath();
            return QStringLiteral(
                       "書き出すファイル「%1」は、%2「%3」と同じファイルです%4。"
                       "上書きすると%2が消えてしまうため、別のファイルを指定して"
                       "ください。")
                .arg(command.output, file.what, QDir::toNativeSeparators(file.path),
                     linked ? QStringLiteral("（リンクで同じものを指しています）") : QString());
        }
    }
    return {};
}

// The arguments are quoted in it: escaped like every other message.
void tellUsageError(QTextStream& err, const QString& error) {
    ConsoleMessages(err).tell(QStringLiteral("エラー"), error, MessageIcon::Critical);
    err << '\n' << usageText() << "詳しくは zukaro --help を見てください。\n";
}

}  // namespace

SourceResult readListFile(const QString& path, const std::function<void(ProductRow&&)>& keep,
                          ProductList& problems, const QDate& printDay) {
    const IniFile remembered = rememberedColumns();
    if (!remembered.settings) {
        return {false, false, columnsRefused(remembered.error), {}, {}};
    }
    RowOptions options;
    options.printDay = printDay;
    ReadProducts read =
        readProducts([&path](const RowSink& take) { return readProductFileRows(path, take); },
                     remembered.settings.get(), std::nullopt, keep, options);
    problems = std::move(read.problems);
    if (read.source.ok) {
        if (const QString refused =
                notAProductList(read.head, read.mapping, QDir::toNativeSeparators(path));
            !refused.isEmpty()) {
            return {false, false, refused, {}, {}};
        }
    }
    return read.source;
}

int runCommandLine(const CommandLine& command, int& argc, char** argv) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (command.mode) {
        case CommandLine::Mode::Help:
            out << helpText();
            return kExitOk;
        case CommandLine::Mode::Version:
            out << versionText();
            return kExitOk;
        case CommandLine::Mode::UsageError:
            tellUsageError(err, command.error);
            return kExitUsage;
        case CommandLine::Mode::Window:
            return kExitUsage;  // main opens the window itself
        default:
            break;
    }
    // A batch run never shows a window; it must not need (or wait for) a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zukaro"));
    if (const QString refused = outputOverOwnFile(command); !refused.isEmpty()) {
        tellUsageError(err, refused);
        return kExitUsage;
    }
    try {
        if (command.mode == CommandLine::Mode::ImportList) {
            return importListIntoMaster(command, out, err);
        }
        if (command.mode == CommandLine::Mode::MasterImportFrom) {
            return copyMasterFrom(command, out, err);
        }
        if (command.mode == CommandLine::Mode::TaxRateFrom) {
            return addTaxRateChange(command, out, err);
        }
        return runBatch(command, out, err);
    } catch (const std::bad_alloc& failure) {
        // Said in our words rather than the C++ library's abort; the output is only ever
        // replaced by a complete file, and the master's transaction was not committed.
        ConsoleMessages(err).tell(
            QStringLiteral("エラー"),
            QStringLiteral("メモリが足りなくなったため、やめました。ほかのプログラムを閉じるか、"
                           "リストを分けてください。原文: %1")
                .arg(QString::fromLocal8Bit(failure.what())),
            MessageIcon::Critical);
        return kExitFailed;
    }
}

}  // namespace zukaro
