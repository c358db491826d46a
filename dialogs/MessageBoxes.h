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
};

}  // namespace zukaro
