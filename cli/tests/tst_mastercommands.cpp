#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <map>
#include <set>
#include <tuple>

#include "CliFixture.h"
#include "ProductMaster.h"
#include "TestPostgres.h"

using namespace zukaro;
using fixture::runZukaro;

// The product master from the command line, run as head office runs it: --import-list and
// --master-import-from against an SQLite file and the private PostgreSQL server of the build
// folder (scripts/test-postgres.sh), two programs importing into one master at once.
namespace {

QString janOf(int i) {
    return QString::number(4900000000000LL + i * 10LL);
}

// maker|price
QString shown(const ProductMaster::LookupResult& r) {
    return r.product ? r.product->maker + "|" + r.product->price : r.ok ? "none" : r.error;
}

}  // namespace

class TestMasterCommands : public QObject {
    Q_OBJECT
    QTemporaryDir home_;
    QProcessEnvironment env_;
    std::unique_ptr<testing::TestPostgres> server_;

    // A list file of the products of the ranges, each from its first to its last (backwards
    // when the first is larger), as a POS writes it.
    QString writeList(const QString& name, const std::vector<std::pair<int, int>>& ranges,
                      const QString& maker, int price) {
        QFile file(home_.filePath(name));
        if (!file.open(QIODevice::WriteOnly)) {
            return {};
        }
        QByteArray text = "JAN,メーカー,品名,売価\n";
        for (const auto& [from, to] : ranges) {
            for (int i = from;; i += from <= to ? 1 : -1) {
                text += QString("%1,%2,ポテトチップス のりしお味 徳用大袋 %3,%4\n")
                            .arg(janOf(i), maker)
                            .arg(i)
                            .arg(price + i)
                            .toUtf8();
                if (i == to) {
                    break;
                }
            }
        }
        file.write(text);
        return file.fileName();
    }

private slots:
    void initTestCase() {
        server_ = std::make_unique<testing::TestPostgres>();
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        env_.insert("XDG_DATA_HOME", home_.filePath("data"));
        env_.insert("PGPASSFILE", server_->passFile);
        QVERIFY(QDir().mkpath(home_.filePath("runtime")) &&
                QFile::setPermissions(home_.filePath("runtime"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env_.insert("XDG_RUNTIME_DIR", home_.filePath("runtime"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.filePath("data")));
    }

    // Head office and a shop import different lists into one master at the same moment (both
    // held at their first write until both are there): afterwards every product of both lists
    // is there, neither program failed, and a product the two lists share holds one list's
    // texts and price, not a mix. The lists begin with the products they share, in opposite
    // orders: written as listed, each program would hold what the other waits for. Look-ups
    // while they run find each product as it was before or as a list has it, never anything
    // else.
    void twoProgramsImportAtOnce() {
        QVERIFY2(server_->ready(), qPrintable(server_->error()));
        const QString database = server_->createDatabase();
        const MasterLocation where = server_->location(database, server_->office);
        // Products 0 to 999 and 2500 to 10999 are stored already; the lists share 0 to 999.
        std::vector<ProductRow> old;
        for (int i = 0; i < 11000; ++i) {
            if (i < 1000 || i >= 2500) {
                old.push_back({i, janOf(i), "旧", "旧品名", "", "", QString::number(i), 1, {}});
            }
        }
        QVERIFY(ProductMaster(where).importRows(old).ok);
        const QString a = writeList("本部.csv", {{0, 5999}}, "本部", 100000);
        const QString b = writeList("店.csv", {{999, 0}, {10999, 6000}}, "店", 200000);

        QVERIFY(server_->sql(database, "BEGIN") &&
                server_->sql(database, "LOCK TABLE products IN SHARE MODE"));
        const QString address = where.address();
        QProcess first, second;
        for (auto [process, list] : {std::pair{&first, a}, std::pair{&second, b}}) {
            process->setProcessEnvironment(env_);
            process->start(ZUKARO_BINARY, {"--master", address, "--import-list", list});
        }
        QElapsedTimer waited;
        waited.start();
        QVariant waiting;
        while (!waited.hasExpired(30000) &&
               server_->sql(database, "SELECT pg_stat_clear_snapshot()") &&
               server_->sql(database,
                            "SELECT count(*) FROM pg_stat_activity WHERE application_name ="
                            " 'zukaro' AND wait_event_type = 'Lock'",
                            &waiting) &&
               waiting.toInt() < 2) {
            QThread::msleep(20);
        }
        QVERIFY(server_->sql(database, "COMMIT"));
        QCOMPARE(waiting.toInt(), 2);

        ProductMaster shop(server_->location(database, server_->shop));
        const auto allowed = [](int i) {
            std::set<QString> values;
            values.insert(i >= 1000 && i < 2500 ? "none" : "旧|" + QString::number(i));
            if (i < 6000) {
                values.insert("本部|" + QString::number(100000 + i));
            }
            if (i < 1000 || i >= 6000) {
                values.insert("店|" + QString::number(200000 + i));
            }
            return values;
        };
        QStringList strange;
        int lookups = 0;
        while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
            for (int i : {0, 999, 1000, 2499, 2500, 5999, 6000, 10999}) {
                const QString value = shown(shop.lookup(janOf(i)));
                ++lookups;
                if (!allowed(i).contains(value)) {
                    strange << QString("%1: %2").arg(i).arg(value);
                }
            }
            first.waitForFinished(5);
            second.waitForFinished(5);
            QVERIFY(!waited.hasExpired(120000));
        }
        QVERIFY2(strange.isEmpty(), qPrintable(strange.join('\n')));
        // Each said what it would change, as the master stood when it looked.
        for (const auto& [process, list, counts] :
             {std::tuple{&first, a, "新規 1,500 件、売価が変わる 4,500 件、変更なし 0 件"},
              std::tuple{&second, b, "新規 0 件、売価が変わる 6,000 件、変更なし 0 件"}}) {
            const QString err = QString::fromUtf8(process->readAllStandardError());
            QVERIFY2(process->exitCode() == 0, qPrintable(err));
            QCOMPARE(err, "zukaro: " + list + ": 商品マスタと比べて、" + counts + "。\n");
        }
        QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()),
                 "商品マスタ（" + where.describe() + "）に 1500 件追加、4500 件更新しました。\n");
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()),
                 "商品マスタ（" + where.describe() + "）に 0 件追加、6000 件更新しました。\n");

        const ProductMaster::ProductsResult all = shop.allProducts();
        QCOMPARE(all.products.size(), std::size_t(11000));
        std::map<QString, int> makers;
        for (const ProductRow& p : all.products) {
            const int i = static_cast<int>((p.jan.toLongLong() - 4900000000000LL) / 10);
            const QString expected = i < 1000   ? p.maker
                                     : i < 6000 ? "本部"
                                                : "店";  // the shared ones: either
            QCOMPARE(p.maker, expected);
            QCOMPARE(p.price, QString::number((p.maker == "本部" ? 100000 : 200000) + i));
            ++makers[p.maker];
        }
        QVERIFY(lookups > 0);
        QCOMPARE(makers["本部"] + makers["店"], 11000);
    }

    // What --import-list says on stdout, on stderr, and its exit status.
    void importList_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");  // stdout, or stderr when it failed
        QTest::newRow("this computer's file")
            << QStringList{} << 0
            << "商品マスタ「DATA/zukaro/products.sqlite」に 2 件追加、0 件更新しました。"
               "JAN コードのない 1 行は登録していません。\n";
        QTest::newRow("an address that is no master")
            << QStringList{"--master", "mysql://db/zukaro"} << 1
            << "zukaro: 商品マスタの接続先「mysql://db/zukaro」が読めません: 使えるサーバーは "
               "PostgreSQL だけです。postgresql:// で始めてください。\n";
        QTest::newRow("a password in the address")
            << QStringList{"--master", "postgresql://office:s3cret@db/zukaro"} << 1
            << "zukaro: 商品マスタの接続先にパスワードは書けません。パスワードは ~/.pgpass"
               "（パスワードファイル）か環境変数 PGPASSWORD に書いてください。\n";
        QTest::newRow("a shop's login") << QStringList{"--master", "SHOP"} << 1
                                        << "zukaro: 商品マスタ（WHERE）に書き込めません（ログイン"
                                           "「zukaro_shop」は商品マスタを読むだけで、書き換える"
                                           "権限がありません。リストの登録は本部の書き込める"
                                           "ログインでしてください）。\n";
    }

    void importList() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QString where;
        if (args.value(1) == "SHOP") {
            QVERIFY2(server_->ready(), qPrintable(server_->error()));
            const MasterLocation shop = server_->location(server_->createDatabase(), server_->shop);
            QVERIFY(ProductMaster(server_->location(shop.database, server_->office)).open().ok);
            args[1] = shop.address();
            where = shop.describe();
        }
        const QString list = home_.filePath("list.csv");
        QFile file(list);
        QVERIFY(
            file.open(QIODevice::WriteOnly) &&
            file.write("JAN,品名,売価\n4901234567894,のり,￥398\n,名前だけ,100\n49012348,塩,98\n"));
        file.close();
        const auto run = runZukaro(args + QStringList{"--import-list", list}, env_);
        QCOMPARE(run.exitCode, exitCode);
        QString said = exitCode == 0 ? run.out : run.err;
        said.replace(home_.filePath("data"), "DATA");
        if (!where.isEmpty()) {
            said.replace(where, "WHERE");
        }
        QCOMPARE(said, output);
        if (exitCode == 0) {
            ProductMaster master(home_.filePath("data/zukaro/products.sqlite"));
            QCOMPARE(master.lookup("4901234567894").product->price, "398");
        }
    }

    // A week at head office, run from cron: this week's export registered, then last week's
    // by mistake. What each would change goes to stderr before anything is stored; last
    // week's older prices are told by line and left out, the master keeping this week's,
    // unless --replace-newer says to take them. On a shop's file and on the chain's server.
    void olderListHeldBack_data() {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("SQLite") << false;
        QTest::newRow("PostgreSQL") << true;
    }

    void olderListHeldBack() {
        QFETCH(bool, postgres);
        QStringList master;
        QString named;
        if (postgres) {
            QVERIFY2(server_->ready(), qPrintable(server_->error()));
            const MasterLocation where =
                server_->location(server_->createDatabase(), server_->office);
            master = QStringList{"--master", where.address()};
            named = "（" + where.describe() + "）";
        } else {
            master = QStringList{"--master", home_.filePath("本部.sqlite")};
            named = "「" + home_.filePath("本部.sqlite") + "」";
        }
        const auto dated = [this](const char* name, const QDateTime& when) {
            const QString copy = home_.filePath(name);
            QFile::remove(copy);
            QFile file(copy);
            return QFile::copy(QStringLiteral(POS_FIXTURES "/") + name, copy) &&
                           file.open(QIODevice::ReadWrite) &&
                           file.setFileTime(when, QFileDevice::FileModificationTime)
                       ? copy
                       : QString();
        };
        const QString thisWeek =
            dated("pos_week_1207_shift_jis.csv", QDateTime(QDate(2026, 12, 7), QTime(8, 55)));
        const QString lastWeek =
            dated("pos_week_1130_utf8_bom.csv", QDateTime(QDate(2026, 11, 30), QTime(9, 12)));
        QVERIFY(!thisWeek.isEmpty() && !lastWeek.isEmpty());

        const auto first = runZukaro(master + QStringList{"--import-list", thisWeek}, env_);
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.err, "zukaro: " + thisWeek +
                                ": 商品マスタと比べて、新規 6 件、売価が変わる 0 件、変更なし 0 "
                                "件。\n");
        QCOMPARE(first.out, "商品マスタ" + named + "に 6 件追加、0 件更新しました。\n");

        const auto older = runZukaro(master + QStringList{"--import-list", lastWeek}, env_);
        QCOMPARE(older.exitCode, 0);
        QCOMPARE(older.err,
                 "zukaro: " + lastWeek +
                     ": 商品マスタと比べて、新規 0 件、売価が変わる 1 件、品名などが変わる 1 件、"
                     "変更なし 3 件。\n"
                     "zukaro: " +
                     lastWeek +
                     ": 3 行目: 緑茶 ペットボトル 258 (8%) → 238 (8%)（商品マスタにあるのは "
                     "2026/12/07 08:55 のリストの内容です）\n"
                     "zukaro: " +
                     lastWeek +
                     ": 4 行目: ワイヤレスイヤホン 品名などが変わる（商品マスタにあるのは "
                     "2026/12/07 08:55 のリストの内容です）\n"
                     "zukaro: 商品マスタにこのリストより新しいリストの内容がある 2 件は、登録せずに"
                     "商品マスタのままにしました。このリストの古い売価で置き換えるときは "
                     "--replace-newer を付けてください。\n");
        QCOMPARE(older.out, "商品マスタ" + named + "に 0 件追加、0 件更新しました。\n");
        const MasterLocation where =
            postgres ? *parseMasterLocation(master[1]).location : MasterLocation::sqlite(master[1]);
        const auto price = [&where] {
            ProductMaster read(where);
            const ProductMaster::LookupResult found = read.lookup("4569999001024");
            return found.product ? found.product->price : found.error;
        };
        QCOMPARE(price(), "258");

        const auto replaced =
            runZukaro(master + QStringList{"--import-list", lastWeek, "--replace-newer"}, env_);
        QCOMPARE(replaced.exitCode, 0);
        QVERIFY2(replaced.err.endsWith("zukaro: 商品マスタにこのリストより新しいリストの内容が"
                                       "ある 2 件も、このリストのとおりに登録します"
                                       "（--replace-newer）。\n"),
                 qPrintable(replaced.err));
        QCOMPARE(replaced.out, "商品マスタ" + named + "に 0 件追加、2 件更新しました。\n");
        QCOMPARE(price(), "238");
    }

    // The weekly run of a chain's shop against head office's server: --record-printed keeps
    // what was printed there, --changed-only reads it back (not every row new), and a
    // scanner's codes print from the server's products.
    void weekOnTheChainsServer() {
        QVERIFY2(server_->ready(), qPrintable(server_->error()));
        const MasterLocation where = server_->location(server_->createDatabase(), server_->office);
        const QStringList master{"--master", where.address()};
        const QString fixtures = QStringLiteral(POS_FIXTURES "/");
        const auto recorded =
            runZukaro(master + QStringList{"--print-list", fixtures + "pos_week_1130_utf8_bom.csv",
                                           home_.filePath("chain-last.pdf"), "--record-printed"},
                      env_);
        QVERIFY2(recorded.exitCode == 0 && recorded.err.contains("に 5 件を印刷済みとして記録"),
                 qPrintable(recorded.err));
        const auto changed =
            runZukaro(master + QStringList{"--print-list", fixtures + "pos_week_1207_shift_jis.csv",
                                           home_.filePath("chain-this.pdf"), "--changed-only"},
                      env_);
        QVERIFY2(changed.exitCode == 0 &&
                     changed.err.contains("新規 1 行・価格変更 1 行・表示変更 1 行を印刷します（"
                                          "変更なし 3 行は印刷しません）"),
                 qPrintable(changed.err));
        QVERIFY(runZukaro(
                    master + QStringList{"--import-list", fixtures + "pos_week_1207_shift_jis.csv"},
                    env_)
                    .exitCode == 0);
        QFile scanned(home_.filePath("chain-scanned.csv"));
        QVERIFY(scanned.open(QIODevice::WriteOnly) &&
                scanned.write("JAN\n4569999001024\n4569999001031\n") > 0);
        scanned.close();
        const auto codes = runZukaro(master + QStringList{"--print-list", scanned.fileName(),
                                                          home_.filePath("chain-scanned.pdf")},
                                     env_);
        QVERIFY2(codes.exitCode == 0 &&
                     codes.err.contains("JAN コードだけの 2 行は、品名・売価などを商品マスタ（" +
                                        where.describe() + "）から補いました。"),
                 qPrintable(codes.err));
    }

    // A shop moving onto the chain's server copies its own master there once; its file is
    // left as it was. Copying a file into itself is refused.
    void copyAnSqliteMaster() {
        QVERIFY2(server_->ready(), qPrintable(server_->error()));
        const QString file = home_.filePath("店の商品マスタ.sqlite");
        QVERIFY(ProductMaster(file)
                    .importRows({{2, "4901234567894", "カトー製菓", "ポテトチップス", "60g", "L-1",
                                  "128", 1, 8},
                                 {3, "49012348", "髙橋", "のり", "", "", "98", 1, {}}})
                    .ok);
        const QByteArray before = fixture::digest(file);
        const MasterLocation chain = server_->location(server_->createDatabase(), server_->office);
        const auto copied =
            runZukaro({"--master-import-from", file, "--master", chain.address()}, env_);
        QVERIFY2(copied.exitCode == 0, qPrintable(copied.err));
        QCOMPARE(copied.out,
                 "商品マスタ（" + chain.describe() + "）に 2 件追加、0 件更新しました。\n");
        ProductMaster master(chain);
        const ProductMaster::LookupResult found = master.lookup("4901234567894");
        QVERIFY(found.product);
        QCOMPARE(
            found.product->maker + found.product->price + QString::number(*found.product->taxRate),
            "カトー製菓1288");
        QCOMPARE(fixture::digest(file), before);

        const auto itself = runZukaro({"--master-import-from", file, "--master", file}, env_);
        QCOMPARE(itself.exitCode, 1);
        QCOMPARE(itself.err,
                 "zukaro: 「" + file + "」は、写す先の商品マスタと同じファイルです。\n");
    }
};

QTEST_GUILESS_MAIN(TestMasterCommands)
#include "tst_mastercommands.moc"
