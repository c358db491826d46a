#include "HeaderNames.h"

#include <QHash>

namespace zukaro {

namespace {

const QHash<QString, ProductColumn>& knownNames() {
    static const QHash<QString, ProductColumn> names = [] {
        const std::pair<const char16_t*, ProductColumn> list[] = {
            {u"JAN", ProductColumn::Jan},          {u"JANコード", ProductColumn::Jan},
            {u"JAN CODE", ProductColumn::Jan},     {u"バーコード", ProductColumn::Jan},
            {u"商品コード", ProductColumn::Jan},   {u"メーカー", ProductColumn::Maker},
            {u"メーカー名", ProductColumn::Maker}, {u"品名", ProductColumn::Product},
            {u"商品名", ProductColumn::Product},   {u"規格", ProductColumn::Spec},
            {u"容量", ProductColumn::Spec},        {u"サイズ", ProductColumn::Spec},
            {u"ロット", ProductColumn::Lot},       {u"品番", ProductColumn::Lot},
            {u"売価", ProductColumn::Price},       {u"価格", ProductColumn::Price},
            {u"単価", ProductColumn::Price},       {u"本体価格", ProductColumn::Price},
            {u"枚数", ProductColumn::Copies},      {u"部数", ProductColumn::Copies},
            {u"税率", ProductColumn::TaxRate},     {u"消費税率", ProductColumn::TaxRate},
        };
        QHash<QString, ProductColumn> map;
        for (const auto& [name, column] : list) {
            map.insert(normaliseHeader(QStringView(name)), column);
        }
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
    return *it;
}

}  // namespace zukaro
