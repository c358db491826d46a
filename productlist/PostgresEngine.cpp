#include "PostgresEngine.h"

#include <QSqlQuery>
#include <QVariant>

#include "MasterMessages.h"

namespace zukaro {
namespace {

// libpq's keyword=value with the value quoted, as its connection strings take it.
QString conninfoPair(const QString& key, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("%1='%2'").arg(key, value);
}

bool hasOption(const QStringList& options, const QString& key) {
    for (const QString& option : options) {
        if (option.section(u'=', 0, 0) == key) {
            return true;
        }
    }
    return false;
}

}  // namespace

PostgresEngine::PostgresEngine(MasterLocation location) : location_(std::move(location)) {}

QString PostgresEngine::driver() const {
    return QStringLiteral("QPSQL");
}

QString PostgresEngine::missingDriver() const {
    return master::noPostgresDriver();
}

void PostgresEngine::configure(QSqlDatabase& db, bool& /*readOnly*/) {
    // What a login may do is asked of the server once connected.
    db.setHostName(location_.host);
    if (location_.port != 0) {
        db.setPort(location_.port);
    }
    db.setUserName(location_.user);
    db.setDatabaseName(location_.database);
    QStringList options;
    for (const QString& option : location_.options) {
        options << conninfoPair(option.section(u'=', 0, 0), option.section(u'=', 1));
    }
    // A server that does not answer must not hold a scanning clerk for long; the server's
    // administrator sees who is connected.
    if (!hasOption(location_.options, QStringLiteral("connect_timeout"))) {
        options << QStringLiteral("connect_timeout=5");
    }
    if (!hasOption(location_.options, QStringLiteral("application_name"))) {
        options << QStringLiteral("application_name=zukaro");
    }
    // A server that goes away in the middle (a cable pulled, a router restarted) is noticed
    // within seconds instead of after TCP's quarter of an hour; a socket ignores these.
    for (const char* option : {"keepalives_idle=30", "keepalives_interval=10", "keepalives_count=3",
                               "tcp_user_timeout=20000"}) {
        const QString pair = QString::fromLatin1(option);
        if (!hasOption(location_.options, pair.section(u'=', 0, 0))) {
            options << pair;
        }
    }
    db.setConnectOptions(options.join(u';'));
}

QString PostgresEngine::reason(const QSqlError& error) const {
    return master::postgresReason(error, location_);
}

bool PostgresEngine::lostConnection(const QSqlError& error) const {
    return master::postgresConnectionLost(error);
}

QStringList PostgresEngine::beginUpgrade() const {
    // One number for every zukaro: "zukaro" in ASCII.
    return {QStringLiteral("BEGIN"),
            QStringLiteral("SELECT pg_advisory_xact_lock(122117097114111)")};
}

bool PostgresEngine::readVersion(QSqlDatabase& db, int& version, bool& hasProducts,
                                 QSqlError& error) const {
    QSqlQuery query(db);
    // From pg_class itself, as of this statement: the names the server has cached may be
    // those of before another program's upgrade that this one has just waited for.
    if (!query.exec(QStringLiteral(
            "SELECT count(*) FILTER (WHERE relname = 'zukaro_schema') > 0,"
            " count(*) FILTER (WHERE relname = 'products') > 0 FROM pg_catalog.pg_class"
            " WHERE relnamespace = current_schema()::regnamespace AND relkind = 'r'")) ||
        !query.next()) {
        error = query.lastError();
        return false;
    }
    const bool hasVersion = query.value(0).toBool();
    hasProducts = query.value(1).toBool();
    version = 0;
    if (hasVersion) {
        if (!query.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM zukaro_schema")) ||
            !query.next()) {
            error = query.lastError();
            return false;
        }
        version = query.value(0).toInt();
    }
    return true;
}

QStringList PostgresEngine::setVersion(int version) const {
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS zukaro_schema (version INTEGER NOT NULL)"),
            QStringLiteral("DELETE FROM zukaro_schema"),
            QStringLiteral("INSERT INTO zukaro_schema (version) VALUES (%1)").arg(version)};
}

bool PostgresEngine::mayWrite(QSqlDatabase& db) const {
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT has_table_privilege('products', 'INSERT')"
                                     " AND has_table_privilege('products', 'UPDATE')")) &&
           query.next() && query.value(0).toBool();
}

QString PostgresEngine::login(QSqlDatabase& db) const {
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT session_user")) && query.next()
               ? query.value(0).toString()
               : location_.user;
}

QString PostgresEngine::nowExpression() const {
    // The moment it is evaluated, not the transaction's start: a change that waited for
    // another import's lock is stamped after that import's commit.
    return QStringLiteral("to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS')");
}

QString PostgresEngine::insertedReturning() const {
    // Other imports commit while this one runs; a count before and after would include theirs.
    return QStringLiteral(" RETURNING (xmax = 0)");
}

int PostgresEngine::rowsPerStatement() const {
    return 500;  // one round trip for 500 products
}

}  // namespace zukaro
