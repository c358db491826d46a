#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

#include "LabelFileReport.h"
#include "SafeFile.h"
#include "SheetState.h"
#include "UnencodableText.h"

// The label data file: a header line "ズカロ", one record per label 1 to 21 (the number as
// " n", then JAN, maker, product name, spec, lot and price, all quoted), then the layout
// settings block. 32 lines, code page 932, CR LF, no byte-order mark.
namespace zukaro {

// Every character of the labels (in file order) and of the layout that code page 932
// cannot hold, so that the save command can ask before writing.
std::vector<UnencodableText> findUnencodable(const SheetState& sheet);

// The file's contents; characters code page 932 cannot hold are written as '?'.
QByteArray labelFileBytes(const SheetState& sheet);

// Replaces the file at `path` with the sheet, all or nothing. With UnencodablePolicy::Refuse
// and an unencodable character nothing is written and the error lists them.
FileResult writeLabelFile(const QString& path, const SheetState& sheet, UnencodablePolicy policy,
                          FileSystem& fs = FileSystem::real());

// True when the first field is exactly the text "ズカロ".
bool hasLabelFileHeader(QByteArrayView bytes);

// After a passed header check: empties the labels, places each record by its number (read
// from the start of the field, rounded halves to even; numbers outside 1-21 drop the record,
// a later record with the same number wins; unquoted numbers become their decimal text),
// then reads the settings block into the layout, leaving alone what does not read. A failed
// header check changes nothing in `sheet`.
LabelFileReport readLabelData(QByteArrayView bytes, SheetState& sheet);

// The same from a file: only a regular file of at most 16 MiB is read; anything else is not
// opened (`unreadable`, and the error says why). Every error names the file.
LabelFileReport readLabelFile(const QString& path, SheetState& sheet);

}  // namespace zukaro
