#pragma once

#include <QLineEdit>
#include <functional>

namespace zukaro {

// One of the six label entry fields. The editor's behaviour hangs on focus: a field stores
// its text when the user leaves it, and the JAN field shows the current label when it gets
// the focus. Qt also moves the focus when a menu or a message box opens; those moves are not
// the user leaving the field, so the handlers run only for real moves.
class EntryField : public QLineEdit {
    Q_OBJECT

public:
    explicit EntryField(const QString& designName, QWidget* parent = nullptr);

    // Handlers, run synchronously inside the focus change that triggers them; a lost focus
    // says how it went (Tab, a click, Enter moving it on).
    std::function<void()> onGotFocus;
    std::function<void(Qt::FocusReason)> onLostFocus;
    std::function<void()> onEnter;
    // A scanner types a code's digits and Enter much faster than any hand. When a complete
    // valid JAN code (13 or 8 digits, right check digit) arrives so, this is asked before
    // Enter does anything, with the code and the field's text as it was before the first digit
    // came. True: the code was taken elsewhere (the handler puts the field's text back);
    // false: Enter goes on as typed.
    std::function<bool(const QString& code, const QString& textBefore)> onScan;
    // Runs when the field receives the focus because its window became active (the window
    // was shown, or a dialog closed); the editor uses it once, for its first preview.
    std::function<void()> onWindowFocus;

    // Limits typing (and pasting) to this many characters; texts put in by the program are
    // never shortened. 0 means no limit. `itemName` names the item when a paste is cut.
    void setTypingLimit(int characters, const QString& itemName = {});
    int typingLimit() const { return typingLimit_; }
    // Told, in Japanese, when a paste did not fit in whole.
    std::function<void(const QString&)> onCut;

    // Puts a text in the field the way loading a label does: the caret at the start.
    void loadText(const QString& text);
    // Selects from the caret to the end, so that typing replaces a freshly loaded text.
    void selectFromCaret();
    // Every click selects the whole text (the JAN field, where a scan must replace the code).
    void setClickSelectsAll(bool on) { clickSelectsAll_ = on; }

    static bool isRealMove(Qt::FocusReason reason);

    // Keys close together: at most this long between two (ms), and on average at most this
    // long per key from the first digit to Enter. A hand takes 40 ms and more per key even
    // rolling over a number pad; a scanner a few.
    static constexpr qint64 kScanLongestGap = 150;
    static constexpr qint64 kScanKeyTime = 25;

protected:
    bool event(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int typingLimit_ = 0;
    QString itemName_;
    bool focused_ = false;       // between our own focus-in and focus-out
    bool loaded_ = false;        // the text is a label's, not typed since
    bool clickFocused_ = false;  // a mouse press brought the focus, its own press is to come
    QString lastText_;           // the text before the edit being validated
    bool clickSelectsAll_ = false;

    // The keys typed since the last pause, to tell a scanner from a hand.
    void forgetKeys();
    bool scanned(qint64 now) const;
    QString burst_;
    QString textBeforeBurst_;
    qint64 burstStart_ = 0;
    qint64 lastKey_ = 0;
};

}  // namespace zukaro
