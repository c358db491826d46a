#pragma once

#include "MessageBoxes.h"

class QWidget;

namespace zukaro {

// MessageBoxes as QMessageBox, modal on the given parent window, with the caption, icon and
// buttons the caller names.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                  bool yesIsDefault) override;
    void tell(const QString& caption, const QString& text, MessageIcon icon) override;
    Answer askYesNoCancel(const QString& caption, const QString& text, MessageIcon icon) override;
    bool askToDo(const QString& caption, const QString& text, MessageIcon icon,
                 const QString& doText, const QString& dontText) override;

private:
    QWidget* parent_;
};

}  // namespace zukaro
