#include "ProductMaster.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QSysInfo>
#include <QVariant>
#include <algorithm>
#include <atomic>

#include "CellValues.h"
#include "JanCompletion.h"
#include "MasterEngine.h"
#include "MasterMessages.h"
#include "MasterSchema.h"
#include "MasterStatements.h"
#include "ShownText.h"
#include "SourceTable.h"
#include "TaxPrice.h"

namespace zukaro {

namespace {

std::atomic<quint64> connectionCount{0};

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

}  // namespace

// Why the master cannot keep `text` in either engine alike; empty when it can: a character
// that is none, or more than a cell of a list holds (a list's reader cuts such a cell).
QString ProductMaster::unstorable(const QString& text) {
    if (const QString bad = unstorableCharacter(text); !bad.isEmpty()) {
        return QStringLiteral("に文字でないもの（%1）があります").arg(bad);
    }
    if (text.size() > kMaxCellLength) {
        return QStringLiteral("が %1 文字を超えています（全 %2 文字）")
            .arg(countText(kMaxCellLength), countText(text.size()));
    }
    return {};
}

// The first text of `texts` (with their column names) the master cannot keep, as a reason
// naming `row`; empty when all can be kept.
QString ProductMaster::firstUnstorable(
    const QString& row, std::initializer_list<std::pair<const QString*, ProductColumn>> texts) {
    for (const auto& [text, column] : texts) {
        if (const QString why = unstorable(*text); !why.isEmpty()) {
            return master::unstorable(row, displayName(column), why);
        }
    }
    return {};
}

namespace {

// INSERT … ON CONFLICT DO UPDATE for `count` products, in the words both engines read.
QString upsertStatement(int count, const MasterEngine& engine) {
    const QString values =
        QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, %1, ?)").arg(engine.nowExpression());
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
    return QStringLiteral(
               "INSERT INTO products (jan, maker, product, spec, lot, price, tax_rate, tax_kind,"
               " listed_at, updated_at, updated_by) VALUES %1 ON CONFLICT (jan) DO UPDATE SET"
               " maker = coalesce(nullif(excluded.maker, ''), products.maker),"
               " product = coalesce(nullif(excluded.product, ''), products.product),"
               " spec = coalesce(nullif(excluded.spec, ''), products.spec),"
               " lot = coalesce(nullif(excluded.lot, ''), products.lot),"
               " price = coalesce(nullif(excluded.price, ''), products.price),"
               " tax_rate = coalesce(excluded.tax_rate, products.tax_rate),"
               " tax_kind = coalesce(nullif(excluded.tax_kind, ''), products.tax_kind),"
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

}  // namespace

ProductMaster::ProductMaster(MasterLocation location, int busyTimeoutMs)
    : location_(std::move(location)),
      busyTimeoutMs_(busyTimeoutMs),
      engine_(MasterEngine::create(location_, busyTimeoutMs)),
      connection_(QStringLiteral("zukaro-product-master-%1").arg(++connectionCount)) {}

ProductMaster::ProductMaster(const QString& sqlitePath, int busyTimeoutMs)
    : ProductMaster(MasterLocation::sqlite(sqlitePath), busyTimeoutMs) {}

ProductMaster::~ProductMaster() {
    close();
}

void ProductMaster::relocate(const MasterLocation& location) {
    close();
    location_ = location;
    engine_ = MasterEngine::create(location_, busyTimeoutMs_);
    readOnly_ = false;
    hasTable_ = false;
    sinceFailedOpen_.invalidate();
    failedOpen_.clear();
}

std::unique_ptr<ProductMaster> ProductMaster::another() const {
    auto copy = std::make_unique<ProductMaster>(location_, busyTimeoutMs_);
    copy->setReconnectPause(reconnectPauseMs_);
    return copy;
}

ProductMaster::Result ProductMaster::fail(const QString& message) {
    close();  // tried again on the next use: a lock held at start, a server back up
    engine_->dropUnmade();
    failedOpen_ = message;
    sinceFailedOpen_.start();
    return {false, message};
}

ProductMaster::Result ProductMaster::open() {
    if (isOpen()) {
        return {true, {}};
    }
    if (!QSqlDatabase::isDriverAvailable(engine_->driver())) {
        return fail(master::cannotOpen(location_, engine_->missingDriver()));
    }
    hasTable_ = false;
    if (const QString refused = engine_->refusal(); !refused.isEmpty()) {
        return fail(master::cannotOpen(location_, refused));
    }
    {
        QSqlDatabase db = QSqlDatabase::contains(connection_)
                              ? QSqlDatabase::database(connection_, false)
                              : QSqlDatabase::addDatabase(engine_->driver(), connection_);
        readOnly_ = wantsReadOnly_;
        engine_->configure(db, readOnly_);
        if (!db.open()) {
            const QString reason = engine_->reason(db.lastError());
            db = QSqlDatabase();
            return fail(location_.isPostgres() ? master::cannotConnect(location_, reason)
                                               : master::cannotOpen(location_, reason));
        }
        engine_->opened(db);
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    DatabaseContents contents;
    QSqlError error;
    if (!engine_->readContents(db, contents, error)) {
        db = QSqlDatabase();
        return fail(master::cannotOpen(location_, engine_->reason(error)));
    }
    const QString login = engine_->login(db);
    writer_ = QStringLiteral("%1@%2").arg(login, QSysInfo::machineHostName());
    if (const QString refusal = refusalOf(contents); !refusal.isEmpty()) {
        db = QSqlDatabase();
        return fail(refusal);
    }
    int version = contents.version;
    bool hasProducts = contents.tables.contains(QStringLiteral("products"), Qt::CaseInsensitive);
    if (!readOnly_ && (version < currentMasterVersion() || !hasProducts)) {
        db = QSqlDatabase();
        if (const Result upgraded = upgrade(version, hasProducts); !upgraded.ok) {
            return fail(upgraded.error);
        }
        db = QSqlDatabase::database(connection_, false);
    }
    hasTable_ = hasProducts;
    hasHistory_ = hasProducts && version >= kPrintHistoryVersion;
    hasListTimes_ = hasProducts && version >= kListTimesVersion;
    if (hasTable_ && !readOnly_ && !engine_->mayWrite(db)) {
        readOnly_ = true;  // a shop's login: it looks products up, head office writes them
    }
    return {true, {}};
}

QString ProductMaster::refusalOf(const DatabaseContents& contents) const {
    switch (databaseKind(contents)) {
        case DatabaseKind::Newer:
            return master::cannotOpen(location_, master::newerVersion());
        case DatabaseKind::Other:
            return master::cannotOpen(location_, master::notOurs(contents.tables));
        default:
            return {};
    }
}

// Brings the tables from `version` up to this version's in one transaction; another program
// upgrading at the same moment is waited for, and what it did is seen. A login that may not
// create tables keeps a master that is there for reading.
ProductMaster::Result ProductMaster::upgrade(int& version, bool& hasProducts) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    QSqlError error;
    const auto run = [&](const QStringList& statements) {
        for (const QString& statement : statements) {
            if (!query.exec(statement)) {
                error = query.lastError();
                return false;
            }
        }
        return true;
    };
    // Read again inside the transaction: another program may have made or upgraded the
    // tables meanwhile, and what it made is judged before anything is written.
    DatabaseContents contents;
    bool done = run(engine_->beginUpgrade()) && engine_->readContents(db, contents, error);
    if (done) {
        if (const QString refusal = refusalOf(contents); !refusal.isEmpty()) {
            query.exec(QStringLiteral("ROLLBACK"));
            return {false, refusal};
        }
        version = contents.version;
        hasProducts = contents.tables.contains(QStringLiteral("products"), Qt::CaseInsensitive);
    }
    for (int step = version; done && step < currentMasterVersion(); ++step) {
        done = run(masterUpgrades()[static_cast<std::size_t>(step)]);
    }
    done =
        done &&
        (version == currentMasterVersion() || run(engine_->setVersion(currentMasterVersion()))) &&
        run({QStringLiteral("COMMIT")});
    if (done) {
        version = currentMasterVersion();
        hasProducts = true;
        return {true, {}};
    }
    if (!error.isValid()) {
        error = query.lastError();
    }
    query.exec(QStringLiteral("ROLLBACK"));
    if (error.nativeErrorCode() == u"42501") {  // PostgreSQL: insufficient_privilege
        if (hasProducts) {
            readOnly_ = true;  // an older master, read as it is until head office opens it
            return {true, {}};
        }
        return {false,
                master::cannotOpen(location_, master::cannotCreate(writer_.section(u'@', 0, 0)))};
    }
    return {false, master::cannotOpen(location_, engine_->reason(error))};
}

bool ProductMaster::isOpen() const {
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

void ProductMaster::close() {
    if (!QSqlDatabase::contains(connection_)) {
        return;
    }
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QString ProductMaster::keyOf(const QString& jan) {
    const QString key = janText(jan);
    return lacksCheckDigit(key) ? completeJanCheckDigit(key) : key;
}

ProductMaster::ImportResult ProductMaster::importRows(const std::vector<ProductRow>& rows,
                                                      WorkProgress* progress,
                                                      const std::vector<QDateTime>& listTimes) {
    ImportResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    if (readOnly_) {
        result.error = writeRefusal();
        return result;
    }
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
            result.error = master::cannotWrite(location_, refused);
            return result;
        }
    }
    // The rows by JAN code, those of one code merged in list order: every import changes the
    // products in the same order, so two at once wait for each other instead of deadlocking,
    // and no statement meets one product twice.
    std::vector<std::pair<QString, std::size_t>> keyed;
    keyed.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QString key = keyOf(rows[i].jan);
        if (key.isEmpty()) {
            ++result.skipped;
        } else {
            keyed.emplace_back(std::move(key), i);
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const auto failed = [&](const QSqlError& error) {
        return ImportResult{false, false, abandonWrite(db, error), 0, 0, 0};
    };
    if (!db.transaction()) {
        return failed(db.lastError());
    }
    // Named as the messages name it: a file by its name, a server's database in brackets.
    const QString name = location_.isPostgres()
                             ? QStringLiteral("（%1）").arg(location_.describe())
                             : QStringLiteral("「%1」").arg(QFileInfo(location_.path).fileName());
    beginStep(progress, QStringLiteral("商品マスタ%1に登録しています").arg(name),
              static_cast<qint64>(rows.size()));
    const bool returning = !engine_->insertedReturning().isEmpty();
    QSqlQuery count(db), upsert(db);
    qint64 before = 0;
    if (!returning) {
        if (!count.exec(QStringLiteral("SELECT count(*) FROM products")) || !count.next()) {
            return failed(count.lastError());
        }
        before = count.value(0).toLongLong();
    }
    const int perStatement = engine_->rowsPerStatement();
    std::vector<ProductRow> batch;
    batch.reserve(static_cast<std::size_t>(perStatement));
    qint64 inserted = 0;
    qint64 written = 0;  // inserted or changed
    const ListStamps stamps(listTimes);
    QSqlError error;
    QVariantList values;
    std::vector<QVariantList> answer;
    const auto write = [&]() -> bool {
        values.clear();
        for (const ProductRow& row : batch) {
            values << row.jan;
            for (const QString* text :
                 {&row.maker, &row.product, &row.spec, &row.lot, &row.price}) {
                values << boundText(*text);
            }
            values << taxValue(row.taxRate) << boundText(kindBound(row)) << stamps.of(row)
                   << writer_;
        }
        answer.clear();
        qint64 changed = 0;  // inserted or updated: a product the list leaves as it was is not
        if (!engine_->runBound(db, upsert,
                               upsertStatement(static_cast<int>(batch.size()), *engine_), values,
                               returning ? &answer : nullptr, error, &changed)) {
            return false;
        }
        written += changed;
        for (const QVariantList& row : answer) {
            inserted += row.value(0).toInt();
        }
        batch.clear();
        return true;
    };
    for (std::size_t i = 0; i < keyed.size();) {
        ProductRow merged = rows[keyed[i].second];
        merged.jan = keyed[i].first;
        std::size_t next = i + 1;
        for (; next < keyed.size() && keyed[next].first == keyed[i].first; ++next) {
            mergeListedRow(merged, rows[keyed[next].second]);
        }
        i = next;
        batch.push_back(std::move(merged));
        if (static_cast<int>(batch.size()) == perStatement || i == keyed.size()) {
            // As far as the sorted rows go: the skipped ones count as done.
            reportDone(progress, static_cast<qint64>(i) + result.skipped);
            if (cancelledBy(progress)) {
                db.rollback();
                return {false, true, master::cannotWrite(location_, master::cancelled()), 0, 0, 0};
            }
            if (!write()) {
                return failed(error);
            }
        }
    }
    if (!returning) {
        if (!count.exec() || !count.next()) {
            return failed(count.lastError());
        }
        inserted = count.value(0).toLongLong() - before;
        count.finish();
    }
    if (!db.commit()) {
        return failed(db.lastError());
    }
    reportDone(progress, static_cast<qint64>(rows.size()));
    result.ok = true;
    result.added = static_cast<int>(inserted);
    result.updated = static_cast<int>(written - inserted);
    return result;
}

QString ProductMaster::writeRefusal() const {
    return master::cannotWrite(location_, location_.isPostgres()
                                              ? master::readOnlyLogin(writer_.section(u'@', 0, 0))
                                              : master::readOnly());
}

QString ProductMaster::abandonWrite(QSqlDatabase& db, const QSqlError& error) {
    const QString message = master::cannotWrite(location_, engine_->reason(error));
    if (db.isOpen()) {  // a connection the server closed has nothing to roll back
        db.rollback();
    }
    db = QSqlDatabase();
    close();  // a lost connection is made anew on the next use
    return message;
}

QString ProductMaster::readFailure(const QSqlError& error) const {
    return master::cannotRead(location_, engine_->reason(error));
}

QString ProductMaster::kindColumn() const {
    // A master older than the print history, read as it is, has no tax kinds: 外税.
    return hasHistory_ ? QStringLiteral("tax_kind") : QStringLiteral("''");
}

ProductMaster::LookupResult ProductMaster::lookup(const QString& jan) {
    LookupResult result;
    if (!isOpen() && reconnectPauseMs_ > 0 && sinceFailedOpen_.isValid() &&
        !sinceFailedOpen_.hasExpired(reconnectPauseMs_)) {
        result.error = failedOpen_;
        return result;
    }
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasTable_) {
        return result;  // a new master on a read-only share knows nothing yet
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    const QString statement = QStringLiteral(
                                  "SELECT maker, product, spec, lot, price, tax_rate, %1"
                                  " FROM products WHERE jan = ?")
                                  .arg(kindColumn());
    // Also under the code without its check digit, as lists stored it before they were
    // completed.
    const QString key = keyOf(jan);
    if (!unstorableCharacter(key).isEmpty()) {
        return result;  // no such code can be stored
    }
    QStringList keys{key};
    if (lacksCheckDigit(key.chopped(std::min<qsizetype>(key.size(), 1)))) {
        keys << key.chopped(1);
    }
    std::vector<QVariantList> found;
    for (const QString& candidate : keys) {
        QSqlError error;
        if (!engine_->runBound(db, query, statement, {candidate}, &found, error)) {
            result.ok = false;
            result.error = readFailure(error);
            query = QSqlQuery();
            db = QSqlDatabase();
            close();
            return result;
        }
        if (!found.empty()) {
            break;
        }
    }
    if (!found.empty()) {
        ProductRow& p = result.product.emplace();
        p.jan = key;
        readProduct(found.front(), 0, p);
    }
    return result;
}

ProductMaster::CountResult ProductMaster::productCount() {
    CountResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasTable_) {
        return result;
    }
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("SELECT count(*) FROM products")) || !query.next()) {
        result = {false, readFailure(query.lastError()), 0};
        query = QSqlQuery();
        close();
        return result;
    }
    result.count = query.value(0).toLongLong();
    return result;
}

