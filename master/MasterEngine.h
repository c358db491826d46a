#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <vector>

#include "MasterLocation.h"
#include "MasterSchema.h"

namespace zukaro {

// What differs between the two homes of a product master, both reached through Qt SQL: an
// SQLite file (QSQLITE) and a database on a PostgreSQL server (QPSQL). How to connect, where
// the schema's version is kept, how two programs starting at once are kept from upgrading the
// same schema twice, who may write, which time a change is stamped with, and what each
// engine's errors mean in our words. The tables and their upgrades are the same for both
// (MasterSchema.h); ProductMaster does the rest once for both.
class MasterEngine {
public:
    virtual ~MasterEngine() = default;

    static std::unique_ptr<MasterEngine> create(const MasterLocation& location, int busyTimeoutMs);

    virtual QString driver() const = 0;
    // The reason given when Qt's driver is not installed.
    virtual QString missingDriver() const = 0;
    // Why the database must not be handed to the driver at all, in our words; empty when it
    // may (an SQLite file that is no regular file: a named pipe would hold the first read
    // forever).
    virtual QString refusal() const { return {}; }
    // After a failed open, once the connection is closed: what the open made and could not
    // make whole goes (an SQLite file created empty on a full disk).
    virtual void dropUnmade() {}
    // Names the database and the connection's options. `readOnly` comes in as asked for and
    // may be set by the engine (an SQLite file that cannot be written is opened read-only).
    virtual void configure(QSqlDatabase& db, bool& readOnly) = 0;
    // The reason of a failed statement or connection, in our words (the driver's own text
    // after them).
    virtual QString reason(const QSqlError& error) const = 0;

    // The statements that start the transaction in which the schema is upgraded, so that of
    // two programs starting at once only one upgrades and the other sees its result.
    virtual QStringList beginUpgrade() const = 0;
    // The schema's version and mark, the tables and the columns of the master's tables, read
    // without writing anything: whether the database is a master at all is judged from them
    // (databaseKind) before any statement that writes.
    virtual bool readContents(QSqlDatabase& db, DatabaseContents& contents,
                              QSqlError& error) const = 0;
    virtual QStringList setVersion(int version) const = 0;
    // Runs `statement` with `values` bound to its '?' placeholders, never written into its
    // text: whatever a list holds reaches the database as it is. The rows of its answer go to
    // `rows` when asked for, each column's value as text (null as a null QVariant), and to
    // `changed` the number of rows it inserted, updated or deleted. `query` is the caller's,
    // kept from one run to the next, so that a statement run again is not prepared again.
    virtual bool runBound(QSqlDatabase& db, QSqlQuery& query, const QString& statement,
                          const QVariantList& values, std::vector<QVariantList>* rows,
                          QSqlError& error, qint64* changed = nullptr) const = 0;
    // Called once the connection is open.
    virtual void opened(QSqlDatabase& /*db*/) {}
    // Whether this login may add and change products (a shop's login may only read them).
    virtual bool mayWrite(QSqlDatabase& db) const = 0;
    // Who writes, as the database knows the login (or the computer's user for a file).
    virtual QString login(QSqlDatabase& db) const = 0;
    // The current time as 'YYYY-MM-DD HH:MM:SS' UTC, taken when the row is written: of two
    // changes of one product the later stamp is the one that stays.
    virtual QString nowExpression() const = 0;
    // Appended to the upsert so that each row tells whether it was new; empty when the
    // engine counts the products before and after instead.
    virtual QString insertedReturning() const = 0;
    // Product rows per upsert statement.
    virtual int rowsPerStatement() const = 0;
};

}  // namespace zukaro
