#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

#include "ListSession.h"
#include "ProductMaster.h"
#include "ProductRow.h"

// A scanner's list, the JAN code alone on a row (or the code and 枚数): its texts, price and
// tax from the product master, the same in the list window and on --print-list.
namespace zukaro {

// The indices of the rows that hold a code alone, of `rowCount` rows.
std::vector<std::size_t> rowsOfCodesAlone(std::size_t rowCount, const RowAt& row);

// The rows `codes` filled from `stored` (the master's products by key), each handed back to
// `put`; a code the master does not know is noted by its line in `problems` (`named`: the
// master, as master::name() says it). Returns how many rows were filled.
qint64 fillCodes(const std::vector<std::size_t>& codes, const RowAt& row,
                 const std::function<void(std::size_t, const ProductRow&)>& put,
                 const QHash<QString, StoredProduct>& stored, const QString& named,
                 ProductList& problems);

}  // namespace zukaro
