#include "MasterComparison.h"

#include <algorithm>

#include "CellValues.h"
#include "ProductMaster.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

constexpr std::array kTexts = {&ProductRow::maker, &ProductRow::product, &ProductRow::spec,
                               &ProductRow::lot};

// 「980 (内税)」, 「200 (非課税)」, 「398 (8%)」: a stored price as the clerk reads it.
QString priceShown(const QString& price, const std::optional<int>& rate, PriceTax kind) {
    QString shown = price.isEmpty() ? QStringLiteral("なし") : price;
    QStringList notes;
    if (kind != PriceTax::Exclusive) {
        notes << priceTaxText(kind);
    }
    if (rate && kind != PriceTax::Exempt) {
        notes << QStringLiteral("%1%").arg(*rate);
    }
    return notes.isEmpty() ? shown : shown + QStringLiteral(" (%1)").arg(notes.join(u' '));
}

// 「298 特価 248 (12/08〜12/14)」: a price with the sale it carries; the price alone without one.
QString withSale(const QString& price, const ProductRow& sale) {
    if (sale.salePrice.isEmpty()) {
        return price;
    }
    const auto day = [](const QString& iso) {
        return iso.isEmpty() ? QString() : iso.mid(5).replace(u'-', u'/');
    };
    return QStringLiteral("%1 特価 %2 (%3〜%4)")
        .arg(price, sale.salePrice, day(sale.saleFrom), day(sale.saleTo));
}

bool sameSale(const ProductRow& a, const ProductRow& b) {
    return a.salePrice == b.salePrice && a.regularPrice == b.regularPrice &&
           a.saleFrom == b.saleFrom && a.saleTo == b.saleTo;
}

QString nameOf(const ProductRow& row, const ProductRow& stored, const QString& key) {
    const QString& name = row.product.isEmpty() ? stored.product : row.product;
    return shownText(name.isEmpty() ? key : name);
}

}  // namespace

void mergeListedRow(ProductRow& merged, const ProductRow& row) {
    for (auto text : {&ProductRow::maker, &ProductRow::product, &ProductRow::spec, &ProductRow::lot,
                      &ProductRow::price}) {
        if (!(row.*text).isEmpty()) {
            merged.*text = row.*text;
        }
    }
    if (row.taxRate) {
        merged.taxRate = row.taxRate;
    }
    if (row.taxKindSaid) {
        merged.taxKind = row.taxKind;
        merged.taxKindSaid = true;
    }
    if (row.saleSaid) {
        merged.salePrice = row.salePrice;
        merged.regularPrice = row.regularPrice;
        merged.saleFrom = row.saleFrom;
        merged.saleTo = row.saleTo;
        merged.saleSaid = true;
    }
    merged.line = row.line;
    merged.batch = row.batch;  // the later row's list is the one that stays
}

MasterPreview compareWithMaster(const std::vector<ProductRow>& rows,
                                const QHash<QString, StoredProduct>& stored,
                                const std::vector<QDateTime>& listTimes) {
    MasterPreview preview;
    // When each batch's list was made, in seconds (the master keeps no less).
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    std::vector<qint64> madeAt;
    for (const QDateTime& time : listTimes) {
        madeAt.push_back(time.isValid() ? time.toSecsSinceEpoch() : now);
    }
    const auto madeAtOf = [&](const ProductRow& row) {
        return row.batch >= 0 && static_cast<std::size_t>(row.batch) < madeAt.size()
                   ? madeAt[static_cast<std::size_t>(row.batch)]
                   : now;
    };
    // As the import does: by code, the rows of one code merged in list order.
    std::vector<std::pair<QString, std::size_t>> keyed;
    keyed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QString key = ProductMaster::keyOf(rows[i].jan);
        if (key.isEmpty()) {
            ++preview.withoutCode;
        } else {
            keyed.emplace_back(std::move(key), i);
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size();) {
        const QString& key = keyed[i].first;
        ProductRow merged = rows[keyed[i].second];
        std::size_t next = i + 1;
        for (; next < keyed.size() && keyed[next].first == key; ++next) {
            mergeListedRow(merged, rows[keyed[next].second]);
        }
        const auto found = stored.constFind(key);
        if (found == stored.cend()) {
            ++preview.added;
            i = next;
            continue;
        }
        const ProductRow& was = found->product;
        const QString price = merged.price.isEmpty() ? was.price : merged.price;
        const std::optional<int> rate = merged.taxRate ? merged.taxRate : was.taxRate;
        const PriceTax kind = merged.taxKindSaid ? merged.taxKind : was.taxKind;
        // A rate said where the master knew none is news, not a new price.
        const ProductRow& sale = merged.saleSaid ? merged : was;
        const bool priceChanged = price != was.price || kind != was.taxKind ||
                                  (merged.taxRate && was.taxRate && rate != was.taxRate) ||
                                  !sameSale(sale, was);
        bool changed = priceChanged || (merged.taxRate && !was.taxRate);
        for (const auto text : kTexts) {
            changed = changed || (!(merged.*text).isEmpty() && merged.*text != was.*text);
        }
        if (!changed) {
            ++preview.unchanged;
            i = next;
            continue;
        }
        const bool older =
            found->listedAt.isValid() && madeAtOf(merged) < found->listedAt.toSecsSinceEpoch();
        if (older) {
            preview.olderCodes.insert(key);
        }
        (priceChanged ? preview.priceChanged : preview.textChanged) += 1;
        preview.changes.push_back(
            {merged.line, merged.batch, key, nameOf(merged, was, key), priceChanged,
             withSale(priceShown(was.price, was.taxRate, was.taxKind), was),
             withSale(priceShown(price, rate, kind), sale), older, found->listedAt});
        i = next;
    }
    std::stable_sort(preview.changes.begin(), preview.changes.end(),
                     [](const auto& a, const auto& b) {
                         return std::pair(a.batch, a.line) < std::pair(b.batch, b.line);
                     });
    return preview;
}

