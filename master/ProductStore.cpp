#include "ProductStore.h"

#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "CellValues.h"
#include "JanCompletion.h"
#include "MasterEngine.h"
#include "MasterMessages.h"
#include "MasterStatements.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

QVariant taxValue(const std::optional<int>& rate) {
    return rate ? QVariant(*rate) : QVariant(QMetaType::fromType<int>());
}

// maker, product, spec, lot, price, tax_rate and the tax kind, from column `first` on.
template <typename Row>
void readProduct(const Row& row, int first, ProductRow& p) {
    p.maker = row.value(first).toString();
    p.product = row.value(first + 1).toString();
    p.spec = row.value(first + 2).toString();
    p.lot = row.value(first + 3).toString();
    p.price = row.value(first + 4).toString();
    if (!row.value(first + 5).isNull()) {
        p.taxRate = row.value(first + 5).toInt();
    }
    p.taxKind = priceTaxOf(row.value(first + 6).toString());
}

// sale_price, regular_price, sale_from and sale_to from column `first` on (NULL reads empty).
template <typename Row>
void readSale(const Row& row, int first, ProductRow& p) {
    p.salePrice = row.value(first).toString();
    p.regularPrice = row.value(first + 1).toString();
    p.saleFrom = row.value(first + 2).toString();
    p.saleTo = row.value(first + 3).toString();
}

// A sale as bound: NULL when the row's list said nothing of sales (the stored one stays).
QVariant saleValue(const ProductRow& row, const QString& text) {
    return row.saleSaid ? boundText(text) : QVariant(QMetaType::fromType<QString>());
}

// How a tax kind is bound: empty when the list did not say it (the stored one stays), 「外税」
// when it said so (stored as said; read as an empty one is), else 「内税」 or 「非課税」.
QString kindBound(const ProductRow& row) {
    if (!row.taxKindSaid) {
        return QStringLiteral("");
    }
    return row.taxKind == PriceTax::Exclusive ? QStringLiteral("外税") : priceTaxText(row.taxKind);
}

// A stored tax kind as it reads: 「内税」, 「非課税」, or empty for 外税.
QString kindRead(const QString& column) {
    return QStringLiteral("CASE WHEN %1 IN ('内税', '非課税') THEN %1 ELSE '' END").arg(column);
}

