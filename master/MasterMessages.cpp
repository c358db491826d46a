#include "MasterMessages.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <algorithm>

#include "ShownText.h"

namespace zukaro::master {

namespace {

QString named(const MasterLocation& where, const QString& file) {
    return where.isPostgres() ? QStringLiteral("（%1）").arg(where.describe())
                              : QStringLiteral("「%1」").arg(file);
}

}  // namespace

QString name(const MasterLocation& where) {
    return named(where, where.describe());
}

QString shortName(const MasterLocation& where) {
    return named(where, QFileInfo(where.path).fileName());
}

namespace {

QString sentence(const MasterLocation& where, const QString& what, const QString& reason) {
    return QStringLiteral("商品マスタ%1%2（%3）。").arg(name(where), what, reason);
}

// The first line of a driver's message: libpq's are several, the later ones adding nothing.
QString original(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) {
        text = error.driverText().trimmed();
    }
    return text.section(u'\n', 0, 0).trimmed();
}

QString lostConnection() {
    return QStringLiteral(
        "サーバーとの接続が切れました。サーバーが動いているか確かめて、"
        "もう一度試してください");
}

// libpq's words for a connection that went away mid-statement (they come without an SQLSTATE).
bool saysConnectionLost(const QSqlError& error) {
    const QString text = error.databaseText();
    return text.contains(QStringLiteral("server closed the connection")) ||
           text.contains(QStringLiteral("no connection to the server")) ||
           text.contains(QStringLiteral("connection to server was lost"));
}

// What libpq says when it cannot connect, which comes before any SQLSTATE.
QString connectionMeaning(const QString& text, const MasterLocation& where) {
    const QString login = where.user.isEmpty() ? QStringLiteral(" (このパソコンのユーザー名) ")
                                               : QStringLiteral("「%1」").arg(where.user);
    if (text.contains(QStringLiteral("password authentication failed"))) {
        return QStringLiteral(
                   "ユーザー%1のパスワードが違います。~/.pgpass か環境変数 PGPASSWORD の"
                   "パスワードを確かめてください")
            .arg(login);
    }
    if (text.contains(QStringLiteral("no password supplied"))) {
        return QStringLiteral(
                   "ユーザー%1のパスワードがありません。~/.pgpass（パスワードファイル）か"
                   "環境変数 PGPASSWORD に書いてください")
            .arg(login);
    }
    static const QRegularExpression missing(
        QStringLiteral("(database|role) \"([^\"]*)\" does not exist"));
    if (const QRegularExpressionMatch match = missing.match(text); match.hasMatch()) {
        const QString form = match.captured(1) == u"database"
                                 ? QStringLiteral("サーバーにデータベース「%1」がありません")
                                 : QStringLiteral("サーバーにユーザー「%1」がありません");
        return form.arg(match.captured(2));
    }
    if (text.contains(QStringLiteral("pg_hba.conf"))) {
        return QStringLiteral("サーバーがこのパソコンからの接続を許していません (pg_hba.conf)");
    }
    for (const char* unreachable :
         {"Connection refused", "No such file or directory", "could not translate host name",
          "timeout expired", "Network is unreachable", "No route to host", "could not connect",
          "Connection timed out"}) {
        if (text.contains(QLatin1String(unreachable))) {
            return QStringLiteral(
                "サーバーが見つからないか、動いていません。サーバーの名前とポート、"
                "ネットワークを確かめてください");
        }
    }
    return QStringLiteral("サーバーに接続できません");
}

// Some SQLSTATEs (PostgreSQL's appendix "Error Codes") by their class, the first two
// characters, some by the whole code.
QString stateMeaning(const QString& state) {
    const QString group = state.left(2);
    if (state == u"42501") {
        return QStringLiteral("このログインには権限がありません");
    }
    if (state == u"40001" || state == u"40P01") {
        return QStringLiteral("ほかの店か本部の登録と重なりました。もう一度試してください");
    }
    // query_canceled: the server's statement_timeout (or someone cancelling it); the
    // connection is still there.
    if (state == u"57014") {
        return QStringLiteral(
            "サーバーで時間切れになりました（サーバーの設定 statement_timeout の時間を超えた"
            "か、取り消されました）。もう一度試すか、サーバーの管理者に確かめてください");
    }
    if (state == u"55P03") {  // lock_not_available: lock_timeout
        return QStringLiteral(
            "ほかの店か本部の登録が終わるのを待ちきれませんでした（サーバーの設定 "
            "lock_timeout）。しばらくしてからもう一度試してください");
    }
    if (group == u"08" || group == u"57") {
        return lostConnection();
    }
    if (state == u"53100") {
        return QStringLiteral("サーバーのディスクの空きがありません");
    }
    if (group == u"53") {
        return QStringLiteral("サーバーの資源 (メモリ、接続の数) が足りません");
    }
    if (group == u"23") {
        return QStringLiteral("データベースの決まりに合わないデータです");
    }
    if (group == u"22") {
        return QStringLiteral("データベースに入らない値があります");
    }
    if (group == u"25") {
        return QStringLiteral("サーバーが読み取り専用です");
    }
    return QStringLiteral("データベースのエラーです");
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

QString cannotOpen(const MasterLocation& where, const QString& reason) {
    return sentence(where, QStringLiteral("を開けません"), reason);
}

QString cannotConnect(const MasterLocation& where, const QString& reason) {
    return sentence(where, QStringLiteral("に接続できません"), reason);
}

QString cannotRead(const MasterLocation& where, const QString& reason) {
    return sentence(where, QStringLiteral("を読めません"), reason);
}

QString cannotWrite(const MasterLocation& where, const QString& reason) {
    return sentence(where, QStringLiteral("に書き込めません"), reason);
}

QString unstorable(const QString& row, const QString& column, const QString& why) {
    return QStringLiteral("%1の%2%3。何も書き込んでいません").arg(row, column, why);
}

QString noDriver() {
    return QStringLiteral("Qt の SQLite ドライバがありません。libqt6sql6-sqlite を入れてください");
}

QString noPostgresDriver() {
    return QStringLiteral(
        "Qt の PostgreSQL ドライバがありません。libqt6sql6-psql を入れてください");
}

QString newerVersion() {
    return QStringLiteral("新しい版の zukaro で作られたものです");
}

QString notOurs(const QStringList& tables) {
    constexpr qsizetype kNamed = 5;
    QStringList named;
    for (const QString& table : tables.first(std::min(kNamed, tables.size()))) {
        named << shownText(table);
    }
    const QString more = tables.size() > kNamed
                             ? QStringLiteral(" ほか %1 個").arg(tables.size() - kNamed)
                             : QString();
    return QStringLiteral(
               "zukaro の商品マスタではありません（表 %1%2 があります）。ほかのプログラムの"
               "データベースのため、何も書き換えていません。商品マスタには、空のデータベースか"
               "新しいファイルを指定してください")
        .arg(named.join(QStringLiteral("、")), more);
}

QString readOnly() {
    return QStringLiteral(
        "読み取り専用です。JAN コードで引くことはできますが、リストは登録できません。"
        "書き込める場所に置くか、書き込みの権限をもらってください");
}

QString cancelled() {
    return QStringLiteral("取り消しました。商品マスタは変わっていません");
}

QString readOnlyLogin(const QString& login) {
    return QStringLiteral(
               "ログイン「%1」は商品マスタを読むだけで、書き換える権限がありません。"
               "リストの登録は本部の書き込めるログインでしてください")
        .arg(login);
}

QString cannotCreate(const QString& login) {
    return QStringLiteral(
               "データベースにまだ商品マスタがなく、ログイン「%1」には作る権限がありません。"
               "本部の書き込めるログインで一度つないでください")
        .arg(login);
}

QString postgresReason(const QSqlError& error, const MasterLocation& where) {
    const QString text = original(error);
    const QString state = error.nativeErrorCode();
    // A server that went away mid-statement (killed, restarted) leaves libpq's words alone,
    // without an SQLSTATE, as a connection that never came about does.
    const QString meaning =
        state.isEmpty()
            ? (saysConnectionLost(error) ? lostConnection() : connectionMeaning(text, where))
        : state == u"42501" && !where.user.isEmpty()
            ? QStringLiteral("ログイン「%1」には権限がありません").arg(where.user)
            : stateMeaning(state);
    return text.isEmpty() ? meaning : QStringLiteral("%1。原文: %2").arg(meaning, text);
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
