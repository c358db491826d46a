#pragma once

#include <QDate>
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
// is not whole yen is kept as written and listed; maker, product, spec and lot are kept
// exactly, but for half-width katakana, which is made full-width unless `options` say not to. The
// price and its tax kind come from the price columns and the tax columns (see HeaderNames.h): a
// price column of its own (売価…) with the row's 税区分, else 税込価格 (内税) or 税抜価格, else
// 通常価格. 軽減税率対象 sets the class (○: 8, ×: 10) and must agree with a rate column. A sale
// (特売価格, 特売開始日, 特売終了日, 通常価格; see listDate for the days) whose prices are not
// whole yen, whose days do not read or whose end comes before its start leaves its row out; a
// period without a sale price is noted. A sale without a 通常価格 replaces the row's price.
struct RowOptions {
    bool widenKatakana = true;  // ｶﾀｶﾅ → カタカナ in maker, product name, spec and lot
    QDate printDay;             // the year of a sale's day written without one (12/8); null: today
};
ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping,
                          const RowOptions& options = {});

// Why the table is no product list, in Japanese with what one looks like, naming the list
// `name`; empty when it is one. A list read row by row is judged by its first rows (its head).
// Refused are an empty table, a header naming neither a JAN nor a product-name column, and a table
// without a header whose first column holds no JAN code (7, 8, 12 or 13 digits) in any row.
QString notAProductList(const SourceTable& table, const ColumnMapping& mapping,
                        const QString& name);

// The same for one row, for a list read row by row: `index` counts the rows as the table would.
// The problems go to `problems` (its first kKeptProblems kept, all counted); its rows are not
// touched.
std::optional<ProductRow> toProductRow(int index, const SourceRow& row,
                                       const ColumnMapping& mapping, ProductList& problems,
                                       const RowOptions& options = {});

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
                          const std::function<void(ProductRow&&)>& keep,
                          const RowOptions& options = {});

}  // namespace zukaro
