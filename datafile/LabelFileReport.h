#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "SettingsBlock.h"

namespace zukaro {

// What reading a label data file did beyond the plain case, so the open command can warn
// once. Reading goes on past every problem and keeps what it could read.
struct LabelFileReport {
    bool opened = false;      // the header passed: the labels were emptied and read
    bool unreadable = false;  // the file itself could not be read (missing, a pipe, too large)
    QString error;            // why the file was not opened (Japanese, names the file)
    QString encodingHint;     // for a file saved in UTF-8 or UTF-16 instead of Shift_JIS

    std::vector<int> droppedRecords;     // file positions (1-21) of records numbered outside 1-21
    std::vector<int> overwrittenLabels;  // labels filled by more than one record (the later won)
    int missingFields = 0;               // record fields the file ended before
    int settingsFieldsSkipped = 0;       // settings fields missing, of the wrong type or too big
    qsizetype invalidBytes = 0;          // bytes that were no character, read as U+FFFD
    qsizetype nulCharacters = 0;         // NUL characters taken out of the label texts
    bool unclosedQuote = false;          // a quote ran to the end of the file
    qsizetype droppedAfterQuotes = 0;    // characters after a closing quote, not read

    // Lines after the block (or the ends of them) that were not read.
    std::vector<SkippedLine> skippedLines;
    qint64 moreSkippedLines = 0;  // counted only (kKeptSkippedLines)

    // One Japanese line per kind of problem; empty when the file read cleanly.
    QStringList warnings() const;
    bool anythingSkipped() const { return !warnings().isEmpty(); }
};

}  // namespace zukaro
