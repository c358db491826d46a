#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "ProductMaster.h"

using namespace zukaro;

namespace {

// Rows written as "jan|maker|product|spec|lot|price|tax" joined by ';' (tax empty: none).
std::vector<ProductRow> rowsOf(const QString& text) {
    std::vector<ProductRow> rows;
    for (const QString& row : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList t = row.split('|');
        ProductRow r{0,          t.value(0), t.value(1), t.value(2), t.value(3),
                     t.value(4), t.value(5), 1,          {}};
        if (!t.value(6).isEmpty()) {
            r.taxRate = t.value(6).toInt();
        }
        rows.push_back(r);
    }
    return rows;
}

QString shown(const ProductMaster::LookupResult& found) {
    if (!found.ok) {
        return "error: " + found.error;
    }
    if (!found.product) {
        return "none";
    }
    const ProductRow& p = *found.product;
    return QStringList{p.jan,
                       p.maker,
                       p.product,
                       p.spec,
                       p.lot,
                       p.price,
                       p.taxRate ? QString::number(*p.taxRate) : ""}
        .join('|');
}

// Runs SQL on the database file through a connection of the test's own.
QVariant sql(const QString& path, const QString& statement) {
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(statement) && query.next()) {
            value = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase("test");
    return value;
}

}  // namespace

class TestProductMaster : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    QString path_;

private slots:
    void init() { path_ = dir_.emplace().filePath("商品マスタ.sqlite"); }

    // Two imports into one database; the counts of the second, then what lookups find.
    void import_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("counts");       // added/updated/skipped
        QTest::addColumn<QStringList>("lookups");  // "JAN=>found"
        const QString chips = "4901234567894|カトー製菓|ポテトチップス|60g|L-1|128|8";
        QTest::newRow("import then lookup, full-width and blanks in the asked JAN")
            << "" << chips + ";49012348|髙橋|のり||||"
            << "2/0/0"
            << QStringList{"４９０１２３４５６７８９４ =>" + chips,
                           "49012348=>49012348|髙橋|のり||||", "4512345678906=>none", "=>none"};
        QTest::newRow("re-import updates; empty texts and no tax keep what is stored")
            << chips << "4901234567894||ポテトチップス うすしお|||138|;4512345678906|a|b|c|d|1|10"
            << "1/1/0"
            << QStringList{
                   "4901234567894=>4901234567894|カトー製菓|ポテトチップス "
                   "うすしお|60g|L-1|138|8"};
        QTest::newRow("rows without JAN not stored; the same JAN twice")
            << ""
            << "|メーカーだけ|品名|||100|; |空白|||||;49012348|一|||||;49012348|二|||||"
            << "1/1/2" << QStringList{"49012348=>49012348|二|||||", "=>none"};
    }

    void import() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, counts);
        QFETCH(QStringList, lookups);
        {
            ProductMaster master(path_);
            QVERIFY(master.open().ok);
            QVERIFY(master.importRows(rowsOf(first)).ok);
        }
        ProductMaster master(path_);  // a new connection: what was stored is in the file
        const ProductMaster::Result opened = master.open();
        QVERIFY2(opened.ok, qPrintable(opened.error));
        const ProductMaster::ImportResult imported = master.importRows(rowsOf(second));
        QVERIFY2(imported.ok, qPrintable(imported.error));
        QCOMPARE(
            QString("%1/%2/%3").arg(imported.added).arg(imported.updated).arg(imported.skipped),
            counts);
        for (const QString& lookup : lookups) {
            QCOMPARE(lookup.section("=>", 0, 0) + "=>" +
                         shown(master.lookup(lookup.section("=>", 0, 0))),
                     lookup);
        }
        const int stored =
            rowsOf(first + ';' + second).size() - imported.skipped - imported.updated;
        master.close();
        QCOMPARE(sql(path_, "SELECT count(*) FROM products").toInt(), stored);
    }

    // A failing row rolls the whole import back.
    void importIsOneTransaction() {
        {
            ProductMaster master(path_);
            QVERIFY(master.open().ok);
        }
        sql(path_,
            "CREATE TRIGGER refuse BEFORE INSERT ON products WHEN NEW.jan = '9' "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        ProductMaster master(path_);
        QVERIFY(master.open().ok);
        const ProductMaster::ImportResult imported = master.importRows(rowsOf("1|a;9|b;2|c"));
        QVERIFY(!imported.ok);
        QVERIFY2(imported.error.contains("refused") && imported.error.contains(path_),
                 qPrintable(imported.error));
        QCOMPARE(shown(master.lookup("1")), "none");
    }

    void twoInstancesAtOnce() {
        ProductMaster a(path_), b(dir_->filePath("other.sqlite"));
        QVERIFY(a.open().ok && b.open().ok);
        QVERIFY(a.importRows(rowsOf("1|in a")).ok && b.importRows(rowsOf("1|in b")).ok);
        QCOMPARE(shown(a.lookup("1")) + ' ' + shown(b.lookup("1")), "1|in a||||| 1|in b|||||");
    }

    void errors_data() {
        QTest::addColumn<QString>("name");      // in the temporary folder
        QTest::addColumn<QByteArray>("bytes");  // written there first, unless empty
        QTest::addColumn<QString>("error");
        QTest::newRow("a folder") << "" << QByteArray() << "を開けません";
        QTest::newRow("folder missing") << "ない/master.sqlite" << QByteArray() << "を開けません";
        QTest::newRow("not a database")
            << "master.sqlite" << QByteArray("JAN,品名\n1,a\n").repeated(100)
            << "SQLite のデータベースではありません";
    }

    void errors() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const QString path = dir_->filePath(name);
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        ProductMaster master(path);
        const ProductMaster::Result opened = master.open();
        QVERIFY(!opened.ok && !master.isOpen());
        QVERIFY2(opened.error.contains(error) &&
                     opened.error.contains("商品マスタ「" + QDir::toNativeSeparators(path) + "」"),
                 qPrintable(opened.error));
        QVERIFY(master.lookup("1").error.contains("開いていません"));
        QVERIFY(master.importRows(rowsOf("1|a")).error.contains("開いていません"));
    }

    void newerSchemaRefused() {
        sql(path_, "PRAGMA user_version = 2");
        ProductMaster master(path_);
        QVERIFY(master.open().error.contains("新しい版の zukaro で作られたものです"));
    }
};

QTEST_GUILESS_MAIN(TestProductMaster)
#include "tst_productmaster.moc"
