#include "PrintHistoryStore.h"

#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "MasterEngine.h"
#include "MasterMessages.h"
#include "MasterStatements.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

// Codes asked for, and labels written, per statement: a 10,000-row list is read in twenty
// statements instead of ten thousand, which a master on a server answers one trip each. 6,000
// values at most, well within both engines' limits.
constexpr int kPerStatement = 500;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// A master older than sales, read as it is, printed no sale label and kept no days.
QString selectStatement(int count, bool sales) {
    return QStringLiteral(
               "SELECT jan, maker, product, spec, lot, price, tax_rate, tax_kind, printed_at,"
               " %2 FROM printed WHERE jan IN (%1)")
        .arg(placeholders(count, QStringLiteral("?")),
             sales ? QStringLiteral("regular_price, printed_for") : QStringLiteral("'', ''"));
}

QString upsertStatement(int count) {
    return QStringLiteral(
               "INSERT INTO printed"
               " (jan, maker, product, spec, lot, price, tax_rate, tax_kind, printed_at,"
               " printed_by, regular_price, printed_for)"
               " VALUES %1 ON CONFLICT (jan) DO UPDATE SET"
               " maker = excluded.maker, product = excluded.product, spec = excluded.spec,"
               " lot = excluded.lot, price = excluded.price, tax_rate = excluded.tax_rate,"
               " tax_kind = excluded.tax_kind, printed_at = excluded.printed_at,"
               " printed_by = excluded.printed_by, regular_price = excluded.regular_price,"
               " printed_for = excluded.printed_for")
        .arg(placeholders(count, QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")));
}

}  // namespace

PrintHistoryStore::PrintedResult PrintHistoryStore::lastPrinted(const QStringList& keys) {
    PrintedResult result;
    QStringList unique;
    unique.reserve(keys.size());
    {
        QSet<QString> seen;
        for (const QString& key : keys) {
            if (!key.isEmpty() && !seen.contains(key)) {
                seen.insert(key);
                unique << key;
            }
        }
    }
    // One read transaction: the answers belong together even while another program records.
    const MasterConnection::Result read = connection_.read(
        MasterConnection::Needs::History, !keys.isEmpty(), [&](QSqlDatabase& db, QSqlError& error) {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            std::vector<QVariantList> rows;
            for (qsizetype first = 0; first < unique.size(); first += kPerStatement) {
                const int count =
                    static_cast<int>(std::min<qsizetype>(kPerStatement, unique.size() - first));
                QVariantList values;
                values.reserve(count);
                for (int i = 0; i < count; ++i) {
                    values << unique[first + i];
                }
                rows.clear();
                if (!connection_.engine().runBound(db, query,
                                                   selectStatement(count, connection_.hasSales()),
                                                   values, &rows, error)) {
                    return false;
                }
                for (const QVariantList& row : rows) {
                    QDateTime at = QDateTime::fromString(row.value(8).toString(), kTimeFormat);
                    at.setTimeSpec(Qt::UTC);
                    const QString key = row.value(0).toString();
                    result.labels.insert(
                        key, {key, row.value(1).toString(), row.value(2).toString(),
                              row.value(3).toString(), row.value(4).toString(),
                              row.value(5).toString(), row.value(6).toInt(),
                              priceTaxOf(row.value(7).toString()), at, row.value(9).toString(),
                              QDate::fromString(row.value(10).toString(), Qt::ISODate)});
                }
            }
            return true;
        });
    if (!read.ok) {
        return {false, read.error, {}};
    }
    result.ok = true;
    return result;
}

PrintHistoryStore::RecordResult PrintHistoryStore::recordPrinted(
    const std::vector<PrintedLabel>& labels, WorkProgress* progress) {
    RecordResult result;
    if (const MasterConnection::Result opened =
            connection_.openToWrite(MasterConnection::Needs::History);
        !opened.ok) {
        result.error = opened.error;
        return result;
    }
    // The labels by code, the last of each code kept: in code order two programs recording at
    // once wait for each other instead of deadlocking, and no statement meets a code twice.
    std::vector<std::size_t> order;
    order.reserve(labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!labels[i].jan.isEmpty()) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&labels](std::size_t a, std::size_t b) {
        return labels[a].jan < labels[b].jan;
    });
    std::vector<std::size_t> kept;
    kept.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i + 1 == order.size() || labels[order[i + 1]].jan != labels[order[i]].jan) {
            kept.push_back(order[i]);
        }
    }

    const MasterLocation& location = connection_.location();
    for (const std::size_t i : kept) {
        const PrintedLabel& label = labels[i];
        if (const QString refused =
                firstUnstorable(QStringLiteral("JAN %1 ").arg(shownText(label.jan)),
                                {{&label.jan, ProductColumn::Jan},
                                 {&label.maker, ProductColumn::Maker},
                                 {&label.product, ProductColumn::Product},
                                 {&label.spec, ProductColumn::Spec},
                                 {&label.lot, ProductColumn::Lot},
                                 {&label.price, ProductColumn::Price}});
            !refused.isEmpty()) {
            result.error = master::cannotWrite(location, refused);
            return result;
        }
    }
    const QString& writer = connection_.writer();
    MasterConnection::Batches batches;
    batches.count = static_cast<qsizetype>(kept.size());
    batches.perStatement = kPerStatement;
    batches.statement = upsertStatement;
    batches.bind = [&](qsizetype first, int count, QVariantList& values) {
        for (int i = 0; i < count; ++i) {
            const PrintedLabel& label = labels[kept[static_cast<std::size_t>(first + i)]];
            for (const QString* value : {&label.jan, &label.maker, &label.product, &label.spec,
                                         &label.lot, &label.price}) {
                values << boundText(*value);
            }
            values << label.taxRate << boundText(priceTaxText(label.taxKind))
                   << label.printedAt.toUTC().toString(kTimeFormat) << writer
                   << boundText(label.regularPrice)
                   << boundText(label.printedFor.toString(Qt::ISODate));
        }
    };
    batches.doneAt = [](qsizetype first, int) { return static_cast<qint64>(first); };
    const MasterConnection::WriteResult done = connection_.writeInBatches(
        QStringLiteral("商品マスタ%1に印刷済みを記録しています").arg(master::shortName(location)),
        static_cast<qint64>(kept.size()), batches, progress);
    if (!done.ok) {
        return {false, done.cancelled, done.error, 0};
    }
    result.ok = true;
    result.recorded = static_cast<int>(kept.size());
    return result;
}

}  // namespace zukaro
