#include "ModalDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>

namespace zukaro::testing {
namespace {

constexpr int kLookEveryMs = 10;
constexpr qint64 kGiveUpAfterMs = 5000;
// A dialog nobody waits for is closed once it has been up this long: long enough for a wait
// queued just after a dialog opened without blocking (open(), show()).
constexpr qint64 kUnexpectedAfterMs = 100;

struct Wait {
    QString awaited;
    std::function<bool(QWidget&)> matches;
    std::function<void(QWidget&)> act;
    QElapsedTimer queued;
};

struct Watch {
    std::deque<Wait> waits;
    QPointer<QWidget> acting;  // handed to an act that has not finished yet
    QPointer<QWidget> unexpected;
    QElapsedTimer unexpectedSince;
};

Watch& watch() {
    static Watch w;
    return w;
}

QWidget* openDialog() {
    QWidget* w = QApplication::activeModalWidget();
    return w != nullptr && w->isVisible() ? w : nullptr;
}

void closeDialog(QWidget& w) {
    if (auto* dialog = qobject_cast<QDialog*>(&w)) {
        dialog->reject();
    } else {
        w.close();
    }
}

QString awaitedList() {
    QStringList awaited;
    for (const Wait& wait : watch().waits) {
        awaited << wait.awaited;
    }
    return awaited.isEmpty() ? QStringLiteral("none") : awaited.join(QStringLiteral(", then "));
}

void fail(const QString& message) {
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

void handOver(QWidget& dialog, Wait wait) {
    Watch& w = watch();
    w.acting = &dialog;
    // Acted on from a timer of its own, so that the watch goes on looking while the act runs
    // (it may open a further dialog and wait inside it).
    QTimer::singleShot(0, &dialog, [act = std::move(wait.act), dialog = QPointer(&dialog)] {
        act(*dialog);
        if (dialog && dialog->isVisible() && dialog == QApplication::activeModalWidget()) {
            closeDialog(*dialog);
        }
        watch().acting = nullptr;
    });
}

void look() {
    Watch& w = watch();
    QWidget* dialog = openDialog();
    if (dialog != nullptr && dialog == w.acting) {
        return;
    }
    if (dialog != nullptr) {
        for (auto it = w.waits.begin(); it != w.waits.end(); ++it) {
            if (it->matches(*dialog)) {
                Wait wait = std::move(*it);
                w.waits.erase(it);
                w.unexpected = nullptr;
                handOver(*dialog, std::move(wait));
                return;
            }
        }
        if (w.unexpected != dialog) {
            w.unexpected = dialog;
            w.unexpectedSince.start();
        } else if (w.unexpectedSince.elapsed() >= kUnexpectedAfterMs) {
            w.unexpected = nullptr;
            const QString what = describeDialog(*dialog);
            closeDialog(*dialog);
            fail(QStringLiteral("a dialog opened that the test did not wait for, closed: %1 "
                                "(waiting for: %2)")
                     .arg(what, awaitedList()));
        }
        return;
    }
    w.unexpected = nullptr;
    if (!w.waits.empty() && w.waits.front().queued.elapsed() >= kGiveUpAfterMs) {
        const QString awaited = w.waits.front().awaited;
        w.waits.pop_front();
        fail(QStringLiteral("waited %1 s for a %2 that never opened")
                 .arg(kGiveUpAfterMs / 1000)
                 .arg(awaited));
    }
}

void startWatching() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;  // no widgets, no dialogs
    }
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(kLookEveryMs);
    QObject::connect(timer, &QTimer::timeout, timer, &look);
    timer->start();
}
Q_COREAPP_STARTUP_FUNCTION(startWatching)

}  // namespace

QString describeDialog(const QWidget& dialog) {
    QString text = QStringLiteral("%1 「%2」")
                       .arg(QLatin1String(dialog.metaObject()->className()), dialog.windowTitle());
    if (const auto* box = qobject_cast<const QMessageBox*>(&dialog)) {
        text += QStringLiteral(": ") + box->text().section(u'\n', 0, 0);
    }
    return text;
}

namespace detail {

void awaitDialog(const char* awaited, std::function<bool(QWidget&)> matches,
                 std::function<void(QWidget&)> act) {
    Wait wait{QString::fromLatin1(awaited), std::move(matches), std::move(act), {}};
    wait.queued.start();
    watch().waits.push_back(std::move(wait));
}

}  // namespace detail

QStringList dialogsLeft() {
    Watch& w = watch();
    QStringList left;
    // One dialog may have opened another: closed from the top down.
    for (int i = 0; i < 10; ++i) {
        QWidget* dialog = openDialog();
        if (dialog == nullptr) {
            break;
        }
        left << QStringLiteral("a dialog was left open, closed: ") + describeDialog(*dialog);
        closeDialog(*dialog);
        QCoreApplication::processEvents();
    }
    for (const Wait& wait : w.waits) {
        left << QStringLiteral("waited for a %1 that never opened").arg(wait.awaited);
    }
    w.waits.clear();
    w.unexpected = nullptr;
    return left;
}

}  // namespace zukaro::testing
