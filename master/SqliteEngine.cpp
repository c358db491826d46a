#include "SqliteEngine.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <limits>
#include <utility>

#include "MasterMessages.h"
#include "SafeFile.h"
#include "SystemError.h"

namespace zukaro {
namespace {

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

}  // namespace

SqliteEngine::SqliteEngine(QString path, int busyTimeoutMs)
    : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {}

QString SqliteEngine::driver() const {
    return QStringLiteral("QSQLITE");
}

QString SqliteEngine::missingDriver() const {
    return master::noDriver();
}

QString SqliteEngine::refusal() const {
    // Looked at without waiting, as every file the program reads; SQLite would open it by name.
    const ReadResult looked = checkRegularFile(path_, std::numeric_limits<qint64>::max());
    switch (looked.status) {
        case ReadResult::Status::Ok:
        case ReadResult::Status::Missing:
            return {};
        case ReadResult::Status::NotRegular:
            return QStringLiteral("そこにあるのは%1で、普通のファイルではありません")
                .arg(describeFileKind(looked.kind));
        default:
            return {};  // unreadable: SQLite says so in its words
    }
}

void SqliteEngine::dropUnmade() {
    // Only while it holds nothing: a file another program made whole meanwhile stays.
    struct stat info {};
    const QByteArray name = QFile::encodeName(path_);
    if (std::exchange(madeByOpen_, false) && ::stat(name.constData(), &info) == 0 &&
        S_ISREG(info.st_mode) && info.st_size == 0) {
        ::unlink(name.constData());
    }
}

void SqliteEngine::configure(QSqlDatabase& db, bool& readOnly) {
    madeByOpen_ = !QFileInfo::exists(path_);
    readOnly = readOnly || (QFileInfo::exists(path_) && !canWrite(path_));
    db.setDatabaseName(path_);
    // Another zukaro window or program may be writing the same file for a moment.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(busyTimeoutMs_)
                             .arg(readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
}

QString SqliteEngine::reason(const QSqlError& error) const {
    return master::sqliteReason(error);
}

QStringList SqliteEngine::beginUpgrade() const {
    return {QStringLiteral("BEGIN IMMEDIATE")};
}

bool SqliteEngine::readContents(QSqlDatabase& db, DatabaseContents& contents,
                                QSqlError& error) const {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const auto column = [&](const QString& statement, QStringList& into) {
        if (!query.exec(statement)) {
            error = query.lastError();
            return false;
        }
        while (query.next()) {
            into << query.value(0).toString();
        }
        return true;
    };
    QStringList version;
    if (!column(QStringLiteral("SELECT user_version FROM pragma_user_version"), version) ||
        !column(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"
                               " AND name NOT LIKE 'sqlite!_%' ESCAPE '!' ORDER BY name"),
                contents.tables) ||
        !column(QStringLiteral("SELECT name FROM pragma_table_info('products')"),
                contents.productColumns) ||
        !column(QStringLiteral("SELECT name FROM pragma_table_info('printed')"),
                contents.printedColumns)) {
        return false;
    }
    contents.version = version.value(0).toInt();
    contents.marked = contents.version > 0;
    return true;
}

QStringList SqliteEngine::setVersion(int version) const {
    return {QStringLiteral("PRAGMA user_version = %1").arg(version)};
}

bool SqliteEngine::runBound(QSqlDatabase& /*db*/, QSqlQuery& query, const QString& statement,
                            const QVariantList& values, std::vector<QVariantList>* rows,
                            QSqlError& error, qint64* changed) const {
    // SQLite binds the values itself.
    if (query.lastQuery() != statement && !query.prepare(statement)) {
        error = query.lastError();
        return false;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        error = query.lastError();
        return false;
    }
    if (changed != nullptr) {
        *changed = std::max(0, query.numRowsAffected());
    }
    if (rows != nullptr) {
        const int columns = query.record().count();
        while (query.next()) {
            QVariantList& row = rows->emplace_back();
            for (int i = 0; i < columns; ++i) {
                row << query.value(i);
            }
        }
    }
    query.finish();
    return true;
}

bool SqliteEngine::mayWrite(QSqlDatabase&) const {
    return true;  // a file that cannot be written was opened read-only
}

QString SqliteEngine::login(QSqlDatabase&) const {
    const passwd* user = ::getpwuid(::geteuid());
    return user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid());
}

QString SqliteEngine::nowExpression() const {
    return QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now')");
}

QString SqliteEngine::insertedReturning() const {
    return {};  // one writer at a time: the products counted before and after tell
}

int SqliteEngine::rowsPerStatement() const {
    return 500;  // 7,500 values, well within SQLite's 32,766
}

}  // namespace zukaro
