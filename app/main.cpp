#include <QApplication>

#include "AppIcon.h"
#include "ManualLocation.h"
#include "PlaceholderEditor.h"
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
    zukaro::installJapaneseQtTranslations(app);

    // The placeholder stands in until the label editor window exists.
    zukaro::StartScreen start(zukaro::makePlaceholderEditor, zukaro::manualUrl());
    // Hidden: quits once the start screen is on screen, to time the start-up.
    if (QApplication::arguments().contains(QStringLiteral("--quit-when-shown"))) {
        zukaro::quitWhenShown(start);
    }
    start.show();
    return QApplication::exec();
}
