// The weekly price change from the command line, as a shop's script runs it: registers'
// exports printed as they come (read back from the PDF by poppler and zbar), and only what
// changed since the labels recorded in the product master.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "CliFixture.h"
#include "PrintedSheet.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

QString posFixture(const char* name) {
    return QStringLiteral(POS_FIXTURES "/") + QLatin1String(name);
}

// What runs an SQL statement on an SQLite master with a connection of the test's own; the
// first value of its first row goes to `value`.
bool sqliteSql(const QString& path, const QString& statement, QVariant* value = nullptr) {
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
        db.setDatabaseName(path);
        QSqlQuery query(db);
        done = db.open() && query.exec(statement);
        if (done && value != nullptr) {
            *value = query.next() ? query.value(0) : QVariant();
        }
    }
    QSqlDatabase::removeDatabase("test");
    return done;
}

// 税込表示 with thousands separators, at 10 % rounded down: what a shop shows its customers.
Layout taxIncludedLayout() {
    Layout layout;
    layout.priceMode = PriceMode::TaxIncluded;
    layout.thousandsSeparators = true;
    return layout;
}

}  // namespace

class TestPriceChanges : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    SheetState sheet_;  // where the labels of a fresh start land

    QString temp(const QString& name) const { return dir_.filePath(name); }
    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }

