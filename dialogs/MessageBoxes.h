#pragma once

#include <QString>

namespace zukaro {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class Answer { Yes, No, Cancel };

// The caption of the program's own questions and notices.
inline const QString kProgramCaption = QStringLiteral("ズカロ");

// Message boxes as the editor uses them: questions with Yes and No, and notices with OK.
// The Qt implementation shows QMessageBox; tests use a scripted double that records what was
// asked and answers from a script.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Returns true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                          bool yesIsDefault) = 0;
    virtual void tell(const QString& caption, const QString& text, MessageIcon icon) = 0;
    // はい, いいえ and キャンセル, Yes the default; closing the box is Cancel.
    virtual Answer askYesNoCancel(const QString& caption, const QString& text,
                                  MessageIcon icon) = 0;
    // A question whose two buttons say what they do (「一括で記録」 and 「記録しない」), the
    // first the default; Escape or closing the box is the second. True for the first. Where
    // buttons have no words of their own (a script's console), it is askYesNo.
    virtual bool askToDo(const QString& caption, const QString& text, MessageIcon icon,
                         const QString& doText, const QString& dontText) {
        Q_UNUSED(doText);
        Q_UNUSED(dontText);
        return askYesNo(caption, text, icon, true);
    }
};

}  // namespace zukaro
