#include "WindowFit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace zukaro {
namespace {

// The frame's extra size: zero until the window manager has decorated the window.
QSize decorations(const QWidget& window) {
    return window.frameGeometry().size() - window.size();
}

// Refits the window on its first show and whenever its decorations change size.
class ScreenFitter final : public QObject {
public:
    explicit ScreenFitter(QWidget& window) : QObject(&window), window_(&window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) {
            return false;
        }
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) {
            const QSize now = decorations(*window_);
            if (type == QEvent::Show ? !shown_ : now != seen_) {
                shown_ = true;
                seen_ = now;
                // After the event: the window may not be resized while it is being shown.
                QTimer::singleShot(0, this, [window = QPointer<QWidget>(window_)] {
                    if (window && window->isVisible()) {
                        fitInsideScreen(*window);
                    }
                });
            }
        }
        return false;
    }

private:
    QWidget* window_;
    QSize seen_;
    bool shown_ = false;
};

}  // namespace

void keepInsideScreen(QWidget& window) {
    window.installEventFilter(new ScreenFitter(window));
}

void fitInsideScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr || window.isMaximized() || window.isFullScreen()) {
        return;
    }
    const QRect room = screen->availableGeometry();
    const QSize extra = decorations(window);
    const QSize smallest = window.minimumSizeHint().expandedTo(window.minimumSize());
    const QSize size = window.size().boundedTo(room.size() - extra).expandedTo(smallest);
    if (size != window.size()) {
        window.resize(size);
    }
    const QRect frame(window.frameGeometry().topLeft(), size + extra);
    const QPoint inside(
        std::clamp(frame.x(), room.left(), std::max(room.left(), room.right() + 1 - frame.width())),
        std::clamp(frame.y(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft()) {
        window.move(inside);
    }
}

}  // namespace zukaro
