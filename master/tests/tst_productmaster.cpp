#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "JanCompletion.h"
#include "ListSheets.h"
#include "MasterSchema.h"
#include "ProductMaster.h"
#include "TaxPrice.h"
#include "TestPostgres.h"

using namespace zukaro;

namespace {

// Rows written as "jan|maker|product|spec|lot|price|tax|kind" joined by ';' (no tax: none;
// kind 外税, 内税 or 非課税, none: the list does not say), from line 2 on; a row that goes on
// with "|sale|regular|from|to" comes from a list with sale columns.
std::vector<ProductRow> rowsOf(const QString& text) {
    std::vector<ProductRow> rows;
    for (const QString& row : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList t = row.split('|');
        const std::optional<int> tax =
            t.value(6).isEmpty() ? std::nullopt : std::optional(t.value(6).toInt());
        rows.push_back({static_cast<int>(rows.size()) + 2, t.value(0), t.value(1), t.value(2),
                        t.value(3), t.value(4), t.value(5), 1, tax});
        rows.back().taxKind = priceTaxOf(t.value(7));
        rows.back().taxKindSaid = !t.value(7).isEmpty();
        if (t.size() > 8) {
            rows.back().saleSaid = true;
            rows.back().salePrice = t.value(8), rows.back().regularPrice = t.value(9);
            rows.back().saleFrom = t.value(10), rows.back().saleTo = t.value(11);
        }
    }
    return rows;
}

// A product written as rowsOf reads it (its sale after 「|特価」 when it has one).
QString shown(const ProductRow& p) {
    const QString tax = p.taxRate ? QString::number(*p.taxRate) : "";
    const QString sale =
        p.salePrice.isEmpty()
            ? ""
            : QString("|特価%1/%2 %3〜%4").arg(p.salePrice, p.regularPrice, p.saleFrom, p.saleTo);
    return QStringList{p.jan, p.maker, p.product, p.spec, p.lot, p.price, tax}.join('|') + sale;
}

// The product found, or "none", or the error.
QString shown(const ProductMaster::LookupResult& found) {
    if (!found.product) {
        return found.ok ? "none" : found.error;
    }
    return shown(*found.product);
}

QByteArray digest(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

bool setMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// "jan|maker|product|spec|lot|price|rate|kind" as printed on `when` (no rate: the layout's
// 10 %; kind 内税, 非課税 or empty).
PrintedLabel labelOf(const QString& text, const QDateTime& when) {
    const QStringList t = text.split('|');
    ProductRow row{0, t[0], t[1], t[2], t[3], t[4], t[5], 1, std::nullopt};
    if (!t[6].isEmpty()) {
        row.taxRate = t[6].toInt();
    }
    row.taxKind = t[7] == "内税"     ? PriceTax::Inclusive
                  : t[7] == "非課税" ? PriceTax::Exempt
                                     : PriceTax::Exclusive;
    return printedLabelOf(row, kStandardTaxRate, when);
}

// A recorded label as labelOf reads it, then when it was printed.
QString historyText(const PrintedLabel& l) {
    return QStringList{l.jan,
                       l.maker,
                       l.product,
                       l.spec,
                       l.lot,
                       l.price,
                       QString::number(l.taxRate),
                       priceTaxText(l.taxKind),
                       l.printedAt.toString(Qt::ISODate)}
        .join('|');
}

// The n-th code of a chain's range, with its check digit.
QString janOf(int n) {
    return completeJanCheckDigit(QString("49%1").arg(n, 10, 10, QChar('0')));
}

}  // namespace

// The same cases for both homes of a master: an SQLite file, and a database on the private
// PostgreSQL server of the build folder (scripts/test-postgres.sh), each row of a table on a
// fresh, empty one. What only a server has (other logins, lost connections, many writers at
// once) is in tst_postgresmaster.
class TestProductMaster : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<testing::TestPostgres> server_;
    int files_ = 0;

    // A fresh, empty master of the row's engine; an invalid one (and the test failed) when the
    // server is not there.
    MasterLocation fresh() {
        QFETCH(bool, postgres);
        if (!postgres) {
            return MasterLocation::sqlite(
                dir_.filePath(QString("商品マスタ%1.sqlite").arg(++files_)));
        }
        if (!server_->ready()) {
            return {};
        }
        return server_->location(server_->createDatabase(), server_->office);
    }

    bool valid(const MasterLocation& where) const {
        return !where.path.isEmpty() || !where.database.isEmpty();
    }

    QString serverError() const { return server_->error() + server_->lastError(); }

    // Runs SQL on the master through a connection of the test's own (the server's superuser,
    // acting as head office's login so that what it creates belongs to head office).
    bool sql(const MasterLocation& where, const QString& statement, QVariant* value = nullptr) {
        if (where.isPostgres()) {
            return server_->sql(where.database, "SET ROLE " + server_->office) &&
                   server_->sql(where.database, statement, value) &&
                   server_->sql(where.database, "RESET ROLE");
        }
        bool done = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
            db.setDatabaseName(where.path);
            QSqlQuery query(db);
            done = db.open() && query.exec(statement);
            if (done && value != nullptr) {
                *value = query.next() ? query.value(0) : QVariant();
            }
        }
        QSqlDatabase::removeDatabase("test");
        return done;
    }

    bool setVersion(const MasterLocation& where, int version) {
        if (!where.isPostgres()) {
            return sql(where, QString("PRAGMA user_version = %1").arg(version));
        }
        return sql(where, "CREATE TABLE IF NOT EXISTS zukaro_schema (version INTEGER NOT NULL)") &&
               sql(where, "DELETE FROM zukaro_schema") &&
               sql(where, QString("INSERT INTO zukaro_schema VALUES (%1)").arg(version));
    }

    int version(const MasterLocation& where) {
        QVariant value;
        sql(where,
            where.isPostgres() ? "SELECT max(version) FROM zukaro_schema" : "PRAGMA user_version",
            &value);
        return value.isValid() ? value.toInt() : -1;
    }

    void engines() {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("SQLite") << false;
        QTest::newRow("PostgreSQL") << true;
    }

