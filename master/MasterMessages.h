#pragma once

#include <QString>
#include <QStringList>

#include "MasterLocation.h"

class QSqlError;

// Every sentence the product master says to the user, in one place: what went wrong with which
// database, and why, in our own Japanese (the database's own words may follow).
namespace zukaro::master {

// The master as a sentence names it after 商品マスタ: 「path」, or a server's database in
// brackets, （PostgreSQL サーバー db:5432 のデータベース「zukaro」）.
QString name(const MasterLocation& where);
// The same, with a file named by its name alone, as a progress line names it:
// 「products.sqlite」, （PostgreSQL サーバー db:5432 のデータベース「zukaro」）.
QString shortName(const MasterLocation& where);

// 商品マスタ「path」を開けません（reason）。 A master on a server is named by its server and
// database: 商品マスタ（PostgreSQL サーバー db:5432 のデータベース「zukaro」）を開けません（…）。
QString cannotOpen(const MasterLocation& where, const QString& reason);
// 商品マスタ（…）に接続できません（reason）。: the server did not let us in.
QString cannotConnect(const MasterLocation& where, const QString& reason);
// 商品マスタ「path」を読めません（reason）。
QString cannotRead(const MasterLocation& where, const QString& reason);
// 商品マスタ「path」に書き込めません（reason）。
QString cannotWrite(const MasterLocation& where, const QString& reason);

// A text the master cannot keep, before anything is written: "3 行目（JAN 4901234567894）の品名に
// 文字でないもの（\\x00）があります。何も書き込んでいません". `row` names the row, `column` the
// text; `why` starts with its particle (に…があります, が…を超えています).
QString unstorable(const QString& row, const QString& column, const QString& why);

// The reasons.
QString noDriver();
QString noPostgresDriver();
QString newerVersion();
// A database of another program's (its tables named): left as it is.
QString notOurs(const QStringList& tables);
// A master on a read-only share, or owned by another user: look-ups work, imports do not.
QString readOnly();
QString cancelled();
// A shop's login on a chain's master: it reads, head office writes.
QString readOnlyLogin(const QString& login);
// A new database that this login may not fill with the master's tables.
QString cannotCreate(const QString& login);

// SQLite's and Qt SQL's errors in our words, the original text after them: "ほかのプログラムが
// 使っています。…。原文: database is locked Unable to fetch row".
QString sqliteReason(const QSqlError& error);
// The PostgreSQL server's and libpq's errors (by SQLSTATE, or by libpq's words when the
// connection failed before any statement) in our words, the original after them: "ユーザー
// 「shop1」のパスワードが違います。…。原文: … password authentication failed for user …".
QString postgresReason(const QSqlError& error, const MasterLocation& where);

}  // namespace zukaro::master
