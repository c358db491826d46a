#pragma once

#include <QString>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "SheetState.h"

namespace zukaro {

// One product of a list, with the texts as the shop wrote them (never shortened here).
struct ProductRow {
    int line = 0;  // the source line (CSV, clipboard) or sheet row (xlsx), for messages
    QString jan, maker, product, spec, lot, price;
    int copies = 1;
    std::optional<int> taxRate;  // 8 or 10 (percent); nothing when the list does not say
    // Whether the price holds the tax (内税) or is not taxed (非課税); 外税 when not said.
    PriceTax taxKind = PriceTax::Exclusive;
    int batch = 0;  // 0: the list's file; 1, 2, …: the first, second, … paste after it
    // Whether the row's own columns said taxKind (a tax column, 税込価格 or 税抜価格). A list
    // without a word on it (no such column, or an empty cell) leaves the master's as it is.
    bool taxKindSaid = true;
    // A sale, as LabelRecord keeps it: whole-yen prices, days as "yyyy-MM-dd" (empty: open).
    QString salePrice{}, regularPrice{}, saleFrom{}, saleTo{};
    // Whether the row's list has a sale price column: an empty cell there says the product is
    // not on sale (the master's sale ends); a list without one leaves the master's as it is.
    bool saleSaid = false;

    bool operator==(const ProductRow&) const = default;
};

// Something questionable about one row: either the row was left out (kept false), or it was
// read and the user should still look at it.
struct RowProblem {
    int line = 0;
    QString reason;  // Japanese, one sentence or two
    bool kept = false;
    int batch = 0;  // as ProductRow::batch: the line of the file, or of which paste

    // "12 行目: 枚数「abc」は…"; a pasted row "貼り付け 2 行目: …" ("貼り付け(2回目) 2 行目"
    // for the second paste), so that no line number means two rows.
    QString text() const {
        const QString where = batch == 0   ? QString()
                              : batch == 1 ? QStringLiteral("貼り付け ")
                                           : QStringLiteral("貼り付け(%1回目) ").arg(batch);
        return QStringLiteral("%1%2 行目: %3").arg(where).arg(line).arg(reason);
    }
};

// Problems in the order of the list's lines; on one line, those of `first` come before those
// of `second` (the reading's before the layout's).
inline std::vector<RowProblem> inLineOrder(std::vector<RowProblem> first,
                                           const std::vector<RowProblem>& second = {}) {
    first.insert(first.end(), second.begin(), second.end());
    std::stable_sort(first.begin(), first.end(), [](const RowProblem& a, const RowProblem& b) {
        return std::pair(a.batch, a.line) < std::pair(b.batch, b.line);
    });
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
