#include "HeaderNames.h"

#include <QHash>

namespace zukaro {

namespace {

struct KnownName {
    ProductColumn column;
    int rank;
};

const QHash<QString, KnownName>& knownNames() {
    static const QHash<QString, KnownName> names = [] {
        using C = ProductColumn;
        const std::pair<const char16_t*, C> list[] = {
            {u"JAN", C::Jan},
            {u"JANコード", C::Jan},
            {u"JAN CODE", C::Jan},
            {u"バーコード", C::Jan},
            {u"バーコード番号", C::Jan},
            {u"JANCD", C::Jan},
            {u"メーカー", C::Maker},
            {u"メーカー名", C::Maker},
            {u"品名", C::Product},
            {u"商品名", C::Product},
            {u"規格", C::Spec},
            {u"容量", C::Spec},
            {u"サイズ", C::Spec},
            {u"ロット", C::Lot},
            {u"品番", C::Lot},
            {u"売価", C::Price},
            {u"価格", C::Price},
            {u"単価", C::Price},
            {u"本体価格", C::Price},
            {u"商品単価", C::Price},
            {u"販売価格", C::Price},
            {u"販売単価", C::Price},
            {u"売単価", C::Price},
            {u"税込価格", C::GrossPrice},
            {u"税込売価", C::GrossPrice},
            {u"税込単価", C::GrossPrice},
            {u"税抜価格", C::NetPrice},
            {u"税抜売価", C::NetPrice},
            {u"税抜単価", C::NetPrice},
            {u"枚数", C::Copies},
            {u"部数", C::Copies},
            {u"税率", C::TaxRate},
            {u"消費税率", C::TaxRate},
            {u"適用税率", C::TaxRate},
            {u"税率区分", C::TaxRate},
            {u"税区分", C::TaxKind},
            {u"税設定", C::TaxKind},
            {u"課税区分", C::TaxKind},
            {u"消費税区分", C::TaxKind},
            {u"内外区分", C::TaxKind},
            {u"特売価格", C::SalePrice},
            {u"セール価格", C::SalePrice},
            {u"特売売価", C::SalePrice},
            {u"特価", C::SalePrice},
            {u"特売開始日", C::SaleFrom},
            {u"開始日", C::SaleFrom},
            {u"セール開始日", C::SaleFrom},
            {u"特売終了日", C::SaleTo},
            {u"終了日", C::SaleTo},
            {u"セール終了日", C::SaleTo},
            {u"通常価格", C::RegularPrice},
            {u"通常売価", C::RegularPrice},
            {u"軽減税率対象", C::ReducedRate},
            {u"軽減対象", C::ReducedRate},
        };
        QHash<QString, KnownName> map;
        for (const auto& [name, column] : list) {
            map.insert(normaliseHeader(QStringView(name)), {column, 0});
        }
        // A register's own product code: the JAN column only when no better one is there.
        map.insert(normaliseHeader(u"商品コード"), {C::Jan, 1});
        return map;
    }();
    return names;
}

}  // namespace

QString normaliseHeader(QStringView cell) {
    const QString folded = cell.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    QString out;
    out.reserve(folded.size());
    for (const QChar c : folded) {
        if (!c.isSpace()) {
            out += c;
        }
    }
    return out;
}

std::optional<ProductColumn> columnForHeader(QStringView cell) {
    const auto it = knownNames().constFind(normaliseHeader(cell));
    if (it == knownNames().cend()) {
        return std::nullopt;
    }
    return it->column;
}

int headerRank(QStringView cell) {
    return knownNames().value(normaliseHeader(cell), {ProductColumn::Jan, 0}).rank;
}

}  // namespace zukaro