// INSERT … ON CONFLICT DO UPDATE for `count` products, in the words both engines read.
QString upsertStatement(int count, const MasterEngine& engine) {
    const QString values = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, %1, ?)")
                               .arg(engine.nowExpression());
    // An empty cell keeps what is stored: a list of prices alone must not wipe the names, nor
    // a list without a tax column the 内税 of a price. A product the list leaves as it was is
    // not written: its stamps stay, and the count says what changed. The time of a change is
    // taken when the product is changed, which is after any import that held it has
    // committed, not when the statement began.
    QStringList changed;
    for (const char* text : {"maker", "product", "spec", "lot", "price"}) {
        changed << QStringLiteral("(excluded.%1 <> '' AND excluded.%1 <> products.%1)")
                       .arg(QLatin1String(text));
    }
    changed << QStringLiteral(
                   "(excluded.tax_rate IS NOT NULL AND excluded.tax_rate <>"
                   " coalesce(products.tax_rate, 0))")
            << QStringLiteral("(excluded.tax_kind <> '' AND %1 <> %2)")
                   .arg(kindRead(QStringLiteral("excluded.tax_kind")),
                        kindRead(QStringLiteral("products.tax_kind")));
    // A list that speaks of sales says all four, empty where there is no sale.
    QStringList saleChanged;
    for (const char* text : {"sale_price", "regular_price", "sale_from", "sale_to"}) {
        saleChanged
            << QStringLiteral("excluded.%1 <> coalesce(products.%1, '')").arg(QLatin1String(text));
    }
    changed << QStringLiteral("(excluded.sale_price IS NOT NULL AND (%1))")
                   .arg(saleChanged.join(QStringLiteral(" OR ")));
    return QStringLiteral(
               "INSERT INTO products (jan, maker, product, spec, lot, price, tax_rate, tax_kind,"
               " sale_price, regular_price, sale_from, sale_to,"
               " listed_at, updated_at, updated_by) VALUES %1 ON CONFLICT (jan) DO UPDATE SET"
               " maker = coalesce(nullif(excluded.maker, ''), products.maker),"
               " product = coalesce(nullif(excluded.product, ''), products.product),"
               " spec = coalesce(nullif(excluded.spec, ''), products.spec),"
               " lot = coalesce(nullif(excluded.lot, ''), products.lot),"
               " price = coalesce(nullif(excluded.price, ''), products.price),"
               " tax_rate = coalesce(excluded.tax_rate, products.tax_rate),"
               " tax_kind = coalesce(nullif(excluded.tax_kind, ''), products.tax_kind),"
               " sale_price = coalesce(excluded.sale_price, products.sale_price),"
               " regular_price = CASE WHEN excluded.sale_price IS NULL THEN"
               " products.regular_price ELSE excluded.regular_price END,"
               " sale_from = CASE WHEN excluded.sale_price IS NULL THEN products.sale_from"
               " ELSE excluded.sale_from END,"
               " sale_to = CASE WHEN excluded.sale_price IS NULL THEN products.sale_to"
               " ELSE excluded.sale_to END,"
               " listed_at = excluded.listed_at,"
               " updated_at = %2, updated_by = excluded.updated_by WHERE %3")
               .arg(placeholders(count, values), engine.nowExpression(),
                    changed.join(QStringLiteral(" OR "))) +
           engine.insertedReturning();
}

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// A stamp as the master keeps it ('YYYY-MM-DD HH:MM:SS', UTC), read without a time zone: a
// million of them are read for one list. Invalid when it is no such stamp.
QDateTime stampTime(const QString& text) {
    if (text.size() != 19) {
        return {};
    }
    const auto number = [&text](int from, int length) { return text.mid(from, length).toInt(); };
    return QDateTime(QDate(number(0, 4), number(5, 2), number(8, 2)),
                     QTime(number(11, 2), number(14, 2), number(17, 2)), Qt::UTC);
}

// The list times of the batches as bound, worked out once for a whole import.
class ListStamps {
public:
    explicit ListStamps(const std::vector<QDateTime>& times) {
        const QString now = QDateTime::currentDateTimeUtc().toString(kTimeFormat);
        for (const QDateTime& time : times) {
            stamps_ << (time.isValid() ? time.toUTC().toString(kTimeFormat) : now);
        }
        now_ = now;
    }
    const QString& of(const ProductRow& row) const {
        return row.batch >= 0 && row.batch < stamps_.size() ? stamps_[row.batch] : now_;
    }

private:
    QStringList stamps_;
    QString now_;
};

// The first row the master cannot keep, named with its column (MasterStatements.h); empty when
// it can keep them all.
QString firstRefusedRow(const std::vector<ProductRow>& rows) {
    for (const ProductRow& row : rows) {
        const QString named =
            row.line > 0 ? QStringLiteral("%1 行目（JAN %2）").arg(row.line).arg(shownText(row.jan))
                         : QStringLiteral("JAN %1 ").arg(shownText(row.jan));
        if (const QString refused = firstUnstorable(named, {{&row.jan, ProductColumn::Jan},
                                                            {&row.maker, ProductColumn::Maker},
                                                            {&row.product, ProductColumn::Product},
                                                            {&row.spec, ProductColumn::Spec},
                                                            {&row.lot, ProductColumn::Lot},
                                                            {&row.price, ProductColumn::Price}});
            !refused.isEmpty()) {
            return refused;
        }
    }
    return {};
}

// The rows by their key (ProductStore::keyOf), those of one code together in list order.
struct RowsByCode {
    std::vector<std::pair<QString, std::size_t>> keyed;  // key, row
    std::vector<std::size_t> starts;                     // where each code starts in `keyed`
    int skipped = 0;                                     // rows without a code

