#include "EntryField.h"

#include "FileSafeValidator.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <utility>

namespace zukaro {

EntryField::EntryField(const QString& designName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(designName);
    setValidator(new FileSafeValidator(
        this, [this] { return typingLimit_; }, [this] { return lastText_.size(); }));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
}

void EntryField::setTypingLimit(int characters) {
    typingLimit_ = characters;
}

void EntryField::loadText(const QString& text) {
    setText(text);
    setCursorPosition(0);
}

void EntryField::selectFromCaret() {
    const int caret = cursorPosition();
    deselect();
    if (caret < text().size()) {
        setSelection(caret, int(text().size()) - caret);
    }
}

bool EntryField::isRealMove(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            return true;
        default:  // a window (de)activated, a popup or the menu bar took the keyboard
            return false;
    }
}

bool EntryField::event(QEvent* event) {
    // Ctrl+V (preview) and Ctrl+A (save as) belong to the window's menu, as they always did;
    // paste and select-all stay on the field's context menu.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void EntryField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    focused_ = true;
    if (isRealMove(event->reason())) {
        if (onGotFocus) {
            onGotFocus();
        }
    } else if (event->reason() == Qt::ActiveWindowFocusReason && onWindowFocus) {
        onWindowFocus();
    }
}

void EntryField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A handler elsewhere may redirect a focus move that was on its way here (leaving the
    // price field sends the focus to the JAN field); Qt then takes the focus from a field
    // that never had it, and that field must not store its stale text.
    const bool hadFocus = std::exchange(focused_, false);
    if (hadFocus && isRealMove(event->reason()) && onLostFocus) {
        onLostFocus();
    }
}

void EntryField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (onEnter) {
            onEnter();
        }
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace zukaro
