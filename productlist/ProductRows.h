#pragma once

#include <functional>
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
// JAN loses surrounding blanks; a price is read as shops write it (see listPrice), and one that
// is not whole yen is kept as written and listed; maker, product, spec and lot are kept exactly.
ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping);

// The same for one row, for a list read row by row: `index` counts the rows as the table would.
// The problems go to `problems` (its first kKeptProblems kept, all counted); its rows are not
// touched.
std::optional<ProductRow> toProductRow(int index, const SourceRow& row,
                                       const ColumnMapping& mapping, ProductList& problems);

// A list read row by row into products, so that its table is never held whole: `read` (one of
// the readers of ProductListSource.h) hands over the rows, the header is looked for in the
// first ones as ColumnMapping::detect does (unless a mapping is `given`), and every product goes
// to `keep` as soon as it is made.
struct ReadProducts {
    SourceResult source;  // whether it read, and as what; its table stays empty
    ColumnMapping mapping = ColumnMapping::positional();
    SourceTable head;      // the first rows, for choosing the columns again
    ProductList problems;  // only the problems: the products went to `keep`
};
ReadProducts readProducts(const std::function<SourceResult(const RowSink&)>& read,
                          QSettings* remembered, const std::optional<ColumnMapping>& given,
                          const std::function<void(ProductRow&&)>& keep);

}  // namespace zukaro