    std::size_t endOf(std::size_t code) const {
        return code + 1 < starts.size() ? starts[code + 1] : keyed.size();
    }
};

RowsByCode byCode(const std::vector<ProductRow>& rows) {
    RowsByCode grouped;
    grouped.keyed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QString key = ProductStore::keyOf(rows[i].jan);
        if (key.isEmpty()) {
            ++grouped.skipped;
        } else {
            grouped.keyed.emplace_back(std::move(key), i);
        }
    }
    std::stable_sort(grouped.keyed.begin(), grouped.keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < grouped.keyed.size(); ++i) {
        if (i == 0 || grouped.keyed[i].first != grouped.keyed[i - 1].first) {
            grouped.starts.push_back(i);
        }
    }
    return grouped;
}

}  // namespace

QString ProductStore::keyOf(const QString& jan) {
    const QString key = janText(jan);
    return lacksCheckDigit(key) ? completeJanCheckDigit(key) : key;
}

ProductStore::ImportResult ProductStore::importRows(const std::vector<ProductRow>& rows,
                                                    WorkProgress* progress,
                                                    const std::vector<QDateTime>& listTimes) {
    ImportResult result;
    if (const MasterConnection::Result opened =
            connection_.openToWrite(MasterConnection::Needs::Products);
        !opened.ok) {
        result.error = opened.error;
        return result;
    }
    const MasterLocation& location = connection_.location();
    if (const QString refused = firstRefusedRow(rows); !refused.isEmpty()) {
        result.error = master::cannotWrite(location, refused);
        return result;
    }
    // The rows of one code merged in list order: every import changes the products in the same
    // order, so two at once wait for each other instead of deadlocking, and no statement meets
    // one product twice.
    const RowsByCode grouped = byCode(rows);
    const auto& keyed = grouped.keyed;
    const auto& products = grouped.starts;
    result.skipped = grouped.skipped;

    const MasterEngine& engine = connection_.engine();
    const bool returning = !engine.insertedReturning().isEmpty();
    const ListStamps stamps(listTimes);
    const QString& writer = connection_.writer();
    qint64 before = 0;
    qint64 inserted = 0;
    qint64 written = 0;  // inserted or changed: a product the list leaves as it was is not
    const auto countProducts = [](QSqlDatabase& db, QSqlError& error, qint64& count) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT count(*) FROM products")) || !query.next()) {
            error = query.lastError();
            return false;
        }
        count = query.value(0).toLongLong();
        return true;
    };
    MasterConnection::Batches batches;
    batches.count = static_cast<qsizetype>(products.size());
    batches.perStatement = engine.rowsPerStatement();
    batches.statement = [&engine](int count) { return upsertStatement(count, engine); };
    batches.bind = [&](qsizetype first, int count, QVariantList& values) {
        for (auto product = static_cast<std::size_t>(first);
             product < static_cast<std::size_t>(first + count); ++product) {
            const std::size_t start = products[product];
            ProductRow row = rows[keyed[start].second];
            row.jan = keyed[start].first;
            for (std::size_t next = start + 1; next < grouped.endOf(product); ++next) {
                mergeListedRow(row, rows[keyed[next].second]);
            }
            values << row.jan;
            for (const QString* text :
                 {&row.maker, &row.product, &row.spec, &row.lot, &row.price}) {
                values << boundText(*text);
            }
            values << taxValue(row.taxRate) << boundText(kindBound(row));
            for (const QString* text :
                 {&row.salePrice, &row.regularPrice, &row.saleFrom, &row.saleTo}) {
                values << saleValue(row, *text);
            }
            values << stamps.of(row) << writer;
        }
    };
    // As far as the sorted rows go: the skipped ones count as done.
    batches.doneAt = [&](qsizetype first, int count) {
        return static_cast<qint64>(grouped.endOf(static_cast<std::size_t>(first + count - 1))) +
               grouped.skipped;
    };
    batches.answered = [&](const std::vector<QVariantList>& answer, qint64 changed) {
        written += changed;
        for (const QVariantList& row : answer) {
            inserted += row.value(0).toInt();
        }
    };
    if (!returning) {
        batches.before = [&](QSqlDatabase& db, QSqlError& error) {
            return countProducts(db, error, before);
        };
        batches.after = [&](QSqlDatabase& db, QSqlError& error) {
            qint64 after = 0;
            if (!countProducts(db, error, after)) {
                return false;
            }
            inserted = after - before;
            return true;
        };
    }
    const MasterConnection::WriteResult done = connection_.writeInBatches(
        QStringLiteral("商品マスタ%1に登録しています").arg(master::shortName(location)),
        static_cast<qint64>(rows.size()), batches, progress);
    if (!done.ok) {
        return {false, done.cancelled, done.error, 0, 0, 0};
    }
    result.ok = true;
    result.added = static_cast<int>(inserted);
    result.updated = static_cast<int>(written - inserted);
    return result;
}

