#include "FirstPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace zukaro {
namespace {

class OnFirstExpose final : public QObject {
public:
    OnFirstExpose(QWindow* window, std::function<void()> then)
        : QObject(window), window_(window), then_(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed() &&
            then_) {
            // Queued, so the window paints and flushes this expose first.
            QMetaObject::invokeMethod(QCoreApplication::instance(), std::exchange(then_, {}),
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWindow* window_;
    std::function<void()> then_;
};

}  // namespace

void afterFirstPaint(QWidget& window, std::function<void()> then) {
    window.winId();  // creates the native window so its events can be watched before show()
    QWindow* handle = window.windowHandle();
    handle->installEventFilter(new OnFirstExpose(handle, std::move(then)));
}

}  // namespace zukaro
