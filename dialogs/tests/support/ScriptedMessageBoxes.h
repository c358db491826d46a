#pragma once

#include <QList>

#include "MessageBoxes.h"

namespace zukaro {

// MessageBoxes for tests: records every box shown and answers questions from a script, in
// order. A question with no answer left gets its default button, as if Enter were pressed.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        bool question = false;
        QString caption;
        QString text;
        MessageIcon icon = MessageIcon::None;
        bool yesIsDefault = false;
        QString doText, dontText;  // the buttons of askToDo
    };

    void scriptAnswer(bool yes) { answers_.append(yes ? Answer::Yes : Answer::No); }
    void scriptAnswer(Answer answer) { answers_.append(answer); }
    const QList<Shown>& shown() const { return shown_; }

    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                  bool yesIsDefault) override;
    void tell(const QString& caption, const QString& text, MessageIcon icon) override;
    Answer askYesNoCancel(const QString& caption, const QString& text, MessageIcon icon) override;
    bool askToDo(const QString& caption, const QString& text, MessageIcon icon,
                 const QString& doText, const QString& dontText) override;

private:
    QList<Answer> answers_;
    QList<Shown> shown_;
};

}  // namespace zukaro
