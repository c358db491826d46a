#include "RunCommandLine.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "BatchSession.h"
#include "SettingsFile.h"

namespace zukaro {
namespace {

int runBatch(const CommandLine& command, QTextStream& out, QTextStream& err) {
    BatchSession session(SettingsLocations::standard(), err);
    for (const QString& file : command.files) {
        if (!session.open(file)) {
            return kExitFailed;
        }
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
