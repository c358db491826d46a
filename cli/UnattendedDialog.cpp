#include "UnattendedDialog.h"

namespace zukaro {

int UnattendedDialog::showPrinter(QPrinter& /*printer*/) {
    return 0;
}

int UnattendedDialog::showFont(FontChoice& /*font*/) {
    return kCancelError;
}

int UnattendedDialog::showColor(WinColor& /*color*/) {
    return kCancelError;
}

int UnattendedDialog::showOpen(const QString& /*filter*/, QString& /*path*/) {
    return kCancelError;
}

int UnattendedDialog::showSave(const QString& /*filter*/, QString& /*path*/) {
    return kCancelError;
}

}  // namespace zukaro