ProductMaster::ProductsResult ProductMaster::allProducts() {
    ProductsResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasTable_) {
        return result;
    }
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT jan, maker, product, spec, lot, price, tax_rate, %1"
                                   " FROM products ORDER BY jan")
                        .arg(kindColumn()))) {
        result = {false, readFailure(query.lastError()), {}};
        query = QSqlQuery();
        close();
        return result;
    }
    while (query.next()) {
        ProductRow& p = result.products.emplace_back();
        p.jan = query.value(0).toString();
        readProduct(query, 1, p);
    }
    return result;
}

ProductMaster::StoredResult ProductMaster::storedProducts(const QStringList& keys) {
    // Codes asked for per statement: a long list is read in a few round trips.
    constexpr int kPerStatement = 500;
    StoredResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasTable_ || keys.isEmpty()) {
        return result;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const bool reading = db.transaction();  // the answers belong together
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Each code also without its check digit where the master holds such codes, as lists
    // stored them before they were completed; the code itself wins where both are stored.
    bool ok = query.exec(QStringLiteral(
        "SELECT count(*) FROM (SELECT 1 FROM products WHERE length(jan) IN (7, 12) LIMIT 1) AS s"));
    const bool shortCodes = ok && query.next() && query.value(0).toInt() > 0;
    query.finish();
    QHash<QString, QString> askedFor;  // the shorter codes asked, with the code they are of
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
    // Bound apart from the statement's text, as every value is (a list's code could hold
    // anything).
    QSqlError error;
    std::vector<QVariantList> answer;
    for (qsizetype first = 0; ok && first < asked.size(); first += kPerStatement) {
        const int count =
            static_cast<int>(std::min<qsizetype>(kPerStatement, asked.size() - first));
        const QString statement =
            QStringLiteral("SELECT jan, maker, product, spec, lot, price, tax_rate, %1, %2"
                           " FROM products WHERE jan IN (%3)")
                .arg(kindColumn(),
                     hasListTimes_ ? QStringLiteral("listed_at") : QStringLiteral("updated_at"),
                     placeholders(count, QStringLiteral("?")));
        QVariantList values;
        values.reserve(count);
        for (int i = 0; i < count; ++i) {
            values << asked[first + i];
        }
        answer.clear();
        ok = engine_->runBound(db, query, statement, values, &answer, error);
        for (const QVariantList& row : answer) {
            const QString jan = row.value(0).toString();
            const QString key = askedFor.value(jan, jan);
            if (jan != key && result.products.contains(key)) {
                continue;
            }
            StoredProduct& stored = result.products[key];
            stored.product.jan = key;
            readProduct(row, 1, stored.product);
            stored.listedAt = stampTime(row.value(8).toString());
        }
    }
    if (!ok && !error.isValid()) {
        error = query.lastError();  // the question for codes without their check digit
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

}  // namespace zukaro
