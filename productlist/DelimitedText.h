#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include "SourceTable.h"
#include "WorkProgress.h"

// Comma-, tab- or semicolon-separated text with quoting as in RFC 4180.
namespace zukaro {

// The delimiter of the text, told from its first ten rows (quoted parts aside): of comma,
// tab and semicolon, the one that occurs in the most rows as often as in the first row, then
// the one occurring more often in the first row, then tab before comma before semicolon.
// Comma when none occurs.
QChar detectDelimiter(QStringView text);

// Splits the text into rows of cells. A field that starts with a double quote runs to the
// next lone double quote, over delimiters and line breaks ("" is one quote); line breaks
// inside it become LF. Rows end at CR LF, LF or CR; blank rows are left out. Oddities are
// noted on their row: text after a closing quote (kept, joined on), a quote left open (the
// rest of the text becomes that field), cells beyond kMaxColumns (not read). More than
// kMaxCells cells or kMaxRows rows refuses the text; the message names `name`. `progress`
// counts characters read, and stops the reading when cancelled.
SourceResult parseDelimitedText(QStringView text, QChar delimiter, const QString& name,
                                WorkProgress* progress = nullptr);

// The same, each row handed to `take` as soon as it is read; the result's table stays empty.
SourceResult parseDelimitedRows(QStringView text, QChar delimiter, const QString& name,
                                const RowSink& take, WorkProgress* progress = nullptr);

}  // namespace zukaro
