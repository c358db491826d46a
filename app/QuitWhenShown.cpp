#include "QuitWhenShown.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace zukaro {
namespace {

class QuitOnFirstExpose final : public QObject {
public:
    explicit QuitOnFirstExpose(QWindow* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed() &&
            !quitting_) {
            quitting_ = true;
            // Queued, so the window paints and flushes this expose before the loop ends.
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWindow* window_;
    bool quitting_ = false;
};

}  // namespace

void quitWhenShown(QWidget& window) {
    window.winId();  // creates the native window so its events can be watched before show()
    QWindow* handle = window.windowHandle();
    handle->installEventFilter(new QuitOnFirstExpose(handle));
}

}  // namespace zukaro
