// Any arguments (the input split at NUL bytes) to the command-line parser: it decides on one
// form or a usage error that says what is wrong, every form has the files it needs, the
// numbers are in their ranges, and the same arguments give the same decision.
#include <cstddef>
#include <cstdint>

#include "CommandLine.h"
#include "ListSheets.h"
#include "ProductListChecks.h"

using namespace zukaro;
using fuzzing::require;
using Mode = CommandLine::Mode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{QStringLiteral("zukaro")};
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& part : bytes.split('\0')) {
        if (arguments.size() > 64) {
            return 0;
        }
        arguments << QString::fromUtf8(part);
    }
    const QStringList flags{QStringLiteral("quit-when-shown")};
    const CommandLine command = parseCommandLine(arguments, flags);
    require(parseCommandLine(arguments, flags) == command);
    require(command.file == command.files.value(0));
    require(command.dpi >= kMinDpi && command.dpi <= kMaxDpi);
    require(command.start >= 1 && command.start <= kLabelCount);
    require(command.zoomPercent == 50 || command.zoomPercent == 100);
    switch (command.mode) {
        case Mode::UsageError:
            require(!command.error.isEmpty());
            break;
        case Mode::PrintPdf:
            require(!command.files.isEmpty() && !command.output.isEmpty());
            break;
        case Mode::PreviewPng:
            require(command.files.size() == 1 && !command.output.isEmpty());
            break;
        case Mode::PrintList:
            require(command.files.size() == 1 &&
                    command.output.isEmpty() != command.printer.isEmpty());
            break;
        case Mode::CalibrationSheet:
            require(command.files.isEmpty() && !command.output.isEmpty());
            break;
        case Mode::Print:
        case Mode::ImportList:
        case Mode::MasterImportFrom:
            require(command.files.size() == 1 && command.output.isEmpty());
            break;
        default:
            require(command.files.size() <= 1 && command.output.isEmpty());
            break;
    }
    for (const QString& file : command.files) {
        // (The window takes an empty name as none, as a desktop entry may pass it.)
        require(!file.isEmpty() || command.mode == Mode::Window);
        require(command.output.isEmpty() || command.output == kStandardOutput ||
                file != command.output);
    }
    return 0;
}
