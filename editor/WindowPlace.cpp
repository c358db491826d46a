// The window's size and place: inside the screen on the first show, kept between runs.
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <algorithm>
#include <utility>

#include "EditorWindow.h"
#include "IniFile.h"
#include "UserFiles.h"

namespace zukaro {
namespace {

// Where the window was and how large, beside the user's data.txt (kWindowPlaceFile).
const QString kPlaceKey = QStringLiteral("editor/geometry");

}  // namespace

QString EditorWindow::placeFile() const {
    return settings_.userDir.isEmpty() ? QString()
                                       : QDir(settings_.userDir).filePath(kWindowPlaceFile);
}

void EditorWindow::restoreWindowPlace() {
    const QString file = placeFile();
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        return;
    }
    // Something other than a file there (a pipe would hold the start): the window's own place.
    const IniFile place = openIniFile(file);
    if (!place.settings) {
        return;
    }
    restoreGeometry(place.settings->value(kPlaceKey).toByteArray());
    // A place saved on a larger screen is brought inside this one.
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        resize(size().boundedTo(room.size()));
        move(std::clamp(x(), room.left(), std::max(room.left(), room.right() - width())),
             std::clamp(y(), room.top(), std::max(room.top(), room.bottom() - height())));
    }
}

void EditorWindow::saveWindowPlace() const {
    const QString file = placeFile();
    if (!file.isEmpty()) {
        QDir().mkpath(settings_.userDir);
        if (const IniFile place = openIniFile(file); place.settings) {
            place.settings->setValue(kPlaceKey, saveGeometry());
        }
    }
}

void EditorWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window with its decorations stays inside the screen (keepInsideScreen, set up by the
    // constructor); here the line between preview and controls is placed once.
    if (std::exchange(placed_, true)) {
        return;
    }
    // The controls at their natural width as far as there is room; the preview gets the rest.
    const int total = ui_.split->width() - ui_.split->handleWidth();
    // (QScrollArea's own size hint stops at 36 lines of text.)
    const int natural = ui_.controlsArea->widget()->sizeHint().width() +
                        ui_.controlsArea->verticalScrollBar()->sizeHint().width();
    const int controls = std::clamp(
        natural, ui_.controlsArea->minimumWidth(),
        std::max(ui_.controlsArea->minimumWidth(), total - ui_.previewArea->minimumWidth()));
    ui_.split->setSizes({total - controls, controls});
}

}  // namespace zukaro
