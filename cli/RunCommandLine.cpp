#include "RunCommandLine.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "BatchSession.h"
#include "ColumnMapping.h"
#include "LabelLayout.h"
#include "ListSheets.h"
#include "ProductListSource.h"
#include "ProductRows.h"
#include "SettingsFile.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

// The list's rows laid out on sheets with data.txt's layout, every questionable row told on
// stderr. False when the list cannot be read or gives no label.
bool openList(BatchSession& session, const CommandLine& command, QTextStream& err) {
    const QString shown = QDir::toNativeSeparators(command.file);
    const SourceResult source = readProductFile(command.file);
    if (!source.ok) {
        err << "zukaro: " << source.error << '\n';
        return false;
    }
    const ColumnMapping mapping = ColumnMapping::detect(source.table, rememberedColumns().get());
    if (const QString refused = notAProductList(source.table, mapping, shown);
        !refused.isEmpty()) {
        err << "zukaro: " << refused << '\n';
        return false;
    }
    const ProductList list = toProductRows(source.table, mapping);
    const ListSheets laid = layOutSheets(list.rows, session.startUpSheet(), command.start);
    // What the labels look like on paper, by the line they came from.
    std::vector<RowProblem> notes = laid.problems;
    for (const RowNote& note : notesByRow(laid.sheets, laid.labelRows)) {
        const ProductRow& row = list.rows[static_cast<std::size_t>(note.row - 1)];
        notes.push_back({row.line, note.text, true, row.batch});
    }
    for (const RowProblem& problem : inLineOrder(list.problems, notes)) {
        err << "zukaro: " << shown << ": " << problem.text() << '\n';
    }
    if (laid.sheets.empty()) {
        err << "zukaro: " << shown << ": 印刷するラベルがありません。\n";
        return false;
    }
    const QString title = QFileInfo(command.file).fileName();
    for (const SheetState& sheet : laid.sheets) {
        session.addPage(sheet, title);
    }
    return true;
}

int runBatch(const CommandLine& command, QTextStream& out, QTextStream& err) {
    BatchSession session(SettingsLocations::standard(), err);
    if (command.mode == CommandLine::Mode::PrintList) {
        if (!openList(session, command, err)) {
            return kExitFailed;
        }
    } else {
        for (const QString& file : command.files) {
            if (!session.open(file)) {
                return kExitFailed;
            }
        }
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
            break;
        case CommandLine::Mode::CalibrationSheet:
            ok = session.printCalibrationSheet(command.output, command.dpi);
            break;
        default:
            break;
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace

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
            err << "zukaro: " << command.error << "\n\n"
                << usageText() << "詳しくは zukaro --help を見てください。\n";
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
    return runBatch(command, out, err);
}

}  // namespace zukaro
