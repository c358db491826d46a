#include <sys/stat.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "JanCompletion.h"
#include "ProductMaster.h"
#include "TaxPrice.h"

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
    return QStringList{l.jan, l.maker, l.product, l.spec, l.lot, l.price,
                       QString::number(l.taxRate), priceTaxText(l.taxKind),
                       l.printedAt.toString(Qt::ISODate)}
        .join('|');
}

// The n-th code of a chain's range, with its check digit.
QString janOf(int n) {
    return completeJanCheckDigit(QString("49%1").arg(n, 10, 10, QChar('0')));
}

// The first value the statement gives, through a connection of the test's own.
QString sqlText(const QString& path, const QString& statement) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
    db.setDatabaseName(path);
    QString value;
    if (db.open()) {
        QSqlQuery query(db);
        if (query.exec(statement) && query.next()) {
            value = query.value(0).toString();
        }
    }
    db = QSqlDatabase();
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

    // What was printed, kept per code as printed, read back whole by another connection: the
    // later label of a code replaces the earlier, in one recording and across two; a label
    // without a code is left out; codes never printed are not answered.
    void printHistory() {
        const QDateTime monday(QDate(2026, 11, 30), QTime(0, 30), Qt::UTC);
        const QDateTime friday(QDate(2026, 12, 4), QTime(9, 15, 7), Qt::UTC);
        {
            ProductMaster master(path_);
            const ProductMaster::RecordResult r = master.recordPrinted(
                {labelOf("4901234567894|カトー製菓|うすしお|60g|L-1|398|8|", monday),
                 labelOf("|名前だけ||||100||", monday),
                 labelOf("4569999000058||収入印紙 200円|||200|10|非課税", monday),
                 labelOf("4901234567894|カトー製菓|うすしお|60g|L-1|428|8|", monday),
                 labelOf("4569999000027||幕の内弁当|1食||1,000|8|内税", monday)});
            QVERIFY2(r.ok, qPrintable(r.error));
            QCOMPARE(r.recorded, 3);
        }
        {
            ProductMaster master(path_);
            QVERIFY(master.recordPrinted({labelOf("4569999000027||幕の内弁当|1食||1,080|8|内税",
                                                  friday)})
                        .ok);
        }
        ProductMaster master(path_);
        const ProductMaster::PrintedResult found = master.lastPrinted(
            {"4901234567894", "4569999000058", "4569999000027", "4901234567894", "", "49012348"});
        QVERIFY2(found.ok, qPrintable(found.error));
        QStringList got;
        for (const PrintedLabel& label : found.labels) {
            got << historyText(label);
        }
        got.sort();
        QCOMPARE(got, (QStringList{
                          "4569999000027||幕の内弁当|1食||1,080|8|内税|2026-12-04T09:15:07Z",
                          "4569999000058||収入印紙 200円|||200|10|非課税|2026-11-30T00:30:00Z",
                          "4901234567894|カトー製菓|うすしお|60g|L-1|428|8||2026-11-30T00:30:00Z"}));
    }

    // A list longer than one statement asks for its codes in several; every one is answered.
    void printHistoryOfALongList() {
        std::vector<PrintedLabel> labels;
        QStringList keys;
        for (int i = 0; i < 1234; ++i) {
            labels.push_back(labelOf(QString("%1||品 %2|||%2||").arg(janOf(i)).arg(i),
                                     QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC)));
            keys << janOf(i + 1000);  // 234 of them printed
        }
        ProductMaster master(path_);
        QCOMPARE(master.recordPrinted(labels).recorded, 1234);
        const ProductMaster::PrintedResult found = master.lastPrinted(keys);
        QCOMPARE(found.labels.size(), 234);
        QCOMPARE(found.labels.value(janOf(1233)).product, "品 1233");
        QVERIFY(!found.labels.contains(janOf(1234)));
    }

    // A master of the first version, made before the print history: opened for writing it
    // gets the history and keeps its products; on a read-only share it answers that nothing
    // was printed, and a recording is refused with the reason, the file not touched.
    void historyOfAnOlderMaster_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable") << true;
        QTest::newRow("read-only") << false;
    }

    void historyOfAnOlderMaster() {
        QFETCH(bool, writable);
        QVERIFY(sql(path_,
                    "CREATE TABLE products (jan TEXT PRIMARY KEY NOT NULL, maker TEXT NOT NULL,"
                    " product TEXT NOT NULL, spec TEXT NOT NULL, lot TEXT NOT NULL,"
                    " price TEXT NOT NULL, tax_rate INTEGER, updated_at TEXT NOT NULL)"));
        QVERIFY(sql(path_, "INSERT INTO products VALUES ('4901234567894', '髙橋', 'のり', '', '',"
                           " '298', 8, '2026-01-05 10:00:00')"));
        QVERIFY(sql(path_, "PRAGMA user_version = 1"));
        QVERIFY(setMode(path_, writable ? 0644 : 0444));
        const QByteArray before = digest(path_);
        ProductMaster master(path_);
        const ProductMaster::PrintedResult none = master.lastPrinted({"4901234567894"});
        const ProductMaster::RecordResult recorded = master.recordPrinted(
            {labelOf("4901234567894|髙橋|のり|||298|8|", QDateTime::currentDateTimeUtc())});
        const ProductMaster::PrintedResult after = master.lastPrinted({"4901234567894"});
        const QString found = shown(master.lookup("4901234567894"));
        QVERIFY(setMode(path_, 0644));
        QVERIFY2(none.ok && none.labels.isEmpty(), qPrintable(none.error));
        QCOMPARE(found, "4901234567894|髙橋|のり|||298|8");
        QVERIFY2(after.ok, qPrintable(after.error));
        QCOMPARE(recorded.ok, writable);
        QCOMPARE(after.labels.size(), writable ? 1 : 0);
        if (!writable) {
            QVERIFY2(recorded.error.contains("に書き込めません（読み取り専用です"),
                     qPrintable(recorded.error));
            QCOMPARE(digest(path_), before);
        }
    }

    // A cancelled recording, and one that fails half-way, record nothing.
    void recordingCancelledOrRefused() {
        const QDateTime monday(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC);
        std::vector<PrintedLabel> week;
        for (int i = 0; i < 1200; ++i) {
            week.push_back(labelOf(janOf(i) + "||品|||398||", monday));
        }
        ProductMaster master(path_);
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
        QVERIFY(sql(path_, "CREATE TRIGGER refuse BEFORE INSERT ON printed WHEN NEW.jan = '" +
                               janOf(1100) + "' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const ProductMaster::RecordResult refused = master.recordPrinted(week);
        QVERIFY2(!refused.ok && refused.error.contains("原文: refused"),
                 qPrintable(refused.error));
        const ProductMaster::PrintedResult found = master.lastPrinted({janOf(0), janOf(1)});
        QCOMPARE(found.labels.size(), 1);
        QCOMPARE(historyText(found.labels.value(janOf(0))),
                 janOf(0) + "||品|||398|10||2026-11-30T09:00:00Z");
    }

    // Killed (kill -9) in the middle of recording a chain's week, after the first 100,000 of
    // 300,000 labels reached the file: the next open finds the master as it was before, whole
    // by SQLite's own integrity check. The recorder stops itself there (SIGSTOP) so that it is
    // killed inside its transaction every time.
    void killedWhileRecording() {
        std::vector<PrintedLabel> week;
        for (int i = 0; i < 1000; ++i) {
            week.push_back(labelOf(janOf(i) + "||うすしお|||398||",
                                   QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC)));
        }
        QVERIFY(ProductMaster(path_).recordPrinted(week).ok);
        const QString before = sqlText(path_, "SELECT group_concat(jan || price || printed_at)"
                                              " FROM (SELECT * FROM printed ORDER BY jan)");
        QProcess recorder;
        recorder.start(MASTER_RECORDER, {path_, "300000", "100000"});
        QVERIFY2(recorder.waitForReadyRead(60000), qPrintable(recorder.readAllStandardError()));
        QCOMPARE(recorder.readLine(), "recording\n");
        // Inside the transaction: the journal that undoes it is there.
        QVERIFY(QFileInfo(path_ + "-journal").size() > 0);
        recorder.kill();
        QVERIFY(recorder.waitForFinished(10000));
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);
        QCOMPARE(sqlText(path_, "PRAGMA integrity_check"), "ok");
        QCOMPARE(sqlText(path_, "SELECT count(*) FROM printed"), "1000");
        QCOMPARE(sqlText(path_, "SELECT group_concat(jan || price || printed_at)"
                                " FROM (SELECT * FROM printed ORDER BY jan)"),
                 before);
        QVERIFY(ProductMaster(path_).recordPrinted(week).ok);  // and it records again
    }
};

QTEST_GUILESS_MAIN(TestProductMaster)
#include "tst_productmaster.moc"
