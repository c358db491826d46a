#pragma once

#include <QByteArrayView>
#include <QString>

#include "SourceTable.h"

// Where a product list comes from: a file (CSV/TSV text or .xlsx) or rows pasted from the
// clipboard. The table that comes out still has its header row, if any (see ColumnMapping).
namespace zukaro {

// Reads the file at `path` (a regular file of at most kMaxFileSize bytes). A zip file is read
// as an .xlsx workbook, anything else as text (see decodeSourceText, detectDelimiter).
SourceResult readProductFile(const QString& path);

// The same from bytes already read; `name` is the file name used in messages.
SourceResult readProductBytes(QByteArrayView bytes, const QString& name);

// Text from the clipboard. A spreadsheet puts its cells there separated by tabs, so tab is
// taken whenever the text holds one; otherwise (lines copied from a CSV file, say) the
// delimiter is detected.
SourceResult readPastedRows(const QString& text);

}  // namespace zukaro
