#pragma once

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

#include "SourceTable.h"
#include "WorkProgress.h"

// The XML parts of an .xlsx workbook that a product list needs, each read as it comes out of
// its device (the zip entry as it is unpacked: a part is never held whole). The zip around
// them is XlsxReader's business.
namespace zukaro {

// No part of a workbook is read past this size, whatever its zip entry claims; a sheet's
// shared strings count against it as the cells that use them would if written there.
inline constexpr qint64 kMaxXlsxPartSize = 64 * 1024 * 1024;

}  // namespace zukaro

namespace zukaro::xlsx {

struct Relationship {
    QString id;
    QString type;    // the full type URI
    QString target;  // a path inside the zip, resolved, without a leading slash
};

struct Relationships {
    std::vector<Relationship> list;
    QString error;  // empty when the XML read
};

// A .rels part. Targets are resolved against `baseFolder` (e.g. "xl"), an absolute target
// ("/xl/…") against the zip's root; external targets are left out.
Relationships parseRelationships(QIODevice& xml, const QString& baseFolder);

// What is read of workbook.xml: the relationship id of its first sheet (empty when it has none
// or the XML does not read), and whether its date cells count days from 1904-01-01 (the date
// system of Excel for Mac before 2011) rather than from 1899-12-30.
struct Workbook {
    QString firstSheet;
    bool days1904 = false;
};
Workbook readWorkbook(QIODevice& xml);

struct SharedStrings {
    QStringList strings;                // each cut to kMaxCellLength characters
    QHash<qsizetype, qsizetype> whole;  // the whole length of those cut, by index
    QString error;                      // empty when the XML read
};

// sharedStrings.xml: each item's text, the runs of rich text joined, the phonetic guide
// (furigana) left out. Stops, with nothing, when `progress` is cancelled.
SharedStrings parseSharedStrings(QIODevice& xml, WorkProgress* progress = nullptr);

// A worksheet's cells: shared and inline strings, formula results (their cached values),
// booleans as TRUE/FALSE, numbers through numberText, error values as their text (noted on
// the row), each handed to `take` as soon as its row is read. A cell's text longer than
// kMaxCellLength is cut, with a note. `line` is the sheet's row number (1 to 1,048,576; a row
// without one, or with another, follows the row before it, with a note). The sheet is refused
// when its cells with the shared strings they use would make a part larger than
// kMaxXlsxPartSize (a few shared strings of megabytes each, used by every row). The error is
// empty when the XML read, and when `progress` was cancelled; `progress` counts characters
// read.
//
// Every part is refused when it has a document type declaration: a workbook never has one,
// and its entities are the way to make a few bytes of XML expand into gigabytes.
QString parseSheetRows(QIODevice& xml, const SharedStrings& shared, const RowSink& take,
                       WorkProgress* progress = nullptr);

// The text of a number as a spreadsheet stores it, as a person would read it: an integer
// keeps all its digits, other values their shortest decimal form after rounding to the 15
// significant digits a spreadsheet shows ("398.0" → "398", "4.901234567894E+12" →
// "4901234567894", "0.30000000000000004" → "0.3"). Never an exponent.
QString numberText(QStringView stored);

// Undoes the _xHHHH_ escapes of OOXML strings and makes every line break LF.
QString unescapeText(QStringView text);

// The zero-based column of a cell reference ("A1" → 0, "AB12" → 27); -1 when it is none.
int columnOfReference(QStringView reference);

}  // namespace zukaro::xlsx
