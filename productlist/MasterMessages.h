#pragma once

#include <QString>

class QSqlError;

// Every sentence the product master says to the user, in one place: what went wrong with which
// database, and why, in our own Japanese (the database's own words may follow).
namespace zukaro::master {

// 商品マスタ「path」を開けません（reason）。
QString cannotOpen(const QString& path, const QString& reason);
// 商品マスタ「path」を読めません（reason）。
QString cannotRead(const QString& path, const QString& reason);
// 商品マスタ「path」に書き込めません（reason）。
QString cannotWrite(const QString& path, const QString& reason);

// The reasons.
QString noDriver();
QString newerVersion();
// A master on a read-only share, or owned by another user: look-ups work, imports do not.
QString readOnly();
QString cancelled();

// SQLite's and Qt SQL's errors in our words, the original text after them: "ほかのプログラムが
// 使っています。…。原文: database is locked Unable to fetch row".
QString sqliteReason(const QSqlError& error);

}  // namespace zukaro::master
