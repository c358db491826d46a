#include "ProductRows.h"

#include <algorithm>

#include "CellValues.h"
#include "ShownText.h"

namespace zukaro {

namespace {

QString cellOf(const SourceRow& row, const ColumnMapping& mapping, ProductColumn what) {
    const int index = mapping.column(what);
    return index >= 0 && index < row.cells.size() ? row.cells[index] : QString();
}

// The price of the row and how it stands to tax. A plain price column (売価, 商品単価…) is
// 外税 unless the row's tax columns say otherwise. Without one, a register's 税込価格 is the
// price and is 内税, its 税抜価格 is 外税; with both, the row's tax kind chooses (a 外税
// product takes 税抜価格), and otherwise 税込価格 wins, since it is what the register charges.
QString priceOf(const SourceRow& row, const ColumnMapping& mapping, ProductRow& product,
                std::optional<PriceTax> stated) {
    const bool gross = mapping.column(ProductColumn::GrossPrice) >= 0;
    const bool net = mapping.column(ProductColumn::NetPrice) >= 0;
    // A register that writes its sale beside the 通常価格 may have no other price.
    ProductColumn column = mapping.column(ProductColumn::Price) < 0 && !gross && !net &&
                                   mapping.column(ProductColumn::RegularPrice) >= 0
                               ? ProductColumn::RegularPrice
                               : ProductColumn::Price;
    PriceTax kind = stated.value_or(PriceTax::Exclusive);
    if (mapping.column(ProductColumn::Price) < 0 && (gross || net)) {
        const bool takeNet = !gross || (net && stated == PriceTax::Exclusive);
        column = takeNet ? ProductColumn::NetPrice : ProductColumn::GrossPrice;
        kind = stated == PriceTax::Exempt ? PriceTax::Exempt
               : takeNet                  ? PriceTax::Exclusive
                                          : PriceTax::Inclusive;
    }
    product.taxKind = kind;
    product.taxKindSaid = stated.has_value() || column == ProductColumn::GrossPrice ||
                          column == ProductColumn::NetPrice;
    return cellOf(row, mapping, column).trimmed();
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
    // Neither a label nor the master could keep it alike (a NUL from a workbook's _x0000_).
    for (const ProductColumn what : kProductColumns) {
        if (const QString bad = unstorableCharacter(cellOf(row, mapping, what)); !bad.isEmpty()) {
            return QStringLiteral("%1に文字でないもの（%2）があります。")
                .arg(displayName(what), bad);
        }
    }
    const QString copies = cellOf(row, mapping, ProductColumn::Copies);
    if (const std::optional<int> n = parseCopies(copies)) {
        product.copies = *n;
    } else {
        return QStringLiteral("枚数「%1」は 0〜999 の整数ではありません。").arg(shownText(copies));
    }
    // The rate and the kind may each be in either column (適用税率「軽減税率」, 税区分「内税」,
    // or one column 「内税8%」).
    const QString rateCell = cellOf(row, mapping, ProductColumn::TaxRate);
    const TaxCell rate = parseTaxCell(rateCell);
    if (!rate.ok) {
        return QStringLiteral(
                   "税率「%1」は読めません（8、10、8%、10%、標準税率、軽減税率、"
                   "非課税 のどれかです）。")
            .arg(shownText(rateCell));
    }
    const QString kindCell = cellOf(row, mapping, ProductColumn::TaxKind);
    const TaxCell kind = parseTaxCell(kindCell);
    if (!kind.ok) {
        return QStringLiteral(
                   "税区分「%1」は読めません（外税、内税、税抜、税込、非課税 のどれか"
                   "です）。")
            .arg(shownText(kindCell));
    }
    const std::optional<int> taxRate = rate.rate ? rate.rate : kind.rate;
    // 非課税 in either column wins: a register's 税設定 (外税 / 内税) says how prices are
    // entered, 適用税率 whether the product is taxed at all.
    const bool exempt = kind.kind == PriceTax::Exempt || rate.kind == PriceTax::Exempt;
    const std::optional<PriceTax> stated =
        exempt ? PriceTax::Exempt : (kind.kind ? kind.kind : rate.kind);
    if (taxRate && stated == PriceTax::Exempt) {
        return QStringLiteral(
                   "税率「%1」と税区分「%2」が食い違っています（非課税に税率はありま"
                   "せん）。")
            .arg(shownText(rateCell), shownText(kindCell));
    }
    // 軽減税率対象 names the class: ○ 軽減, × 標準 (or 非課税, which the tax columns say).
    const QString reducedCell = cellOf(row, mapping, ProductColumn::ReducedRate);
    const YesNoCell reduced = parseReducedCell(reducedCell);
    if (!reduced.ok) {
        return QStringLiteral(
                   "軽減税率対象「%1」は読めません（○、×、1、0、対象、対象外 のどれかです）。")
            .arg(shownText(reducedCell));
    }
    std::optional<int> classRate = taxRate;
    if (reduced.yes) {
        const int named = *reduced.yes ? kReducedTaxRate : kStandardTaxRate;
        if ((taxRate && *taxRate != named) || (stated == PriceTax::Exempt && *reduced.yes)) {
            return QStringLiteral("軽減税率対象「%1」と税率「%2」が食い違っています。")
                .arg(shownText(reducedCell),
                     shownText(rateCell.trimmed().isEmpty() ? kindCell : rateCell));
        }
        if (stated != PriceTax::Exempt) {
            classRate = named;
        }
    }
    product.taxRate = classRate;
    product.price = priceOf(row, mapping, product, stated);
    return {};
}

// A cell of `what` named for a message: 「特売開始日（5 列目）」.
QString cellName(const ColumnMapping& mapping, ProductColumn what) {
    return QStringLiteral("%1（%2 列目）").arg(displayName(what)).arg(mapping.column(what) + 1);
}

// The row's sale (see ProductRow::salePrice), or why the row cannot be read; `note` what the
// clerk should still know of it.
QString readSale(const SourceRow& row, const ColumnMapping& mapping, const QDate& printDay,
                 ProductRow& product, QString& note) {
    using C = ProductColumn;
    QString prices[2];
    const C priceColumns[] = {C::SalePrice, C::RegularPrice};
    for (int i = 0; i < 2; ++i) {
        const QString cell = cellOf(row, mapping, priceColumns[i]).trimmed();
        const std::optional<QString> yen = listPrice(cell);
        if (!cell.isEmpty() && !yen) {
            return QStringLiteral("%1「%2」は円の整数ではありません。")
                .arg(cellName(mapping, priceColumns[i]), shownText(cell));
        }
        prices[i] = yen.value_or(QString());
    }
    QString days[2];
    const C dayColumns[] = {C::SaleFrom, C::SaleTo};
    for (int i = 0; i < 2; ++i) {
        const QString cell = cellOf(row, mapping, dayColumns[i]);
        const std::optional<QString> day = listDate(cell, printDay, row.days1904);
        if (!day) {
            return QStringLiteral(
                       "%1「%2」は日付として読めません（2026/12/08、2026-12-08、20261208、"
                       "12/8 のように書いてください）。")
                .arg(cellName(mapping, dayColumns[i]), shownText(cell));
        }
        days[i] = *day;
    }
    if (!days[0].isEmpty() && !days[1].isEmpty() && days[0] > days[1]) {
        return QStringLiteral("特売の期間が終わる日（%1）が始まる日（%2）より前です。")
            .arg(days[1], days[0]);
    }
    product.saleSaid = mapping.column(C::SalePrice) >= 0;
    if (prices[0].isEmpty()) {
        if (!days[0].isEmpty() || !days[1].isEmpty()) {
            note = QStringLiteral(
                "特売の期間がありますが特売価格が空のため、特売にしません（通常の売価で印刷"
                "します）。");
        }
        return {};
    }
    product.salePrice = prices[0];
    product.regularPrice = prices[1];
    product.saleFrom = days[0];
    product.saleTo = days[1];
    return {};
}

// A JAN code as a list without a header has it in its first column: digits only, 7, 8, 12
// or 13 of them (with or without the check digit).
bool looksLikeJan(const QString& cell) {
    const QString jan = janText(cell);
    if (jan.size() != 7 && jan.size() != 8 && jan.size() != 12 && jan.size() != 13) {
        return false;
    }
    return std::all_of(jan.cbegin(), jan.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
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

QString notAProductList(const SourceTable& table, const ColumnMapping& mapping,
                        const QString& name) {
    const QString expected = QStringLiteral(
        "商品リストは、見出しの行（JAN コード・商品コード・バーコード、商品名・品名、売価・価格・"
        "商品単価、税率・税区分 など）のある表か、見出しなしで 1 列目から JAN コード、メーカー、"
        "品名、規格、ロット、売価の順に並んだ表です。");
    if (table.rows.empty()) {
        return QStringLiteral("「%1」には行がありません。").arg(name) + expected;
    }
    if (mapping.headerRow() >= 0) {
        if (mapping.column(ProductColumn::Jan) >= 0 ||
            mapping.column(ProductColumn::Product) >= 0) {
            return {};
        }
        return QStringLiteral("「%1」の見出しには、JAN コードの列も商品名の列もありません。")
                   .arg(name) +
               expected;
    }
    const int janColumn = mapping.column(ProductColumn::Jan);
    for (const SourceRow& row : table.rows) {
        if (janColumn >= 0 && janColumn < row.cells.size() && looksLikeJan(row.cells[janColumn])) {
            return {};
        }
    }
    return QStringLiteral(
               "「%1」は商品リストではないようです。見出しの行がなく、1 列目に JAN "
               "コードが一つもありません。")
               .arg(name) +
           expected;
}

std::optional<ProductRow> toProductRow(int index, const SourceRow& row,
                                       const ColumnMapping& mapping, ProductList& problems,
                                       const RowOptions& options) {
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
    QString saleNote;
    QString why = refusal(row, mapping, product);
    if (why.isEmpty()) {
        why = readSale(row, mapping, options.printDay, product, saleNote);
    }
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
    const auto text = [&](ProductColumn what) {
        const QString cell = cellOf(row, mapping, what);
        return options.widenKatakana ? widenHalfWidthKatakana(cell) : cell;
    };
    product.maker = text(ProductColumn::Maker);
    product.product = text(ProductColumn::Product);
    product.spec = text(ProductColumn::Spec);
    product.lot = text(ProductColumn::Lot);
    // The chosen price cell (see priceOf), read as shops write it.
    const QString price = product.price;
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
    // A sale without a 通常価格 of its own replaces the row's price.
    if (!product.salePrice.isEmpty() && product.regularPrice.isEmpty()) {
        product.regularPrice = product.price;
    }
    if (!saleNote.isEmpty()) {
        tell(row.line, saleNote, true);
    }
    return product;
}

ProductList toProductRows(const SourceTable& table, const ColumnMapping& mapping,
                          const RowOptions& options) {
    ProductList list;
    list.rows.reserve(table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        if (std::optional<ProductRow> product =
                toProductRow(static_cast<int>(i), table.rows[i], mapping, list, options)) {
            list.rows.push_back(std::move(*product));
        }
    }
    return list;
}

ReadProducts readProducts(const std::function<SourceResult(const RowSink&)>& read,
                          QSettings* remembered, const std::optional<ColumnMapping>& given,
                          const std::function<void(ProductRow&&)>& keep,
                          const RowOptions& options) {
    ReadProducts out;
    std::optional<ColumnMapping> mapping = given;
    int index = 0;
    const auto convert = [&](const SourceRow& row) {
        if (std::optional<ProductRow> product =
                toProductRow(index++, row, *mapping, out.problems, options)) {
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
