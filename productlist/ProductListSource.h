#pragma once

#include <QByteArrayView>
#include <QString>

#include "SourceTable.h"
#include "WorkProgress.h"

// Where a product list comes from: a file (CSV/TSV text or .xlsx) or rows pasted from the
// clipboard. The table that comes out still has its header row, if any (see ColumnMapping).
namespace zukaro {

// A list file can be larger than a label file: a chain's master of a million products.
inline constexpr qint64 kMaxProductListSize = 64 * 1024 * 1024;

// Reads the file at `path` (a regular file of at most kMaxProductListSize bytes). A zip file is
// read as an .xlsx workbook, anything else as text (see decodeSourceText, detectDelimiter).
// `progress` follows the reading and can stop it (the result is then `cancelled`).
SourceResult readProductFile(const QString& path, WorkProgress* progress = nullptr);

// The same from bytes already read; `name` is the file name used in messages.
SourceResult readProductBytes(QByteArrayView bytes, const QString& name,
                              WorkProgress* progress = nullptr);

// The same two, each row handed to `take` as soon as it is read instead of kept in a table
// (which stays empty): a list of 100,000 rows is never held twice. When the reading fails
// or is cancelled, the rows taken so far are to be dropped.
SourceResult readProductFileRows(const QString& path, const RowSink& take,
                                 WorkProgress* progress = nullptr);
SourceResult readProductBytesRows(QByteArrayView bytes, const QString& name, const RowSink& take,
                                  WorkProgress* progress = nullptr);

// Text from the clipboard. A spreadsheet puts its cells there separated by tabs, so tab is
// taken whenever the text holds one; otherwise (lines copied from a CSV file, say) the
// delimiter is detected.
SourceResult readPastedRows(const QString& text, WorkProgress* progress = nullptr);
SourceResult readPastedRows(const QString& text, const RowSink& take,
                            WorkProgress* progress = nullptr);

}  // namespace zukaro
