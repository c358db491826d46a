#include "ModalDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <deque>

namespace zukaro::testing {
namespace {

constexpr int kLookEveryMs = 10;
constexpr qint64 kGiveUpAfterMs = 5000;

struct Wait {
    QString awaited;
    std::function<bool(QWidget&)> matches;
    std::function<void(QWidget&)> act;
    QElapsedTimer queued;
};

std::deque<Wait> waits;
QPointer<QWidget> acting;  // handed to the innermost act that has not finished yet

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

void fail(const QString& message) {
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

// Acted on from a timer of its own, so that the watch goes on looking while the act runs (it
// may open a further dialog and wait inside it). When that inner act ends, the outer dialog is
// again the one being acted on: its act goes on, and the watch must not take it for a dialog
// nobody waits for.
void handOver(QWidget& dialog, std::function<void(QWidget&)> act) {
    const QPointer<QWidget> outer = acting;
    acting = &dialog;
    QTimer::singleShot(0, &dialog, [act = std::move(act), dialog = QPointer(&dialog), outer] {
        act(*dialog);
        if (dialog && dialog->isVisible() && dialog == QApplication::activeModalWidget()) {
            closeDialog(*dialog);
        }
        acting = outer;
    });
}

void look() {
    QWidget* dialog = openDialog();
    if (dialog != nullptr && dialog != acting) {
        const auto wait = std::find_if(waits.begin(), waits.end(),
                                       [&](const Wait& w) { return w.matches(*dialog); });
        if (wait != waits.end()) {
            auto act = std::move(wait->act);
            waits.erase(wait);
            handOver(*dialog, std::move(act));
            return;
        }
        if (qobject_cast<QProgressDialog*>(dialog) != nullptr) {
            return;  // long work's progress closes itself when the work ends
        }
        QStringList awaited;
        for (const Wait& w : waits) {
            awaited << w.awaited;
        }
        const QString what = describeDialog(*dialog);
        closeDialog(*dialog);
        fail(QStringLiteral("a dialog opened that the test did not wait for, closed: %1 "
                            "(waiting for: %2)")
                 .arg(what, awaited.isEmpty() ? QStringLiteral("none")
                                              : awaited.join(QStringLiteral(", "))));
    } else if (dialog == nullptr && !waits.empty() &&
               waits.front().queued.elapsed() >= kGiveUpAfterMs) {
        const QString awaited = waits.front().awaited;
        waits.pop_front();
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
    QObject::connect(timer, &QTimer::timeout, timer, &look);
    timer->start(kLookEveryMs);
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
    waits.push_back({QString::fromLatin1(awaited), std::move(matches), std::move(act), {}});
    waits.back().queued.start();
}

}  // namespace detail

QStringList dialogsLeft() {
    QStringList left;
    // One dialog may have opened another: closed from the top down.
    for (QWidget* dialog = openDialog(); dialog != nullptr && left.size() < 10;
         dialog = openDialog()) {
        left << QStringLiteral("a dialog was left open, closed: ") + describeDialog(*dialog);
        closeDialog(*dialog);
        QCoreApplication::processEvents();
    }
    for (const Wait& wait : waits) {
        left << QStringLiteral("waited for a %1 that never opened").arg(wait.awaited);
    }
    waits.clear();
    return left;
}

void printToPdfFile(const QString& pdf) {
    whenShown<QPrintDialog>([pdf](QPrintDialog& d) {
        auto* printers = d.findChild<QComboBox*>(QStringLiteral("printers"));
        printers->setCurrentIndex(printers->count() - 1);
        d.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(pdf);
        d.accept();
    });
}

}  // namespace zukaro::testing
