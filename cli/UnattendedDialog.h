#pragma once

#include "CommonDialog1.h"

namespace zukaro {

// CommonDialog1 for a run without a window: the print set-up is confirmed as the caller
// prepared the printer; every other dialog is cancelled.
class UnattendedDialog final : public CommonDialog1 {
public:
    int showPrinter(QPrinter& printer) override;
    int showFont(FontChoice& font) override;
    int showColor(WinColor& color) override;
    int showOpen(const QString& filter, QString& path) override;
    int showSave(const QString& filter, QString& path) override;
};

}  // namespace zukaro