QString ProductStore::kindColumn() const {
    // A master older than the print history, read as it is, has no tax kinds: 外税.
    return connection_.hasHistory() ? QStringLiteral("tax_kind") : QStringLiteral("''");
}

QString ProductStore::saleColumns() const {
    // A master older than sales, read as it is, has none.
    return connection_.hasSales() ? QStringLiteral("sale_price, regular_price, sale_from, sale_to")
                                  : QStringLiteral("NULL, NULL, NULL, NULL");
}

ProductStore::LookupResult ProductStore::lookup(const QString& jan) {
    LookupResult result;
    if (const QString paused = connection_.pausedFailure(); !paused.isEmpty()) {
        result.error = paused;
        return result;
    }
    // Also under the code without its check digit, as lists stored it before they were
    // completed.
    const QString key = keyOf(jan);
    const MasterConnection::Result read = connection_.read(
        MasterConnection::Needs::Products, false, [&](QSqlDatabase& db, QSqlError& error) {
            if (!unstorableCharacter(key).isEmpty()) {
                return true;  // no such code can be stored
            }
            // The code itself wins where both are stored. One statement: a scan waits for one
            // round trip to a server.
            QVariantList keys{key};
            QString which = QStringLiteral("jan = ?");
            if (lacksCheckDigit(key.chopped(std::min<qsizetype>(key.size(), 1)))) {
                keys << key.chopped(1);
                which = QStringLiteral("jan IN (?, ?) ORDER BY length(jan) DESC LIMIT 1");
            }
            const QString statement = QStringLiteral(
                                          "SELECT maker, product, spec, lot, price, tax_rate, %1,"
                                          " %3 FROM products WHERE %2")
                                          .arg(kindColumn(), which, saleColumns());
            QSqlQuery query(db);
            std::vector<QVariantList> found;
            if (!connection_.engine().runBound(db, query, statement, keys, &found, error)) {
                return false;
            }
            if (!found.empty()) {
                ProductRow& p = result.product.emplace();
                p.jan = key;
                readProduct(found.front(), 0, p);
                readSale(found.front(), 7, p);
            }
            return true;
        });
    result.ok = read.ok;
    result.error = read.error;
    return result;
}

ProductStore::CountResult ProductStore::productCount() {
    CountResult result;
    const MasterConnection::Result read = connection_.read(
        MasterConnection::Needs::Products, false, [&](QSqlDatabase& db, QSqlError& error) {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("SELECT count(*) FROM products")) || !query.next()) {
                error = query.lastError();
                return false;
            }
            result.count = query.value(0).toLongLong();
            return true;
        });
    if (!read.ok) {
        return {false, read.error, 0};
    }
    result.ok = true;
    return result;
}

