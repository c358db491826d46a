#include "PackedRows.h"

namespace zukaro {
namespace {

constexpr qint8 kUnsaid = 8;  // beside the PriceTax values

}  // namespace

void PackedRows::reserve(std::size_t rows, qsizetype chars) {
    rows_.reserve(rows);
    texts_.reserve(chars);
}

PackedRows::Row PackedRows::packed(const ProductRow& row) {
    Row packed;
    packed.start = texts_.size();
    packed.line = row.line;
    packed.copies = static_cast<qint16>(row.copies);  // 0-999
    packed.taxRate = row.taxRate ? static_cast<qint8>(*row.taxRate) : qint8(-1);
    packed.taxKind =
        static_cast<qint8>(static_cast<int>(row.taxKind) + (row.taxKindSaid ? 0 : kUnsaid));
    packed.saleSaid = row.saleSaid;
    const QString* texts[] = {&row.jan,      &row.maker, &row.product,   &row.spec,
                              &row.lot,      &row.price, &row.salePrice, &row.regularPrice,
                              &row.saleFrom, &row.saleTo};
    for (std::size_t i = 0; i < packed.ends.size(); ++i) {
        texts_ += *texts[i];
        packed.ends[i] = static_cast<qint32>(texts_.size() - packed.start);
    }
    return packed;
}

void PackedRows::append(const ProductRow& row) {
    rows_.push_back(packed(row));
}

void PackedRows::replace(std::size_t i, const ProductRow& row) {
    rows_[i] = packed(row);
}

ProductRow PackedRows::at(std::size_t i) const {
    const Row& packed = rows_[i];
    const auto text = [&](std::size_t k) {
        const qint32 from = k == 0 ? 0 : packed.ends[k - 1];
        return texts_.mid(packed.start + from, packed.ends[k] - from);
    };
    ProductRow row{packed.line, text(0), text(1),       text(2),     text(3),
                   text(4),     text(5), packed.copies, std::nullopt};
    if (packed.taxRate >= 0) {
        row.taxRate = packed.taxRate;
    }
    row.taxKind = static_cast<PriceTax>(packed.taxKind % kUnsaid);
    row.taxKindSaid = packed.taxKind < kUnsaid;
    row.salePrice = text(6);
    row.regularPrice = text(7);
    row.saleFrom = text(8);
    row.saleTo = text(9);
    row.saleSaid = packed.saleSaid;
    return row;
}

PlanRows PackedRows::planRows() const {
    return {rows_.size(), [this](std::size_t i) { return at(i); }};
}

}  // namespace zukaro
