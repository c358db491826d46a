#include "ProductRows.h"

#include "CellValues.h"
#include "ShownText.h"

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
        return QStringLiteral("枚数「%1」は 0〜999 の整数ではありません。").arg(shownText(copies));
    }
    const QString tax = cellOf(row, mapping, ProductColumn::TaxRate);
    const TaxRateCell rate = parseTaxRate(tax);
    if (!rate.ok) {
        return QStringLiteral("税率「%1」は読めません（8、10、8%、10%、軽減 のどれかです）。")
            .arg(shownText(tax));
    }
    product.taxRate = rate.rate;
    return {};
}

// A note when the row has text in cells the header does not name: the cells are read by the
// header's columns all the same, so a price like ¥12,800 left unquoted prints as 12.
QString beyondHeader(const SourceRow& row, const ColumnMapping& mapping) {
    const int width = mapping.headerWidth();
    if (width <= 0 || row.cells.size() <= width) {
        return {};
    }
    for (int i = width; i < row.cells.size(); ++i) {
        if (!row.cells[i].trimmed().isEmpty()) {
            return QStringLiteral(
                       "見出しのない列にも文字があります（%1 列目「%2」）。見出しの"
                       "ない列は使わず、見出しの列だけを読みました。CSV で値に「,」"
                       "があるときは「\"」で囲んでください。")
                .arg(i + 1)
                .arg(shownText(row.cells[i]));
        }
    }
    return {};
}

}  // namespace

std::optional<ProductRow> toProductRow(int index, const SourceRow& row,
                                       const ColumnMapping& mapping, ProductList& problems) {
    const auto tell = [&problems](int line, const QString& reason, bool kept) {
        if (problems.problems.size() < kKeptProblems) {
            problems.problems.push_back({line, reason, kept});
        }
        ++problems.problemCount;
    };
    const int headerRow = mapping.headerRow();
    if (index == headerRow) {
        return std::nullopt;
    }
    if (index < headerRow) {
        tell(row.line, QStringLiteral("見出しの行より前にあるので、読み込みませんでした。"), false);
        return std::nullopt;
    }
    if (isBlankRow(row.cells) && row.notes.isEmpty()) {
        return std::nullopt;
    }
    ProductRow product;
    product.line = row.line;
    const QString why = refusal(row, mapping, product);
    const bool kept = why.isEmpty();
    if (!kept) {
        tell(row.line, why + QStringLiteral("この行は読み込みませんでした。"), false);
    }
    for (const QString& note : row.notes) {
        tell(row.line, note, kept);
    }
    if (!kept) {
        return std::nullopt;
    }
    if (const QString extra = beyondHeader(row, mapping); !extra.isEmpty()) {
        tell(row.line, extra, true);
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
            tell(row.line,
                 QStringLiteral("売価「%1」は円の整数ではないため、書いてあるとおりに"
                                "印刷します（税込の計算もしません）。")
                     .arg(shownText(price)),
                 true);
        }
    }
    return product;
}

ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping) {
    ProductList list;
    list.rows.reserve(table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        if (std::optional<ProductRow> product =
                toProductRow(static_cast<int>(i), table.rows[i], mapping, list)) {
            list.rows.push_back(std::move(*product));
        }
    }
    return list;
}

ReadProducts readProducts(const std::function<SourceResult(const RowSink&)>& read,
                          QSettings* remembered, const std::optional<ColumnMapping>& given,
                          const std::function<void(ProductRow&&)>& keep) {
    ReadProducts out;
    std::optional<ColumnMapping> mapping = given;
    int index = 0;
    const auto convert = [&](const SourceRow& row) {
        if (std::optional<ProductRow> product =
                toProductRow(index++, row, *mapping, out.problems)) {
            keep(std::move(*product));
        }
    };
    const auto detect = [&] {
        if (!mapping) {
            mapping = ColumnMapping::detect(out.head, remembered);
        }
        for (const SourceRow& row : out.head.rows) {
            convert(row);
        }
    };
    out.source = read([&](SourceRow&& row) {
        if (out.head.rows.size() == ColumnMapping::kHeaderSearchRows) {
            convert(row);
            return;
        }
        out.head.rows.push_back(std::move(row));
        if (out.head.rows.size() == ColumnMapping::kHeaderSearchRows) {
            detect();
        }
    });
    if (out.source.ok && out.head.rows.size() < ColumnMapping::kHeaderSearchRows) {
        detect();
    }
    out.mapping = mapping.value_or(ColumnMapping::positional());
    return out;
}

}  // namespace zukaro
