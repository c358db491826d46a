#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <atomic>

#include "MasterLocation.h"

namespace zukaro::testing {

// The private PostgreSQL server that scripts/test-postgres.sh starts for this build folder
// (test.sh does so before the suite), as its env file describes it. Tests that need it fail,
// never skip, when it is not there. Passwords reach libpq as they reach a shop's program:
// through the password file named by PGPASSFILE.
class TestPostgres {
public:
    TestPostgres() {
        if (!QFileInfo::exists(QStringLiteral(TEST_POSTGRES_ENV))) {
            error_ = QStringLiteral(TEST_POSTGRES_ENV
                                    " is missing: run `sh scripts/test-postgres.sh start`"
                                    " (scripts/test.sh does)");
            return;
        }
        const QSettings env(QStringLiteral(TEST_POSTGRES_ENV), QSettings::IniFormat);
        host = env.value(QStringLiteral("ZUKARO_TEST_PGHOST")).toString();
        port = env.value(QStringLiteral("ZUKARO_TEST_PGPORT")).toInt();
        admin = env.value(QStringLiteral("ZUKARO_TEST_PGADMIN")).toString();
        office = env.value(QStringLiteral("ZUKARO_TEST_PGOFFICE")).toString();
        shop = env.value(QStringLiteral("ZUKARO_TEST_PGSHOP")).toString();
        passFile = env.value(QStringLiteral("PGPASSFILE")).toString();
        qputenv("PGPASSFILE", passFile.toUtf8());
        if (!sql(QStringLiteral("postgres"), QStringLiteral("SELECT 1"))) {
            error_ = QStringLiteral("the test PostgreSQL server of " TEST_POSTGRES_ENV
                                    " is not reachable: ") +
                     lastError_ +
                     QStringLiteral(" (run `sh scripts/test-postgres.sh start` again)");
        }
    }

    ~TestPostgres() {
        for (const QString& database : created_) {
            sql(QStringLiteral("postgres"),
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
        }
        QSqlDatabase::removeDatabase(connectionName());
    }

    TestPostgres(const TestPostgres&) = delete;
    TestPostgres& operator=(const TestPostgres&) = delete;

    bool ready() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    const QString& lastError() const { return lastError_; }

    // A new, empty database owned by head office's login, where the shop's login may connect
    // and read what head office creates (as the README sets a chain up); dropped at the end.
    QString createDatabase() {
        static std::atomic<int> count{0};
        const QString name =
            QStringLiteral("zukaro_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++count);
        if (!sql(QStringLiteral("postgres"),
                 QStringLiteral("CREATE DATABASE %1 OWNER %2").arg(name, office)) ||
            !sql(name, QStringLiteral("ALTER DEFAULT PRIVILEGES FOR ROLE %1 IN SCHEMA public"
                                      " GRANT SELECT ON TABLES TO %2")
                           .arg(office, shop))) {
            return {};
        }
        created_ << name;
        return name;
    }

    MasterLocation location(const QString& database, const QString& user) const {
        MasterLocation where;
        where.engine = MasterLocation::Engine::Postgres;
        where.host = host;
        where.port = port;
        where.user = user;
        where.database = database;
        return where;
    }

    // Runs one statement as the superuser in `database`; the first column of the first row,
    // when asked for.
    bool sql(const QString& database, const QString& statement, QVariant* value = nullptr) {
        QSqlDatabase db = connection(database);
        if (!db.isOpen() && !db.open()) {
            lastError_ = db.lastError().text();
            return false;
        }
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            lastError_ = query.lastError().text();
            if (query.lastError().type() == QSqlError::ConnectionError) {
                db.close();  // the server went (or restarted): the next statement connects anew
            }
            return false;
        }
        if (value != nullptr) {
            *value = query.next() ? query.value(0) : QVariant();
        }
        return true;
    }

    QString host, office, shop, admin, passFile;
    int port = 0;

private:
    QString connectionName() const {
        return QStringLiteral("zukaro-test-admin-%1").arg(reinterpret_cast<quintptr>(this));
    }

    QSqlDatabase connection(const QString& database) {
        QSqlDatabase db =
            QSqlDatabase::contains(connectionName())
                ? QSqlDatabase::database(connectionName(), false)
                : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName());
        if (db.databaseName() != database) {
            db.close();
            db.setHostName(host);
            db.setPort(port);
            db.setUserName(admin);
            db.setDatabaseName(database);
        }
        return db;
    }

    QString error_;
    QString lastError_;
    QStringList created_;
};

}  // namespace zukaro::testing
