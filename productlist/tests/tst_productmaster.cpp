#include <sys/stat.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "ProductMaster.h"

using namespace zukaro;

namespace {

// Rows written as "jan|maker|product|spec|lot|price|tax" joined by ';' (no tax: none).
std::vector<ProductRow> rowsOf(const QString& text) {
    std::vector<ProductRow> rows;
    for (const QString& row : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList t = row.split('|');
        const std::optional<int> tax =
            t.value(6).isEmpty() ? std::nullopt : std::optional(t.value(6).toInt());
        rows.push_back(
            {0, t.value(0), t.value(1), t.value(2), t.value(3), t.value(4), t.value(5), 1, tax});
    }
    return rows;
}

// The product found, written as rowsOf reads it, or "none", or the error.
QString shown(const ProductMaster::LookupResult& found) {
    if (!found.product) {
        return found.ok ? "none" : found.error;
    }
    const ProductRow& p = *found.product;
    const QString tax = p.taxRate ? QString::number(*p.taxRate) : "";
    return QStringList{p.jan, p.maker, p.product, p.spec, p.lot, p.price, tax}.join('|');
}

// Runs SQL on the database file through a connection of the test's own.
bool sql(const QString& path, const QString& statement) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
    db.setDatabaseName(path);
    const bool done = db.open() && QSqlQuery(db).exec(statement);
    db = QSqlDatabase();  // the last handle gone, the connection can be removed
    QSqlDatabase::removeDatabase("test");
    return done;
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

}  // namespace

class TestProductMaster : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    QString path_;

