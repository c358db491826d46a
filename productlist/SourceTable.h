#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "ShownText.h"

// The cells of a product list as they stood in the source, before any column has a meaning.
namespace zukaro {

// A product list wider than this is not one; cells further right are not read (and said so).
inline constexpr int kMaxColumns = 1024;
// Bound the memory a hostile file can make us spend (a cell far to the right in every row, a
// million one-letter rows). A list longer than a worksheet can be is not a shop's list.
inline constexpr qsizetype kMaxCells = 8'000'000;
inline constexpr qsizetype kMaxRows = 1'048'576;
// A cell holds at most this many characters; a longer one is cut, with a note on its row. No
// shop's name or price is longer, and a cell of twenty million characters would cost memory
// and time at every step after (the master, the labels, the window's table).
inline constexpr qsizetype kMaxCellLength = 4096;

// `text` cut to kMaxCellLength characters, never half of a surrogate pair.
inline void cutToCellLength(QString& text) {
    if (text.size() > kMaxCellLength) {
        text.truncate(text[kMaxCellLength - 1].isHighSurrogate() ? kMaxCellLength - 1
                                                                 : kMaxCellLength);
    }
}

// The note on a row whose cell (`cell`: "3 列目", "セル B2") of `length` characters was cut.
inline QString cellCutNote(const QString& cell, qsizetype length) {
    return QStringLiteral(
               "%1の文字が %2 文字を超えるため、最初の %2 文字だけを読みました（全 %3 "
               "文字）。")
        .arg(cell, countText(kMaxCellLength), countText(length));
}

struct SourceRow {
    int line = 0;           // the line (CSV, clipboard) or row number (xlsx) where the row starts
    QStringList cells;      // left to right; a missing cell is an empty text
    QStringList notes;      // Japanese: what was odd in reading this row, which was kept anyway
    bool days1904 = false;  // its date cells count days from 1904 (an old Mac workbook's)
};

// True when every cell is empty or blanks only.
inline bool isBlankRow(const QStringList& cells) {
    for (const QString& cell : cells) {
        if (!cell.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

struct SourceTable {
    std::vector<SourceRow> rows;  // blank rows (isBlankRow) are left out
};

// Takes the rows of a source one by one as they are read, in order, for a list too long to hold
// as a table; the blank rows are left out as from a table.
using RowSink = std::function<void(SourceRow&&)>;

// The outcome of reading a source. `error` is Japanese and names the file; empty when ok.
struct SourceResult {
    bool ok = false;
    bool cancelled = false;  // stopped on the user's word; not ok, and nothing to say
    QString error;
    QString format;  // what was read, for the caller to show: "UTF-8", "Shift_JIS", "xlsx"…
    SourceTable table;
};

}  // namespace zukaro
