#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace zukaro::testing {

// Runs `act` on the modal dialog of type D once it is shown, as a user would act on it; one
// that `act` left open (a failed check) is cancelled, so that a test never hangs. Gives up
// after five seconds without such a dialog.
template <typename D>
void whenShown(std::function<void(D&)> act, int triesLeft = 500) {
    QTimer::singleShot(10, [act, triesLeft] {
        D* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (triesLeft > 0) {
                whenShown(act, triesLeft - 1);
            }
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            static_cast<QDialog*>(dialog)->reject();
        }
    });
}

}  // namespace zukaro::testing
