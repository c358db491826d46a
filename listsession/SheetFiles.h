#pragma once

#include <QStringList>
#include <vector>

#include "ListSheets.h"
#include "ProductRow.h"
#include "SafeFile.h"
#include "SheetState.h"
#include "WorkProgress.h"

// まとめて保存: a list's sheets as label files NAME-001.csv, NAME-002.csv, … each written whole
// through the safe save, or not at all.
namespace zukaro {

// NAME-001.csv, NAME-002.csv, ... beside the name the user chose.
QStringList numberedFiles(const QString& chosen, std::size_t count);

// The characters Shift_JIS cannot hold in what a save writes, a line each: the layout's, then
// each printed row's by its line and column.
QStringList unencodableLines(const SheetPlan& plan, const std::vector<ProductRow>& rows,
                             const Layout& layout);

// How far a save went: the files saved, and why the next one was not.
struct SavedSheets {
    qint64 saved = 0;
    FileResult refused{true, {}, {}};
};

// Sheet i of `plan` with `base`'s layout into `files[i]`, the characters Shift_JIS lacks as
// 「?」; stops at the first file refused or when cancelled. `done` is kept up to date as each
// file is saved, so that work stopped half-way still says which files are complete.
void saveSheets(const SheetPlan& plan, const SheetState& base, const QStringList& files,
                WorkProgress& progress, SavedSheets& done);

}  // namespace zukaro
