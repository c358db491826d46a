#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The cells of a product list as they stood in the source, before any column has a meaning.
namespace zukaro {

// A product list wider than this is not one; cells further right are not read (and said so).
inline constexpr int kMaxColumns = 1024;
// Bounds the memory a hostile file can make us spend (a cell far to the right in every row).
inline constexpr qsizetype kMaxCells = 8'000'000;

struct SourceRow {
    int line = 0;       // the line (CSV, clipboard) or row number (xlsx) where the row starts
    QStringList cells;  // left to right; a missing cell is an empty text
    QStringList notes;  // Japanese: what was odd in reading this row, which was kept anyway
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

// The outcome of reading a source. `error` is Japanese and names the file; empty when ok.
struct SourceResult {
    bool ok = false;
    QString error;
    QString format;  // what was read, for the caller to show: "UTF-8", "Shift_JIS", "xlsx"…
    SourceTable table;
};

}  // namespace zukaro
