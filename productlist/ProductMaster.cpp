#include "ProductMaster.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <atomic>

#include "CellValues.h"
#include "JanCompletion.h"
#include "MasterMessages.h"

namespace zukaro {

namespace {

constexpr int kSchemaVersion = 1;
const QString kDriver = QStringLiteral("QSQLITE");
// Rows imported between two looks at the progress.
constexpr int kRowsPerStep = 1024;

std::atomic<quint64> connectionCount{0};

// The labels last printed, per JAN code as printed (check digit completed): what the weekly
// price change compares a list with. A master of the first version gets it when it is next
// opened for writing.
const QString kPrintedTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS printed ("
    " jan TEXT PRIMARY KEY NOT NULL,"
    " maker TEXT NOT NULL, product TEXT NOT NULL,"
    " spec TEXT NOT NULL, lot TEXT NOT NULL, price TEXT NOT NULL,"
    " tax_rate INTEGER NOT NULL, tax_kind TEXT NOT NULL,"
    " printed_at TEXT NOT NULL)");

// By the permission bits too, as for every file zukaro writes: an administrator would write
// anyway. SQLite writes its journal beside the file, so the folder counts as well.
bool canWrite(const QString& path) {
    const auto writable = [](const QString& name) {
        const QByteArray encoded = QFile::encodeName(name);
        struct stat info {};
        return ::stat(encoded.constData(), &info) == 0 &&
               (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
               ::access(encoded.constData(), W_OK) == 0;
    };
    return writable(path) && writable(QFileInfo(path).absolutePath());
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

ProductMaster::ProductMaster(QString path, int busyTimeoutMs)
    : path_(std::move(path)),
      connection_(QStringLiteral("zukaro-product-master-%1").arg(++connectionCount)),
      busyTimeoutMs_(busyTimeoutMs) {}

ProductMaster::~ProductMaster() {
    close();
}

std::unique_ptr<ProductMaster> ProductMaster::another() const {
    return std::make_unique<ProductMaster>(path_, busyTimeoutMs_);
}

ProductMaster::Result ProductMaster::open() {
    if (isOpen()) {
        return {true, {}};
    }
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        return {false, master::cannotOpen(path_, master::noDriver())};
    }
    readOnly_ = QFileInfo::exists(path_) && !canWrite(path_);
    hasTable_ = false;
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(kDriver, connection_);
    db.setDatabaseName(path_);
    // Another zukaro window or program may be writing the same file for a moment.
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
            .arg(busyTimeoutMs_)
            .arg(readOnly_ ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open()) {
        const QString message = master::cannotOpen(path_, master::sqliteReason(db.lastError()));
        db = QSqlDatabase();
        close();
        return {false, message};
    }
    QSqlQuery query(db);
    const auto fail = [&](const QString& reason) {
        query = QSqlQuery();
        db = QSqlDatabase();
        close();  // tried again on the next use: a lock held at start goes away
        return Result{false, master::cannotOpen(path_, reason)};
    };
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return fail(master::sqliteReason(query.lastError()));
    }
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion) {
        return fail(master::newerVersion());
    }
    if (!query.exec(QStringLiteral(
            "SELECT (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND"
            " name = 'products'), (SELECT count(*) FROM sqlite_master WHERE type = 'table' AND"
            " name = 'printed')")) ||
        !query.next()) {
        return fail(master::sqliteReason(query.lastError()));
    }
    hasTable_ = query.value(0).toInt() > 0;
    hasHistory_ = query.value(1).toInt() > 0;
    if (readOnly_ || (hasTable_ && hasHistory_ && version == kSchemaVersion)) {
        return {true, {}};
    }
    // Copies are not stored: they belong to one printing, not to the product.
    if (!query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS products ("
                                   " jan TEXT PRIMARY KEY NOT NULL,"
                                   " maker TEXT NOT NULL, product TEXT NOT NULL,"
                                   " spec TEXT NOT NULL, lot TEXT NOT NULL, price TEXT NOT NULL,"
                                   " tax_rate INTEGER,"
                                   " updated_at TEXT NOT NULL)")) ||
        !query.exec(kPrintedTable) ||
        !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion))) {
        return fail(master::sqliteReason(query.lastError()));
    }
    hasTable_ = true;
    hasHistory_ = true;
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

