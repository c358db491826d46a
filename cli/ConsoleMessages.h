#pragma once

#include <QTextStream>

#include "MessageBoxes.h"

namespace zukaro {

// The message boxes of a run without a window: every message goes to the error stream as
// "zukaro: text", continuation lines indented. A critical message marks the run as failed.
// No question is ever asked in a batch; one that came would be answered No.
class ConsoleMessages final : public MessageBoxes {
public:
    explicit ConsoleMessages(QTextStream& err) : err_(err) {}

    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                  bool yesIsDefault) override;
    void tell(const QString& caption, const QString& text, MessageIcon icon) override;
    Answer askYesNoCancel(const QString& caption, const QString& text, MessageIcon icon) override;

    // Writes one message, as tell() does, without marking a failure.
    void write(const QString& text);
    bool failed() const { return failed_; }

private:
    QTextStream& err_;
    bool failed_ = false;
};

}  // namespace zukaro
