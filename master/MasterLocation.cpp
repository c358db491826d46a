#include "MasterLocation.h"

#include <QByteArray>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include "ShownText.h"

namespace zukaro {
namespace {

const QString kPasswordRefused = QStringLiteral(
    "接続先にパスワードは書けません。パスワードは ~/.pgpass（パスワードファイル）か"
    "環境変数 PGPASSWORD に書いてください");

QString decoded(const QString& text) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(keep));
}

MasterLocationResult refused(const QString& text, const QString& why) {
    if (why == kPasswordRefused) {  // the address is not repeated: it holds the password
        return {std::nullopt, QStringLiteral("商品マスタの%1。").arg(why)};
    }
    return {std::nullopt, QStringLiteral("商品マスタの接続先「%1」が読めません: %2。")
                              .arg(shownText(text, 200), why)};
}

// libpq's own keywords: "dbname=zukaro user=office" is its other way of writing an address.
bool isLibpqKeyword(const QString& word) {
    static const QStringList keywords{QStringLiteral("host"),
                                      QStringLiteral("hostaddr"),
                                      QStringLiteral("port"),
                                      QStringLiteral("dbname"),
                                      QStringLiteral("user"),
                                      QStringLiteral("password"),
                                      QStringLiteral("passfile"),
                                      QStringLiteral("service"),
                                      QStringLiteral("options"),
                                      QStringLiteral("sslmode"),
                                      QStringLiteral("connect_timeout"),
                                      QStringLiteral("application_name"),
                                      QStringLiteral("client_encoding"),
                                      QStringLiteral("target_session_attrs"),
                                      QStringLiteral("requiressl"),
                                      QStringLiteral("gssencmode"),
                                      QStringLiteral("channel_binding")};
    return keywords.contains(word.toLower());
}

// Whether the text gives a password anywhere, however malformed the rest: as the user part
// of any scheme's address (mysql://root:pw@…), as a parameter after '?' (also percent-encoded,
// also in what would be a file's path), or as a keyword=value pair. Asked before anything
// else, so that no other error repeats the address with its password.
bool holdsPassword(const QString& text) {
    static const QRegularExpression userInfo(
        QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://([^/?#]*)@"));
    if (const QRegularExpressionMatch match = userInfo.match(text);
        match.hasMatch() && match.captured(1).contains(u':')) {
        return true;
    }
    static const QRegularExpression pair(QStringLiteral("(?:^|[\\s?&])([^\\s?&=]+)\\s*="));
    for (QRegularExpressionMatchIterator it = pair.globalMatch(text); it.hasNext();) {
        if (decoded(it.next().captured(1)).compare(u"password", Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// host[:port], [v6 address][:port]: the host part of the URI (percent-encoded).
QString takeHostAndPort(const QString& hostPart, MasterLocation& location) {
    QString host = hostPart;
    QString port;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0) {
            return QStringLiteral("IPv6 アドレスの ] がありません");
        }
        port = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!port.isEmpty() && !port.startsWith(u':')) {
            return QStringLiteral("] の後にはポート番号を :5432 のように書いてください");
        }
        port = port.mid(1);
    } else if (const qsizetype colon = host.lastIndexOf(u':'); colon >= 0) {
        port = host.mid(colon + 1);
        host = host.left(colon);
    }
    if (host.contains(u',')) {
        return QStringLiteral("サーバーは一つだけ指定してください");
    }
    location.host = decoded(host);
    if (!port.isEmpty()) {
        bool ok = false;
        location.port = port.toInt(&ok);
        if (!ok || location.port < 1 || location.port > 65535) {
            return QStringLiteral("ポート番号「%1」は 1 から 65535 までの数ではありません")
                .arg(port);
        }
    }
    return {};
}

// key=value&key=value after the '?'.
QString takeParameters(const QString& query, MasterLocation& location) {
    for (const QString& pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0) {
            return QStringLiteral("「%1」は 名前=値 の形になっていません").arg(decoded(pair));
        }
        const QString key = decoded(pair.left(equals));
        const QString value = decoded(pair.mid(equals + 1));
        if (key == u"password") {
            return kPasswordRefused;
        }
        if (key == u"host") {
            if (value.contains(u',')) {
                return QStringLiteral("サーバーは一つだけ指定してください");
            }
            location.host = value;
        } else if (key == u"port") {
            bool ok = false;
            location.port = value.toInt(&ok);
            if (!ok || location.port < 1 || location.port > 65535) {
                return QStringLiteral("ポート番号「%1」は 1 から 65535 までの数ではありません")
                    .arg(value);
            }
        } else if (key == u"user") {
            location.user = value;
        } else if (key == u"dbname") {
            location.database = value;
        } else {
            location.options << key + u'=' + value;
        }
    }
    return {};
}

MasterLocationResult parseUri(const QString& text, qsizetype afterScheme) {
    MasterLocation location;
    location.engine = MasterLocation::Engine::Postgres;
    QString rest = text.mid(afterScheme);
    QString query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    QString path;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        path = rest.mid(slash + 1);
        rest.truncate(slash);
    }
    if (const qsizetype at = rest.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = rest.left(at);
        rest = rest.mid(at + 1);
        if (userInfo.contains(u':')) {
            return refused(text, kPasswordRefused);
        }
        location.user = decoded(userInfo);
    }
    if (QString error = takeHostAndPort(rest, location); !error.isEmpty()) {
        return refused(text, error);
    }
    if (path.contains(u'/')) {
        return refused(text, QStringLiteral("データベースの名前に / は使えません"));
    }
    location.database = decoded(path);
    if (QString error = takeParameters(query, location); !error.isEmpty()) {
        return refused(text, error);
    }
    return {location, {}};
}

}  // namespace

