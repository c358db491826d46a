#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "AppIcon.h"
#include "CommandLine.h"
#include "EditorWindow.h"
#include "FirstPaint.h"
#include "ManualLocation.h"
#include "PrintingSettings.h"
#include "ProductListWindow.h"
#include "ProductMaster.h"
#include "QtCommonDialog1.h"
#include "QtMessageBoxes.h"
#include "QtTranslations.h"
#include "RunCommandLine.h"
#include "SignalCleanup.h"
#include "StandardStreams.h"
#include "StartScreen.h"
#include "UserFiles.h"

int main(int argc, char* argv[]) {
    // Before anything is opened: a closed standard output must not lend its number to a file.
    zukaro::keepStandardStreamsOpen();
    // A save or a PDF in progress leaves no hidden temporary file behind when the program is
    // told to stop.
    zukaro::removeTemporaryFilesOnSignals();
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
    // The product master: --master's, the one chosen in 商品マスター, or this computer's file.
    // Without it the editor and the list window do without, and try it again as they use it.
    // It is opened once the start screen is painted (below): a server's answer must not keep
    // the first window from the clerk.
    const zukaro::MasterLocationResult chosen = zukaro::chosenMaster(command.master);
    zukaro::ProductMaster master(
        chosen.location.value_or(zukaro::MasterLocation::sqlite(zukaro::productMasterPath())));
    master.setReconnectPause(zukaro::kMasterReconnectPauseMs);
    // Without columns.ini (something other than a file stands there) the list window guesses
    // each list's columns, and says so once the start screen is up.
    const zukaro::IniFile columns = zukaro::rememberedColumns();
    QPointer<zukaro::ProductListWindow> productList;
    zukaro::StartScreen* startScreen = nullptr;
    const auto editor = [&startScreen] {
        return qobject_cast<zukaro::EditorWindow*>(startScreen->editorWindow());
    };
    const auto openProductList = [&] {
        if (!productList) {
            zukaro::ProductListHooks hooks;
            hooks.base = [&] {
                return editor() ? editor()->listBase()
                                : zukaro::freshStartSheet(zukaro::SettingsLocations::standard());
            };
            // The layout lives in the editor: 税込表示 from the list is a step there.
            hooks.changeLayout = [&](const std::function<void(zukaro::Layout&)>& change) {
                if (!editor()) {
                    startScreen->Command1_Click();
                }
                if (editor()) {
                    editor()->changeLayout(QStringLiteral("総額表示"), change);
                }
            };
            hooks.openInEditor = [&](const zukaro::SheetState& sheet, const QString& title,
                                     const QDate& day) {
                startScreen->Command1_Click();
                if (editor()) {
                    editor()->openListSheet(sheet, title, day);
                }
            };
            hooks.master = &master;
            hooks.columns = columns.settings.get();
            hooks.settingsFolder = zukaro::SettingsLocations::standard().userDir;
            productList = new zukaro::ProductListWindow(dialogs, messages, hooks);
            productList->setAttribute(Qt::WA_DeleteOnClose);
        }
        productList->show();
        productList->raise();
        productList->activateWindow();
    };
    zukaro::StartScreen start(
        [&]() -> QWidget* {
            auto* window =
                new zukaro::EditorWindow(dialogs, messages, zukaro::SettingsLocations::standard());
            window->setProductMaster(&master);
            window->setProductListOpener(openProductList);
            window->setProductFileOpener([&](const QString& path) {
                openProductList();
                productList->importFile(path);
            });
            return window;
        },
        zukaro::manualUrl());
    startScreen = &start;
    // Once the start screen is painted: the master opened, and what stands in the way told (a
    // box before it would be the only thing on screen, and would hold the start).
    const bool quitWhenShown = command.windowFlags.contains(QStringLiteral("quit-when-shown"));
    zukaro::afterFirstPaint(start, [&] {
        QString startProblem;
        if (!chosen.location) {
            startProblem = chosen.error + QStringLiteral(
                                              "このパソコンの商品マスタを使います。"
                                              "「商品マスター」で接続先を直してください。");
        } else if (const auto opened = master.open(); !opened.ok) {
            startProblem = opened.error;
        }
        if (!columns.error.isEmpty()) {
            startProblem += (startProblem.isEmpty() ? QString() : QStringLiteral("\n")) +
                            columns.error +
                            QStringLiteral("覚えた列の割り当ては使わずに、列を見分けます。");
        }
        if (!startProblem.isEmpty()) {
            QTimer::singleShot(0, &start, [&messages, error = startProblem] {
                messages.tell(zukaro::kProgramCaption, error, zukaro::MessageIcon::Exclamation);
            });
        }
        // Hidden: quits once the start screen is up, to time the start-up.
        if (quitWhenShown) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
    });
    start.show();
    // A file named on the command line (the desktop entry opens .csv files so) opens in the
    // editor, as 作成 and then ファイルを開く(&O) would.
    if (!command.file.isEmpty()) {
        start.Command1_Click();
        if (zukaro::EditorWindow* window = editor()) {
            zukaro::openSheetFile(*window, command.file);
        }
    }
    return QApplication::exec();
}
