#pragma once

#include "CommonDialog1.h"

class QWidget;

namespace zukaro {

// The platform dialogs behind CommonDialog1: QPrintDialog (printer, paper, orientation, and
// "print to file (PDF)"), the font dialog FontChoiceDialog, QColorDialog and QFileDialog. Each is
// modal on the given parent window; closing or cancelling it returns kCancelError.
class QtCommonDialog1 final : public CommonDialog1 {
public:
    explicit QtCommonDialog1(QWidget* parent = nullptr) : parent_(parent) {}

    int showPrinter(QPrinter& printer) override;
    int showFont(FontChoice& font) override;
    int showColor(WinColor& color) override;
    int showOpen(const QString& filter, QString& path) override;
    int showSave(const QString& filter, QString& path) override;

private:
    QWidget* parent_;
};

}  // namespace zukaro
