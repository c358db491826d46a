// The product master's print history: per JAN code, the label last printed and when.
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "MasterEngine.h"
#include "MasterMessages.h"
#include "MasterStatements.h"
#include "ProductMaster.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

// Codes asked for, and labels written, per statement: a 10,000-row list is read in twenty
// statements instead of ten thousand, which a master on a server answers one trip each. 5,000
// values at most, well within both engines' limits.
constexpr int kPerStatement = 500;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString selectStatement(int count) {
    return QStringLiteral(
               "SELECT jan, maker, product, spec, lot, price, tax_rate, tax_kind, printed_at"
               " FROM printed WHERE jan IN (%1)")
        .arg(placeholders(count, QStringLiteral("?")));
}

QString upsertStatement(int count) {
    return QStringLiteral(
               "INSERT INTO printed"
               " (jan, maker, product, spec, lot, price, tax_rate, tax_kind, printed_at,"
               " printed_by)"
               " VALUES %1 ON CONFLICT (jan) DO UPDATE SET"
               " maker = excluded.maker, product = excluded.product, spec = excluded.spec,"
               " lot = excluded.lot, price = excluded.price, tax_rate = excluded.tax_rate,"
               " tax_kind = excluded.tax_kind, printed_at = excluded.printed_at,"
               " printed_by = excluded.printed_by")
        .arg(placeholders(count, QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")));
}

}  // namespace

ProductMaster::PrintedResult ProductMaster::lastPrinted(const QStringList& keys) {
    PrintedResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasHistory_ || keys.isEmpty()) {
        return result;  // a new master, or one of the first version on a read-only share
    }
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
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // One read transaction: the answers belong together even while another program records.
    const bool reading = db.transaction();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QSqlError error;
    bool ok = true;
    std::vector<QVariantList> rows;
    for (qsizetype first = 0; ok && first < unique.size(); first += kPerStatement) {
        const int count =
            static_cast<int>(std::min<qsizetype>(kPerStatement, unique.size() - first));
        QVariantList values;
        values.reserve(count);
        for (int i = 0; i < count; ++i) {
            values << unique[first + i];
        }
        rows.clear();
        ok = engine_->runBound(db, query, selectStatement(count), values, &rows, error);
        for (const QVariantList& row : rows) {
            QDateTime at = QDateTime::fromString(row.value(8).toString(), kTimeFormat);
            at.setTimeSpec(Qt::UTC);
            const QString key = row.value(0).toString();
            result.labels.insert(
                key, {key, row.value(1).toString(), row.value(2).toString(),
                      row.value(3).toString(), row.value(4).toString(), row.value(5).toString(),
                      row.value(6).toInt(), priceTaxOf(row.value(7).toString()), at});
        }
    }
    query = QSqlQuery();
    if (reading) {
        db.commit();
    }
    if (!ok) {
        result = {false, readFailure(error), {}};
        close();  // a lost connection is made anew on the next use
    }
    return result;
}

ProductMaster::RecordResult ProductMaster::recordPrinted(const std::vector<PrintedLabel>& labels,
                                                         WorkProgress* progress) {
    RecordResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    if (readOnly_ || !hasHistory_) {
        result.error = writeRefusal();
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
            result.error = master::cannotWrite(location_, refused);
            return result;
        }
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const auto failed = [&](const QSqlError& error) {
        return RecordResult{false, false, abandonWrite(db, error), 0};
    };
    if (!db.transaction()) {
        return failed(db.lastError());
    }
    const QString name =
        location_.isPostgres() ? location_.describe() : QFileInfo(location_.path).fileName();
    beginStep(progress, QStringLiteral("商品マスタ「%1」に印刷済みを記録しています").arg(name),
              static_cast<qint64>(kept.size()));
    QSqlQuery upsert(db);
    QSqlError error;
    bool cancelled = false;
    QVariantList values;
    for (std::size_t first = 0; first < kept.size(); first += kPerStatement) {
        reportDone(progress, static_cast<qint64>(first));
        if ((cancelled = cancelledBy(progress))) {
            break;
        }
        const int count =
            static_cast<int>(std::min<std::size_t>(kPerStatement, kept.size() - first));
        values.clear();
        for (int i = 0; i < count; ++i) {
            const PrintedLabel& label = labels[kept[first + static_cast<std::size_t>(i)]];
            for (const QString* value : {&label.jan, &label.maker, &label.product, &label.spec,
                                         &label.lot, &label.price}) {
                values << boundText(*value);
            }
            values << label.taxRate << boundText(priceTaxText(label.taxKind))
                   << label.printedAt.toUTC().toString(kTimeFormat) << writer_;
        }
        if (!engine_->runBound(db, upsert, upsertStatement(count), values, nullptr, error)) {
            break;
        }
        result.recorded += count;
    }
    upsert = QSqlQuery();
    if (cancelled) {
        db.rollback();
        return {false, true, master::cannotWrite(location_, master::cancelled()), 0};
    }
    if (!error.isValid() && !db.commit()) {
        error = db.lastError();
    }
    if (error.isValid()) {
        return failed(error);
    }
    reportDone(progress, static_cast<qint64>(kept.size()));
    result.ok = true;
    return result;
}

}  // namespace zukaro
