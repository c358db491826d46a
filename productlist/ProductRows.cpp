#include "ProductRows.h"

#include "CellValues.h"

namespace zukaro {

namespace {

QString cellOf(const SourceRow& row, const ColumnMapping& mapping, ProductColumn what) {
    const int index = mapping.column(what);
    return index >= 0 && index < row.cells.size() ? row.cells[index] : QString();
}

// Why the row cannot be a product; empty when it can.
QString refusal(const SourceRow& row, const ColumnMapping& mapping, ProductRow& product) {
    bool anyUsed = false;
    for (const ProductColumn what : kProductColumns) {
        anyUsed = anyUsed || !cellOf(row, mapping, what).trimmed().isEmpty();
    }
    if (!anyUsed) {
        return QStringLiteral("使う列がどれも空で、ほかの列にだけ文字があります。");
    }
    const QString copies = cellOf(row, mapping, ProductColumn::Copies);
    if (const std::optional<int> n = parseCopies(copies)) {
        product.copies = *n;
    } else {
        return QStringLiteral("枚数「%1」は 0〜999 の整数ではありません。").arg(copies);
    }
    const QString tax = cellOf(row, mapping, ProductColumn::TaxRate);
    const TaxRateCell rate = parseTaxRate(tax);
    if (!rate.ok) {
        return QStringLiteral("税率「%1」は読めません（8、10、8%、10%、軽減 のどれかです）。")
            .arg(tax);
    }
    product.taxRate = rate.rate;
    return {};
}

}  // namespace

ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping) {
    ProductList list;
    const int headerRow = mapping.headerRow();
    for (int i = 0; i < static_cast<int>(table.rows.size()); ++i) {
        const SourceRow& row = table.rows[static_cast<std::size_t>(i)];
        if (i == headerRow) {
            continue;
        }
        if (i < headerRow) {
            list.problems.push_back(
                {row.line, QStringLiteral("見出しの行より前にあるので、読み込みませんでした。"),
                 false});
            continue;
        }
        if (isBlankRow(row.cells) && row.notes.isEmpty()) {
            continue;
        }
        ProductRow product;
        product.line = row.line;
        const QString why = refusal(row, mapping, product);
        const bool kept = why.isEmpty();
        if (!kept) {
            list.problems.push_back(
                {row.line, why + QStringLiteral("この行は読み込みませんでした。"), false});
        }
        for (const QString& note : row.notes) {
            list.problems.push_back({row.line, note, kept});
        }
        if (!kept) {
            continue;
        }
        product.jan = janText(cellOf(row, mapping, ProductColumn::Jan));
        product.maker = cellOf(row, mapping, ProductColumn::Maker);
        product.product = cellOf(row, mapping, ProductColumn::Product);
        product.spec = cellOf(row, mapping, ProductColumn::Spec);
        product.lot = cellOf(row, mapping, ProductColumn::Lot);
        const QString price = cellOf(row, mapping, ProductColumn::Price).trimmed();
        if (const std::optional<QString> yen = listPrice(price)) {
            product.price = *yen;
        } else {
            product.price = price;
            if (!price.isEmpty()) {
                list.problems.push_back(
                    {row.line,
                     QStringLiteral("売価「%1」は円の整数ではないため、書いてあるとおりに"
                                    "印刷します（税込の計算もしません）。")
                         .arg(price),
                     true});
            }
        }
        list.rows.push_back(std::move(product));
    }
    return list;
}

}  // namespace zukaro
