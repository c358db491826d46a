#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zukaro {

// Where the product master is: the SQLite file of this computer (a shop on its own), or a
// database on a PostgreSQL server that head office and every shop of a chain share.
struct MasterLocation {
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    QString path;  // SQLite: the database file
    // PostgreSQL; empty parts are libpq's defaults (PGHOST, PGPORT, PGUSER, PGDATABASE, the
    // local socket, the login name).
    QString host;      // a name, an address, or the folder of a Unix socket
    int port = 0;      // 0: the default
    QString user;      // the login (role)
    QString database;  // the database's name
    // Other libpq settings from the address (sslmode=require, connect_timeout=10), as
    // "key=value"; never a password.
    QStringList options;

    static MasterLocation sqlite(const QString& path);

    bool isPostgres() const { return engine == Engine::Postgres; }
    // For messages: the file, or 「PostgreSQL サーバー db.example.jp:5432
    // のデータベース「zukaro」」.
    QString describe() const;
    // The address as the settings keep it and the command line takes it: the path, or
    // postgresql://user@host:port/database?options (without a password, which libpq finds).
    QString address() const;

    bool operator==(const MasterLocation&) const = default;
};

struct MasterLocationResult {
    std::optional<MasterLocation> location;
    QString error;  // in Japanese, when there is no location
};

// Reads a master's address: a postgresql:// or postgres:// connection URI as libpq takes it
// (postgresql://shop1@db.example.jp:5432/zukaro, postgresql:///zukaro?host=/run/postgresql),
// or else the path of an SQLite file (~/ is the home folder; a relative path is taken from the
// current folder). A password in the address is refused before anything else is looked at: it
// belongs in ~/.pgpass or in the libpq environment, never in our settings or on a command line
// others can see. Refused too: libpq's keyword=value strings ("dbname=zukaro user=office"),
// other schemes (mysql://), a path with a control character (a NUL would cut it short).
MasterLocationResult parseMasterLocation(const QString& text);

}  // namespace zukaro
