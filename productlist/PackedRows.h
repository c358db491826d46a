#pragma once

#include <QString>
#include <array>
#include <vector>

#include "ListSheets.h"
#include "ProductRow.h"

namespace zukaro {

// Product rows in little memory, for printing a long list: the texts of every row one after
// another in one buffer, and per row only where they lie. 100,000 rows take about 15 MB this
// way against 40 MB as ProductRows, whose every text is an allocation of its own.
class PackedRows {
public:
    // Room for `rows` rows of `chars` characters of text in all, both counted generously.
    void reserve(std::size_t rows, qsizetype chars);
    void append(const ProductRow& row);
    // Row i as `row` now (its old texts stay in the buffer, unused: replacing is rare).
    void replace(std::size_t i, const ProductRow& row);

    std::size_t size() const { return rows_.size(); }
    ProductRow at(std::size_t i) const;
    int lineOf(std::size_t i) const { return rows_[i].line; }
    // What a SheetPlan reads; the rows must outlive it.
    PlanRows planRows() const;

private:
    struct Row {
        qsizetype start = 0;            // of the first text in `texts_`
        std::array<qint32, 10> ends{};  // where each text ends, from `start`
        int line = 0;
        qint16 copies = 1;
        qint8 taxRate = -1;  // -1 when the list does not say
        qint8 taxKind = 0;   // PriceTax, + kUnsaid when the list did not say it
        bool saleSaid = false;
    };
    Row packed(const ProductRow& row);

    QString texts_;
    std::vector<Row> rows_;
};

}  // namespace zukaro
