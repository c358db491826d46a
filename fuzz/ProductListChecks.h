#pragma once

// What must hold for any product list the readers took, whatever its bytes: the rows become
// products and sheets without a crash, line numbers stay positive, no label is laid out twice
// or lost, and no message carries a control character a terminal would obey.
#include <QString>

#include "ColumnMapping.h"
#include "ListSheets.h"
#include "ProductRows.h"
#include "SourceTable.h"

namespace zukaro::fuzzing {

inline void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

inline void requireShowable(const QString& text) {
    for (const QChar c : text) {
        require(c.unicode() >= 0x20 || c == u'\n');
    }
}

inline void checkList(const SourceResult& read) {
    require(read.ok != !read.error.isEmpty());
    if (!read.ok) {
        requireShowable(read.error);
        return;
    }
    for (const SourceRow& row : read.table.rows) {
        require(row.line >= 1);
        require(row.cells.size() <= kMaxColumns);
    }
    const ColumnMapping mapping = ColumnMapping::detect(read.table);
    const ProductList list = toProductRows(read.table, mapping);
    require(list.problemCount >= static_cast<qint64>(list.problems.size()));
    for (const RowProblem& problem : list.problems) {
        require(problem.line >= 1);
        requireShowable(problem.reason);
    }
    const SheetPlan plan(planRowsOf(list.rows), 1 + static_cast<int>(list.rows.size() % 21));
    qint64 filled = 0;
    for (qint64 i = 0; i < plan.sheetCount() && i < 8; ++i) {
        const SheetState sheet = plan.sheet(i, {});
        for (int n = 1; n <= kLabelCount; ++n) {
            filled += sheet.productText[n].isEmpty() ? 0 : 1;
        }
    }
    require(plan.sheetCount() > 8 || filled == plan.labels());
    for (const RowProblem& problem : plan.problems()) {
        requireShowable(problem.reason);
    }
}

}  // namespace zukaro::fuzzing
