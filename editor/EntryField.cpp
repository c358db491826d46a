#include "EntryField.h"

#include "FileSafeValidator.h"

#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

#include "JanCompletion.h"

namespace zukaro {
namespace {

// Milliseconds on a clock that only goes forward, as the keys are handled: a key event's own
// time is not set by every source.
qint64 now() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

}  // namespace

EntryField::EntryField(const QString& designName, QWidget* parent) : QLineEdit(parent) {
    setObjectName(designName);
    setValidator(new FileSafeValidator(
        this, [this] { return typingLimit_; }, [this] { return lastText_; },
        [this](int from) {
            if (onCut) {
                onCut(QStringLiteral("%1は %2 文字までです。%3 文字目から後は入りませんでした。")
                          .arg(itemName_)
                          .arg(typingLimit_)
                          .arg(from));
            }
        }));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
    connect(this, &QLineEdit::textEdited, this, [this] { loaded_ = false; });
}

void EntryField::setTypingLimit(int characters, const QString& itemName) {
    typingLimit_ = characters;
    itemName_ = itemName;
}

void EntryField::loadText(const QString& text) {
    // A label's text is shown exactly as it is, however long, whatever it holds.
    const QValidator* checks = validator();
    setValidator(nullptr);
    setText(text);
    setValidator(checks);
    setCursorPosition(0);
    loaded_ = true;
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
    // Undo and redo inside a field are the field's own while it has something to undo; past
    // that they undo and redo whole changes of the sheet (the window's 元に戻す, やり直し).
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y);
        if ((key->matches(QKeySequence::Undo) && !isUndoAvailable()) ||
            (redo && !isRedoAvailable())) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void EntryField::focusInEvent(QFocusEvent* event) {
    // On Tab and on a shortcut Qt selects the whole text and puts the caret at its end. The
    // field keeps its own caret instead, from which the got-focus step selects: a label's text
    // just loaded (caret at the start) is selected whole, so that typing replaces it.
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        setCursorPosition(caret);
    }
    focused_ = true;
    forgetKeys();
    clickFocused_ = event->reason() == Qt::MouseFocusReason;
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
    forgetKeys();
    if (hadFocus && isRealMove(event->reason()) && onLostFocus) {
        onLostFocus(event->reason());
    }
}

void EntryField::mousePressEvent(QMouseEvent* event) {
    forgetKeys();
    QLineEdit::mousePressEvent(event);
    // A click into a field that shows a label's text selects all of it, so that typing
    // replaces the old price instead of adding to it.
    const bool focusClick = std::exchange(clickFocused_, false);
    if (event->button() == Qt::LeftButton && ((focusClick && loaded_) || clickSelectsAll_)) {
        selectAll();
    }
}

void EntryField::inputMethodEvent(QInputMethodEvent* event) {
    forgetKeys();  // the input method's text is a hand's
    QLineEdit::inputMethodEvent(event);
}

void EntryField::forgetKeys() {
    burst_.clear();
    textBeforeBurst_.clear();
}

bool EntryField::scanned(qint64 at) const {
    const qint64 keys = burst_.size() + 1;  // Enter too
    return (burst_.size() == 13 || burst_.size() == 8) && janBarsProblem(burst_).isEmpty() &&
           at - lastKey_ <= kScanLongestGap && at - burstStart_ <= kScanKeyTime * keys;
}

void EntryField::keyPressEvent(QKeyEvent* event) {
    const qint64 at = now();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        const QString code = burst_;
        const QString before = textBeforeBurst_;
        const bool scan = scanned(at);
        forgetKeys();
        if (scan && onScan && onScan(code, before)) {
            return;
        }
        if (onEnter) {
            onEnter();
        }
        return;
    }
    // Digits a scanner types arrive as keys with their text, one right after another.
    const QString typed = event->text();
    const bool digit = typed.size() == 1 && typed[0] >= u'0' && typed[0] <= u'9';
    if (!digit || (!burst_.isEmpty() && at - lastKey_ > kScanLongestGap)) {
        forgetKeys();
    }
    if (digit) {
        if (burst_.isEmpty()) {
            textBeforeBurst_ = text();
            burstStart_ = at;
        }
        burst_ += typed;
        lastKey_ = at;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace zukaro
