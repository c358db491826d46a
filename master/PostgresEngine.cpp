#include "PostgresEngine.h"

#include <libpq-fe.h>
#include <QSqlDriver>
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

// The driver's libpq connection, for what Qt's driver does not do itself.
PGconn* connectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() != nullptr ? db.driver()->handle() : QVariant();
    // Qt names it by libpq's struct.
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "pg_conn*") != 0 &&
                              qstrcmp(handle.typeName(), "PGconn*") != 0)) {
        return nullptr;
    }
    return *static_cast<PGconn* const*>(handle.constData());
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

QStringList PostgresEngine::beginUpgrade() const {
    // One number for every zukaro: "zukaro" in ASCII.
    return {QStringLiteral("BEGIN"),
            QStringLiteral("SELECT pg_advisory_xact_lock(122117097114111)")};
}

bool PostgresEngine::readContents(QSqlDatabase& db, DatabaseContents& contents,
                                  QSqlError& error) const {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // From pg_class itself, as of this statement: the names the server has cached may be
    // those of before another program's upgrade that this one has just waited for. Tables,
    // views and the like of the schema the master's tables would go into.
    if (!query.exec(QStringLiteral(
            "SELECT c.relname, a.attname FROM pg_catalog.pg_class c"
            " LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0"
            " AND NOT a.attisdropped AND c.relname IN ('products', 'printed')"
            " WHERE c.relnamespace = current_schema()::regnamespace"
            " AND c.relkind IN ('r', 'v', 'm', 'p', 'f') ORDER BY c.relname, a.attnum"))) {
        error = query.lastError();
        return false;
    }
    while (query.next()) {
        const QString table = query.value(0).toString();
        if (table == u"zukaro_schema") {
            contents.marked = true;
            continue;
        }
        if (!contents.tables.contains(table)) {
            contents.tables << table;
        }
        if (!query.value(1).isNull()) {
            (table == u"products" ? contents.productColumns : contents.printedColumns)
                << query.value(1).toString();
        }
    }
    contents.version = 0;
    if (contents.marked) {
        if (!query.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM zukaro_schema")) ||
            !query.next()) {
            error = query.lastError();
            return false;
        }
        contents.version = query.value(0).toInt();
    }
    return true;
}

QStringList PostgresEngine::setVersion(int version) const {
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS zukaro_schema (version INTEGER NOT NULL)"),
            QStringLiteral("DELETE FROM zukaro_schema"),
            QStringLiteral("INSERT INTO zukaro_schema (version) VALUES (%1)").arg(version)};
}

bool PostgresEngine::runBound(QSqlDatabase& db, QSqlQuery& /*query*/, const QString& statement,
                              const QVariantList& values, std::vector<QVariantList>* rows,
                              QSqlError& error, qint64* changed) const {
    // Qt's driver writes bound values into the statement's text, where a NUL ends it; libpq
    // sends them apart from it.
    PGconn* connection = connectionOf(db);
    if (connection == nullptr) {
        error = QSqlError(QStringLiteral("no connection to the server"), {},
                          QSqlError::ConnectionError);
        return false;
    }
    QString numbered;
    numbered.reserve(statement.size() + values.size() * 4);
    int placeholder = 0;
    for (const QChar c : statement) {
        if (c == u'?') {
            numbered += u'$' + QString::number(++placeholder);
        } else {
            numbered += c;
        }
    }
    std::vector<QByteArray> texts;
    texts.reserve(static_cast<std::size_t>(values.size()));
    std::vector<const char*> bound;
    bound.reserve(static_cast<std::size_t>(values.size()));
    for (const QVariant& value : values) {
        if (value.isNull()) {
            bound.push_back(nullptr);
        } else {
            bound.push_back(texts.emplace_back(value.toString().toUtf8()).constData());
        }
    }
    PGresult* result =
        PQexecParams(connection, numbered.toUtf8().constData(), static_cast<int>(bound.size()),
                     nullptr, bound.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        const QString text = QString::fromUtf8(result != nullptr ? PQresultErrorMessage(result)
                                                                 : PQerrorMessage(connection));
        error = QSqlError(QStringLiteral("Unable to run the statement"), text,
                          PQstatus(connection) == CONNECTION_OK ? QSqlError::StatementError
                                                                : QSqlError::ConnectionError,
                          QString::fromLatin1(state != nullptr ? state : ""));
        PQclear(result);
        return false;
    }
    if (changed != nullptr) {
        *changed = QByteArray(PQcmdTuples(result)).toLongLong();  // "" for a SELECT: 0
    }
    if (rows != nullptr) {
        const int count = PQntuples(result);
        const int columns = PQnfields(result);
        rows->reserve(rows->size() + static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            QVariantList& row = rows->emplace_back();
            for (int c = 0; c < columns; ++c) {
                row << (PQgetisnull(result, r, c) != 0
                            ? QVariant()
                            : QVariant(QString::fromUtf8(PQgetvalue(result, r, c),
                                                         PQgetlength(result, r, c))));
            }
        }
    }
    PQclear(result);
    return true;
}

void PostgresEngine::opened(QSqlDatabase& db) {
    // What the server notes by the way ("relation already exists, skipping" when an upgrade
    // makes sure of a table) is no message for a clerk, and must not reach a script's stderr
    // in the server's words; errors come as errors.
    if (PGconn* connection = connectionOf(db)) {
        PQsetNoticeReceiver(
            connection, [](void*, const PGresult*) {}, nullptr);
    }
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
    return QStringLiteral(" RETURNING (xmax = 0)::int");
}

int PostgresEngine::rowsPerStatement() const {
    return 500;  // one round trip for 500 products
}

}  // namespace zukaro
