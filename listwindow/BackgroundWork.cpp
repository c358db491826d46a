#include "BackgroundWork.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <new>

#include "ShownText.h"

namespace zukaro {
namespace {

constexpr int kSteps = 1000;  // the dialog's bar, in thousandths
constexpr int kRefreshMs = 50;

// Holds back every key, click and close meant for anything but the progress dialog, also in
// the moment before it shows.
class InputHold final : public QObject {
public:
    explicit InputHold(QWidget& dialog) : dialog_(dialog) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
            case QEvent::ContextMenu:
            case QEvent::Close:
                break;
            default:
                return false;
        }
        auto* widget = qobject_cast<QWidget*>(target);
        const bool forDialog =
            widget != nullptr && (widget == &dialog_ || dialog_.isAncestorOf(widget));
        return !forDialog;
    }

private:
    QWidget& dialog_;
};

QString progressText(const WorkProgress::State& state) {
    if (state.total <= 0) {
        return state.step;
    }
    return QStringLiteral("%1\n%2 / %3")
        .arg(state.step, countText(state.done), countText(state.total));
}

}  // namespace

BackgroundWork::BackgroundWork(QWidget* window, int showAfterMs)
    : window_(window), showAfterMs_(showAfterMs) {}

QString BackgroundWork::run(const QString& title, const std::function<void(WorkProgress&)>& work) {
    WorkProgress progress;
    QString failure;
    QThread* thread = QThread::create([&] {
        try {
            work(progress);
        } catch (const std::bad_alloc&) {
            failure = QStringLiteral("メモリが足りないため、最後までできませんでした。");
        }
    });

    QProgressDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("進行状況"));
    dialog.setWindowTitle(title);
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    dialog.setRange(0, kSteps);
    dialog.setMinimumWidth(420);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(INT_MAX);  // shown by the timer below, not by its own guess
    dialog.hide();
    InputHold hold(dialog);

    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] { progress.cancel(); });
    const auto update = [&] {
        const WorkProgress::State state = progress.state();
        dialog.setLabelText(progress.cancelled() ? QStringLiteral("取り消しています…")
                                                 : progressText(state));
        const qint64 done = std::min(state.done, state.total);
        dialog.setValue(state.total > 0 ? static_cast<int>(done * kSteps / state.total) : 0);
    };
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &dialog, update);
    QTimer show;
    show.setSingleShot(true);
    QObject::connect(&show, &QTimer::timeout, &dialog, [&] {
        if (!progress.cancelled()) {
            update();
            dialog.show();
        }
    });

    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    refresh.start(kRefreshMs);
    show.start(showAfterMs_);
    loop.exec();
    thread->wait();
    delete thread;
    return failure;
}

}  // namespace zukaro
