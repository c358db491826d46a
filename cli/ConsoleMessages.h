#pragma once

#include <QTextStream>

#include "MessageBoxes.h"

namespace zukaro {

// The message boxes of a run without a window: every message goes to the error stream as
// "zukaro: text", continuation lines indented. A critical message marks the run as failed.
// No question is ever asked in a batch; one that came would be answered No.
//
// A list of a million bad rows must not become a million lines: of the notes (everything but
// failures) the first kShownNotes are written, the rest counted and summed up by
// reportOmittedNotes(). Control characters are written as escapes and a line longer than
// kLongestLine is cut, so nothing from a file can drive the terminal.
class ConsoleMessages final : public MessageBoxes {
public:
    static constexpr qint64 kShownNotes = 100;
    static constexpr qsizetype kLongestLine = 1000;

    explicit ConsoleMessages(QTextStream& err) : err_(err) {}

    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                  bool yesIsDefault) override;
    void tell(const QString& caption, const QString& text, MessageIcon icon) override;
    Answer askYesNoCancel(const QString& caption, const QString& text, MessageIcon icon) override;

    // Writes one note, as tell() does, without marking a failure.
    void write(const QString& text);
    // Says what the run did (the rows it chose, what it recorded): always written, never
    // counted among the notes.
    void say(const QString& text) { put(text); }
    // Notes that were never passed to write() (a list keeps only its first problems), to count
    // among those not shown.
    void countUnwritten(qint64 notes) { omitted_ += notes; }
    // "ほか 12,345 行" for the notes not written since the last summary, if any.
    void reportOmittedNotes();
    bool failed() const { return failed_; }

private:
    void put(const QString& text);

    QTextStream& err_;
    bool failed_ = false;
    qint64 written_ = 0;
    qint64 omitted_ = 0;
};

}  // namespace zukaro
