#include "CodeRows.h"

#include "MasterComparison.h"
#include "ShownText.h"

namespace zukaro {

std::vector<std::size_t> rowsOfCodesAlone(std::size_t rowCount, const RowAt& row) {
    std::vector<std::size_t> codes;
    for (std::size_t i = 0; i < rowCount; ++i) {
        if (holdsOnlyCode(row(i))) {
            codes.push_back(i);
        }
    }
    return codes;
}

qint64 fillCodes(const std::vector<std::size_t>& codes, const RowAt& row,
                 const std::function<void(std::size_t, const ProductRow&)>& put,
                 const QHash<QString, StoredProduct>& stored, const QString& named,
                 ProductList& problems) {
    qint64 filled = 0;
    for (const std::size_t i : codes) {
        ProductRow alone = row(i);
        const auto found = stored.constFind(ProductMaster::keyOf(alone.jan));
        if (found != stored.cend()) {
            fillFromStored(alone, found->product);
            put(i, alone);
            ++filled;
            continue;
        }
        if (problems.problems.size() < kKeptProblems) {
            problems.problems.push_back(
                {alone.line,
                 QStringLiteral("JAN コード「%1」は商品マスタ%2にありません（品名も売価もわかり"
                                "ません）。")
                     .arg(shownText(alone.jan), named),
                 false, alone.batch});
        }
        ++problems.problemCount;
    }
    problems.problems = inLineOrder(std::move(problems.problems));
    return filled;
}

}  // namespace zukaro