ProductMaster::ImportResult ProductMaster::importRows(const std::vector<ProductRow>& rows,
                                                      WorkProgress* progress) {
    ImportResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    if (readOnly_) {
        result.error = master::cannotWrite(path_, master::readOnly());
        return result;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        result.error = master::cannotWrite(path_, master::sqliteReason(db.lastError()));
        return result;
    }
    beginStep(progress,
              QStringLiteral("商品マスタ「%1」に登録しています").arg(QFileInfo(path_).fileName()),
              static_cast<qint64>(rows.size()));
    // An empty cell keeps what is stored: a list of prices alone must not wipe the names. One
    // statement per row, and the counts from the table's size before and after.
    QSqlQuery count(db), upsert(db);
    const auto stored = [&count](qint64& n) {
        const bool ok = count.exec() && count.next();
        n = ok ? count.value(0).toLongLong() : 0;
        count.finish();
        return ok;
    };
    qint64 before = 0;
    const bool prepared =
        count.prepare(QStringLiteral("SELECT count(*) FROM products")) && stored(before) &&
        upsert.prepare(QStringLiteral(
            "INSERT INTO products (maker, product, spec, lot, price, tax_rate, jan, updated_at)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (jan) DO UPDATE SET"
            " maker = coalesce(nullif(excluded.maker, ''), maker),"
            " product = coalesce(nullif(excluded.product, ''), product),"
            " spec = coalesce(nullif(excluded.spec, ''), spec),"
            " lot = coalesce(nullif(excluded.lot, ''), lot),"
            " price = coalesce(nullif(excluded.price, ''), price),"
            " tax_rate = coalesce(excluded.tax_rate, tax_rate),"
            " updated_at = excluded.updated_at"));
    QSqlError error = prepared
                          ? QSqlError()
                          : (count.lastError().isValid() ? count.lastError() : upsert.lastError());
    const QVariant now =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    int withJan = 0;
    bool cancelled = false;
    for (std::size_t i = 0; i < rows.size() && !error.isValid(); ++i) {
        if (i % kRowsPerStep == 0) {
            reportDone(progress, static_cast<qint64>(i));
            if ((cancelled = cancelledBy(progress))) {
                break;
            }
        }
        const ProductRow& row = rows[i];
        const QString jan = masterKey(row.jan);
        if (jan.isEmpty()) {
            ++result.skipped;
            continue;
        }
        for (const QString* text : {&row.maker, &row.product, &row.spec, &row.lot, &row.price}) {
            upsert.addBindValue(textValue(*text));
        }
        upsert.addBindValue(taxValue(row.taxRate));
        upsert.addBindValue(jan);
        upsert.addBindValue(now);
        if (!upsert.exec()) {
            error = upsert.lastError();
            break;
        }
        ++withJan;
    }
    qint64 after = 0;
    if (!cancelled && !error.isValid() && !stored(after)) {
        error = count.lastError();
    }
    result.added = static_cast<int>(after - before);
    result.updated = withJan - result.added;
    if (cancelled) {
        db.rollback();
        return {false, true, master::cannotWrite(path_, master::cancelled()), 0, 0, 0};
    }
    if (!error.isValid() && !db.commit()) {
        error = db.lastError();
    }
    if (error.isValid()) {
        db.rollback();
        return {false, false, master::cannotWrite(path_, master::sqliteReason(error)), 0, 0, 0};
    }
    reportDone(progress, static_cast<qint64>(rows.size()));
    result.ok = true;
    return result;
}

ProductMaster::LookupResult ProductMaster::lookup(const QString& jan) {
    LookupResult result;
    if (const Result opened = open(); !opened.ok) {
        result.error = opened.error;
        return result;
    }
    result.ok = true;
    if (!hasTable_) {
        return result;  // a new master on a read-only share knows nothing yet
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
            result.ok = false;
            result.error = master::cannotRead(path_, master::sqliteReason(query.lastError()));
            return result;
        }
        found = query.next();
        if (found) {
            break;
        }
    }
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