private slots:
    void init() { path_ = dir_.emplace().filePath("商品マスタ.sqlite"); }

    // Three imports into one file, each through a connection of its own: the counts
    // (added/updated/skipped) of each, then what lookups find.
    void importThenLookup() {
        QStringList got;
        for (const char* rows :
             {"4901234567894|カトー製菓|ポテトチップス|60g|L-1|128|8;49012348|髙橋|のり",
              "4901234567894||うすしお|||138;4512345678906|a|b|c|d|1|10",
              "|メーカーだけ|品名|||100; |空白;４９０１２３５５|一;49012355|二"}) {
            ProductMaster master(path_);
            QVERIFY(master.open().ok);
            const ProductMaster::ImportResult r = master.importRows(rowsOf(rows));
            QVERIFY2(r.ok, qPrintable(r.error));
            got << QString("%1/%2/%3").arg(r.added).arg(r.updated).arg(r.skipped);
        }
        ProductMaster master(path_);
        QVERIFY(master.open().ok);
        for (const char* jan :
             {"４９０１２３４５６７８９４ ", "49012348", "4512345678906", "49012355", "", "9"}) {
            got << jan + QString("=>") + shown(master.lookup(jan));
        }
        QCOMPARE(got.join('\n'),
                 "2/0/0\n1/1/0\n1/1/2\n"
                 "４９０１２３４５６７８９４ =>4901234567894|カトー製菓|うすしお|60g|L-1|138|8\n"
                 "49012348=>49012348|髙橋|のり||||\n"
                 "4512345678906=>4512345678906|a|b|c|d|1|10\n"
                 "49012355=>49012355|二|||||\n=>none\n9=>none");
    }

    // A code of a supplier's order sheet (12 digits, GS1's example 490123456789) is the product
    // a scanner reads as 4901234567894, and the other way round; a master that stored the short
    // code before is still found by the scanned one.
    void codesWithoutCheckDigit() {
        {
            ProductMaster master(path_);
            QVERIFY(master.open().ok);
            QVERIFY(master.importRows(rowsOf("490123456789|花王|アタック;4912345|短縮")).ok);
        }
        QVERIFY(sql(path_,
                    "INSERT INTO products VALUES ('451234567890', 'm', '前から', '', '', '98',"
                    " NULL, '')"));
        ProductMaster master(path_);
        QVERIFY(master.open().ok);
        QStringList got;
        for (const char* jan : {"4901234567894", "490123456789", "49123456", "4512345678906"}) {
            got << shown(master.lookup(jan));
        }
        QCOMPARE(got,
                 (QStringList{"4901234567894|花王|アタック||||", "4901234567894|花王|アタック||||",
                              "49123456|短縮|||||", "4512345678906|m|前から|||98|"}));
    }

    // Two masters at once, each with a file of its own; a failing row rolls its whole import
    // back.
    void twoMastersAndATransaction() {
        QVERIFY(ProductMaster(path_).open().ok);
        QVERIFY(sql(path_,
                    "CREATE TRIGGER refuse BEFORE INSERT ON products WHEN NEW.jan = '9' "
                    "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        ProductMaster a(path_), b(dir_->filePath("other.sqlite"));
        QVERIFY(a.open().ok && b.open().ok);
        const QString error = a.importRows(rowsOf("1|in a;9|b;2|c")).error;
        QVERIFY2(error.startsWith("商品マスタ「" + path_ +
                                  "」に書き込めません（データベースの決まりに"
                                  "合わないデータです。原文: refused"),
                 qPrintable(error));
        QVERIFY(a.importRows(rowsOf("3|in a")).ok && b.importRows(rowsOf("1|in b")).ok);
        QCOMPARE(shown(a.lookup("1")) + ' ' + shown(a.lookup("3")) + ' ' + shown(b.lookup("1")),
                 "none 3|in a||||| 1|in b|||||");
    }

    // Files that do not open as a master, which then neither reads nor writes.
    void refusedFiles() {
        QFile text(path_);
        QVERIFY(text.open(QIODevice::WriteOnly) &&
                text.write(QByteArray("JAN,品名\n1,a\n").repeated(100)));
        text.close();
        ProductMaster master(path_);
        // Each use tries to open it again, and says the same.
        const QStringList errors{master.open().error, master.lookup("1").error,
                                 master.importRows({}).error};
        QCOMPARE(errors.join('\n').replace(path_, "P"),
                 QString("商品マスタ「P」を開けません（SQLite のデータベースではありません）。\n")
                     .repeated(3)
                     .chopped(1));
        const QString newer = dir_->filePath("newer.sqlite");
        QVERIFY(sql(newer, "PRAGMA user_version = 2"));
        QVERIFY(ProductMaster(newer).open().error.contains("新しい版の zukaro で作られたものです"));
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
        {
            ProductMaster writer(path_);
            QVERIFY(
                writer.importRows(rowsOf("4901234567894|カトー製菓|ポテトチップス||L-1|398|8")).ok);
        }
        QVERIFY(setMode(path_, fileMode) && setMode(dir_->path(), folderMode));
        const QByteArray before = digest(path_);
        ProductMaster master(path_);
        const ProductMaster::Result opened = master.open();
        const QString found = shown(master.lookup("4901234567894"));
        QString refused = master.importRows(rowsOf("4901234567894||うすしお")).error;
        const QStringList left = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(setMode(dir_->path(), 0755) && setMode(path_, 0644));
        QVERIFY2(opened.ok && master.isReadOnly(), qPrintable(opened.error));
        QCOMPARE(found, "4901234567894|カトー製菓|ポテトチップス||L-1|398|8");
        QCOMPARE(refused.replace(path_, "P"),
                 "商品マスタ「P」に書き込めません（読み取り専用です。JAN コードで引くことはできます"
                 "が、リストは登録できません。書き込める場所に置くか、書き込みの権限をもらって"
                 "ください）。");
        QCOMPARE(digest(path_), before);
        QCOMPARE(left, QStringList{"商品マスタ.sqlite"});  // no journal either
    }

    // Another program holds the master while zukaro starts: that open fails and says why, and
    // the next use opens it once the other program is done.
    void lockedMasterTriedAgain() {
        QVERIFY(ProductMaster(path_).importRows(rowsOf("49012348|髙橋|のり")).ok);
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path_);
        QVERIFY(other.open() && QSqlQuery(other).exec("BEGIN EXCLUSIVE"));
        ProductMaster master(path_, 50);
        const QString locked = master.open().error;
        QVERIFY(QSqlQuery(other).exec("COMMIT"));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
        QVERIFY2(locked.startsWith("商品マスタ「" + path_ +
                                   "」を開けません（ほかのプログラムが使って"
                                   "います。しばらくしてからもう一度試してください。原文: "),
                 qPrintable(locked));
        QCOMPARE(shown(master.lookup("49012348")), "49012348|髙橋|のり||||");
    }
};

QTEST_GUILESS_MAIN(TestProductMaster)
#include "tst_productmaster.moc"
