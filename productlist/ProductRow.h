#pragma once

#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

namespace zukaro {

// One product of a list, with the texts as the shop wrote them (never shortened here).
struct ProductRow {
    int line = 0;  // the source line (CSV, clipboard) or sheet row (xlsx), for messages
    QString jan, maker, product, spec, lot, price;
    int copies = 1;
    std::optional<int> taxRate;  // 8 or 10 (percent); nothing when the list does not say

    bool operator==(const ProductRow&) const = default;
};

// Something questionable about one row: either the row was left out (kept false), or it was
// read and the user should still look at it.
struct RowProblem {
    int line = 0;
    QString reason;  // Japanese, one sentence or two
    bool kept = false;

    // "12 行目: 枚数「abc」は…"
    QString text() const { return QStringLiteral("%1 行目: %2").arg(line).arg(reason); }
};

// Problems in the order of the list's lines; on one line, those of `first` come before those
// of `second` (the reading's before the layout's).
inline std::vector<RowProblem> inLineOrder(std::vector<RowProblem> first,
                                           const std::vector<RowProblem>& second = {}) {
    first.insert(first.end(), second.begin(), second.end());
    std::stable_sort(first.begin(), first.end(),
                     [](const RowProblem& a, const RowProblem& b) { return a.line < b.line; });
    return first;
}

// How many problems of a list are kept with their texts; the rest are only counted. No one reads
// further, and a hostile list can have a million.
inline constexpr std::size_t kKeptProblems = 1000;

struct ProductList {
    std::vector<ProductRow> rows;
    std::vector<RowProblem> problems;  // in line order, the first kKeptProblems of them
    qint64 problemCount = 0;           // all of them, kept or not
};

}  // namespace zukaro
