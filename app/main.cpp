#include <QApplication>

#include "AppIcon.h"
#include "EditorWindow.h"
#include "ManualLocation.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"
#include "QuitWhenShown.h"
#include "StartScreen.h"

int main(int argc, char* argv[]) {
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
    if (QApplication::arguments().contains(QStringLiteral("--quit-when-shown"))) {
        zukaro::quitWhenShown(start);
    }
    start.show();
    return QApplication::exec();
}
