#include <signal.h>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <thread>

#include "MasterSchema.h"
#include "ProductMaster.h"
#include "TestPostgres.h"

using namespace zukaro;

// What only a chain's master on a server has: logins that may only read, connections refused
// or lost in the middle of an import, many programs writing at once. Against the private
// PostgreSQL server of the build folder (scripts/test-postgres.sh); fails when it is not there.
namespace {

constexpr int kProducts = 10000;

QString janOf(int i) {
    return QString::number(4900000000000LL + i * 10LL);
}

// A chain's list: the same products, with `maker` and prices that tell the lists apart.
std::vector<ProductRow> chainList(const QString& maker, int price) {
    std::vector<ProductRow> rows;
    rows.reserve(kProducts);
    for (int i = 0; i < kProducts; ++i) {
        rows.push_back({i + 2, janOf(i), maker, QString("ポテトチップス うすしお味 %1").arg(i),
                        "60g", "L-1", QString::number(price + i), 1, 8});
    }
    return rows;
}

// maker|price of a product as a look-up finds it.
QString found(ProductMaster& master, int i) {
    const ProductMaster::LookupResult r = master.lookup(janOf(i));
    return r.product ? r.product->maker + "|" + r.product->price : r.ok ? "none" : r.error;
}

}  // namespace