MasterPreview MasterPreview::afterRegistering(const QSet<QString>& held) const {
    MasterPreview after;
    after.withoutCode = withoutCode;
    for (const Change& change : changes) {
        if (held.contains(change.jan)) {
            after.changes.push_back(change);
            (change.price ? after.priceChanged : after.textChanged) += 1;
            if (change.older) {
                after.olderCodes.insert(change.jan);
            }
        }
    }
    after.unchanged =
        added + priceChanged + textChanged + unchanged - after.priceChanged - after.textChanged;
    return after;
}

QString MasterPreview::counts() const {
    QStringList parts{QStringLiteral("新規 %1 件").arg(countText(added)),
                      QStringLiteral("売価が変わる %1 件").arg(countText(priceChanged))};
    if (textChanged > 0) {
        parts << QStringLiteral("品名などが変わる %1 件").arg(countText(textChanged));
    }
    parts << QStringLiteral("変更なし %1 件").arg(countText(unchanged));
    QString text = parts.join(QStringLiteral("、"));
    if (withoutCode > 0) {
        text +=
            QStringLiteral("（JAN コードのない %1 行は登録しません）").arg(countText(withoutCode));
    }
    return text;
}

QStringList MasterPreview::priceLines(qsizetype limit) const {
    QStringList lines;
    for (const Change& change : changes) {
        if (lines.size() == limit) {
            break;
        }
        if (change.price) {
            lines << RowProblem{change.line,
                                QStringLiteral("%1 %2 → %3")
                                    .arg(change.product, change.before, change.after),
                                true, change.batch}
                         .text();
        }
    }
    return lines;
}

QStringList MasterPreview::olderLines(qsizetype limit) const {
    QStringList lines;
    for (const Change& change : changes) {
        if (lines.size() == limit) {
            break;
        }
        if (change.older) {
            const QString what = change.price
                                     ? QStringLiteral("%1 → %2").arg(change.before, change.after)
                                     : QStringLiteral("品名などが変わる");
            lines << RowProblem{change.line,
                                QStringLiteral(
                                    "%1 %2（商品マスタにあるのは %3 のリストの内容です）")
                                    .arg(change.product, what,
                                         change.storedAt.toLocalTime().toString(
                                             QStringLiteral("yyyy/MM/dd HH:mm"))),
                                true, change.batch}
                         .text();
        }
    }
    return lines;
}

bool holdsOnlyCode(const ProductRow& row) {
    return !janText(row.jan).isEmpty() && row.price.isEmpty() &&
           std::all_of(kTexts.begin(), kTexts.end(),
                       [&row](auto text) { return (row.*text).isEmpty(); });
}

void fillFromStored(ProductRow& row, const ProductRow& stored) {
    for (auto text : {&ProductRow::maker, &ProductRow::product, &ProductRow::spec, &ProductRow::lot,
                      &ProductRow::price}) {
        if ((row.*text).isEmpty()) {
            row.*text = stored.*text;
        }
    }
    if (!row.taxRate) {
        row.taxRate = stored.taxRate;
    }
    if (!row.taxKindSaid) {
        row.taxKind = stored.taxKind;  // the master's word, not the row's own
    }
    if (!row.saleSaid) {
        row.salePrice = stored.salePrice;
        row.regularPrice = stored.regularPrice;
        row.saleFrom = stored.saleFrom;
        row.saleTo = stored.saleTo;
    }
}

}  // namespace zukaro
