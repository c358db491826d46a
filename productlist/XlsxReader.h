#pragma once

#include <QByteArrayView>
#include <QString>

#include "SourceTable.h"
#include "WorkProgress.h"
#include "XlsxParts.h"

// The first worksheet of an .xlsx workbook as a table of texts.
namespace zukaro {

// Reads the workbook in `bytes`: the first sheet as listed in xl/workbook.xml, found through
// xl/_rels/workbook.xml.rels, or xl/worksheets/sheet1.xml when those do not lead to one.
// `name` is the file name used in messages. `progress` counts the sheet's characters read,
// and stops the reading when cancelled.
SourceResult readXlsx(QByteArrayView bytes, const QString& name, WorkProgress* progress = nullptr);
// The same, each row handed to `take` as soon as it is read; the result's table stays empty.
SourceResult readXlsxRows(QByteArrayView bytes, const QString& name, const RowSink& take,
                          WorkProgress* progress = nullptr);

}  // namespace zukaro
