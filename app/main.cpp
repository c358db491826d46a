#include <QApplication>

#include "AppIcon.h"
#include "CommandLine.h"
#include "EditorWindow.h"
#include "ManualLocation.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"
#include "QuitWhenShown.h"
#include "RunCommandLine.h"
#include "StartScreen.h"

int main(int argc, char* argv[]) {
    // Help, version, usage errors and the batch commands need no window (nor a display).
    const zukaro::CommandLine command = zukaro::parseCommandLine(
        zukaro::argumentList(argc, argv), {QStringLiteral("quit-when-shown")});
    if (command.mode != zukaro::CommandLine::Mode::Window) {
        return zukaro::runCommandLine(command, argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zukaro"));
    QApplication::setApplicationVersion(QStringLiteral(ZUKARO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(ZUKARO_APP_ID));
    QApplication::setWindowIcon(zukaro::appIcon());
    QApplication::setQuitOnLastWindowClosed(true);
    zukaro::installQtJapanese(app);

    // One editor is open at a time, so every editor window shares these dialogs.
    zukaro::QtCommonDialog1 dialogs;
    zukaro::QtMessageBoxes messages;
    zukaro::StartScreen start(
        [&]() -> QWidget* {
            return new zukaro::EditorWindow(dialogs, messages,
                                            zukaro::SettingsLocations::standard());
        },
        zukaro::manualUrl());
    // Hidden: quits once the start screen is on screen, to time the start-up.
    if (command.windowFlags.contains(QStringLiteral("quit-when-shown"))) {
        zukaro::quitWhenShown(start);
    }
    start.show();
    // A file named on the command line (the desktop entry opens .csv files so) opens in the
    // editor, as 作成 and then ファィルを開く(&O) would.
    if (!command.file.isEmpty()) {
        start.Command1_Click();
        if (auto* editor = qobject_cast<zukaro::EditorWindow*>(start.editorWindow())) {
            zukaro::openSheetFile(*editor, command.file);
        }
    }
    return QApplication::exec();
}
