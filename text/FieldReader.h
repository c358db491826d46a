#pragma once

#include <QStringView>

#include "Field.h"

namespace zukaro {

// Reads fields one after another from decoded text. Fields are counted, not lines: a comma
// or a line end (CR LF, LF or CR) ends a field, so a record may be split over lines. Blank
// lines between fields are skipped. A quoted field runs to the next double quote, across
// line ends; whatever follows the closing quote up to the delimiter is ignored; an unclosed
// quote runs to the end of the text. Unquoted fields lose their surrounding blanks.
class FieldReader {
public:
    explicit FieldReader(QStringView text) : text_(text) {}

    // The next field; Field::Kind::Missing once the text is used up.
    Field next();

    // True when no field is left.
    bool atEnd();

    // True when the next field is the first of its line (or no field is left).
    bool atLineStart();

    // The line (1-based, counted as a text editor counts them) on which the field last
    // returned by next() started.
    int fieldLine() const { return fieldLine_; }

    // True once a quoted field ran to the end of the text without its closing quote.
    bool sawUnclosedQuote() const { return unclosedQuote_; }

    // How many characters stood between a closing quote and the next delimiter and were
    // dropped (a text that held a double quote).
    qsizetype droppedAfterQuotes() const { return droppedAfterQuotes_; }

private:
    void skipToFieldStart();
    void consumeDelimiter();

    // The line at `pos`; positions are only asked for in increasing order.
    int lineAt(qsizetype pos);

    QStringView text_;
    qsizetype pos_ = 0;
    qsizetype countedTo_ = 0;  // line ends before this position are counted in countedLine_
    int countedLine_ = 1;
    int fieldLine_ = 0;
    bool afterLineEnd_ = true;  // a line end (or the start) came last, not a comma
    bool unclosedQuote_ = false;
    qsizetype droppedAfterQuotes_ = 0;
};

}  // namespace zukaro