ProductStore::ProductsResult ProductStore::allProducts() {
    ProductsResult result;
    const MasterConnection::Result read = connection_.read(
        MasterConnection::Needs::Products, false, [&](QSqlDatabase& db, QSqlError& error) {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (!query.exec(QStringLiteral("SELECT jan, maker, product, spec, lot, price,"
                                           " tax_rate, %1, %2 FROM products ORDER BY jan")
                                .arg(kindColumn(), saleColumns()))) {
                error = query.lastError();
                return false;
            }
            while (query.next()) {
                ProductRow& p = result.products.emplace_back();
                p.jan = query.value(0).toString();
                readProduct(query, 1, p);
                readSale(query, 8, p);
            }
            return true;
        });
    if (!read.ok) {
        return {false, read.error, {}};
    }
    result.ok = true;
    return result;
}

ProductStore::StoredResult ProductStore::storedProducts(const QStringList& keys) {
    // Codes asked for per statement: a long list is read in a few round trips.
    constexpr int kPerStatement = 500;
    StoredResult result;
    const MasterConnection::Result read = connection_.read(
        MasterConnection::Needs::Products, !keys.isEmpty(),
        [&](QSqlDatabase& db, QSqlError& error) {
            if (keys.isEmpty()) {
                return true;
            }
            QSqlQuery query(db);
            query.setForwardOnly(true);
            // Each code also without its check digit where the master holds such codes, as
            // lists stored them before they were completed; the code itself wins where both
            // are stored.
            bool ok = query.exec(QStringLiteral(
                "SELECT count(*) FROM (SELECT 1 FROM products WHERE length(jan) IN (7, 12)"
                " LIMIT 1) AS s"));
            const bool shortCodes = ok && query.next() && query.value(0).toInt() > 0;
            query.finish();
            QHash<QString, QString> askedFor;  // the shorter codes asked, with their code
            QSet<QString> seen;
            QStringList asked;
            asked.reserve(keys.size());
            for (const QString& key : keys) {
                if (key.isEmpty() || seen.contains(key) || !unstorableCharacter(key).isEmpty()) {
                    continue;  // a code no master can hold is not asked for
                }
                seen.insert(key);
                asked << key;
                const QString shorter = key.chopped(std::min<qsizetype>(key.size(), 1));
                if (shortCodes && lacksCheckDigit(shorter) && !askedFor.contains(shorter)) {
                    askedFor.insert(shorter, key);
                    asked << shorter;
                }
            }
            // Bound apart from the statement's text, as every value is (a list's code could
            // hold anything).
            std::vector<QVariantList> answer;
            for (qsizetype first = 0; ok && first < asked.size(); first += kPerStatement) {
                const int count =
                    static_cast<int>(std::min<qsizetype>(kPerStatement, asked.size() - first));
                const QString statement =
                    QStringLiteral(
                        "SELECT jan, maker, product, spec, lot, price, tax_rate, %1, %2, %4"
                        " FROM products WHERE jan IN (%3)")
                        .arg(kindColumn(),
                             connection_.hasListTimes() ? QStringLiteral("listed_at")
                                                        : QStringLiteral("updated_at"),
                             placeholders(count, QStringLiteral("?")), saleColumns());
                QVariantList values;
                values.reserve(count);
                for (int i = 0; i < count; ++i) {
                    values << asked[first + i];
                }
                answer.clear();
                ok = connection_.engine().runBound(db, query, statement, values, &answer, error);
                for (const QVariantList& row : answer) {
                    const QString jan = row.value(0).toString();
                    const QString key = askedFor.value(jan, jan);
                    if (jan != key && result.products.contains(key)) {
                        continue;
                    }
                    StoredProduct& stored = result.products[key];
                    stored.product.jan = key;
                    readProduct(row, 1, stored.product);
                    readSale(row, 9, stored.product);
                    stored.listedAt = stampTime(row.value(8).toString());
                }
            }
            if (!ok && !error.isValid()) {
                error = query.lastError();  // the question for codes without their check digit
            }
            return ok;
        });
    if (!read.ok) {
        return {false, read.error, {}};
    }
    result.ok = true;
    return result;
}

}  // namespace zukaro