MasterLocation MasterLocation::sqlite(const QString& path) {
    MasterLocation location;
    location.path = path;
    return location;
}

QString MasterLocation::describe() const {
    if (!isPostgres()) {
        return QDir::toNativeSeparators(path);
    }
    QString server = host.isEmpty() ? QStringLiteral("このコンピューター") : host;
    if (port != 0) {
        server += host.contains(u':') ? QStringLiteral(" ポート %1").arg(port)
                                      : QStringLiteral(":%1").arg(port);
    }
    QString text = QStringLiteral("PostgreSQL サーバー %1").arg(server);
    if (!database.isEmpty()) {
        text += QStringLiteral(" のデータベース「%1」").arg(database);
    }
    return text;
}

QString MasterLocation::address() const {
    if (!isPostgres()) {
        return path;
    }
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty()) {
        text += encoded(user) + u'@';
    }
    QStringList parameters;
    if (host.startsWith(u'/')) {
        parameters << QStringLiteral("host=") + encoded(host, "/");  // a socket's folder
    } else if (host.contains(u':')) {
        text += u'[' + host + u']';
    } else {
        text += encoded(host);
    }
    if (port != 0 && !host.startsWith(u'/')) {
        text += u':' + QString::number(port);
    } else if (port != 0) {
        parameters << QStringLiteral("port=%1").arg(port);
    }
    text += u'/' + encoded(database);
    for (const QString& option : options) {
        const qsizetype equals = option.indexOf(u'=');
        parameters << encoded(option.left(equals)) + u'=' + encoded(option.mid(equals + 1), "/");
    }
    if (!parameters.isEmpty()) {
        text += u'?' + parameters.join(u'&');
    }
    return text;
}

MasterLocationResult parseMasterLocation(const QString& given) {
    const QString text = given.trimmed();
    if (text.isEmpty()) {
        return {std::nullopt, QStringLiteral("商品マスタの接続先が空です。")};
    }
    if (holdsPassword(text)) {
        return refused(text, kPasswordRefused);
    }
    static const QRegularExpression keyword(QStringLiteral("^([A-Za-z_]+)\\s*="));
    if (const QRegularExpressionMatch match = keyword.match(text);
        match.hasMatch() && isLibpqKeyword(match.captured(1))) {
        return refused(text, QStringLiteral("「名前=値」を並べた libpq の接続文字列は使えません。"
                                            "postgresql://ユーザー@サーバー:5432/データベース "
                                            "の形で書いてください"));
    }
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    QString path = text;
    if (const QRegularExpressionMatch match = scheme.match(text); match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name != u"file") {
            if (name != u"postgresql" && name != u"postgres") {
                return refused(text, QStringLiteral("使えるサーバーは PostgreSQL だけです。"
                                                    "postgresql:// で始めてください"));
            }
            return parseUri(text, match.capturedLength(0));
        }
        path = QUrl(text).toLocalFile();
    } else if (path == u"~" || path.startsWith(QStringLiteral("~/"))) {
        path = QDir::homePath() + path.mid(1);
    }
    // A control character cuts the name short where the system reads it (a NUL: the master
    // would be made at another, shorter path); no file of ours is named so.
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return refused(text, QStringLiteral("ファイルの名前に制御文字 (%1) があります")
                                     .arg(shownText(QString(c))));
        }
    }
    if (path.isEmpty()) {
        return refused(text, QStringLiteral("ファイルの名前がありません"));
    }
    return {MasterLocation::sqlite(QDir::cleanPath(QDir::current().absoluteFilePath(path))), {}};
}

}  // namespace zukaro
