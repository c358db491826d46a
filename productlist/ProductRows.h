#pragma once

#include "ColumnMapping.h"
#include "ProductRow.h"
#include "SourceTable.h"

namespace zukaro {

// The products of a table under a mapping. Blank rows are skipped without a word; every other
// row becomes a product or a problem, and what its source noted about it is listed too:
//   - rows before the header row are left out,
//   - a row whose used columns are all empty (it holds text only in unused ones) is left out,
//   - a row whose copies or tax rate do not read is left out (see CellValues.h).
// JAN loses surrounding blanks; a price is read as shops write it (see listPrice), and one that
// is not whole yen is kept as written and listed; maker, product, spec and lot are kept exactly.
ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping);

}  // namespace zukaro
