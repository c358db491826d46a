#include <QApplication>
#include <QLabel>

#include "CommandLine.h"
#include "RunCommandLine.h"

int main(int argc, char* argv[]) {
    // Help, version, usage errors and the batch commands need no window (nor a display).
    const zukaro::CommandLine command = zukaro::parseCommandLine(zukaro::argumentList(argc, argv));
    if (command.mode != zukaro::CommandLine::Mode::Window) {
        return zukaro::runCommandLine(command, argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zukaro"));
    QLabel placeholder(QStringLiteral("ズカロ"));
    placeholder.show();
    return QApplication::exec();
}
