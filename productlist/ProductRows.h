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
// is not whole yen is kept as written and listed; maker, product, spec and lot are kept
// exactly, but for half-width katakana, which is made full-width unless `options` say not to. The price
// and its tax kind come from the price columns and the tax columns (see HeaderNames.h): a
// price column of its own (売価…) with the row's 税区分, else 税込価格 (内税) or 税抜価格.
struct RowOptions {
    bool widenKatakana = true;  // ｶﾀｶﾅ → カタカナ in maker, product name, spec and lot
};
ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping,
                          const RowOptions& options = {});

// Why the table is no product list, in Japanese with what one looks like, naming the list
// `name`; empty when it is one. Refused are an empty table, a header naming neither a JAN
// nor a product-name column, and a table without a header whose first column holds no JAN
// code (7, 8, 12 or 13 digits) in any row.
QString notAProductList(const SourceTable& table, const ColumnMapping& mapping,
                        const QString& name);

}  // namespace zukaro
