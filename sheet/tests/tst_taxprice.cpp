// Prices with consumption tax: typed prices read as whole yen, totals rounded three ways at
// 10 % and the reduced 8 % (worked out by hand), and amounts with separators. Unit prices
// (単位価格) from spec texts as shelves write them, worked out by hand.
#include <QTest>

#include "SpecQuantity.h"
#include "TaxPrice.h"
#include "UnitPrice.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::TaxRounding)
Q_DECLARE_METATYPE(zukaro::UnitPriceRounding)

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

    // The spec text and the price as printed, to what 単位価格 prints; "" where the spec gives
    // no quantity. Worked by hand, halves up: 128 yen for 500 ml is 25.6 per 100 ml, 26 yen;
    // 25 yen for 200 g is 12.5, 13 yen or 12.5 yen; 185 g × 30 is 5,550 g, and 980 yen for it
    // 17.657 per 100 g; 350 ml × 6 is 2,100 ml; 1.5 L × 8 is 12,000 ml; 3 個 × 4 袋 is 12 個.
    void unitPrice_data() {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<qint64>("yen");
        QTest::addColumn<UnitPriceRounding>("rounding");
        QTest::addColumn<QString>("printed");
        const auto whole = UnitPriceRounding::WholeYen, tenth = UnitPriceRounding::TenthYen;
        const auto row = [](const char* name, const QString& spec, qint64 yen,
                            UnitPriceRounding rounding, const QString& printed) {
            QTest::newRow(name) << spec << yen << rounding << printed;
        };
        row("500ml: 25.6", "500ml", 128, whole, "100mlあたり 26円");
        row("1.5L: 13.2", "1.5L", 198, tenth, "100mlあたり 13.2円");
        row("200g: 12.5 to 0.1 yen", "200g", 25, tenth, "100gあたり 12.5円");
        row("200g: 12.5 half up", "200g", 25, whole, "100gあたり 13円");
        row("1kg: 29.8", "1kg", 298, whole, "100gあたり 30円");
        row("1kg: 30 to 0.1 yen keeps its decimal", "1kg", 300, tenth, "100gあたり 30.0円");
        row("24本入: 97.92", "24本入", 2350, whole, "1本あたり 98円");
        row("6個: 96.67", "6個", 580, tenth, "1個あたり 96.7円");
        row("10枚: 39.8", "10枚", 398, whole, "1枚あたり 40円");
        row("185g×30本: 17.66", "185g×30本", 980, tenth, "100gあたり 17.7円");
        row("350ml×6缶: 60.95", "350ml×6缶", 1280, whole, "100mlあたり 61円");
        row("1.5L×8本: 13.17", "1.5L×8本", 1580, tenth, "100mlあたり 13.2円");
        row("3個×4袋: 33.17 a piece", "3個×4袋", 398, whole, "1個あたり 33円");
        row("100g×3P: 99.33", "100g×3P", 298, tenth, "100gあたり 99.3円");
        row("full-width 500ml: 31.6", "５００ｍｌ", 158, whole, "100mlあたり 32円");
        row("full-width 1.5L: 15.87", "１．５Ｌ", 238, tenth, "100mlあたり 15.9円");
        row("litre sign: 11.2", "1.5ℓ", 168, whole, "100mlあたり 11円");
        row("full-width pack, blanks: 35.48", "３５０ＭＬ × ２４本", 2980, whole,
            "100mlあたり 35円");
        row("cc: 28.57", "350cc", 100, whole, "100mlあたり 29円");
        row("words and a year around: 49.6", "2024年産 新米 5kg", 2480, whole, "100gあたり 50円");
        row("24入: a piece", "24入", 960, whole, "1個あたり 40円");
        row("beef with separators", "国産牛 100g", 12800, whole, "100gあたり 12,800円");
        row("twelve digits to 0.1 yen", "1g", 999999999999, tenth,
            "100gあたり 99,999,999,999,900.0円");
        row("大", "大", 198, whole, "");
        row("徳用", "徳用", 398, whole, "");
        row("empty", "", 398, whole, "");
        row("two sizes", "500ml・1L", 198, whole, "");
        row("two sizes without a mark", "350ml 24本", 2980, whole, "");
        row("a range", "180〜200g", 298, whole, "");
        row("each of several", "3種 各100g", 398, whole, "");
        row("milligrams a grain", "500mg×60粒", 1980, whole, "");
        row("two volumes in a pack", "500ml×1L", 298, whole, "");
        row("half a piece", "1.5本", 100, whole, "");
        row("zero", "0g", 100, whole, "");
        row("pounds are no litres", "1lb", 498, whole, "");
        row("㍉ alone", "500㍉", 98, whole, "");
    }

    void unitPrice() {
        QFETCH(QString, spec);
        QFETCH(qint64, yen);
        QFETCH(UnitPriceRounding, rounding);
        QFETCH(QString, printed);
        const std::optional<Quantity> quantity = quantityOf(spec);
        QCOMPARE(quantity.has_value(), !printed.isEmpty());
        if (quantity) {
            QCOMPARE(unitPriceText(yen, *quantity, rounding, printed.contains(u',')), printed);
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
