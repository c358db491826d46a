#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "MasterLocation.h"
#include "UserFiles.h"

using namespace zukaro;

namespace {

// engine|host|port|user|database|options, or the error.
QString shown(const MasterLocationResult& parsed) {
    if (!parsed.location) {
        return parsed.error;
    }
    const MasterLocation& l = *parsed.location;
    if (!l.isPostgres()) {
        return "sqlite|" + l.path;
    }
    return QStringList{"pg",   l.host,     QString::number(l.port),
                       l.user, l.database, l.options.join(',')}
        .join('|');
}

}  // namespace

class TestMasterLocation : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName("zukaro");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(config_.filePath("data")));
    }

    // Addresses as libpq reads them, and as a shop's administrator writes them; each read
    // address written back reads the same.
    void addresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("described");
        QTest::newRow("host, port, user, database")
            << "postgresql://shop1@db.example.jp:5432/zukaro"
            << "pg|db.example.jp|5432|shop1|zukaro|"
            << "PostgreSQL サーバー db.example.jp:5432 のデータベース「zukaro」";
        QTest::newRow("postgres://, blanks around, defaults")
            << "  postgres://db.example.jp/zukaro \n"
            << "pg|db.example.jp|0||zukaro|"
            << "PostgreSQL サーバー db.example.jp のデータベース「zukaro」";
        QTest::newRow("socket folder as a parameter")
            << "postgresql:///zukaro?host=/run/postgresql&port=5433"
            << "pg|/run/postgresql|5433||zukaro|"
            << "PostgreSQL サーバー /run/postgresql:5433 のデータベース「zukaro」";
        QTest::newRow("socket folder percent-encoded")
            << "postgresql://%2Fvar%2Frun%2Fpostgresql/zukaro"
            << "pg|/var/run/postgresql|0||zukaro|"
            << "PostgreSQL サーバー /var/run/postgresql のデータベース「zukaro」";
        QTest::newRow("IPv6, options kept in order")
            << "POSTGRESQL://office@[::1]:5433/zukaro?sslmode=require&connect_timeout=10"
            << "pg|::1|5433|office|zukaro|sslmode=require,connect_timeout=10"
            << "PostgreSQL サーバー ::1 ポート 5433 のデータベース「zukaro」";
        QTest::newRow("Japanese names, encoded and not")
            << "postgresql://%E6%9C%AC%E9%83%A8@192.168.1.10/商品マスタ?application_name=棚札"
            << "pg|192.168.1.10|0|本部|商品マスタ|application_name=棚札"
            << "PostgreSQL サーバー 192.168.1.10 のデータベース「商品マスタ」";
        QTest::newRow("parameters over the URI's parts")
            << "postgresql://a@h/x?user=b&dbname=y"
            << "pg|h|0|b|y|"
            << "PostgreSQL サーバー h のデータベース「y」";
        QTest::newRow("everything from the environment")
            << "postgresql://"
            << "pg||0|||"
            << "PostgreSQL サーバー このコンピューター";
        QTest::newRow("an SQLite file") << "/srv/共有/マスタ.sqlite"
                                        << "sqlite|/srv/共有/マスタ.sqlite"
                                        << "/srv/共有/マスタ.sqlite";
        QTest::newRow("an SQLite file URL") << "file:///srv/m%20a.sqlite"
                                            << "sqlite|/srv/m a.sqlite"
                                            << "/srv/m a.sqlite";
        QTest::newRow("home") << "~/m.sqlite"
                              << "sqlite|" + QDir::homePath() + "/m.sqlite"
                              << QDir::homePath() + "/m.sqlite";
        QTest::newRow("relative") << "a/../m.sqlite"
                                  << "sqlite|" + QDir::current().filePath("m.sqlite")
                                  << QDir::current().filePath("m.sqlite");
    }

    void addresses() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, described);
        const MasterLocationResult parsed = parseMasterLocation(text);
        QCOMPARE(shown(parsed), expected);
        QCOMPARE(parsed.location->describe(), described);
        const QString address = parsed.location->address();
        QCOMPARE(shown(parseMasterLocation(address)), expected);
    }

    // What cannot be a master's address says why; a password is refused and never repeated.
    void refusedAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        const QString password =
            "パスワードは ~/.pgpass（パスワードファイル）か環境変数 "
            "PGPASSWORD に書いてください";
        QTest::newRow("password in the user part")
            << "postgresql://shop1:s3cret@h/zukaro" << password;
        QTest::newRow("empty password") << "postgresql://shop1:@h/zukaro" << password;
        QTest::newRow("password parameter") << "postgresql://h/zukaro?password=s3cret" << password;
        // Another error found first must not repeat the address with its password.
        QTest::newRow("password after a bad port")
            << "postgresql://h/zukaro?port=99999&password=s3cret" << password;
        QTest::newRow("password after a parameter without value")
            << "postgresql://h/zukaro?junk&password=s3cret" << password;
        QTest::newRow("password in what would be a file's path")
            << "/srv/master.sqlite?password=s3cret" << password;
        QTest::newRow("password of another scheme") << "mysql://root:s3cret@db/zukaro" << password;
        QTest::newRow("password key percent-encoded")
            << "postgresql://h/zukaro?sslmode=require&pass%77ord=s3cret" << password;
        QTest::newRow("libpq keyword string with a password")
            << "dbname=zukaro user=zukaro_office password=s3cret" << password;
        QTest::newRow("libpq keyword string")
            << "host=db.example.jp dbname=zukaro user=zukaro_office"
            << "「名前=値」を並べた libpq の接続文字列は使えません。postgresql://ユーザー@サーバー"
               ":5432/データベース の形で書いてください";
        // The system reads a name up to its NUL: the master would be made elsewhere.
        QTest::newRow("NUL in a file URL") << "file:///srv/master.sqlite%00.bak"
                                           << "ファイルの名前に制御文字 (\\x00) があります";
        QTest::newRow("escape sequence in a path")
            << "/srv/m\x1B]0;title\x07.sqlite"
            << "「/srv/m\\x1B]0;title\\x07.sqlite」が読めません: ファイルの名前に制御文字 "
               "(\\x1B) があります";
        QTest::newRow("port too big")
            << "postgresql://h:65536/zukaro"
            << "ポート番号「65536」は 1 から 65535 までの数ではありません";
        QTest::newRow("port not a number") << "postgresql://h:abc/zukaro"
                                           << "ポート番号「abc」は";
        QTest::newRow("port parameter") << "postgresql://h/z?port=0"
                                        << "ポート番号「0」は";
        QTest::newRow("two servers") << "postgresql://a,b/zukaro"
                                     << "サーバーは一つだけ";
        QTest::newRow("another database") << "mysql://h/zukaro"
                                          << "使えるサーバーは PostgreSQL だけです";
        QTest::newRow("parameter without value") << "postgresql://h/z?sslmode"
                                                 << "「sslmode」は 名前=値 の形";
        QTest::newRow("slash in the database") << "postgresql://h/a/b"
                                               << "/ は使えません";
        QTest::newRow("unclosed IPv6") << "postgresql://[::1/z"
                                       << "] がありません";
        QTest::newRow("nothing") << " \t"
                                 << "商品マスタの接続先が空です。";
    }

    void refusedAddresses() {
        QFETCH(QString, text);
        QFETCH(QString, why);
        const MasterLocationResult parsed = parseMasterLocation(text);
        QVERIFY(!parsed.location);
        QVERIFY2(parsed.error.contains(why), qPrintable(parsed.error));
        QVERIFY2(!parsed.error.contains("s3cret"), qPrintable(parsed.error));
        QVERIFY2(!parsed.error.contains(QChar(0x1B)), qPrintable(parsed.error));
    }

    // The setting: none (this computer's SQLite file), one saved, the command line's over it,
    // and back to none; a folder that cannot hold it says where.
    void savedSetting() {
        QStringList got;
        const auto chosen = [&](const QString& commandLine) {
            got << shown(chosenMaster(commandLine)).replace(config_.path(), "T");
        };
        chosen({});
        QCOMPARE(saveMasterAddress(" postgresql://shop1@db/zukaro "), QString());
        chosen({});
        chosen("postgresql://office@db/zukaro");
        QCOMPARE(savedMasterAddress(), "postgresql://shop1@db/zukaro");
        QCOMPARE(saveMasterAddress("mysql://x"), QString());  // kept as typed, refused on use
        chosen({});
        QCOMPARE(saveMasterAddress(""), QString());
        chosen({});
        QCOMPARE(
            got.join('\n'),
            "sqlite|T/data/zukaro/products.sqlite\n"
            "pg|db|0|shop1|zukaro|\n"
            "pg|db|0|office|zukaro|\n"
            "商品マスタの接続先「mysql://x」が読めません: 使えるサーバーは PostgreSQL だけです。"
            "postgresql:// で始めてください。\n"
            "sqlite|T/data/zukaro/products.sqlite");

        QVERIFY(QDir(config_.path()).removeRecursively() && QDir().mkpath(config_.path()));
        QFile blocking(config_.filePath("zukaro"));  // a file where the folder belongs
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        blocking.close();
        QCOMPARE(saveMasterAddress("postgresql://db/zukaro").replace(config_.path(), "T"),
                 "商品マスタの接続先を「T/zukaro/master.ini」に保存できませんでした。");
    }
};

QTEST_GUILESS_MAIN(TestMasterLocation)
#include "tst_masterlocation.moc"
