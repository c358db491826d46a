#pragma once

#include <optional>

#include "ColumnMapping.h"
#include "ProductRow.h"
#include "SourceTable.h"

namespace zukaro {

// The products of a table under a mapping. Blank rows are skipped without a word; every other
// row becomes a product or a problem, and what its source noted about it is listed too:
//   - rows before the header row are left out,
//   - a row whose used columns are all empty (it holds text only in unused ones) is left out,
//   - a row whose copies or tax rate do not read is left out (see CellValues.h).
// JAN and price lose surrounding blanks; maker, product, spec and lot are kept exactly.
ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping);

// The same for one row, for a list read row by row: `index` counts the rows as the table would.
// The problems go to `problems` (its first kKeptProblems kept, all counted); its rows are not
// touched.
std::optional<ProductRow> toProductRow(int index, const SourceRow& row,
                                       const ColumnMapping& mapping, ProductList& problems);

}  // namespace zukaro