class TestPostgresMaster : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::TestPostgres> server_;

    // Waits until `count` zukaro connections to `database` wait for a lock.
    bool waitingFor(const QString& database, int count) {
        QElapsedTimer waited;
        waited.start();
        QVariant waiting;
        while (!waited.hasExpired(30000)) {
            if (server_->sql(database, "SELECT pg_stat_clear_snapshot()") &&
                server_->sql(database,
                             "SELECT count(*) FROM pg_stat_activity WHERE application_name ="
                             " 'zukaro' AND wait_event_type = 'Lock'",
                             &waiting) &&
                waiting.toInt() >= count) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    // Waits until a zukaro connection to `database` waits for a lock; its process id, or 0.
    int blockedBackend(const QString& database) {
        QElapsedTimer waited;
        waited.start();
        while (!waited.hasExpired(30000)) {
            QVariant pid;
            // The test's own transaction would see the activity of its start only.
            if (server_->sql(database, "SELECT pg_stat_clear_snapshot()") &&
                server_->sql(database,
                             QString("SELECT pid FROM pg_stat_activity WHERE datname = '%1' AND"
                                     " application_name = 'zukaro' AND wait_event_type = 'Lock'")
                                 .arg(database),
                             &pid) &&
                pid.isValid()) {
                return pid.toInt();
            }
            QThread::msleep(20);
        }
        return 0;
    }

    // An import on a thread of its own, stopped on its way by a lock the test holds on the
    // products of the middle of the list. Whatever the test finds, the lock is given up and
    // the import waited for.
    struct BlockedImport {
        testing::TestPostgres* server = nullptr;
        QString database;
        std::unique_ptr<ProductMaster> master;  // opened on the thread
        std::thread thread;
        ProductMaster::ImportResult result;

        ~BlockedImport() {
            if (thread.joinable()) {
                server->sql(database, "ROLLBACK");
                thread.join();
            }
        }
    };

    void startBlocked(BlockedImport& blocked, const MasterLocation& where,
                      const std::vector<ProductRow>& rows) {
        blocked.server = server_.get();
        blocked.database = where.database;
        QVERIFY(server_->sql(where.database, "BEGIN"));
        QVERIFY(server_->sql(where.database,
                             QString("SELECT 1 FROM products WHERE jan = '%1' FOR UPDATE")
                                 .arg(janOf(kProducts / 2))));
        blocked.master = std::make_unique<ProductMaster>(where);
        blocked.thread =
            std::thread([&blocked, rows] { blocked.result = blocked.master->importRows(rows); });
    }

    std::unique_ptr<ProductMaster> storedChain(MasterLocation& where) {
        where = server_->location(server_->createDatabase(), server_->office);
        auto master = std::make_unique<ProductMaster>(where);
        const ProductMaster::ImportResult r = master->importRows(chainList("旧", 100));
        return r.ok && r.added == kProducts ? std::move(master) : nullptr;
    }

private slots:
    void initTestCase() {
        server_ = std::make_unique<testing::TestPostgres>();
        QVERIFY2(server_->ready(), qPrintable(server_->error()));
    }

    // A look-up while head office's import runs sees each product as it was before, never
    // half of the new list; once the import commits, all of it.
    void lookupDuringAnImport() {
        MasterLocation where;
        const auto office = storedChain(where);
        QVERIFY(office);
        ProductMaster shop(server_->location(where.database, server_->shop));
        BlockedImport blocked;
        startBlocked(blocked, where, chainList("新", 200));
        QVERIFY2(blockedBackend(where.database) != 0,
                 qPrintable("the import never waited for the lock " + blocked.result.error));
        QStringList during;
        for (int i : {0, 1, kProducts / 2 - 1, kProducts / 2, kProducts - 1}) {
            during << found(shop, i);
        }
        QVERIFY(server_->sql(where.database, "ROLLBACK"));
        blocked.thread.join();
        QVERIFY2(blocked.result.ok, qPrintable(blocked.result.error));
        QCOMPARE(during, (QStringList{"旧|100", "旧|101", "旧|5099", "旧|5100", "旧|10099"}));
        QCOMPARE(found(shop, 0) + " " + found(shop, kProducts - 1), "新|200 新|10199");
    }

    // The import is stopped in the middle of 10,000 rows: its connection terminated by the
    // administrator, its server process killed (the server then restarts), or the server's
    // statement_timeout reached while it waits. Nothing of it is stored, the message names
    // the server and database and says which of these it was, and trying again stores it all.
    void importStoppedInTheMiddle_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        const QString lost =
            "サーバーとの接続が切れました。サーバーが動いているか確かめて、"
            "もう一度試してください。原文: ";
        QTest::newRow("connection terminated") << "terminate" << lost;
        QTest::newRow("server process killed") << "kill" << lost;
        QTest::newRow("statement timeout")
            << "timeout"
            << "サーバーで時間切れになりました（サーバーの設定 statement_timeout の時間を超えたか、"
               "取り消されました）。もう一度試すか、サーバーの管理者に確かめてください。原文: ";
    }

    void importStoppedInTheMiddle() {
        QFETCH(QString, how);
        QFETCH(QString, why);
        MasterLocation where;
        const auto office = storedChain(where);
        QVERIFY(office);
        if (how == "timeout") {
            QVERIFY(server_->sql(where.database,
                                 QString("ALTER ROLE %1 IN DATABASE %2 SET statement_timeout ="
                                         " '300ms'")
                                     .arg(server_->office, where.database)));
        }
        BlockedImport blocked;
        startBlocked(blocked, where, chainList("新", 200));
        const int backend = blockedBackend(where.database);
        QVERIFY2(backend != 0, "the import never waited for the lock");
        // A killed server process makes the server restart all of them, the checkpointer too:
        // its start tells when the restart is over.
        const QString checkpointer =
            "SELECT backend_start::text FROM pg_stat_activity WHERE backend_type = 'checkpointer'";
        QVariant before;
        QVERIFY(server_->sql(where.database, checkpointer, &before));
        if (how == "terminate") {
            QVERIFY(server_->sql(where.database,
                                 QString("SELECT pg_terminate_backend(%1)").arg(backend)));
        } else if (how == "kill") {
            QCOMPARE(::kill(backend, SIGKILL), 0);
        }
        blocked.thread.join();
        if (how == "kill") {  // every connection went with it; the server starts again
            QElapsedTimer waited;
            waited.start();
            QVariant now = before;
            while ((!server_->sql(where.database, checkpointer, &now) || now == before) &&
                   !waited.hasExpired(60000)) {
                QThread::msleep(100);
            }
            QVERIFY2(now != before, "the server did not restart its processes within a minute");
        }
        server_->sql(where.database, "ROLLBACK");
        if (how == "timeout") {
            QVERIFY(server_->sql(where.database,
                                 QString("ALTER ROLE %1 IN DATABASE %2 RESET statement_timeout")
                                     .arg(server_->office, where.database)));
        }
        const QString error = blocked.result.error;
        QVERIFY(!blocked.result.ok);
        QVERIFY2(error.startsWith("商品マスタ（" + where.describe() + "）に書き込めません（" + why),
                 qPrintable(error));
        QVERIFY2(where.describe().contains(server_->host), qPrintable(where.describe()));
        ProductMaster reader(where);  // the office's connection may have gone with the server
        QStringList after;
        for (int i : {0, kProducts / 2 - 1, kProducts - 1}) {
            after << found(reader, i);
        }
        QCOMPARE(after, (QStringList{"旧|100", "旧|5099", "旧|10099"}));

        // The same master again: it connects anew.
        const ProductMaster::ImportResult retried =
            blocked.master->importRows(chainList("新", 200));
        QVERIFY2(retried.ok && retried.updated == kProducts, qPrintable(retried.error));
        QCOMPARE(found(reader, 0) + " " + found(reader, kProducts - 1), "新|200 新|10199");
    }

    // Two imports change the same product: the one that commits later wins, and the product
    // says who and when. Head office's import holds the product (written, not committed yet)
    // when the other, under another login, comes to it and waits; the other commits last.
    void laterCommitWins() {
        MasterLocation where;
        const auto office = storedChain(where);
        QVERIFY(office);
        BlockedImport first;
        startBlocked(first, where, chainList("新", 200));
        QVERIFY2(waitingFor(where.database, 1), "the first import never waited for the lock");
        ProductMaster::ImportResult later;
        std::thread second([&] {
            ProductMaster admin(server_->location(where.database, server_->admin));
            later = admin.importRows({{2, janOf(0), "後", "", "", "", "99", 1, {}}});
        });
        const bool bothWaited = waitingFor(where.database, 2);
        QVERIFY(server_->sql(where.database, "ROLLBACK"));
        first.thread.join();
        second.join();
        QVERIFY(bothWaited);
        QVERIFY2(first.result.ok && later.ok, qPrintable(first.result.error + later.error));
        QCOMPARE(found(*office, 0) + " " + found(*office, 1), "後|99 新|201");
        QVariant by, atLater, atFirst;
        QVERIFY(server_->sql(
            where.database, "SELECT updated_by FROM products WHERE jan = '" + janOf(0) + "'", &by));
        QVERIFY(server_->sql(where.database,
                             "SELECT updated_at FROM products WHERE jan = '" + janOf(0) + "'",
                             &atLater));
        QVERIFY(server_->sql(where.database,
                             "SELECT max(updated_at) FROM products WHERE jan <> '" + janOf(0) + "'",
                             &atFirst));
        QCOMPARE(by.toString(), server_->admin + "@" + QSysInfo::machineHostName());
        QVERIFY2(atLater.toString() >= atFirst.toString(),
                 qPrintable(atLater.toString() + " < " + atFirst.toString()));
    }

    // A shop's login reads the master; its import is refused before anything is written, and
    // the master is as it was. On a database head office has not filled yet it can do nothing
    // and says whom to ask.
    void shopLoginOnlyReads() {
        MasterLocation where = server_->location(server_->createDatabase(), server_->office);
        ProductMaster office(where);
        QVERIFY(office
                    .importRows({{2, "4901234567894", "カトー製菓", "ポテトチップス", "60g", "L-1",
                                  "128", 1, 8}})
                    .ok);
        const MasterLocation shopWhere = server_->location(where.database, server_->shop);
        ProductMaster shop(shopWhere);
        QVERIFY(shop.open().ok);
        QVERIFY(shop.isReadOnly() && !office.isReadOnly());
        const ProductMaster::ImportResult refused =
            shop.importRows({{2, "4901234567894", "", "", "", "", "98", 1, {}},
                             {3, "4512345678906", "新", "品", "", "", "1", 1, {}}});
        QCOMPARE(refused.error,
                 "商品マスタ（" + shopWhere.describe() +
                     "）に書き込めません（ログイン「zukaro_shop」は商品マスタを読むだけで、"
                     "書き換える権限がありません。リストの登録は本部の書き込めるログインで"
                     "してください）。");
        const ProductMaster::ProductsResult all = office.allProducts();
        QVERIFY(all.ok && all.products.size() == 1);
        QVERIFY(shop.lookup("4512345678906").ok && !shop.lookup("4512345678906").product);
        QCOMPARE(shop.lookup("4901234567894").product->price, "128");

        const QString empty = server_->createDatabase();
        const MasterLocation first = server_->location(empty, server_->shop);
        QCOMPARE(ProductMaster(first).open().error,
                 "商品マスタ（" + first.describe() +
                     "）を開けません（データベースにまだ商品マスタがなく、ログイン「zukaro_shop」"
                     "には作る権限がありません。本部の書き込めるログインで一度つないで"
                     "ください）。");
    }

    // Connections that fail before any statement: each says which server and database, why
    // in our words and the server's own after them; look-ups and imports say the same.
    void connectionRefused_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("why");
        QTest::newRow("no server") << "host"
                                   << "サーバーが見つからないか、動いていません。"
                                      "サーバーの名前とポート、ネットワークを確かめてください";
        QTest::newRow("wrong password") << "PGPASSWORD"
                                        << "ユーザー「zukaro_office」のパスワードが違います。"
                                           "~/.pgpass か環境変数 PGPASSWORD のパスワードを"
                                           "確かめてください";
        QTest::newRow("no password") << "PGPASSFILE"
                                     << "ユーザー「zukaro_office」のパスワードがありません。";
        QTest::newRow("no such database") << "database"
                                          << "サーバーにデータベース「zukaro_nosuch」がありません";
    }

    void connectionRefused() {
        QFETCH(QString, change);
        QFETCH(QString, why);
        QTemporaryDir dir;
        MasterLocation where = server_->location(server_->createDatabase(), server_->office);
        if (change == "host") {
            where.host = dir.path();
        } else if (change == "database") {
            where.database = "zukaro_nosuch";
        } else if (change == "PGPASSWORD") {
            qputenv("PGPASSWORD", "s3cret-but-wrong");
        } else {
            qputenv("PGPASSFILE", QFile::encodeName(dir.filePath("empty")));
        }
        ProductMaster master(where);
        const QStringList errors{master.open().error, master.lookup("49012348").error,
                                 master.importRows({{2, "49012348", "髙橋", "のり"}}).error};
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", server_->passFile.toUtf8());
        const QString start = "商品マスタ（" + where.describe() + "）に接続できません（" + why;
        for (const QString& error : errors) {
            QVERIFY2(error.startsWith(start) && error.contains("。原文: "), qPrintable(error));
        }
        QVERIFY(!master.isOpen());
    }

    // After a failed connection, look-ups say so at once for a while (a clerk goes on
    // scanning); an import tries again, and so does a look-up after the pause.
    void reconnectPause() {
        const MasterLocation where = server_->location(server_->createDatabase(), server_->office);
        QVERIFY(ProductMaster(where).importRows({{2, "49012348", "髙橋", "のり"}}).ok);
        ProductMaster master(where);
        master.setReconnectPause(60000);
        qputenv("PGPASSWORD", "wrong");
        const QString failed = master.lookup("49012348").error;
        qunsetenv("PGPASSWORD");
        QVERIFY2(failed.contains("パスワードが違います"), qPrintable(failed));
        QCOMPARE(master.lookup("49012348").error, failed);
        QVERIFY(master.importRows({{2, "4512345678906", "a"}}).ok);
        QCOMPARE(master.lookup("4512345678906").product->maker, "a");
        ProductMaster paused(where);
        paused.setReconnectPause(0);
        qputenv("PGPASSWORD", "wrong");
        QVERIFY(!paused.lookup("49012348").ok);
        qunsetenv("PGPASSWORD");
        QCOMPARE(paused.lookup("49012348").product->maker, "髙橋");
    }

    // A scan is one statement on the server, whatever the master holds of the code: the code
    // itself, the same code stored without its check digit (as lists stored them before they
    // were completed), both (the code itself wins), or nothing. The server logs every
    // statement of the master's session (log_statement = all for its login and database).
    void lookupIsOneStatement_data() {
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("found");  // maker|product|price, or none
        QTest::newRow("code stored") << "4901234567894"
                                     << "キッコーマン|特選丸大豆しょうゆ 1L|398";
        QTest::newRow("twelve digits typed, stored both ways")
            << "490123456789"
            << "キッコーマン|特選丸大豆しょうゆ 1L|398";
        QTest::newRow("EAN-8 stored without its check digit") << "49021028"
                                                              << "コカ・コーラ|綾鷹 525ml|138";
        QTest::newRow("unknown code") << "4580000000010"
                                      << "none";
    }

    void lookupIsOneStatement() {
        QFETCH(QString, scanned);
        QFETCH(QString, found);
        const QString database = server_->createDatabase();
        const MasterLocation where = server_->location(database, server_->office);
        QVERIFY(ProductMaster(where).open().ok);
        for (const char* product :
             {"'4901234567894', 'キッコーマン', '特選丸大豆しょうゆ 1L', '398'",
              "'490123456789', 'キッコーマン（旧）', '特選丸大豆しょうゆ 1L', '358'",
              "'4902102', 'コカ・コーラ', '綾鷹 525ml', '138'"}) {
            QVERIFY2(server_->sql(database,
                                  QString("INSERT INTO products (jan, maker, product, price, spec,"
                                          " lot, updated_at) VALUES (%1, '', '', '')")
                                      .arg(product)),
                     qPrintable(server_->lastError()));
        }
        QVERIFY(server_->sql(database, QString("ALTER ROLE %1 IN DATABASE %2 SET log_statement"
                                               " = 'all'")
                                           .arg(server_->office, database)));
        ProductMaster master(where);
        QVERIFY(master.open().ok);
        QVariant pid;
        QVERIFY(server_->sql(database,
                             QString("SELECT pid FROM pg_stat_activity WHERE datname = '%1' AND"
                                     " usename = '%2'")
                                 .arg(database, server_->office),
                             &pid) &&
                pid.isValid());
        QFile log(server_->host + "/server.log");
        QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
        log.seek(log.size());
        const ProductMaster::LookupResult r = master.lookup(scanned);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.product ? r.product->maker + "|" + r.product->product + "|" + r.product->price
                           : "none",
                 found);
        QStringList statements;
        for (const QString& line : QString::fromUtf8(log.readAll()).split(u'\n')) {
            if (line.contains(QString("[%1] LOG:  ").arg(pid.toInt()))) {
                statements << line.section("LOG:  ", 1);
            }
        }
        QVERIFY2(statements.size() == 1, qPrintable(statements.join("\n")));
    }

    // Two programs opening a new database at the same moment: one creates the tables, the
    // other waits and finds them; neither fails.
    void twoFirstOpensAtOnce() {
        const QString database = server_->createDatabase();
        const MasterLocation where = server_->location(database, server_->office);
        QVERIFY(server_->sql(database, "SELECT pg_advisory_lock(122117097114111)"));
        ProductMaster::Result a, b;
        std::thread first([&] { a = ProductMaster(where).open(); });
        std::thread second([&] { b = ProductMaster(where).open(); });
        QElapsedTimer waited;
        waited.start();
        QVariant waiting;
        while (!waited.hasExpired(30000) &&
               server_->sql(database,
                            "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory'"
                            " AND NOT granted",
                            &waiting) &&
               waiting.toInt() < 2) {
            QThread::msleep(20);
        }
        QVERIFY(server_->sql(database, "SELECT pg_advisory_unlock(122117097114111)"));
        first.join();
        second.join();
        QCOMPARE(waiting.toInt(), 2);
        QVERIFY2(a.ok && b.ok, qPrintable(a.error + b.error));
        QVariant versions;
        QVERIFY(server_->sql(database, "SELECT string_agg(version::text, ',') FROM zukaro_schema",
                             &versions));
        QCOMPARE(versions.toString(), QString::number(currentMasterVersion()));
    }
};

QTEST_GUILESS_MAIN(TestPostgresMaster)
#include "tst_postgresmaster.moc"