private slots:
    void initTestCase() {
        env_.remove("DISPLAY");
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("XDG_CONFIG_HOME", temp("config"));
        env_.insert("XDG_DATA_HOME", temp("data"));
        env_.insert("TMPDIR", temp("tmp"));
        QVERIFY(QDir().mkpath(temp("config/zukaro")) && QDir().mkpath(temp("tmp")));
        QFile data(temp("config/zukaro/data.txt"));
        QVERIFY(data.open(QIODevice::WriteOnly) &&
                data.write(settingsBytes(taxIncludedLayout())) > 0);
        sheet_.layout = taxIncludedLayout();
    }

    // Each label of a register's export as printed in 税込表示: a price that holds its tax
    // (内税) is the big price and its 本体 is worked back (1,100 at 10 % holds 100, 1,000 at
    // 8 % holds 74.07, rounded down), never taxed again; 軽減税率 rows take 8 %; 非課税
    // prints as it stands, without a 本体 line. JAN codes land where their names do.
    void posExportsOnPaper_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("labels");  // the texts each label must hold
        // At first start (入力どおり): what stderr says of the rows whose own columns say 外税
        // or 税抜, and the first such label's price as it then prints.
        QTest::addColumn<QString>("untaxed");
        QTest::addColumn<int>("untaxedLabel");
        QTest::addColumn<QString>("asTyped");
        QTest::newRow("UTF-8 with BOM")
            << posFixture("pos_tax_columns_utf8_bom.csv")
            << QStringList{"4569999000010 ワイヤレスイヤホン ブラック 1,100 (本体 1,000円)",
                           "4569999000027 幕の内弁当 1,000 (本体 926円)",
                           "4569999000034 ポテトチップス ウスシオ味 429 (本体 398円)",
                           "4569999000041 140,800 (本体 128,000円)",
                           "4569999000058 収入印紙 200円 200 円"}
            << "外税（税抜）と書かれた 2 行（4 行目、5 行目）" << 3 << "398";
        QTest::newRow("Shift_JIS")
            << posFixture("pos_tax_kind_shift_jis.csv")
            << QStringList{"4569999000065 サンプル食品 カップラーメン ショウユ 321 (本体 298円)",
                           "4569999000072 サンプル電機 ＬＥＤ電球 ６０形相当 1,100 (本体 1,000円)",
                           "4569999000089 指定ごみ袋 45L 10枚 500 円",
                           "4569999000096 サンプル飲料 ミネラルウォーター 2L 1,000 (本体 926円)"}
            << "外税（税抜）と書かれた 1 行（2 行目）" << 1 << "298";
        QTest::newRow("税込価格 and 税抜価格")
            << posFixture("pos_gross_and_net_prices.csv")
            << QStringList{"4569999000102 サンプル電機 加湿器 スチーム式 1,100 (本体 1,000円)",
                           "4569999000119 サンプル園 緑茶ティーバッグ 1,000 (本体 926円)",
                           "4569999000126 サンプル食品 ミックスナッツ 540 (本体 500円)"}
            << "外税（税抜）と書かれた 1 行（2 行目）" << 1 << "1000";
    }

    void posExportsOnPaper() {
        QFETCH(QString, file);
        QFETCH(QStringList, labels);
        const QString pdf = temp(QTest::currentDataTag()) + ".pdf";
        const auto run = zukaro({"--print-list", file, pdf});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<printed::Word> words = printed::pdfWords(pdf);
        QStringList codes;
        for (int n = 1; n <= labels.size(); ++n) {
            const QString printed = printed::labelText(words, sheet_, n);
            const QString label = QString("label %1: %2").arg(n).arg(printed);
            for (const QString& expected : labels[n - 1].split(u' ')) {
                QVERIFY2(printed.contains(expected), qPrintable(label + " lacks " + expected));
            }
            // A 内税 price is never taxed again, and 非課税 gets no 本体 line.
            QVERIFY2(!printed.contains("1,210") && !printed.contains("1,080"), qPrintable(label));
            QCOMPARE(printed.contains("(本体"), labels[n - 1].contains("(本体"));
            codes << "EAN-13:" + labels[n - 1].section(u' ', 0, 0);
        }
        QCOMPARE(printed::labelText(words, sheet_, labels.size() + 1), QString());
        QVERIFY(QDir().mkpath(temp("pages")));
        codes.sort();
        QCOMPARE(printed::codesOnEveryPage(pdf, 300, temp("pages")), codes);
        QVERIFY2(!run.err.contains("税抜の売価"), qPrintable(run.err));

        // The same export at first start, prices as typed: said on stderr, and so printed.
        QFETCH(QString, untaxed);
        QFETCH(int, untaxedLabel);
        QFETCH(QString, asTyped);
        QProcessEnvironment firstStart = env_;
        firstStart.insert("XDG_CONFIG_HOME", temp("first-start"));
        const QString typed = temp(QTest::currentDataTag()) + "-typed.pdf";
        const auto plain = fixture::runZukaro({"--print-list", file, typed}, firstStart);
        QVERIFY2(plain.exitCode == 0, qPrintable(plain.err));
        QVERIFY2(plain.err.contains(": 税抜の売価がそのまま印刷されます: " + untaxed +
                                    "。総額表示が"
                                    "「入力どおり」のため、消費税を足さずに印刷します。"),
                 qPrintable(plain.err));
        SheetState asTypedSheet;  // the first-start sheet lands where the other does
        const QStringList shown =
            printed::labelText(printed::pdfWords(typed), asTypedSheet, untaxedLabel).split(u' ');
        QVERIFY2(shown.contains(asTyped) && !shown.join(' ').contains("(本体"),
                 qPrintable(shown.join(' ')));
    }

    // A shop's week: last Monday's export printed and recorded; this Monday's export, read
    // as it comes from the register (Shift_JIS, CRLF, half-width katakana as before), prints
    // only the new product, the new price and the new name, in list order from --start, and
    // nothing is written to the master until --record-printed; after it, the same export has
    // nothing left to print.
    void changedOnlyAgainstLastWeek() {
        QProcessEnvironment env = env_;
        env.insert("XDG_DATA_HOME", temp("week"));
        const auto run = [&env](const QStringList& args) { return fixture::runZukaro(args, env); };
        const QString lastWeek = posFixture("pos_week_1130_utf8_bom.csv");
        const QString thisWeek = posFixture("pos_week_1207_shift_jis.csv");
        const QString master = temp("week/zukaro/products.sqlite");

        // No master yet: every row is new, and none is made.
        auto first = run({"--print-list", lastWeek, temp("first.pdf"), "--changed-only"});
        QVERIFY2(first.exitCode == 0, qPrintable(first.err));
        QVERIFY2(first.err.contains("新規 5 行・価格変更 0 行・表示変更 0 行を印刷します（変更なし "
                                    "0 行は印刷しません）"),
                 qPrintable(first.err));
        QVERIFY(!QFileInfo::exists(master));

        auto recorded = run({"--print-list", lastWeek, temp("last-week.pdf"), "--record-printed"});
        QVERIFY2(recorded.exitCode == 0, qPrintable(recorded.err));
        QVERIFY2(recorded.err.contains("に 5 件を印刷済みとして記録しました"),
                 qPrintable(recorded.err));
        const QByteArray before = fixture::digest(master);

        const QString pdf = temp("this-week.pdf");
        auto changed = run({"--print-list", thisWeek, pdf, "--changed-only", "--start", "5"});
        QVERIFY2(changed.exitCode == 0, qPrintable(changed.err));
        QVERIFY2(
            changed.err.contains("新規 1 行・価格変更 1 行・表示変更 1 行を印刷します（変更なし "
                                 "3 行は印刷しません）"),
            qPrintable(changed.err));
        QCOMPARE(fixture::digest(master), before);  // looked at, not written
        const QList<printed::Word> words = printed::pdfWords(pdf);
        const QStringList labels{"4569999001062 ミックスナッツ 200g 583 (本体 540円)",
                                 "4569999001024 緑茶 ペットボトル 2L 278 (本体 258円)",
                                 "4569999001031 ワイヤレスイヤホン ホワイト 1,100 (本体 1,000円)"};
        QCOMPARE(printed::labelText(words, sheet_, 4), QString());
        for (int i = 0; i < labels.size(); ++i) {
            const QString printed = printed::labelText(words, sheet_, 5 + i);
            for (const QString& expected : labels[i].split(u' ')) {
                QVERIFY2(
                    printed.contains(expected),
                    qPrintable(QString("label %1: %2 lacks %3").arg(5 + i).arg(printed, expected)));
            }
        }
        QCOMPARE(printed::labelText(words, sheet_, 8), QString());
        QVERIFY(QDir().mkpath(temp("week-pages")));
        QCOMPARE(
            printed::codesOnEveryPage(pdf, 300, temp("week-pages")),
            (QStringList{"EAN-13:4569999001024", "EAN-13:4569999001031", "EAN-13:4569999001062"}));

        // A print that fails (its folder is not there) records nothing: the next run prints
        // the same three.
        auto failed = run({"--print-list", thisWeek, temp("no-such-folder/kept.pdf"),
                           "--changed-only", "--record-printed"});
        QCOMPARE(failed.exitCode, 1);
        QVERIFY2(!failed.err.contains("印刷済みとして記録しました"), qPrintable(failed.err));
        QCOMPARE(fixture::digest(master), before);

        auto kept =
            run({"--print-list", thisWeek, temp("kept.pdf"), "--changed-only", "--record-printed"});
        QVERIFY2(kept.exitCode == 0 && kept.err.contains("に 3 件を印刷済みとして記録しました"),
                 qPrintable(kept.err));
        const QString none = temp("none.pdf");
        auto again = run({"--print-list", thisWeek, none, "--changed-only"});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("変更なし 6 行は印刷しません") &&
                     again.err.contains("印刷するラベルがありません"),
                 qPrintable(again.err));
        QVERIFY(!QFileInfo::exists(none));
    }

    // A sale week from a register's export (特売価格, 特売開始日, 特売終了日, 軽減税率対象),
    // registered in the master and printed from a scanner's codes with --changed-only
    // --record-printed --as-of: the day before, every label; the sales' first day, only the
    // two sale labels; the day after one sale ends, that label back to its price; the day after
    // the other ends, that one; then nothing. The master gives each code its sale, and the
    // history keeps the price printed, the 通常価格 beside a sale price and the day printed for.
    void saleWeekThroughTheMaster() {
        QProcessEnvironment env = env_;
        env.insert("XDG_DATA_HOME", temp("sale"));
        const auto run = [&env](const QStringList& args) { return fixture::runZukaro(args, env); };
        const QString master = temp("sale/zukaro/products.sqlite");
        const auto imported = run({"--import-list", posFixture("pos_sale_week_shift_jis.csv")});
        QVERIFY2(imported.exitCode == 0 && imported.err.contains("新規 4 件"),
                 qPrintable(imported.err));
        QFile scanned(temp("sale-codes.csv"));
        QVERIFY(scanned.open(QIODevice::WriteOnly) &&
                scanned.write("JANコード\r\n4569999001017\r\n4569999001024\r\n4569999001031\r\n"
                              "4569999001062\r\n") > 0);
        scanned.close();
        // The history as "code price 通常価格 day", by code.
        const auto history = [&master] {
            QVariant recorded;
            sqliteSql(master,
                      "SELECT group_concat(jan || ' ' || price || ' ' || regular_price || ' ' ||"
                      " printed_for, ', ') FROM (SELECT * FROM printed ORDER BY jan) AS p",
                      &recorded);
            return recorded.toString();
        };
        const QString chips = "4569999001017", tea = "4569999001024", earphones = "4569999001031",
                      nuts = "4569999001062";
        const struct {
            const char* asOf;
            const char* counts;
            QStringList printed;  // codes, in list order
            QString recorded;
        } days[] = {
            {"2026-12-11",
             "新規 4 行・価格変更 0 行・表示変更 0 行",
             {chips, tea, earphones, nuts},
             chips + " 158  2026-12-11, " + tea + " 258  2026-12-11, " + earphones +
                 " 1000  2026-12-11, " + nuts + " 540  2026-12-11"},
            {"2026-12-14",
             "新規 0 行・価格変更 2 行・表示変更 0 行",
             {chips, nuts},
             chips + " 128 158 2026-12-14, " + tea + " 258  2026-12-11, " + earphones +
                 " 1000  2026-12-11, " + nuts + " 498 540 2026-12-14"},
            {"2026-12-17",
             "新規 0 行・価格変更 1 行・表示変更 0 行",
             {nuts},
             chips + " 128 158 2026-12-14, " + tea + " 258  2026-12-11, " + earphones +
                 " 1000  2026-12-11, " + nuts + " 540  2026-12-17"},
            {"2026-12-21",
             "新規 0 行・価格変更 1 行・表示変更 0 行",
             {chips},
             chips + " 158  2026-12-21, " + tea + " 258  2026-12-11, " + earphones +
                 " 1000  2026-12-11, " + nuts + " 540  2026-12-17"},
        };
        const QStringList names{"ポテトチップス", "緑茶", "ワイヤレスイヤホン", "ミックスナッツ"};
        const QStringList codes{chips, tea, earphones, nuts};
        for (const auto& day : days) {
            const QString pdf = temp(QString("sale-%1.pdf").arg(day.asOf));
            const auto printed = run({"--print-list", scanned.fileName(), pdf, "--changed-only",
                                      "--record-printed", "--as-of", day.asOf});
            QVERIFY2(printed.exitCode == 0, qPrintable(printed.err));
            QVERIFY2(printed.err.contains(QString(day.asOf) +
                                          " に印刷する内容を商品マスタに記録"
                                          "された前回の印刷と比べて、" +
                                          day.counts),
                     qPrintable(printed.err));
            const QList<printed::Word> words = printed::pdfWords(pdf);
            QStringList expected;
            for (int n = 1; n <= day.printed.size(); ++n) {
                const QString& code = day.printed[n - 1];
                const QString text = printed::labelText(words, sheet_, n);
                QVERIFY2(text.contains(code) && text.contains(names[codes.indexOf(code)]),
                         qPrintable(QString("%1, label %2: %3").arg(day.asOf).arg(n).arg(text)));
                expected << "EAN-13:" + code;
            }
            QCOMPARE(printed::labelText(words, sheet_, int(day.printed.size()) + 1), QString());
            const QString pages = temp(QString("sale-%1").arg(day.asOf));
            QVERIFY(QDir().mkpath(pages));
            expected.sort();
            QCOMPARE(printed::codesOnEveryPage(pdf, 300, pages), expected);
            QCOMPARE(history(), day.recorded);
        }
        const auto none = run({"--print-list", scanned.fileName(), temp("sale-none.pdf"),
                               "--changed-only", "--as-of", "2026-12-22"});
        QCOMPARE(none.exitCode, 1);
        QVERIFY2(none.err.contains("変更なし 4 行は印刷しません"), qPrintable(none.err));

        // 軽減 8 % → 0 % from 2027-01-04, entered by a script: on its first day the three 軽減
        // labels print anew, the 標準 earphones do not.
        // (data.txt is put back as it was afterwards: the other tests print for today.)
        const QString dataTxt = temp("config/zukaro/data.txt");
        QVERIFY(QDir().mkpath(temp("config/zukaro")));
        if (!QFile::exists(dataTxt)) {
            QVERIFY(QFile::copy(fixture::path("layout_only_data.txt"), dataTxt));
        }
        QFile original(dataTxt);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray kept = original.readAll();
        original.close();
        const auto putBack = qScopeGuard([&] {
            QFile file(dataTxt);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kept) == kept.size());
        });
        const auto rate = run({"--tax-rate-from", "軽減", "0", "2027-01-04"});
        QVERIFY2(rate.exitCode == 0, qPrintable(rate.err));
        const QString ratePdf = temp("sale-rate.pdf"), ratePages = temp("sale-rate");
        const auto reprinted = run({"--print-list", scanned.fileName(), ratePdf, "--changed-only",
                                    "--record-printed", "--as-of", "2027-01-04"});
        QVERIFY2(reprinted.exitCode == 0 &&
                     reprinted.err.contains("新規 0 行・価格変更 3 行・表示変更 0 行"),
                 qPrintable(reprinted.err));
        QVERIFY(QDir().mkpath(ratePages));
        QCOMPARE(printed::codesOnEveryPage(ratePdf, 300, ratePages),
                 QStringList({"EAN-13:" + chips, "EAN-13:" + tea, "EAN-13:" + nuts}));
        QCOMPARE(history(), chips + " 158  2027-01-04, " + tea + " 258  2027-01-04, " + earphones +
                                " 1000  2026-12-11, " + nuts + " 540  2027-01-04");
    }

    // A handheld scanner's list (JAN, or JAN and 枚数) prints from the product master, the one
    // chosen or --master's: names, specs and prices as the master has them, taxed as the
    // layout says (a 内税 price as it is), and the code the master does not know listed by its
    // line. The master is only read: --master's file is the one used, no other is made.
    void printsFromTheMastersCodes_data() {
        QTest::addColumn<bool>("masterOption");
        QTest::newRow("the chosen master") << false;
        QTest::newRow("--master") << true;
    }

    void printsFromTheMastersCodes() {
        QFETCH(bool, masterOption);
        QProcessEnvironment env = env_;
        const QString home = temp(QString("codes-%1").arg(masterOption));
        env.insert("XDG_DATA_HOME", home);
        QVERIFY(QDir().mkpath(home));
        const QString chosen = home + "/zukaro/products.sqlite";
        const QString other = home + "/本部の商品マスタ.sqlite";
        const QStringList master = masterOption ? QStringList{"--master", other} : QStringList{};
        const auto imported = fixture::runZukaro(
            QStringList{"--import-list", posFixture("pos_week_1207_shift_jis.csv")} + master, env);
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
        const QByteArray stored = fixture::digest(masterOption ? other : chosen);

        QFile scanned(home + "/scanned.csv");
        QVERIFY(scanned.open(QIODevice::WriteOnly) &&
                scanned.write("JANコード,枚数\r\n4569999001017,2\r\n4569999001062,\r\n"
                              "4901234567894,1\r\n4569999001055,1\r\n") > 0);
        scanned.close();
        const QString pdf = home + "/scanned.pdf";
        const auto run =
            fixture::runZukaro(QStringList{"--print-list", scanned.fileName(), pdf} + master, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString named = "「" + (masterOption ? other : chosen) + "」";
        QVERIFY2(run.err.contains("JAN コードだけの 3 行は、品名・売価などを商品マスタ" + named +
                                  "から補いました。"),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains("scanned.csv: 4 行目: JAN コード「4901234567894」は商品マスタ" +
                                  named + "にありません"),
                 qPrintable(run.err));
        // 398 and 540 at 8 %, rounded down: 429.84 and 583.2; 1,000 holds 74.07 of tax.
        const QStringList labels{"4569999001017 ポテトチップス ウスシオ味 60g 429 (本体 398円)",
                                 "4569999001017 ポテトチップス ウスシオ味 60g 429 (本体 398円)",
                                 "4569999001062 ミックスナッツ 200g 583 (本体 540円)",
                                 "4569999001055 幕の内弁当 1食 1,000 (本体 926円)"};
        const QList<printed::Word> words = printed::pdfWords(pdf);
        for (int n = 1; n <= labels.size(); ++n) {
            const QString printed = printed::labelText(words, sheet_, n);
            for (const QString& expected : labels[n - 1].split(u' ')) {
                QVERIFY2(
                    printed.contains(expected),
                    qPrintable(QString("label %1: %2 lacks %3").arg(n).arg(printed, expected)));
            }
        }
        QCOMPARE(printed::labelText(words, sheet_, labels.size() + 1), QString());
        QVERIFY(QDir().mkpath(home + "/pages"));
        QCOMPARE(
            printed::codesOnEveryPage(pdf, 300, home + "/pages"),
            (QStringList{"EAN-13:4569999001017", "EAN-13:4569999001055", "EAN-13:4569999001062"}));
        QCOMPARE(fixture::digest(masterOption ? other : chosen), stored);
        QCOMPARE(QFileInfo::exists(chosen), !masterOption);
    }

    // A master made by an older zukaro (before the list times), as a shop's read-only share
    // or a chain's server may hold it: --changed-only reads its print history, a scanner's
    // codes are filled from its products, and it stays byte for byte as it was, not upgraded.
    void olderMasterReadAsItIs() {
        QProcessEnvironment env = env_;
        env.insert("XDG_DATA_HOME", temp("older"));
        const QString master = temp("older/zukaro/products.sqlite");
        const auto recorded =
            fixture::runZukaro({"--print-list", posFixture("pos_week_1130_utf8_bom.csv"),
                                temp("older.pdf"), "--record-printed"},
                               env);
        QVERIFY2(recorded.exitCode == 0, qPrintable(recorded.err));
        // Back to the third version: no list times, one product of its own.
        QVERIFY(
            sqliteSql(master, "ALTER TABLE products DROP COLUMN listed_at") &&
            sqliteSql(master, "PRAGMA user_version = 3") &&
            sqliteSql(master,
                      "INSERT INTO products (jan, maker, product, spec, lot, price, tax_rate,"
                      " updated_at, updated_by, tax_kind) VALUES ('4569999001062', '',"
                      " 'ミックスナッツ', '200g', '', '540', 8, '2026-12-05 07:20:00', 'office',"
                      " '')"));
        const QByteArray before = fixture::digest(master);
        const auto changed =
            fixture::runZukaro({"--print-list", posFixture("pos_week_1207_shift_jis.csv"),
                                temp("older-changed.pdf"), "--changed-only"},
                               env);
        QVERIFY2(changed.exitCode == 0 &&
                     changed.err.contains("新規 1 行・価格変更 1 行・表示変更 1 行を印刷します（"
                                          "変更なし 3 行は印刷しません）"),
                 qPrintable(changed.err));
        QFile scanned(temp("older-scanned.csv"));
        QVERIFY(scanned.open(QIODevice::WriteOnly) && scanned.write("JAN\n4569999001062\n") > 0);
        scanned.close();
        const auto codes = fixture::runZukaro(
            {"--print-list", scanned.fileName(), temp("older-scanned.pdf")}, env);
        QVERIFY2(codes.exitCode == 0 && codes.err.contains("JAN コードだけの 1 行は"),
                 qPrintable(codes.err));
        QVERIFY(printed::labelText(printed::pdfWords(temp("older-scanned.pdf")), sheet_, 1)
                    .contains("ミックスナッツ"));
        QCOMPARE(fixture::digest(master), before);
        QVariant version;
        QVERIFY(sqliteSql(master, "PRAGMA user_version", &version));
        QCOMPARE(version.toInt(), 3);
    }

    // The shop's own files are never an output, by whatever name: the product master (the
    // one in use, --master's while recording into it, one not made yet, its journal, by a
    // link), data.txt, printing.json and the .ini files. Refused before anything is read or
    // written (exit 2), naming both; the file is as it was, and the master still knows what
    // was printed last week.
    void ownFilesAreNeverOutputs_data() {
        QTest::addColumn<QStringList>("args");  // OUT: the output, LIST: last week's export
        QTest::addColumn<QString>("output");    // in the folder O/
        QTest::addColumn<QString>("kept");      // the file that must stay as it was
        QTest::addColumn<QString>("says");
        const QString master = "data/zukaro/products.sqlite";
        const QStringList list{"--print-list", "LIST", "OUT"};
        const QStringList sheet{"--print-pdf", fixture::path("full_sheet.csv"), "OUT"};
        const auto same = [](const QString& out, const QString& what, const QString& file,
                             bool linked = false) {
            return QString(
                       "zukaro: 書き出すファイル「O/%1」は、%2「O/%3」と同じファイルです%4。"
                       "上書きすると%2が消えてしまうため、別のファイルを指定してください。\n")
                .arg(out, what, file, linked ? "（リンクで同じものを指しています）" : "");
        };
        QTest::newRow("the master")
            << list << master << master << same(master, "商品マスタ", master);
        QTest::newRow("the master by a link")
            << list << "linked.pdf" << master << same("linked.pdf", "商品マスタ", master, true);
        QTest::newRow("--master's file while recording into it")
            << list + QStringList{"--changed-only", "--record-printed", "--master", "OUT"}
            << "m.sqlite"
            << "m.sqlite" << same("m.sqlite", "商品マスタ", "m.sqlite");
        QTest::newRow("a master not made yet")
            << list + QStringList{"--master", "OUT"} << "new.sqlite"
            << "new.sqlite" << same("new.sqlite", "商品マスタ", "new.sqlite");
        QTest::newRow("the master's journal")
            << sheet << master + "-journal" << master
            << same(master + "-journal", "商品マスタ", master + "-journal");
        QTest::newRow("data.txt") << sheet << "config/zukaro/data.txt"
                                  << "config/zukaro/data.txt"
                                  << same("config/zukaro/data.txt", "レイアウトの保存ファイル",
                                          "config/zukaro/data.txt");
        QTest::newRow("printing.json")
            << QStringList{"--calibration-sheet", "OUT"} << "config/zukaro/printing.json"
            << "config/zukaro/printing.json"
            << same("config/zukaro/printing.json", "印刷位置の設定", "config/zukaro/printing.json");
        QTest::newRow("master.ini")
            << QStringList{"--preview-png", fixture::path("full_sheet.csv"), "OUT"}
            << "config/zukaro/master.ini"
            << "config/zukaro/master.ini"
            << same("config/zukaro/master.ini", "商品マスターの接続先の設定",
                    "config/zukaro/master.ini");
        QTest::newRow("columns.ini by a hard link")
            << sheet << "columns.pdf"
            << "config/zukaro/columns.ini"
            << same("columns.pdf", "覚えた列の割り当て", "config/zukaro/columns.ini", true);
    }

    void ownFilesAreNeverOutputs() {
        QFETCH(QStringList, args);
        QFETCH(QString, output);
        QFETCH(QString, kept);
        QFETCH(QString, says);
        const QString folder = temp(QString("own-") + QTest::currentDataTag());
        QProcessEnvironment env = env_;
        env.insert("XDG_CONFIG_HOME", folder + "/config");
        env.insert("XDG_DATA_HOME", folder + "/data");
        const auto run = [&env](const QStringList& a) { return fixture::runZukaro(a, env); };
        const QString lastWeek = posFixture("pos_week_1130_utf8_bom.csv");
        // A shop's folders after last week: the master with its labels recorded, its settings.
        QVERIFY(QDir().mkpath(folder + "/config/zukaro"));
        QVERIFY(QFile::copy(temp("config/zukaro/data.txt"), folder + "/config/zukaro/data.txt"));
        for (const auto& [name, text] :
             {std::pair("printing.json", "{\"sheetShift\": {\"x\": 2.7, \"y\": 12.6}}\n"),
              std::pair("master.ini", "[master]\naddress=\n"),
              std::pair("columns.ini", "[columns]\nx=1\n")}) {
            QFile file(folder + "/config/zukaro/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
        }
        auto recorded = run({"--print-list", lastWeek, folder + "/first.pdf", "--record-printed"});
        QVERIFY2(recorded.exitCode == 0, qPrintable(recorded.err));
        const QString master = folder + "/data/zukaro/products.sqlite";
        QVERIFY(QFile::copy(master, folder + "/m.sqlite"));
        QVERIFY(QFile::link(master, folder + "/linked.pdf"));
        QCOMPARE(::link(QFile::encodeName(folder + "/config/zukaro/columns.ini").constData(),
                        QFile::encodeName(folder + "/columns.pdf").constData()),
                 0);

        const QByteArray before = fixture::digest(folder + '/' + kept);
        args.replaceInStrings("LIST", lastWeek).replaceInStrings("OUT", folder + '/' + output);
        auto refused = run(args);
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.replace(folder + '/', "O/").contains(says), qPrintable(refused.err));
        QCOMPARE(fixture::digest(folder + '/' + kept), before);
        for (const char* made : {"new.sqlite", "data/zukaro/products.sqlite-journal"}) {
            QVERIFY(!QFileInfo::exists(folder + '/' + made));
        }
        auto again = run({"--print-list", lastWeek, folder + "/again.pdf", "--changed-only"});
        QVERIFY2(again.err.contains("変更なし 5 行は印刷しません"), qPrintable(again.err));
    }

    // A named pipe where a configuration file or the master belongs (a mistake, or a trap) is
    // refused at once, naming it, instead of waiting for ever for someone to write into it.
    void pipesInsteadOfFiles_data() {
        QTest::addColumn<QString>("pipe");  // in the folder P/
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        const QString columns =
            "zukaro: 「P/config/zukaro/columns.ini」は普通のファイルではありません"
            "（名前付きパイプ）。覚えた列の割り当てを読めないため、商品リストを"
            "読みません。\n";
        const QString address =
            "zukaro: 商品マスタの接続先を読めません。「P/config/zukaro/"
            "master.ini」は普通のファイルではありません（名前付きパイプ）。\n";
        QTest::newRow("columns.ini, --print-list")
            << "config/zukaro/columns.ini" << QStringList{"--print-list", "LIST", "OUT"} << columns;
        QTest::newRow("columns.ini, --import-list")
            << "config/zukaro/columns.ini" << QStringList{"--import-list", "LIST"} << columns;
        QTest::newRow("master.ini, --changed-only")
            << "config/zukaro/master.ini"
            << QStringList{"--print-list", "LIST", "OUT", "--changed-only"} << address;
        QTest::newRow("master.ini, --import-list")
            << "config/zukaro/master.ini" << QStringList{"--import-list", "LIST"} << address;
        QTest::newRow("--master, --changed-only")
            << "pipe.sqlite"
            << QStringList{"--print-list", "LIST", "OUT", "--changed-only", "--master", "PIPE"}
            << "zukaro: 商品マスタ「P/pipe.sqlite」を開けません（そこにあるのは名前付きパイプで、"
               "普通のファイルではありません）。\n";
    }

    void pipesInsteadOfFiles() {
        QFETCH(QString, pipe);
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const QString folder = temp(QString("pipes-") + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder + "/config/zukaro"));
        QCOMPARE(::mkfifo(QFile::encodeName(folder + '/' + pipe).constData(), 0600), 0);
        QProcessEnvironment env = env_;
        env.insert("XDG_CONFIG_HOME", folder + "/config");
        env.insert("XDG_DATA_HOME", folder + "/data");
        args.replaceInStrings("LIST", posFixture("pos_week_1130_utf8_bom.csv"))
            .replaceInStrings("OUT", folder + "/out.pdf")
            .replaceInStrings("PIPE", folder + '/' + pipe);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(ZUKARO_BINARY, args);
        const bool ended = p.waitForFinished(20000);
        if (!ended) {
            p.kill();
            p.waitForFinished();
        }
        QVERIFY2(ended, "waited for the pipe");
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError()).replace(folder + '/', "P/");
        QVERIFY2(err.endsWith(says), qPrintable(err));
        QVERIFY(!QFileInfo::exists(folder + "/out.pdf"));
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(folder + '/' + pipe).constData(), &info) == 0 &&
                S_ISFIFO(info.st_mode));
    }

    // A register's sales journal is no product list: refused, saying what one is.
    void salesJournalRefused() {
        const QString pdf = temp("journal.pdf");
        const auto run = zukaro({"--print-list", posFixture("sales_journal_not_a_list.csv"), pdf});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("は商品リストではないようです") &&
                     run.err.contains("見出しの行（JAN コード・商品コード・バーコード"),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestPriceChanges)
#include "tst_pricechanges.moc"
