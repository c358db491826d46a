#include "MasterMessages.h"

#include <QDir>
#include <QSqlError>

namespace zukaro::master {
namespace {

QString sentence(const QString& path, const QString& what, const QString& reason) {
    return QStringLiteral("商品マスタ「%1」%2（%3）。")
        .arg(QDir::toNativeSeparators(path), what, reason);
}

// SQLite's primary result codes (the low byte of an extended one).
QString sqliteMeaning(int code) {
    switch (code & 0xFF) {
        case 5:  // SQLITE_BUSY
        case 6:  // SQLITE_LOCKED
            return QStringLiteral(
                "ほかのプログラムが使っています。しばらくしてからもう一度"
                "試してください");
        case 7:  // SQLITE_NOMEM
            return QStringLiteral("メモリが足りません");
        case 8:  // SQLITE_READONLY
            return QStringLiteral("読み取り専用のため書き込めません");
        case 10:  // SQLITE_IOERR
            return QStringLiteral("ディスクの読み書きでエラーが起きました");
        case 11:  // SQLITE_CORRUPT
            return QStringLiteral("データベースが壊れています");
        case 13:  // SQLITE_FULL
            return QStringLiteral("ディスクの空きがありません");
        case 14:  // SQLITE_CANTOPEN
            return QStringLiteral("ファイルを開けません");
        case 19:  // SQLITE_CONSTRAINT
            return QStringLiteral("データベースの決まりに合わないデータです");
        case 23:  // SQLITE_AUTH
            return QStringLiteral("権限がありません");
        case 26:  // SQLITE_NOTADB
            return QStringLiteral("SQLite のデータベースではありません");
        default:
            return QStringLiteral("データベースのエラーです");
    }
}

}  // namespace

QString cannotOpen(const QString& path, const QString& reason) {
    return sentence(path, QStringLiteral("を開けません"), reason);
}

QString cannotRead(const QString& path, const QString& reason) {
    return sentence(path, QStringLiteral("を読めません"), reason);
}

QString cannotWrite(const QString& path, const QString& reason) {
    return sentence(path, QStringLiteral("に書き込めません"), reason);
}

QString noDriver() {
    return QStringLiteral("Qt の SQLite ドライバがありません。libqt6sql6-sqlite を入れてください");
}

QString newerVersion() {
    return QStringLiteral("新しい版の zukaro で作られたものです");
}

QString readOnly() {
    return QStringLiteral(
        "読み取り専用です。JAN コードで引くことはできますが、リストは登録できません。"
        "書き込める場所に置くか、書き込みの権限をもらってください");
}

QString cancelled() {
    return QStringLiteral("取り消しました。商品マスタは変わっていません");
}

QString sqliteReason(const QSqlError& error) {
    bool numbered = false;
    const int code = error.nativeErrorCode().toInt(&numbered);
    // SQLITE_NOTADB's own words say nothing more.
    if (numbered && (code & 0xFF) == 26) {
        return sqliteMeaning(code);
    }
    const QString meaning =
        numbered ? sqliteMeaning(code) : QStringLiteral("データベースへの問い合わせに失敗しました");
    const QString original = error.text().trimmed();
    return original.isEmpty() ? meaning : QStringLiteral("%1。原文: %2").arg(meaning, original);
}

}  // namespace zukaro::master
