#include "ProductMaster.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <atomic>

#include "CellValues.h"
#include "JanCompletion.h"

namespace zukaro {

namespace {

constexpr int kSchemaVersion = 1;
const QString kDriver = QStringLiteral("QSQLITE");

std::atomic<quint64> connectionCount{0};

QString reasonOf(const QSqlError& error) {
    // SQLITE_NOTADB: some other file stands at the path.
    if (error.nativeErrorCode() == u"26") {
        return QStringLiteral("SQLite のデータベースではありません");
    }
    return error.text();
}

// A null QString binds as SQL NULL; the columns want text.
QVariant textValue(const QString& text) {
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

QVariant taxValue(const std::optional<int>& rate) {
    return rate ? QVariant(*rate) : QVariant(QMetaType::fromType<int>());
}

// The key a product is kept under: the code as the list writes it (blanks and full-width
// digits aside), with the check digit added to a code of 12 or 7 digits. A code from a
// supplier's order sheet and the one a scanner reads are the same product.
QString masterKey(const QString& jan) {
    const QString key = janText(jan);
    return lacksCheckDigit(key) ? completeJanCheckDigit(key) : key;
}

}  // namespace

ProductMaster::ProductMaster(QString path)
    : path_(std::move(path)),
      connection_(QStringLiteral("zukaro-product-master-%1").arg(++connectionCount)) {}

ProductMaster::~ProductMaster() {
    close();
}

QString ProductMaster::failure(const QString& what, const QString& reason) const {
    return QStringLiteral("商品マスタ「%1」%2（%3）。")
        .arg(QDir::toNativeSeparators(path_), what, reason);
}

ProductMaster::Result ProductMaster::open() {
    if (isOpen()) {
        return {true, {}};
    }
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        return {false, failure(QStringLiteral("を開けません"),
                               QStringLiteral("Qt の SQLite ドライバがありません。"
                                              "libqt6sql6-sqlite を入れてください"))};
    }
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(kDriver, connection_);
    db.setDatabaseName(path_);
    // Another zukaro window may be writing the same file for a moment.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        return {false, failure(QStringLiteral("を開けません"), reasonOf(db.lastError()))};
    }
    QSqlQuery query(db);
    const auto fail = [&](const QSqlError& error) {
        const QString message = failure(QStringLiteral("を開けません"), reasonOf(error));
        query = QSqlQuery();
        db.close();
        return Result{false, message};
    };
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return fail(query.lastError());
    }
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion) {
        query = QSqlQuery();
        db.close();
        return {false, failure(QStringLiteral("を開けません"),
                               QStringLiteral("新しい版の zukaro で作られたものです"))};
    }
    // Copies are not stored: they belong to one printing, not to the product.
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS products ("
                                   " jan TEXT PRIMARY KEY NOT NULL,"
                                   " maker TEXT NOT NULL, product TEXT NOT NULL,"
                                   " spec TEXT NOT NULL, lot TEXT NOT NULL, price TEXT NOT NULL,"
                                   " tax_rate INTEGER,"
                                   " updated_at TEXT NOT NULL)")) ||
        !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion))) {
        return fail(query.lastError());
    }
    return {true, {}};
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

ProductMaster::ImportResult ProductMaster::importRows(const std::vector<ProductRow>& rows) {
    ImportResult result;
    if (!isOpen()) {
        result.error =
            failure(QStringLiteral("に書き込めません"), QStringLiteral("開いていません"));
        return result;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        result.error = failure(QStringLiteral("に書き込めません"), reasonOf(db.lastError()));
        return result;
    }
    QSqlQuery find(db), insert(db), update(db);
    // An empty cell keeps what is stored: a list of prices alone must not wipe the names.
    const bool prepared =
        find.prepare(QStringLiteral("SELECT 1 FROM products WHERE jan = ?")) &&
        insert.prepare(QStringLiteral(
            "INSERT INTO products (maker, product, spec, lot, price, tax_rate, jan, updated_at)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, datetime('now'))")) &&
        update.prepare(QStringLiteral(
            "UPDATE products SET maker = coalesce(nullif(?, ''), maker),"
            " product = coalesce(nullif(?, ''), product), spec = coalesce(nullif(?, ''), spec),"
            " lot = coalesce(nullif(?, ''), lot), price = coalesce(nullif(?, ''), price),"
            " tax_rate = coalesce(?, tax_rate), updated_at = datetime('now') WHERE jan = ?"));
    QSqlError error = prepared ? QSqlError() : db.lastError();
    for (const ProductRow& row : rows) {
        if (error.isValid()) {
            break;
        }
        const QString jan = masterKey(row.jan);
        if (jan.isEmpty()) {
            ++result.skipped;
            continue;
        }
        find.addBindValue(jan);
        if (!find.exec()) {
            error = find.lastError();
            break;
        }
        const bool known = find.next();
        find.finish();
        QSqlQuery& write = known ? update : insert;
        for (const QString* text : {&row.maker, &row.product, &row.spec, &row.lot, &row.price}) {
            write.addBindValue(textValue(*text));
        }
        write.addBindValue(taxValue(row.taxRate));
        write.addBindValue(jan);
        if (!write.exec()) {
            error = write.lastError();
            break;
        }
        ++(known ? result.updated : result.added);
    }
    if (!error.isValid() && !db.commit()) {
        error = db.lastError();
    }
    if (error.isValid()) {
        db.rollback();
        return {false, failure(QStringLiteral("に書き込めません"), reasonOf(error)), 0, 0, 0};
    }
    result.ok = true;
    return result;
}

ProductMaster::LookupResult ProductMaster::lookup(const QString& jan) const {
    LookupResult result;
    if (!isOpen()) {
        result.error = failure(QStringLiteral("を読めません"), QStringLiteral("開いていません"));
        return result;
    }
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(
        QStringLiteral("SELECT maker, product, spec, lot, price, tax_rate"
                       " FROM products WHERE jan = ?"));
    // Also under the code without its check digit, as lists stored it before they were
    // completed.
    const QString key = masterKey(jan);
    QStringList keys{key};
    if (lacksCheckDigit(key.chopped(std::min<qsizetype>(key.size(), 1)))) {
        keys << key.chopped(1);
    }
    bool found = false;
    for (const QString& candidate : keys) {
        query.addBindValue(candidate);
        if (!query.exec()) {
            result.error = failure(QStringLiteral("を読めません"), reasonOf(query.lastError()));
            return result;
        }
        found = query.next();
        if (found) {
            break;
        }
    }
    result.ok = true;
    if (found) {
        ProductRow& p = result.product.emplace();
        p.jan = key;
        p.maker = query.value(0).toString();
        p.product = query.value(1).toString();
        p.spec = query.value(2).toString();
        p.lot = query.value(3).toString();
        p.price = query.value(4).toString();
        if (!query.value(5).isNull()) {
            p.taxRate = query.value(5).toInt();
        }
    }
    return result;
}

}  // namespace zukaro
