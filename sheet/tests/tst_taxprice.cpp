// Prices with consumption tax: typed prices read as whole yen, totals rounded three ways at
// 10 % and the reduced 8 % (worked out by hand), and amounts with separators.
#include <QTest>

#include "TaxPrice.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::TaxRounding)

class TestTaxPrice : public QObject {
    Q_OBJECT

private slots:
    // One reading of a price for the editor, the product lists and the print history: what a
    // clerk types and what registers export ("398円", 「￥398」, a yen sign saved in Shift_JIS as
    // a backslash). `grouped`: the typed text has its thousands separated, which the printed
    // amount keeps.
    void wholeYen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("yen");  // -1: not whole yen, printed as typed
        QTest::addColumn<bool>("grouped");
        const auto row = [](const char* name, const QString& typed, qint64 yen, bool grouped) {
            QTest::newRow(name) << typed << yen << grouped;
        };
        row("plain", "398", 398, false);
        row("blanks and full-width digits", " １２８０　", 1280, false);
        row("separators", "1,280,000", 1280000, true);
        row("full-width comma", "1，280", 1280, true);
        row("all full-width", "１，２８０", 1280, true);
        row("zero", "0", 0, false);
        row("yen sign, full-width", "￥398", 398, false);
        row("yen sign with separators", "¥1,280", 1280, true);
        row("yen sign of a Shift_JIS file", "\\12,800", 12800, true);
        row("円 after", "398円", 398, false);
        row("円 after a blank", "1,280 円", 1280, true);
        row("receipt's dash", "¥1,280-", 1280, true);
        row("dash without a yen sign", "1280-", -1, false);
        row("yen sign and 円", "￥398円", 398, false);
        row("円 alone", "円", -1, false);
        row("separator misplaced", "12,80", -1, false);
        row("first group too long", "1280,000", -1, false);
        row("sen", "398.5", -1, false);
        row("yen and sen", "¥398.50", -1, false);
        row("a word", "オープン価格", -1, false);
        row("negative", "-5", -1, false);
        row("empty", "", -1, false);
        row("thirteen digits", "1234567890123", -1, false);
    }

    void wholeYen() {
        QFETCH(QString, typed);
        QFETCH(qint64, yen);
        QFETCH(bool, grouped);
        QCOMPARE(zukaro::wholeYen(typed).value_or(-1), yen);
        QCOMPARE(zukaro::typedWithSeparators(typed), grouped);
    }

    // 入力どおり prints what was typed: a label the clerk gave a rate of its own (the rate button,
    // a list's 税率 column) then goes out without its tax, and the editor says so.
    void labelsPrintedWithoutTax_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("labels");  // n:rate:kind:price:product, label by label
        QTest::addColumn<QString>("untaxed");
        const QString shop =
            "1:8::398:牛乳 3:10::1,280:洗剤 5:::198:パン 7:8:内税:1,080:弁当 "
            "9:8:非課税:500:切手 11:8::オープン:菓子 13:8::398: 21:10::99999:棚";
        QTest::newRow("as typed") << 0 << shop << "1 3 21";
        QTest::newRow("as typed with separators") << 0 << shop << "1 3 21";
        QTest::newRow("with tax") << 1 << shop << "";
        QTest::newRow("net and total") << 2 << shop << "";
        QTest::newRow("no rates of their own") << 0 << "1:::398:牛乳 2:::1280:洗剤"
                                               << "";
    }

    void labelsPrintedWithoutTax() {
        QFETCH(int, mode);
        QFETCH(QString, labels);
        QFETCH(QString, untaxed);
        SheetState sheet;
        sheet.layout.priceMode = PriceMode(mode);
        sheet.layout.thousandsSeparators = QByteArray(QTest::currentDataTag()).contains("separ");
        for (const QString& label : labels.split(u' ')) {
            const QStringList f = label.split(u':');
            const int n = f[0].toInt();
            sheet.taxRate[n] = f[1];
            sheet.taxKind[n] = f[2];
            sheet.priceText[n] = f[3];
            sheet.productText[n] = f[4];
        }
        QStringList found;
        for (const int n : zukaro::labelsPrintedWithoutTax(sheet)) {
            found << QString::number(n);
        }
        QCOMPARE(found.join(u' '), untaxed);
        if (!found.isEmpty()) {
            QCOMPARE(zukaro::printedWithoutTaxNote(zukaro::labelsPrintedWithoutTax(sheet))
                         .section(u'。', 0, 0),
                     "ラベル 1、3、21 の 3 枚は税率が付いていますが、総額表示が「入力どおり」の"
                     "ため、税抜の売価がそのまま印刷されます");
        }
    }

    void withTax_data() {
        QTest::addColumn<qint64>("net");
        QTest::addColumn<int>("rate");
        QTest::addColumn<TaxRounding>("rounding");
        QTest::addColumn<qint64>("total");
        const auto down = TaxRounding::Down, halfUp = TaxRounding::HalfUp, up = TaxRounding::Up;
        QTest::newRow("398 at 10 %, down: 437.8") << qint64{398} << 10 << down << qint64{437};
        QTest::newRow("398 at 8 %, down: 429.84") << qint64{398} << 8 << down << qint64{429};
        QTest::newRow("398 at 10 %, half up") << qint64{398} << 10 << halfUp << qint64{438};
        QTest::newRow("398 at 8 %, half up") << qint64{398} << 8 << halfUp << qint64{430};
        QTest::newRow("398 at 10 %, up") << qint64{398} << 10 << up << qint64{438};
        QTest::newRow("1 at 10 %, down: 1.1") << qint64{1} << 10 << down << qint64{1};
        QTest::newRow("1 at 8 %, up: 1.08") << qint64{1} << 8 << up << qint64{2};
        QTest::newRow("99999 at 10 %") << qint64{99999} << 10 << down << qint64{109998};
        QTest::newRow("99999 at 8 %") << qint64{99999} << 8 << down << qint64{107998};
        QTest::newRow("105 at 10 %, half up: 115.5") << qint64{105} << 10 << halfUp << qint64{116};
        QTest::newRow("100 at 10 %, up: exact") << qint64{100} << 10 << up << qint64{110};
    }

    void withTax() {
        QFETCH(qint64, net);
        QFETCH(int, rate);
        QFETCH(TaxRounding, rounding);
        QFETCH(qint64, total);
        QCOMPARE(zukaro::withTax(net, rate, rounding), total);
    }

    // 内税: the tax a total holds, gross × rate / (100 + rate), rounded as the layout says and
    // taken off. Worked by hand: 1,100 at 10 % holds exactly 100; 1,000 at 8 % holds 74.07;
    // 1,200 at 8 % holds 88.89; 398 at 10 % holds 36.18; 437 at 10 % holds 39.73.
    void withoutTax_data() {
        QTest::addColumn<qint64>("gross");
        QTest::addColumn<int>("rate");
        QTest::addColumn<TaxRounding>("rounding");
        QTest::addColumn<qint64>("net");
        const auto down = TaxRounding::Down, halfUp = TaxRounding::HalfUp, up = TaxRounding::Up;
        QTest::newRow("1,100 at 10 %: exact") << qint64{1100} << 10 << down << qint64{1000};
        QTest::newRow("1,100 at 10 %, up: exact") << qint64{1100} << 10 << up << qint64{1000};
        QTest::newRow("1,000 at 8 %, down") << qint64{1000} << 8 << down << qint64{926};
        QTest::newRow("1,000 at 8 %, half up") << qint64{1000} << 8 << halfUp << qint64{926};
        QTest::newRow("1,000 at 8 %, up") << qint64{1000} << 8 << up << qint64{925};
        QTest::newRow("1,200 at 8 %, down") << qint64{1200} << 8 << down << qint64{1112};
        QTest::newRow("1,200 at 8 %, half up") << qint64{1200} << 8 << halfUp << qint64{1111};
        QTest::newRow("398 at 10 %, down") << qint64{398} << 10 << down << qint64{362};
        QTest::newRow("398 at 10 %, up") << qint64{398} << 10 << up << qint64{361};
        QTest::newRow("437 at 10 %, down") << qint64{437} << 10 << down << qint64{398};
        QTest::newRow("437 at 10 %, half up") << qint64{437} << 10 << halfUp << qint64{397};
        QTest::newRow("1 at 10 %, down") << qint64{1} << 10 << down << qint64{1};
        QTest::newRow("1 at 10 %, up") << qint64{1} << 10 << up << qint64{0};
        QTest::newRow("108 at 8 %: exact") << qint64{108} << 8 << halfUp << qint64{100};
        QTest::newRow("109,998 at 10 %") << qint64{109998} << 10 << down << qint64{99999};
        QTest::newRow("0") << qint64{0} << 8 << up << qint64{0};
    }

    void withoutTax() {
        QFETCH(qint64, gross);
        QFETCH(int, rate);
        QFETCH(TaxRounding, rounding);
        QFETCH(qint64, net);
        QCOMPARE(zukaro::withoutTax(gross, rate, rounding), net);
    }

    // A total this program made from 本体価格 gives the same 本体価格 back, at either rate and
    // with every rounding: a shop that switches a product from 外税 to 内税 at the same total
    // sees the same "(本体 …円)" line.
    void withoutTaxUndoesWithTax() {
        for (const TaxRounding rounding :
             {TaxRounding::Down, TaxRounding::HalfUp, TaxRounding::Up}) {
            for (const int rate : {kStandardTaxRate, kReducedTaxRate}) {
                for (qint64 net = 0; net <= 200'000; ++net) {
                    const qint64 gross = zukaro::withTax(net, rate, rounding);
                    if (zukaro::withoutTax(gross, rate, rounding) != net) {
                        QFAIL(qPrintable(QString("%1 at %2 %, rounding %3: %4 gives %5")
                                             .arg(net)
                                             .arg(rate)
                                             .arg(int(rounding))
                                             .arg(gross)
                                             .arg(zukaro::withoutTax(gross, rate, rounding))));
                    }
                }
            }
        }
    }

    // Dated rates: the built-in rows (標準 10 %, 軽減 8 % since 2019-10-01) and the layout's
    // changes "class:rate:first day". A change takes effect on its first day and not before;
    // another class keeps its rate; a change on a built-in row's day replaces it; before every
    // row a class has its earliest.
    void taxRateOn_data() {
        QTest::addColumn<QString>("taxClass");
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("rate");
        const QString toZero = "軽減:0:2026-10-01";
        const auto row = [](const char* name, const char* taxClass, const QString& changes,
                            QDate day, int rate) {
            QTest::newRow(name) << QString(taxClass) << changes << day << rate;
        };
        row("標準, built in, its first day", "標準", "", QDate(2019, 10, 1), 10);
        row("軽減, built in, years later", "軽減", "", QDate(2026, 12, 8), 8);
        row("before every row: the earliest", "軽減", "", QDate(2019, 9, 30), 8);
        row("軽減 the day before 0 %", "軽減", toZero, QDate(2026, 9, 30), 8);
        row("軽減 on the first day of 0 %", "軽減", toZero, QDate(2026, 10, 1), 0);
        row("軽減 a year into 0 %", "軽減", toZero, QDate(2027, 10, 1), 0);
        row("標準 untouched by 軽減's change", "標準", toZero, QDate(2026, 10, 1), 10);
        row("非課税 is always 0", "非課税", "", QDate(2026, 12, 8), 0);
        row("back to 8 % the day before", "軽減", toZero + " 軽減:8:2028-10-01", QDate(2028, 9, 30),
            0);
        row("back to 8 % on its day", "軽減", "軽減:8:2028-10-01 " + toZero, QDate(2028, 10, 1), 8);
        row("a change on the built-in day replaces it", "標準", "標準:12:2019-10-01",
            QDate(2020, 1, 1), 12);
    }

    void taxRateOn() {
        QFETCH(QString, taxClass);
        QFETCH(QString, changes);
        QFETCH(QDate, day);
        QFETCH(int, rate);
        std::vector<TaxRateChange> rows;
        for (const QString& change : changes.split(u' ', Qt::SkipEmptyParts)) {
            const QStringList f = change.split(u':');
            setTaxRateChange(rows, {*taxClassFromText(f[0]), f[1].toInt(),
                                    QDate::fromString(f[2], Qt::ISODate)});
        }
        QCOMPARE(zukaro::taxRateOn(*taxClassFromText(taxClass), day, rows), rate);
        // A label of that class reads the same rate from the layout's rows.
        SheetState sheet;
        sheet.layout.taxRateChanges = rows;
        sheet.taxRate[1] = taxClass == "軽減" ? "8" : "10";
        sheet.taxKind[1] = taxClass == "非課税" ? kTaxExemptText : QString();
        QCOMPARE(zukaro::taxRateOn(sheet, 1, day), rate);
    }

    // Days as clerks type them and registers write them; what is no day is refused, never
    // guessed.
    void dayFromText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");  // empty: no day
        QTest::newRow("slashes") << "2026/12/08"
                                 << "2026-12-08";
        QTest::newRow("dashes") << "2026-12-08"
                                << "2026-12-08";
        QTest::newRow("eight digits") << "20261208"
                                      << "2026-12-08";
        QTest::newRow("full-width") << "２０２６／１２／０８"
                                    << "2026-12-08";
        QTest::newRow("one-digit month and day, blanks") << " 2026/1/5 "
                                                         << "2026-01-05";
        QTest::newRow("leap day") << "2028-02-29"
                                  << "2028-02-29";
        QTest::newRow("no leap day") << "2026-02-29"
                                     << "";
        QTest::newRow("month 13") << "2026/13/01"
                                  << "";
        QTest::newRow("day 0") << "20261200"
                               << "";
        QTest::newRow("dots") << "2026.12.08"
                              << "";
        QTest::newRow("separators mixed") << "2026/12-08"
                                          << "";
        QTest::newRow("two-digit year") << "26/12/08"
                                        << "";
        QTest::newRow("nine digits") << "202612080"
                                     << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void dayFromText() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const QDate day = zukaro::dayFromText(typed);
        QCOMPARE(day.isNull() ? QString() : zukaro::dayText(day), stored);
    }

    void yenAmount() {
        QCOMPARE(zukaro::yenAmount(1280, true), "1,280");
        QCOMPARE(zukaro::yenAmount(1000000, true), "1,000,000");
        QCOMPARE(zukaro::yenAmount(999, true), "999");
        QCOMPARE(zukaro::yenAmount(109998, false), "109998");
    }
};

QTEST_APPLESS_MAIN(TestTaxPrice)
#include "tst_taxprice.moc"