private slots:
    void initTestCase() { server_ = std::make_unique<testing::TestPostgres>(); }

    // Four imports into one master, each through a connection of its own: the counts
    // (added/updated/skipped) of each, counting the products that changed, then what lookups
    // find.
    void importThenLookup_data() { engines(); }
    void importThenLookup() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        QStringList got;
        for (const char* rows :
             {"4901234567894|カトー製菓|ポテトチップス|60g|L-1|128|8;49012348|髙橋|のり",
              "4901234567894||うすしお|||138;4512345678906|a|b|c|d|1|10",
              "|メーカーだけ|品名|||100; |空白;４９０１２３５５|一;49012355|二",
              // What the master holds already changes nothing, and is not counted.
              "4901234567894||うすしお|||138;49012348|髙橋;49012355|二"}) {
            ProductMaster master(where);
            QVERIFY2(master.open().ok, qPrintable(master.open().error));
            const ProductMaster::ImportResult r = master.importRows(rowsOf(rows));
            QVERIFY2(r.ok, qPrintable(r.error));
            got << QString("%1/%2/%3").arg(r.added).arg(r.updated).arg(r.skipped);
        }
        ProductMaster master(where);
        QVERIFY(master.open().ok);
        for (const char* jan :
             {"４９０１２３４５６７８９４ ", "49012348", "4512345678906", "49012355", "", "9"}) {
            got << jan + QString("=>") + shown(master.lookup(jan));
        }
        QCOMPARE(got.join('\n'),
                 "2/0/0\n1/1/0\n1/0/2\n0/0/0\n"
                 "４９０１２３４５６７８９４ =>4901234567894|カトー製菓|うすしお|60g|L-1|138|8\n"
                 "49012348=>49012348|髙橋|のり||||\n"
                 "4512345678906=>4512345678906|a|b|c|d|1|10\n"
                 "49012355=>49012355|二|||||\n=>none\n9=>none");
    }

    // A register's sale is kept per product, and given back by a look-up, by a list's codes
    // and with the whole master; a code printed from the master carries it onto its label. A
    // list without sale columns leaves it (a new price too); one with them and an empty 特売価格
    // ends it; the same sale again changes nothing. The counts are added/updated/skipped.
    void salesKeptPerProduct_data() { engines(); }
    void salesKeptPerProduct() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        QStringList got;
        for (const char* rows :
             {"4901234567894|カルビー|ポテトチップス|60g||158|8||128|158|2026-12-14|2026-12-20;"
              "49012348|髙橋|のり|||298|8",
              "4901234567894||||||||128|158|2026-12-14|2026-12-20", "4901234567894|||||168",
              "49012348||||||||248||2026-12-14|;4512345678906|花王|アタック|||498|10||||",
              "4901234567894||||||||||"}) {
            const ProductMaster::ImportResult r = master.importRows(rowsOf(rows));
            QVERIFY2(r.ok, qPrintable(r.error));
            got << QString("%1/%2/%3 ").arg(r.added).arg(r.updated).arg(r.skipped) +
                       shown(master.lookup("4901234567894"));
        }
        QCOMPARE(got,
                 (QStringList{"2/0/0 4901234567894|カルビー|ポテトチップス|60g||158|8|特価128/158 "
                              "2026-12-14〜2026-12-20",
                              "0/0/0 4901234567894|カルビー|ポテトチップス|60g||158|8|特価128/158 "
                              "2026-12-14〜2026-12-20",
                              "0/1/0 4901234567894|カルビー|ポテトチップス|60g||168|8|特価128/158 "
                              "2026-12-14〜2026-12-20",
                              "1/1/0 4901234567894|カルビー|ポテトチップス|60g||168|8|特価128/158 "
                              "2026-12-14〜2026-12-20",
                              "0/1/0 4901234567894|カルビー|ポテトチップス|60g||168|8"}));
        const QString nori = "49012348|髙橋|のり|||298|8|特価248/ 2026-12-14〜";
        QCOMPARE(shown(master.lookup("49012348")), nori);
        const ProductMaster::StoredResult stored = master.storedProducts({"49012348"});
        QVERIFY2(stored.ok, qPrintable(stored.error));
        QCOMPARE(shown(stored.products.value("49012348").product), nori);
        QStringList all;
        for (const ProductRow& p : master.allProducts().products) {
            all << shown(p);
        }
        QCOMPARE(all, (QStringList{"4512345678906|花王|アタック|||498|10",
                                   "4901234567894|カルビー|ポテトチップス|60g||168|8", nori}));
        // A scanner's code printed from the master.
        std::vector<ProductRow> scanned(1);
        scanned[0].jan = "49012348";
        fillFromStored(scanned[0], stored.products.value("49012348").product);
        const LabelRecord label = SheetPlan(planRowsOf(scanned), 1).label(0, Layout{});
        QCOMPARE(QStringList({label.product, label.price, label.taxRate, label.salePrice,
                              label.regularPrice, label.saleFrom, label.saleTo}),
                 QStringList({"のり", "298", "8", "248", "", "2026-12-14", ""}));
    }

    // A list that leaves a cell empty says nothing about it: a re-import keeps what the master
    // has there (a price list must not wipe the names, a name list not the prices) and
    // takes every cell that is filled.
    void reimportKeepsWhatAnEmptyCellDoesNotSay_data() {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<int>("empty");  // the column left empty, as in rowsOf
        const char* columns[] = {"maker", "product", "spec", "lot", "price", "rate"};
        for (const bool postgres : {false, true}) {
            for (int i = 0; i < 6; ++i) {
                QTest::addRow("%s, %s", postgres ? "PostgreSQL" : "SQLite", columns[i])
                    << postgres << i;
            }
        }
    }

    void reimportKeepsWhatAnEmptyCellDoesNotSay() {
        QFETCH(int, empty);
        const QString first =
            "4901234567894|カルビー|ポテトチップス うすしお味 ファミリーサイズ 大袋 "
            "３袋入り|60g×3|L-2024-0412|￥398|8";
        QStringList second =
            QString("4901234567894|湖池屋|のり塩 大袋|70g|L-2025-0101|￥128,000|10").split('|');
        second[empty + 1] = "";
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        QVERIFY(master.open().ok);
        QVERIFY(master.importRows(rowsOf(first)).ok);
        QVERIFY(master.importRows(rowsOf(second.join('|'))).ok);
        QStringList kept = second;
        kept[empty + 1] = first.split('|')[empty + 1];
        QCOMPARE(shown(master.lookup("4901234567894")), kept.join('|'));
    }

    // A code of a supplier's order sheet (12 digits, GS1's example 490123456789) is the product
    // a scanner reads as 4901234567894, and the other way round; a master that stored the short
    // code before is still found by the scanned one.
    void codesWithoutCheckDigit_data() { engines(); }
    void codesWithoutCheckDigit() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        QVERIFY(
            ProductMaster(where).importRows(rowsOf("490123456789|花王|アタック;4912345|短縮")).ok);
        QVERIFY(sql(where,
                    "INSERT INTO products (jan, maker, product, spec, lot, price, tax_rate,"
                    " updated_at) VALUES ('451234567890', 'm', '前から', '', '', '98', NULL, '')"));
        ProductMaster master(where);
        QStringList got;
        for (const char* jan : {"4901234567894", "490123456789", "49123456", "4512345678906"}) {
            got << shown(master.lookup(jan));
        }
        QCOMPARE(got,
                 (QStringList{"4901234567894|花王|アタック||||", "4901234567894|花王|アタック||||",
                              "49123456|短縮|||||", "4512345678906|m|前から|||98|"}));
        // The same for a whole list's codes at once, as a scanner's list is filled.
        const ProductMaster::StoredResult stored =
            master.storedProducts({"4512345678906", "4901234567894", "49123456"});
        QCOMPARE(stored.products.value("4512345678906").product.product, "前から");
        QCOMPARE(stored.products.size(), 3);
    }

    // Two masters at once, each of its own; a row the database refuses rolls its whole import
    // back, and the message names the master and says why in our words.
    void twoMastersAndATransaction_data() { engines(); }
    void twoMastersAndATransaction() {
        const MasterLocation where = fresh(), other = fresh();
        QVERIFY2(valid(where) && valid(other), qPrintable(serverError()));
        QVERIFY(ProductMaster(where).open().ok);
        QVERIFY(sql(where, where.isPostgres()
                               ? "ALTER TABLE products ADD CONSTRAINT refused CHECK (jan <> '9')"
                               : "CREATE TRIGGER refuse BEFORE INSERT ON products WHEN NEW.jan = "
                                 "'9' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        ProductMaster a(where), b(other);
        QVERIFY(a.open().ok && b.open().ok);
        const QString error = a.importRows(rowsOf("1|in a;9|b;2|c")).error;
        const QString named =
            where.isPostgres() ? "（" + where.describe() + "）" : "「" + where.path + "」";
        QVERIFY2(error.startsWith("商品マスタ" + named +
                                  "に書き込めません（データベースの決まりに合わないデータです。"
                                  "原文: ") &&
                     error.contains("refused"),
                 qPrintable(error));
        QVERIFY(a.importRows(rowsOf("3|in a")).ok && b.importRows(rowsOf("1|in b")).ok);
        QCOMPARE(shown(a.lookup("1")) + ' ' + shown(a.lookup("3")) + ' ' + shown(b.lookup("1")),
                 "none 3|in a||||| 1|in b|||||");
    }

    // A master of every earlier version is upgraded when opened, its products and its print
    // history kept, and keeps sales from then on; a master of a version this zukaro does not
    // know is refused and left alone.
    void versions_data() {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<int>("from");
        for (const bool postgres : {false, true}) {
            for (int from = 1; from < currentMasterVersion(); ++from) {
                QTest::addRow("%s, version %d", postgres ? "PostgreSQL" : "SQLite", from)
                    << postgres << from;
            }
        }
    }
    void versions() {
        QFETCH(int, from);
        const MasterLocation older = fresh(), newer = fresh();
        QVERIFY2(valid(older) && valid(newer), qPrintable(serverError()));
        for (int step = 0; step < from; ++step) {
            for (const QString& statement : masterUpgrades()[static_cast<std::size_t>(step)]) {
                QVERIFY2(sql(older, statement), qPrintable(statement));
            }
        }
        QVERIFY(sql(older,
                    "INSERT INTO products (jan, maker, product, spec, lot, price, tax_rate,"
                    " updated_at) VALUES ('4901234567894', 'カトー製菓', 'ポテトチップス',"
                    " '60g', 'L-1', '128', 8, '2024-04-01 09:00:00'), ('49012348', '髙橋', 'のり',"
                    " '', '', '98', NULL, '2024-04-02 10:30:00')"));
        if (from >= kListTimesVersion) {
            QVERIFY(sql(older, "UPDATE products SET listed_at = updated_at"));
        }
        if (from >= kPrintHistoryVersion) {
            QVERIFY(sql(older,
                        "INSERT INTO printed VALUES ('4901234567894', 'カトー製菓', "
                        "'ポテトチップス', '60g', 'L-1', '128', 8, '', '2026-11-30 09:00:00',"
                        " 'shop@pc')"));
        }
        QVERIFY(setVersion(older, from));
        ProductMaster upgraded(older);
        const ProductMaster::ImportResult r =
            upgraded.importRows(rowsOf("4901234567894|||||138|||128|138|2026-12-14|2026-12-20"));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(shown(upgraded.lookup("4901234567894")),
                 "4901234567894|カトー製菓|ポテトチップス|60g|L-1|138|8|特価128/138 "
                 "2026-12-14〜2026-12-20");
        QCOMPARE(shown(upgraded.lookup("49012348")), "49012348|髙橋|のり|||98|");
        QCOMPARE(version(older), currentMasterVersion());
        const ProductMaster::PrintedResult printed = upgraded.lastPrinted({"4901234567894"});
        QVERIFY2(printed.ok, qPrintable(printed.error));
        QCOMPARE(printed.labels.size(), from >= kPrintHistoryVersion ? 1 : 0);
        if (from >= kPrintHistoryVersion) {
            QCOMPARE(historyText(printed.labels.value("4901234567894")),
                     "4901234567894|カトー製菓|ポテトチップス|60g|L-1|128|8||2026-11-30T09:00:00Z");
        }
        QVariant by;
        QVERIFY(sql(older, "SELECT updated_by FROM products WHERE jan = '4901234567894'", &by));
        QCOMPARE(by.toString(), upgraded.writer());
        // A product from before the list times counts as listed when it last changed.
        QCOMPARE(upgraded.storedProducts({"49012348"}).products.value("49012348").listedAt,
                 QDateTime(QDate(2024, 4, 2), QTime(10, 30), Qt::UTC));

        QVERIFY(ProductMaster(newer).importRows(rowsOf("49012348|髙橋|のり")).ok);
        QVERIFY(setVersion(newer, currentMasterVersion() + 1));
        ProductMaster refused(newer);
        const QStringList errors{refused.open().error, refused.lookup("49012348").error,
                                 refused.importRows(rowsOf("49012348|x")).error};
        for (const QString& error : errors) {
            QVERIFY2(error.contains("を開けません（新しい版の zukaro で作られたものです）"),
                     qPrintable(error));
        }
        QCOMPARE(version(newer), currentMasterVersion() + 1);
        QVariant maker;
        QVERIFY(sql(newer, "SELECT maker FROM products", &maker));
        QCOMPARE(maker.toString(), "髙橋");
    }

    // Whose database it is, told before anything is written: another program's (a shop
    // system's own table "products", a sales database, an app that numbers its schema in
    // SQLite's user_version too) is refused by every use, naming its tables, and not one byte
    // or column of it changes; a master of ours of any earlier version, the first zukaro's
    // unmarked one too, is upgraded with its products kept.
    void whoseDatabase_data() {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("tables");  // the refusal names them; empty: a master of ours
        const QString theirProducts =
            "CREATE TABLE products (id INTEGER PRIMARY KEY, name TEXT NOT NULL, price INTEGER)";
        const QString theirRow = "INSERT INTO products (id, name, price) VALUES (1, 'りんご', 120)";
        const QStringList sales{"CREATE TABLE sales (day TEXT, register INTEGER, total INTEGER)",
                                "CREATE TABLE staff (login TEXT)",
                                "INSERT INTO sales VALUES ('2026-12-07', 1, 128000)"};
        QStringList first = masterUpgrades()[0];
        first << "INSERT INTO products VALUES ('4901234567894', 'カトー製菓', 'ポテトチップス',"
                 " '60g', 'L-1', '128', 8, '2024-04-01 09:00:00')";
        QStringList second = first + masterUpgrades()[1];
        for (const bool postgres : {false, true}) {
            const char* engine = postgres ? "PostgreSQL" : "SQLite";
            QTest::addRow("%s, another program's products", engine)
                << postgres << QStringList{theirProducts, theirRow} << "products";
            QTest::addRow("%s, another program's tables", engine)
                << postgres << sales << "sales、staff";
            QTest::addRow("%s, a master of version 2", engine)
                << postgres
                << second + QStringList{postgres ? "VERSION 2" : "PRAGMA user_version = 2"} << "";
        }
        QTest::newRow("SQLite, another program's numbered schema")
            << false << QStringList{theirProducts, theirRow, "PRAGMA user_version = 2"}
            << "products";
        QTest::newRow("SQLite, the first zukaro's master without its number")
            << false << first << "";
    }

    void whoseDatabase() {
        QFETCH(QStringList, setup);
        QFETCH(QString, tables);
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        for (const QString& statement : setup) {
            QVERIFY2(statement == "VERSION 2" ? setVersion(where, 2) : sql(where, statement),
                     qPrintable(statement));
        }
        const auto state = [&] {
            QVariant columns, rows;
            const bool read =
                where.isPostgres()
                    ? sql(where,
                          "SELECT string_agg(table_name || '.' || column_name, ',' ORDER BY"
                          " table_name, ordinal_position) FROM information_schema.columns"
                          " WHERE table_schema = 'public'",
                          &columns)
                    : (columns = digest(where.path).toHex(), true);
            sql(where,
                tables.startsWith("sales") ? "SELECT total FROM sales"
                                           : "SELECT count(*) FROM products",
                &rows);
            return read ? columns.toString() + " / " + rows.toString() + " / " +
                              QString::number(version(where))
                        : QString();
        };
        const QString before = state();
        ProductMaster master(where);
        const QStringList said{
            master.open().error, master.lookup("4901234567894").error,
            master.importRows(rowsOf("4901234567894|カトー製菓|うすしお|||138")).error,
            master.lastPrinted({"4901234567894"}).error,
            master
                .recordPrinted(
                    {labelOf("4901234567894||うすしお||||8|", QDateTime::currentDateTimeUtc())})
                .error};
        if (tables.isEmpty()) {
            QVERIFY2(said.join("").isEmpty(), qPrintable(said.join('\n')));
            QCOMPARE(version(where), currentMasterVersion());
            QCOMPARE(shown(master.lookup("4901234567894")),
                     "4901234567894|カトー製菓|うすしお|60g|L-1|138|8");
            return;
        }
        const QString named =
            where.isPostgres() ? "（" + where.describe() + "）" : "「" + where.path + "」";
        for (const QString& error : said) {
            QCOMPARE(error, "商品マスタ" + named +
                                "を開けません（zukaro の商品マスタではありません"
                                "（表 " +
                                tables +
                                " があります）。ほかのプログラムのデータベースの"
                                "ため、何も書き換えていません。商品マスタには、空のデータベースか"
                                "新しいファイルを指定してください）。");
        }
        QCOMPARE(state(), before);
        if (!where.isPostgres()) {
            QCOMPARE(QDir(dir_.path()).entryList({QFileInfo(where.path).fileName() + "-*"}),
                     QStringList());  // no journal either
        }
    }

    // Texts as hostile lists bring them, kept by both engines alike, their values bound and
    // never written into a statement: read back as they went in by a look-up, by the whole
    // list (what a copy takes) and by the print history. What neither can keep alike (a NUL,
    // half a surrogate pair, a text longer than a list's cell) is refused by both in the same
    // words, naming the row and the column, and nothing is written.
    void awkwardTexts_data() {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refused");  // empty: kept as it is
        const std::pair<const char*, std::pair<QString, QString>> cases[] = {
            {"quotes and a statement", {"O'Reilly'); DROP TABLE products; --", ""}},
            {"backslashes", {R"(C:\棚札\'\\ E'\x41')", ""}},
            {"placeholders", {"? $1 :name %s $$ ?", ""}},
            {"escape sequences", {"\x1B[2J\x1B]0;title\x07のり", ""}},
            {"line breaks and a tab", {"一行目\r\n二行目\t三", ""}},
            {"zero-width no-break space and a noncharacter",
             {QString("のり") + QChar(0xFEFF) + QChar(0xFDD0) + "塩", ""}},
            {"right-to-left override", {"\u202Eのり塩", ""}},
            {"outside the BMP", {"🍙 𠮷野家", ""}},
            {"4,096 characters", {QString(4096, QChar(u'鮭')), ""}},
            {"NUL", {QString("のり") + QChar(0) + "塩", "に文字でないもの（\\x00）があります"}},
            {"half a surrogate pair",
             {QString("のり") + QChar(0xD800), "に文字でないもの（\\uD800）があります"}},
            {"U+FFFF, which SQLite reads back as U+FFFD",
             {QString("のり") + QChar(0xFFFF), "に文字でないもの（\\uFFFF）があります"}},
            {"4,097 characters",
             {QString(4097, QChar(u'鮭')), "が 4,096 文字を超えています（全 4,097 文字）"}},
        };
        for (const bool postgres : {false, true}) {
            for (const auto& [name, text] : cases) {
                QTest::addRow("%s, %s", postgres ? "PostgreSQL" : "SQLite", name)
                    << postgres << text.first << text.second;
            }
        }
    }

    void awkwardTexts() {
        QFETCH(QString, text);
        QFETCH(QString, refused);
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        const ProductMaster::ImportResult imported = master.importRows(
            {{7, "4901234567894", "カトー製菓", text, "60g", "L-1", "398", 1, 8}});
        const QDateTime monday(QDate(2026, 11, 30), QTime(0, 30), Qt::UTC);
        PrintedLabel label = labelOf("4901234567894|カトー製菓||60g|L-1|398|8|", monday);
        label.product = text;
        const ProductMaster::RecordResult recorded = master.recordPrinted({label});
        const ProductMaster::ProductsResult all = master.allProducts();
        const ProductMaster::PrintedResult printed = master.lastPrinted({"4901234567894"});
        QVERIFY2(all.ok && printed.ok, qPrintable(all.error + printed.error));
        if (!refused.isEmpty()) {
            const QString named =
                where.isPostgres() ? "（" + where.describe() + "）" : "「" + where.path + "」";
            QCOMPARE(imported.error, "商品マスタ" + named +
                                         "に書き込めません（7 行目（JAN "
                                         "4901234567894）の品名" +
                                         refused + "。何も書き込んでいません）。");
            QCOMPARE(recorded.error, "商品マスタ" + named +
                                         "に書き込めません（JAN 4901234567894 "
                                         "の品名" +
                                         refused + "。何も書き込んでいません）。");
            QVERIFY(all.products.empty() && printed.labels.isEmpty());
            return;
        }
        QVERIFY2(imported.ok && recorded.ok, qPrintable(imported.error + recorded.error));
        const ProductMaster::LookupResult found = master.lookup("4901234567894");
        QVERIFY(found.product && all.products.size() == 1 && printed.labels.size() == 1);
        QCOMPARE(found.product->product, text);
        QCOMPARE(all.products.front().product, text);
        QCOMPARE(printed.labels.value("4901234567894").product, text);
        QCOMPARE(shown(found).remove(text), "4901234567894|カトー製菓||60g|L-1|398|8");
    }

    // Each change says who made it (the login and the computer) and when (UTC, the time it
    // was written); a later change of the same product replaces both.
    void whoAndWhen_data() { engines(); }
    void whoAndWhen() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        QVERIFY(master.open().ok);
        const QString login = where.isPostgres()
                                  ? server_->office
                                  : QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
        QCOMPARE(master.writer(), login + "@" + QSysInfo::machineHostName());
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-2);
        QVERIFY(master.importRows(rowsOf("49012348|髙橋|のり|||98")).ok);
        const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(2);
        QVariant at, by;
        QVERIFY(sql(where, "SELECT updated_at FROM products", &at) &&
                sql(where, "SELECT updated_by FROM products", &by));
        QDateTime stamp = QDateTime::fromString(at.toString(), "yyyy-MM-dd HH:mm:ss");
        stamp.setTimeSpec(Qt::UTC);
        QVERIFY2(stamp >= before && stamp <= after, qPrintable(at.toString()));
        QCOMPARE(by.toString(), master.writer());
    }

    // A list of more products than one statement takes, a code met twice far apart (in
    // different statements had it been written in list order) and rows without a code: the
    // later row's texts win, its empty cells keep the earlier ones, every count is right.
    void listLongerThanAStatement_data() { engines(); }
    void listLongerThanAStatement() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        std::vector<ProductRow> rows;
        for (int i = 0; i < 1200; ++i) {
            const QString jan = QString::number(4900000000000LL + (i % 1000) * 10);
            rows.push_back({i + 2, i % 97 == 0 ? QString() : jan, QString("メーカー%1").arg(i),
                            QString("品名%1").arg(i), i < 1000 ? "500ml" : "", "",
                            QString::number(100 + i), 1, i % 2 ? std::optional(8) : std::nullopt});
        }
        ProductMaster master(where);
        const ProductMaster::ImportResult r = master.importRows(rows);
        QVERIFY2(r.ok, qPrintable(r.error));
        // 13 rows without a code (i % 97 == 0); 992 codes (8 of 1000 only ever came without
        // one: 291, 388, … 970), new to the master however often the list names them.
        QCOMPARE(QString("%1/%2/%3").arg(r.added).arg(r.updated).arg(r.skipped), "992/0/13");
        QCOMPARE(shown(master.lookup("4900000000010")),
                 "4900000000010|メーカー1001|品名1001|500ml||1101|8");
        QCOMPARE(shown(master.lookup("4900000000000")),
                 "4900000000000|メーカー1000|品名1000|||1100|");
        QCOMPARE(shown(master.lookup("4900000009990")),
                 "4900000009990|メーカー999|品名999|500ml||1099|8");
        QCOMPARE(shown(master.lookup("4900000009700")), "none");
        QCOMPARE(master.allProducts().products.size(), std::size_t(992));
    }

    // A cancelled import leaves the master as it was.
    void cancelledImport_data() { engines(); }
    void cancelledImport() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        QVERIFY(master.importRows(rowsOf("49012348|髙橋|のり|||98")).ok);
        WorkProgress progress;
        progress.cancel();
        const ProductMaster::ImportResult r =
            master.importRows(rowsOf("49012348|||||120;4901234567894|カトー製菓"), &progress);
        QVERIFY(!r.ok && r.cancelled);
        QVERIFY2(r.error.endsWith("（取り消しました。商品マスタは変わっていません）。"),
                 qPrintable(r.error));
        QCOMPARE(shown(master.lookup("49012348")) + " " + shown(master.lookup("4901234567894")),
                 "49012348|髙橋|のり|||98| none");
    }

    // Files that do not open as a master, which then neither reads nor writes; each use tries
    // to open it again, and says the same, at once: a named pipe is never handed to SQLite,
    // whose first read would wait for ever for someone to write into it.
    void refusedFiles_data() {
        QTest::addColumn<QString>("there");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a product list saved as .sqlite") << "list"
                                                         << "SQLite のデータベースではありません";
        QTest::newRow("a named pipe")
            << "pipe"
            << "そこにあるのは名前付きパイプで、普通のファイルではありません";
    }

    void refusedFiles() {
        QFETCH(QString, there);
        QFETCH(QString, reason);
        const QString path = dir_.filePath(there + ".sqlite");
        if (there == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile text(path);
            QVERIFY(text.open(QIODevice::WriteOnly) &&
                    text.write(QByteArray("JAN,品名\n1,a\n").repeated(100)));
        }
        // Failing, not hanging, should SQLite be given the pipe after all.
        std::signal(SIGALRM, [](int) {
            const char said[] = "FAIL: the master waited for the pipe\n";
            [[maybe_unused]] const auto written = ::write(2, said, sizeof said - 1);
            ::_exit(1);
        });
        ::alarm(30);
        ProductMaster master(path);
        const QStringList errors{master.open().error, master.lookup("1").error,
                                 master.importRows({}).error};
        ::alarm(0);
        QCOMPARE(
            errors.join('\n').replace(path, "P"),
            QString("商品マスタ「P」を開けません（%1）。\n").arg(reason).repeated(3).chopped(1));
    }

    // A master that cannot be made whole (the disk fills up as it is created; here the
    // file-size limit does) is not left behind as an empty file that looks like one; once
    // there is room, the same import makes it.
    void masterNotMadeWholeIsNotLeft() {
        QTemporaryDir folder;
        const QString path = folder.filePath("商品マスタ.sqlite");
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit original{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &original), 0);
        const rlimit small{2048, original.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        ProductMaster::ImportResult full;
        {
            ProductMaster master(path);
            full = master.importRows(rowsOf("4901234567894|カトー製菓|ポテトチップス||L-1|398|8"));
        }
        ::setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!full.ok);
        QVERIFY2(full.error.startsWith("商品マスタ「" + path + "」を開けません（"),
                 qPrintable(full.error));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        ProductMaster master(path);
        QVERIFY(master.importRows(rowsOf("4901234567894|カトー製菓|ポテトチップス||L-1|398|8")).ok);
        QCOMPARE(shown(master.lookup("4901234567894")),
                 "4901234567894|カトー製菓|ポテトチップス||L-1|398|8");
    }

    // Copying a master leaves the one copied from as it was: not even upgraded.
    void readingAnOlderFileLeavesIt() {
        const MasterLocation where = MasterLocation::sqlite(dir_.filePath("old.sqlite"));
        for (const QString& statement : masterUpgrades().front()) {
            QVERIFY(sql(where, statement));
        }
        QVERIFY(sql(where,
                    "INSERT INTO products VALUES ('49012348', '髙橋', 'のり', '', '', '98',"
                    " NULL, '')") &&
                setVersion(where, 1));
        ProductMaster source(where);
        source.readOnlyFromNowOn();
        const ProductMaster::ProductsResult all = source.allProducts();
        QVERIFY2(all.ok && all.products.size() == 1, qPrintable(all.error));
        QCOMPARE(all.products.front().maker, "髙橋");
        QCOMPARE(version(where), 1);
    }
    // A master the user may not write (a read-only share, another user's file; checked by the
    // permission bits, so also for the administrator CI runs as): opened read-only, looked up,
    // an import refused with the reason, and not one byte of the file changed.
    void readOnlyMaster_data() {
        QTest::addColumn<mode_t>("fileMode");
        QTest::addColumn<mode_t>("folderMode");
        QTest::newRow("file read-only") << mode_t(0444) << mode_t(0755);
        QTest::newRow("folder read-only") << mode_t(0644) << mode_t(0555);
    }

    void readOnlyMaster() {
        QFETCH(mode_t, fileMode);
        QFETCH(mode_t, folderMode);
        QTemporaryDir folder;
        const QString path = folder.filePath("商品マスタ.sqlite");
        {
            ProductMaster writer(path);
            QVERIFY(
                writer.importRows(rowsOf("4901234567894|カトー製菓|ポテトチップス||L-1|398|8")).ok);
        }
        QVERIFY(setMode(path, fileMode) && setMode(folder.path(), folderMode));
        const QByteArray before = digest(path);
        ProductMaster master(path);
        const ProductMaster::Result opened = master.open();
        const QString found = shown(master.lookup("4901234567894"));
        QString refused = master.importRows(rowsOf("4901234567894||うすしお")).error;
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(setMode(folder.path(), 0755) && setMode(path, 0644));
        QVERIFY2(opened.ok && master.isReadOnly(), qPrintable(opened.error));
        QCOMPARE(found, "4901234567894|カトー製菓|ポテトチップス||L-1|398|8");
        QCOMPARE(refused.replace(path, "P"),
                 "商品マスタ「P」に書き込めません（読み取り専用です。JAN コードで引くことはできます"
                 "が、リストは登録できません。書き込める場所に置くか、書き込みの権限をもらって"
                 "ください）。");
        QCOMPARE(digest(path), before);
        QCOMPARE(left, QStringList{"商品マスタ.sqlite"});  // no journal either
    }

    // Another program holds the master while zukaro starts: that open fails and says why, and
    // the next use opens it once the other program is done.
    void lockedMasterTriedAgain() {
        const QString path = dir_.filePath("locked.sqlite");
        QVERIFY(ProductMaster(path).importRows(rowsOf("49012348|髙橋|のり")).ok);
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        QVERIFY(other.open() && QSqlQuery(other).exec("BEGIN EXCLUSIVE"));
        ProductMaster master(path, 50);
        const QString locked = master.open().error;
        QVERIFY(QSqlQuery(other).exec("COMMIT"));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
        QVERIFY2(locked.startsWith("商品マスタ「" + path +
                                   "」を開けません（ほかのプログラムが使って"
                                   "います。しばらくしてからもう一度試してください。原文: "),
                 qPrintable(locked));
        QCOMPARE(shown(master.lookup("49012348")), "49012348|髙橋|のり||||");
    }

    // Whether a price holds its tax (内税) or is not taxed (非課税) is the master's until a list
    // says otherwise: a list without a tax column (a missing column is an empty cell) keeps
    // it, with a price of its own too; one that says 外税 or 内税 changes it. A register's
    // 内税 980, then a list of JAN and 売価 alone at 1,078: still 内税, so that 税込表示 does
    // not tax it again.
    void taxKindKeptUnlessTheListSays_data() { engines(); }
    void taxKindKeptUnlessTheListSays() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        ProductMaster master(where);
        const auto kinds = [&master] {
            QStringList got;
            for (const char* jan : {"4569999000010", "4569999000058"}) {
                const ProductMaster::LookupResult found = master.lookup(jan);
                got << (found.product
                            ? found.product->price + ' ' + priceTaxText(found.product->taxKind)
                            : found.error);
            }
            return got.join(", ");
        };
        QVERIFY(master
                    .importRows(rowsOf("4569999000010||イヤホン|||980|10|内税;"
                                       "4569999000058||印紙|||200||非課税"))
                    .ok);
        QCOMPARE(kinds(), "980 内税, 200 非課税");
        const ProductMaster::ProductsResult all = master.allProducts();  // what a copy takes
        QVERIFY2(all.ok && all.products.size() == 2, qPrintable(all.error));
        QCOMPARE(all.products[0].taxKind, PriceTax::Inclusive);
        QCOMPARE(all.products[1].taxKind, PriceTax::Exempt);
        for (const auto& [list, kept] :
             {std::pair("4569999000010|メーカー;4569999000058||||||", "980 内税, 200 非課税"),
              std::pair("4569999000010|||||1078;4569999000058|||||210", "1078 内税, 210 非課税"),
              std::pair("4569999000010|||||1000||外税;4569999000058|||||210||外税", "1000 , 210 "),
              std::pair("4569999000010|||||1100||内税", "1100 内税, 210 ")}) {
            const ProductMaster::ImportResult r = master.importRows(rowsOf(list));
            QVERIFY2(r.ok, qPrintable(r.error));
            QCOMPARE(kinds(), QString(kept));
        }
    }

    // What 「マスターに登録」 and --import-list show before anything is stored is what the import
    // then does: the preview, worked out from the stored products, names the same products as
    // the import's counts. A list made before the one a stored product came from is older
    // (by the files' times, as a clerk's shop keeps them): its changes are flagged.
    void previewIsWhatTheImportDoes_data() {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("daysAfter");  // the list's time, against the stored list's
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("imported");  // added/updated
        const std::pair<const char*, const char*> engines[] = {{"SQLite", ""},
                                                               {"PostgreSQL", "true"}};
        for (const auto& [engine, postgres] : engines) {
            const auto row = [&, postgres = postgres[0] != 0](const char* name, const char* list,
                                                              int days, const char* preview,
                                                              const char* imported) {
                QTest::addRow("%s: %s", engine, name)
                    << postgres << QString(list) << days << QString(preview) << QString(imported);
            };
            row("the same list again",
                "4903073214021|アサヒ飲料|三ツ矢サイダー|500ml||138|8;4569999000010||イヤホン|||"
                "1100||内税;4569999000058||収入印紙|||200||非課税",
                1, "新規 0 件、売価が変わる 0 件、変更なし 3 件", "0/0");
            row("last week's price, from last week's list", "4903073214021|||||128", -7,
                "新規 0 件、売価が変わる 1 件、変更なし 0 件\n"
                "2 行目: 三ツ矢サイダー 138 (8%) → 128 (8%)\n"
                "older: 2 行目: 三ツ矢サイダー 138 (8%) → 128 (8%)（商品マスタにあるのは "
                "2026/12/07 09:00 のリストの内容です）",
                "0/1");
            row("last week's name", "4903073214021||三ツ矢サイダー 旧", -1,
                "新規 0 件、売価が変わる 0 件、品名などが変わる 1 件、変更なし 0 件\n"
                "older: 2 行目: 三ツ矢サイダー 旧 品名などが変わる（商品マスタにあるのは "
                "2026/12/07 09:00 のリストの内容です）",
                "0/1");
            row("a newer price", "4903073214021|||||148;4903073214021|||||158", 1,
                "新規 0 件、売価が変わる 1 件、変更なし 0 件\n"
                "3 行目: 三ツ矢サイダー 138 (8%) → 158 (8%)",
                "0/1");
            row("a code twice, the later as stored", "4903073214021|||||128;4903073214021|||||138",
                1, "新規 0 件、売価が変わる 0 件、変更なし 1 件", "0/0");
            row("JAN and 売価 alone keep 内税", "4569999000010|||||1100;4569999000058|||||200", 1,
                "新規 0 件、売価が変わる 0 件、変更なし 2 件", "0/0");
            row("a list that says 外税", "4569999000010|||||1100||外税", 1,
                "新規 0 件、売価が変わる 1 件、変更なし 0 件\n"
                "2 行目: イヤホン 1100 (内税) → 1100",
                "0/1");
            row("a name and a rate newly said, a new code, a row without one",
                "4569999000010|サンプル電機|;4569999000058||||||;4901234567894||のり|||98;"
                "|名前だけ|||||",
                1,
                "新規 1 件、売価が変わる 0 件、品名などが変わる 1 件、変更なし 1 件（JAN コード"
                "のない 1 行は登録しません）",
                "1/1");
            row("a rate newly said is not a new price", "4569999000010||||||8", 1,
                "新規 0 件、売価が変わる 0 件、品名などが変わる 1 件、変更なし 0 件", "0/1");
        }
    }

    void previewIsWhatTheImportDoes() {
        QFETCH(QString, list);
        QFETCH(int, daysAfter);
        QFETCH(QString, preview);
        QFETCH(QString, imported);
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        const QDateTime stored(QDate(2026, 12, 7), QTime(9, 0), Qt::LocalTime);
        ProductMaster master(where);
        QVERIFY(master
                    .importRows(rowsOf("4903073214021|アサヒ飲料|三ツ矢サイダー|500ml||138|8;"
                                       "4569999000010||イヤホン|||1100||内税;"
                                       "4569999000058||収入印紙|||200||非課税"),
                                nullptr, {stored})
                    .ok);
        const std::vector<ProductRow> rows = rowsOf(list);
        QStringList keys;
        for (const ProductRow& row : rows) {
            keys << ProductMaster::keyOf(row.jan);
        }
        const ProductMaster::StoredResult found = master.storedProducts(keys);
        QVERIFY2(found.ok, qPrintable(found.error));
        const std::vector<QDateTime> times{stored.addDays(daysAfter)};
        const MasterPreview shown = compareWithMaster(rows, found.products, times);
        QStringList said{shown.counts()};
        said << shown.priceLines(10);
        if (!shown.olderLines(10).isEmpty()) {
            said << "older: " + shown.olderLines(10).join('/');
        }
        QCOMPARE(said.join('\n'), preview);
        QCOMPARE(shown.olderCodes.size(), preview.contains("older: ") ? 1 : 0);
        const ProductMaster::ImportResult r = master.importRows(rows, nullptr, times);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(QString("%1/%2").arg(r.added).arg(r.updated), imported);
        QCOMPARE(r.added, shown.added);
        QCOMPARE(r.updated, shown.priceChanged + shown.textChanged);
        // A product written carries this list's time; one left as it was keeps its own.
        const ProductMaster::StoredResult after = master.storedProducts(keys);
        QCOMPARE(after.products.value(keys.front()).listedAt,
                 imported == "0/0" ? stored.toUTC() : times.front().toUTC());
        // Nothing left to change: the same list again is 変更なし throughout.
        const MasterPreview again =
            compareWithMaster(rows, master.storedProducts(keys).products, times);
        QCOMPARE(again.priceChanged + again.textChanged + again.added, 0);
    }

    // What was printed, kept per code as printed, read back whole by another connection with
    // who printed it: the later label of a code replaces the earlier, in one recording and
    // across two; a label without a code is left out; codes never printed are not answered.
    void printHistory_data() { engines(); }
    void printHistory() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        const QDateTime monday(QDate(2026, 11, 30), QTime(0, 30), Qt::UTC);
        const QDateTime friday(QDate(2026, 12, 4), QTime(9, 15, 7), Qt::UTC);
        {
            ProductMaster master(where);
            const ProductMaster::RecordResult r = master.recordPrinted(
                {labelOf("4901234567894|カトー製菓|うすしお|60g|L-1|398|8|", monday),
                 labelOf("|名前だけ||||100||", monday),
                 labelOf("4569999000058||収入印紙 200円|||200|10|非課税", monday),
                 labelOf("4901234567894|カトー製菓|うすしお|60g|L-1|428|8|", monday),
                 labelOf("4569999000027||幕の内弁当|1食||1,000|8|内税", monday)});
            QVERIFY2(r.ok, qPrintable(r.error));
            QCOMPARE(r.recorded, 3);
        }
        ProductMaster friday2(where);
        QVERIFY(
            friday2.recordPrinted({labelOf("4569999000027||幕の内弁当|1食||1,080|8|内税", friday)})
                .ok);
        ProductMaster master(where);
        const ProductMaster::PrintedResult found = master.lastPrinted(
            {"4901234567894", "4569999000058", "4569999000027", "4901234567894", "", "49012347"});
        QVERIFY2(found.ok, qPrintable(found.error));
        QStringList got;
        for (const PrintedLabel& label : found.labels) {
            got << historyText(label);
        }
        got.sort();
        QCOMPARE(
            got,
            (QStringList{"4569999000027||幕の内弁当|1食||1,080|8|内税|2026-12-04T09:15:07Z",
                         "4569999000058||収入印紙 200円|||200|10|非課税|2026-11-30T00:30:00Z",
                         "4901234567894|カトー製菓|うすしお|60g|L-1|428|8||2026-11-30T00:30:00Z"}));
        QVariant by;
        QVERIFY(sql(where, "SELECT printed_by FROM printed WHERE jan = '4569999000027'", &by));
        QCOMPARE(by.toString(), friday2.writer());
    }

    // A list longer than one statement asks for its codes in several; every one is answered.
    void printHistoryOfALongList_data() { engines(); }
    void printHistoryOfALongList() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        std::vector<PrintedLabel> labels;
        QStringList keys;
        for (int i = 0; i < 1234; ++i) {
            labels.push_back(labelOf(QString("%1||品 %2|||%2||").arg(janOf(i)).arg(i),
                                     QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC)));
            keys << janOf(i + 1000);  // 234 of them printed
        }
        ProductMaster master(where);
        QCOMPARE(master.recordPrinted(labels).recorded, 1234);
        const ProductMaster::PrintedResult found = master.lastPrinted(keys);
        QCOMPARE(found.labels.size(), 234);
        QCOMPARE(found.labels.value(janOf(1233)).product, "品 1233");
        QVERIFY(!found.labels.contains(janOf(1234)));
    }

    // A cancelled recording, and one the database refuses half-way, record nothing.
    void recordingCancelledOrRefused_data() { engines(); }
    void recordingCancelledOrRefused() {
        const MasterLocation where = fresh();
        QVERIFY2(valid(where), qPrintable(serverError()));
        const QDateTime monday(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC);
        std::vector<PrintedLabel> week;
        for (int i = 0; i < 1200; ++i) {
            week.push_back(labelOf(janOf(i) + "||品|||398||", monday));
        }
        ProductMaster master(where);
        QVERIFY(master.recordPrinted({week[0]}).ok);
        for (PrintedLabel& label : week) {
            label.price = "428";
            label.printedAt = monday.addDays(7);
        }
        WorkProgress cancelled;
        cancelled.cancel();
        const ProductMaster::RecordResult r = master.recordPrinted(week, &cancelled);
        QVERIFY(!r.ok && r.cancelled);
        QVERIFY(r.error.endsWith("（取り消しました。商品マスタは変わっていません）。"));
        QVERIFY(sql(where, where.isPostgres()
                               ? "ALTER TABLE printed ADD CONSTRAINT refused CHECK (jan <> '" +
                                     janOf(1100) + "')"
                               : "CREATE TRIGGER refuse BEFORE INSERT ON printed WHEN NEW.jan = '" +
                                     janOf(1100) + "' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const ProductMaster::RecordResult refused = master.recordPrinted(week);
        QVERIFY2(!refused.ok && refused.error.contains("に書き込めません"),
                 qPrintable(refused.error));
        const ProductMaster::PrintedResult found = master.lastPrinted({janOf(0), janOf(1)});
        QCOMPARE(found.labels.size(), 1);
        QCOMPARE(historyText(found.labels.value(janOf(0))),
                 janOf(0) + "||品|||398|10||2026-11-30T09:00:00Z");
    }

    // A master of the second version, made before the print history: opened for writing it
    // gets the history and keeps its products; on a read-only share it answers that nothing
    // was printed, and a recording is refused with the reason, the file not touched.
    void historyOfAnOlderMaster_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable") << true;
        QTest::newRow("read-only") << false;
    }

    void historyOfAnOlderMaster() {
        QFETCH(bool, writable);
        QTemporaryDir folder;
        const MasterLocation where = MasterLocation::sqlite(folder.filePath("old.sqlite"));
        for (int step = 0; step < kPrintHistoryVersion - 1; ++step) {
            for (const QString& statement : masterUpgrades()[static_cast<std::size_t>(step)]) {
                QVERIFY(sql(where, statement));
            }
        }
        QVERIFY(sql(where,
                    "INSERT INTO products VALUES ('4901234567894', '髙橋', 'のり', '', '',"
                    " '298', 8, '2026-01-05 10:00:00', 'office@pc')") &&
                setVersion(where, kPrintHistoryVersion - 1));
        QVERIFY(setMode(where.path, writable ? 0644 : 0444));
        const QByteArray before = digest(where.path);
        ProductMaster master(where);
        const ProductMaster::PrintedResult none = master.lastPrinted({"4901234567894"});
        const ProductMaster::RecordResult recorded = master.recordPrinted(
            {labelOf("4901234567894|髙橋|のり|||298|8|", QDateTime::currentDateTimeUtc())});
        const ProductMaster::PrintedResult after = master.lastPrinted({"4901234567894"});
        const QString found = shown(master.lookup("4901234567894"));
        QVERIFY(setMode(where.path, 0644));
        QVERIFY2(none.ok && none.labels.isEmpty(), qPrintable(none.error));
        QVERIFY2(after.ok, qPrintable(after.error));
        QCOMPARE(found, "4901234567894|髙橋|のり|||298|8");
        QCOMPARE(recorded.ok, writable);
        QCOMPARE(after.labels.size(), writable ? 1 : 0);
        if (!writable) {
            QVERIFY2(recorded.error.contains("に書き込めません（読み取り専用です"),
                     qPrintable(recorded.error));
            QCOMPARE(digest(where.path), before);
        }
    }

    // Killed (kill -9) in the middle of recording a chain's week, after the first 100,000 of
    // 300,000 labels reached the file: the next open finds the master as it was before, whole
    // by SQLite's own integrity check. The recorder stops itself there (SIGSTOP) so that it is
    // killed inside its transaction every time.
    void killedWhileRecording() {
        const MasterLocation where = MasterLocation::sqlite(dir_.filePath("killed.sqlite"));
        std::vector<PrintedLabel> week;
        for (int i = 0; i < 1000; ++i) {
            week.push_back(labelOf(janOf(i) + "||うすしお|||398||",
                                   QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC)));
        }
        QVERIFY(ProductMaster(where).recordPrinted(week).ok);
        const QString history =
            "SELECT group_concat(jan || price || printed_at, ',')"
            " FROM (SELECT * FROM printed ORDER BY jan) AS p";
        QVariant before;
        QVERIFY(sql(where, history, &before));
        QProcess recorder;
        recorder.start(MASTER_RECORDER, {where.path, "300000", "100000"});
        QVERIFY2(recorder.waitForReadyRead(60000), qPrintable(recorder.readAllStandardError()));
        QCOMPARE(recorder.readLine(), "recording\n");
        // Inside the transaction: the journal that undoes it is there.
        QVERIFY(QFileInfo(where.path + "-journal").size() > 0);
        recorder.kill();
        QVERIFY(recorder.waitForFinished(10000));
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);
        QVariant check, count, after;
        QVERIFY(sql(where, "PRAGMA integrity_check", &check) &&
                sql(where, "SELECT count(*) FROM printed", &count) && sql(where, history, &after));
        QCOMPARE(check.toString(), "ok");
        QCOMPARE(count.toInt(), 1000);
        QCOMPARE(after.toString(), before.toString());
        QVERIFY(ProductMaster(where).recordPrinted(week).ok);  // and it records again
    }
};

QTEST_GUILESS_MAIN(TestProductMaster)
#include "tst_productmaster.moc"
