#include <sys/resource.h>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <map>
#include <set>
#include <tuple>

#include "CliFixture.h"
#include "MasterSchema.h"
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
        // Its upgrade makes sure of a table that is there: the server's notice of it is no
        // message for the script's stderr.
        QTest::newRow("a chain's master of an earlier version")
            << QStringList{"--master", "OLDER"} << 0
            << "商品マスタ（WHERE）に 2 件追加、0 件更新しました。JAN コードのない 1 行は登録"
               "していません。\n";
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
        std::optional<MasterLocation> older;
        if (args.value(1) == "OLDER") {
            QVERIFY2(server_->ready(), qPrintable(server_->error()));
            older = server_->location(server_->createDatabase(), server_->office);
            QVERIFY(server_->sql(older->database, "SET ROLE " + server_->office));
            for (const QStringList& upgrade : {masterUpgrades()[0], masterUpgrades()[1]}) {
                for (const QString& statement : upgrade) {
                    QVERIFY(server_->sql(older->database, statement));
                }
            }
            QVERIFY(server_->sql(older->database, "CREATE TABLE zukaro_schema (version INTEGER)") &&
                    server_->sql(older->database, "INSERT INTO zukaro_schema VALUES (2)") &&
                    server_->sql(older->database, "RESET ROLE"));
            args[1] = older->address();
            where = older->describe();
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
        if (exitCode == 0) {  // what registering does, and nothing else (no server's notice)
            QCOMPARE(run.err, "zukaro: " + list +
                                  ": 商品マスタと比べて、新規 2 件、売価が変わる 0 件、変更なし 0 件"
                                  "（JAN コードのない 1 行は登録しません）。\n");
            ProductMaster master(
                older ? *older
                      : MasterLocation::sqlite(home_.filePath("data/zukaro/products.sqlite")));
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

    // --import-list reads a list as --print-list reads it, with the same checks and the same
    // words: what printing refuses is not stored either (a register's sales journal, the
    // system's user list), the notes on its rows are the same and as many (the first hundred,
    // then how many more), and nothing a file's name or cells hold reaches the terminal raw. A
    // refused list does not even make the master.
    void importReadsAsPrintReads_data() {
        QTest::addColumn<QString>("list");  // a name in the home folder, or an absolute path
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("stored");  // what the import says on stdout; empty: refused
        QTest::newRow("a register's sales journal")
            << "売上.csv"
            << QByteArray(
                   "日付,時刻,レシート番号,売上金額,客数,担当者\n"
                   "2026/11/30,10:01,000123,1280,1,山田\n2026/11/30,10:07,000124,398,1,山田\n")
            << "";
        QTest::newRow("the system's user list") << "/etc/passwd" << QByteArray() << "";
        QByteArray bad = "JAN,品名,枚数\n49012347,のり,1\n";
        for (int i = 0; i < 1500; ++i) {
            bad += "4901234567894,ポテトチップス,x\n";
        }
        QTest::newRow("1,500 rows whose copies do not read")
            << "週.csv" << bad << "に 1 件追加、0 件更新しました。\n";
        QTest::newRow("a list named with escape sequences")
            << "週\x1B]0;owned\x07.csv"
            << QByteArray(
                   "JAN,品名,枚数\n49012347,のり,1\n4901234567894,\x1B[2J塩,\xC2\x9B"
                   "5m\n")
            << "に 1 件追加、0 件更新しました。\n";
    }

    void importReadsAsPrintReads() {
        QFETCH(QString, list);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, stored);
        static int rows = 0;
        const QString master = home_.filePath(QString("読み比べ%1.sqlite").arg(++rows));
        if (!bytes.isEmpty()) {
            list = home_.filePath(list);
            QFile file(list);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const auto printed =
            runZukaro({"--print-list", list, home_.filePath("読み比べ.pdf")}, env_);
        const auto imported = runZukaro({"--import-list", list, "--master", master}, env_);
        QCOMPARE(imported.exitCode, printed.exitCode);
        QString notes = imported.err;
        if (!stored.isEmpty()) {  // the notes, then what registering the list does
            const QString compared = notes.section('\n', -2, -2);
            QVERIFY2(compared.contains(": 商品マスタと比べて、新規 1 件、売価が変わる 0 件、"
                                       "変更なし 0 件"),
                     qPrintable(notes));
            notes.chop(compared.size() + 1);
        }
        QCOMPARE(notes, printed.err);
        static const QRegularExpression control("[\\x00-\\x09\\x0B-\\x1F\\x7F-\\x9F]");
        QVERIFY2(!imported.err.contains(control) && !imported.out.contains(control),
                 qPrintable(imported.err + imported.out));
        if (stored.isEmpty()) {
            QCOMPARE(imported.exitCode, 1);
            QVERIFY2(imported.err.contains("は商品リストではないようです。見出しの行がなく"),
                     qPrintable(imported.err));
            QVERIFY(!QFileInfo::exists(master));
        } else {
            QCOMPARE(imported.exitCode, 0);
            QCOMPARE(imported.out, "商品マスタ「" + master + "」" + stored);
        }
    }

    // A workbook of 74 KB whose one shared string of 50 MB is used by each of its 2,000 rows,
    // written as one run of text (refused: no spreadsheet writes a cell that long) or as
    // rich-text runs of 512 KB (read, each use cut to 4,096 characters and said so). Printed
    // and imported within an address space of 1 GB that the text made anew for every row
    // (100 GB) would exceed many times; what is stored is the cut text.
    void amplifiedWorkbook_data() {
        QTest::addColumn<bool>("runs");
        QTest::newRow("one run of 50 MB") << false;
        QTest::newRow("rich-text runs of 512 KB") << true;
    }

    void amplifiedWorkbook() {
        QFETCH(bool, runs);
        const QString book = home_.filePath("amplified.xlsx");
        const QString script = R"(
import sys, zipfile
def jan(n):
    d = [int(c) for c in str(n)]
    s = sum(d[i] * (3 if i % 2 else 1) for i in range(12))
    return '%d%d' % (n, (10 - s % 10) % 10)
text = (b'<r><t>' + b'A' * 524288 + b'</t></r>') * 100 if sys.argv[2] == '1' else b'<t>' + b'A' * 52428800 + b'</t>'
rows = b''.join(b'<row r="%d"><c r="A%d"><v>%s</v></c><c r="B%d" t="s"><v>0</v></c></row>'
                % (i + 2, i + 2, jan(490000000000 + i).encode(), i + 2) for i in range(2000))
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    z.writestr('xl/sharedStrings.xml', b'<sst><si>' + text + b'</si><si><t>JAN</t></si>'
               b'<si><t>\xe5\x93\x81\xe5\x90\x8d</t></si></sst>')
    z.writestr('xl/worksheets/sheet1.xml', b'<worksheet><sheetData><row r="1"><c t="s"><v>1</v>'
               b'</c><c t="s"><v>2</v></c></row>' + rows + b'</sheetData></worksheet>')
)";
        QCOMPARE(QProcess::execute("python3", {"-c", script, book, runs ? "1" : "0"}), 0);
        QVERIFY(QFileInfo(book).size() < 80 * 1024);
        const QString master = home_.filePath(QString("amplified%1.sqlite").arg(runs));
        const auto limited = [&](const QStringList& args) {
            QProcess p;
            p.setProcessEnvironment(env_);
            p.setChildProcessModifier([] {
                const rlimit limit{1'000'000'000, 1'000'000'000};
                ::setrlimit(RLIMIT_AS, &limit);
            });
            p.start(ZUKARO_BINARY, args);
            const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
            return fixture::Run{ended ? p.exitCode() : -1,
                                QString::fromUtf8(p.readAllStandardOutput()),
                                QString::fromUtf8(p.readAllStandardError())};
        };
        const auto printed = limited({"--print-list", book, home_.filePath("amplified.pdf")});
        const auto imported = limited({"--import-list", book, "--master", master});
        if (!runs) {
            const QString refused =
                "zukaro: 「" + book +
                "」を Excel のブック (.xlsx) として読めません。"
                "xl/sharedStrings.xml には、区切りのないまま 1,048,576 バイトを超えて続く文字が"
                "あります（表計算ソフトの一つの欄は 32,767 文字まで）。そのような長さのものは"
                "読みません。\n";
            QCOMPARE(printed.err, refused);
            QCOMPARE(imported.err, refused);
            QVERIFY(printed.exitCode == 1 && imported.exitCode == 1 && !QFileInfo::exists(master));
            return;
        }
        const QString cut = "zukaro: " + book +
                            ": 2 行目: セル B2 の文字が 4,096 文字を超えるため、"
                            "最初の 4,096 文字だけを読みました（全 52,428,800 文字）。\n";
        QVERIFY2(printed.exitCode == 0 && printed.err.startsWith(cut), qPrintable(printed.err));
        QVERIFY2(imported.exitCode == 0 && imported.err.startsWith(cut), qPrintable(imported.err));
        QVERIFY2(
            imported.err.endsWith("zukaro: ほか 1,900 行（最初の 100 行だけを書き出しました）\n"
                                  "zukaro: " + book + ": 商品マスタと比べて、新規 2,000 件、"
                                  "売価が変わる 0 件、変更なし 0 件。\n"),
            qPrintable(imported.err));
        QCOMPARE(imported.out, "商品マスタ「" + master + "」に 2000 件追加、0 件更新しました。\n");
        const ProductMaster::ProductsResult all = ProductMaster(master).allProducts();
        QCOMPARE(all.products.size(), std::size_t(2000));
        QCOMPARE(all.products.back().product, QString(4096, QChar(u'A')));
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
