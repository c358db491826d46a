// A list's rows against the labels last printed: 新規, 価格変更, 表示変更 or 変更なし, and the
// words a clerk reads about what changed.
#include <QTest>
#include <QTimeZone>

#include "PrintHistory.h"

using namespace zukaro;

namespace {

// "jan|maker|product|spec|lot|price|rate|kind": rate empty for none, kind 内税, 非課税 or empty;
// a sale after it as "|sale|regular|from|to".
ProductRow rowOf(const QString& text) {
    const QStringList t = text.split('|');
    ProductRow row{2, t[0], t[1], t[2], t[3], t[4], t[5], 1, std::nullopt};
    if (!t.value(6).isEmpty()) {
        row.taxRate = t[6].toInt();
    }
    row.taxKind = t.value(7) == "内税"     ? PriceTax::Inclusive
                  : t.value(7) == "非課税" ? PriceTax::Exempt
                                           : PriceTax::Exclusive;
    row.salePrice = t.value(8), row.regularPrice = t.value(9);
    row.saleFrom = t.value(10), row.saleTo = t.value(11);
    return row;
}

// 「うすしお」 on sale at 328 (its regular 398) from 14 to 20 December.
const QString kSale = "4901234567894|カトー製菓|うすしお|60g|L-1|398|||328||2026-12-14|2026-12-20";

// Last printed on 30 November: 「うすしお」 60g, 398 yen at the layout's 10 %.
const QString kLast = "4901234567894|カトー製菓|うすしお|60g|L-1|398||";

}  // namespace

class TestPrintHistory : public QObject {
    Q_OBJECT

private slots:
    void marks_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("last");  // empty: never printed
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QDate>("lastFor");  // the day the last label was printed for
        QTest::addColumn<QDate>("day");      // the day the row is printed for
        const auto row = [](const char* name, const QString& r, const QString& last,
                            const char* mark, const char* change = "",
                            QDate lastFor = QDate(2026, 11, 30), QDate day = QDate(2026, 12, 7)) {
            QTest::newRow(name) << r << last << QString(mark) << QString(change) << lastFor << day;
        };
        row("never printed", kLast, "", "新規");
        row("no JAN code: nothing to compare with", "|カトー製菓|うすしお|60g|L-1|398||",
            "|カトー製菓|うすしお|60g|L-1|398||", "新規");
        row("the same", kLast, kLast, "変更なし");
        row("the same price with separators and blanks",
            "4901234567894|カトー製菓|うすしお|60g|L-1| 1,280 ||",
            "4901234567894|カトー製菓|うすしお|60g|L-1|1280||", "変更なし");
        row("the code from a list with a wrong check digit",
            "４９０１２３４５６７８９０|カトー製菓|うすしお|60g|L-1|398||", kLast, "変更なし");
        row("rate of its own equal to the layout's",
            "4901234567894|カトー製菓|うすしお|60g|L-1|398|10|", kLast, "変更なし");
        row("new price", "4901234567894|カトー製菓|うすしお|60g|L-1|428||", kLast, "価格変更",
            "売価 398 → 428");
        row("new price and name", "4901234567894|カトー製菓|うすしお味|60g|L-1|428||", kLast,
            "価格変更", "売価 398 → 428、品名");
        row("reduced rate now", "4901234567894|カトー製菓|うすしお|60g|L-1|398|8|", kLast,
            "価格変更", "売価 398 → 398 (8%)");
        row("the price now holds the tax", "4901234567894|カトー製菓|うすしお|60g|L-1|398||内税",
            kLast, "価格変更", "売価 398 → 398 (内税)");
        row("a price that is not whole yen, as text",
            "4901234567894|カトー製菓|うすしお|60g|L-1|オープン||", kLast, "価格変更",
            "売価 398 → オープン");
        row("no tax: the rate prints nowhere", "4569999000058||収入印紙|||200|10|非課税",
            "4569999000058||収入印紙|||200|8|非課税", "変更なし");
        row("spec and lot", "4901234567894|カトー製菓|うすしお|70g|L-2|398||", kLast, "表示変更",
            "規格、ロット");
        row("maker", "4901234567894|カトー|うすしお|60g|L-1|398||", kLast, "表示変更", "メーカー");
        // A sale prints its price from its first day to its last, both included; the label
        // last printed says what it printed then.
        const QDate before(2026, 12, 13), first(2026, 12, 14), last(2026, 12, 20),
            after(2026, 12, 21);
        row("the day before a sale", kSale, kLast, "変更なし", "", before, before);
        row("a sale's first day", kSale, kLast, "価格変更", "売価 398 → 328 (特価、通常 398)",
            before, first);
        row("a sale's last day, printed on its first", kSale, kSale, "変更なし", "", first, last);
        row("the day after a sale", kSale, kSale, "価格変更", "売価 328 (特価、通常 398) → 398",
            first, after);
        row("a sale with no first day",
            "4901234567894|カトー製菓|うすしお|60g|L-1|398|||328|||2026-12-20", kLast, "価格変更",
            "売価 398 → 328 (特価、通常 398)", before, before);
        row("a sale with no last day, a year on",
            "4901234567894|カトー製菓|うすしお|60g|L-1|398|||328||2026-12-14|", kSale, "変更なし",
            "", first, QDate(2027, 12, 14));
        row("a sale's regular price of its own changed",
            "4901234567894|カトー製菓|うすしお|60g|L-1|398|||328|428|2026-12-14|2026-12-20", kSale,
            "価格変更", "売価 328 (特価、通常 398) → 328 (特価、通常 428)", first, first);
        row("a sale price that says nothing: no sale",
            "4901234567894|カトー製菓|うすしお|60g|L-1|398||||398|2026-12-14|2026-12-20", kLast,
            "変更なし", "", before, first);
        // 軽減 8 % → 0 % from 2027-10-01 (the layout's rate change, for every row): a 軽減
        // label prints anew on the first day, a 標準 one does not.
        const QDate lastDayOf8(2027, 9, 30), firstDayOf0(2027, 10, 1);
        const QString reduced = "4901234567894|カトー製菓|うすしお|60g|L-1|398|8|";
        row("軽減 the day before its rate changes", reduced, reduced, "変更なし", "", lastDayOf8,
            lastDayOf8);
        row("軽減 on its rate's first day", reduced, reduced, "価格変更",
            "売価 398 (8%) → 398 (0%)", lastDayOf8, firstDayOf0);
        row("標準 on 軽減's first day", kLast, kLast, "変更なし", "", lastDayOf8, firstDayOf0);
    }

    void marks() {
        QFETCH(QString, row);
        QFETCH(QString, last);
        QFETCH(QString, mark);
        QFETCH(QString, change);
        QFETCH(QDate, lastFor);
        QFETCH(QDate, day);
        const QDateTime printed(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC);
        const std::vector<TaxRateChange> toZero = {{TaxClass::Reduced, 0, QDate(2027, 10, 1)}};
        std::optional<PrintedLabel> stored;
        if (!last.isEmpty()) {
            stored = printedLabelOf(rowOf(last), kStandardTaxRate, printed, lastFor, toZero);
        }
        const ProductRow now = rowOf(row);
        QCOMPARE(markText(changeMark(now, stored, kStandardTaxRate, day, toZero)), mark);
        QCOMPARE(stored ? describeChange(now, *stored, kStandardTaxRate, day, toZero) : QString(),
                 change);
    }

    // What is kept of a printed label: the code as printed, the rate it printed with.
    void printedLabel() {
        ProductRow row = rowOf(" ４９０１２３４５６７８９０|m|p|s|l| 1,100 ||内税");
        const PrintedLabel label =
            printedLabelOf(row, kReducedTaxRate,
                           QDateTime(QDate(2026, 11, 30), QTime(18, 0), QTimeZone(9 * 3600)));
        QCOMPARE(label.jan, "4901234567894");
        QCOMPARE(label.price, "1,100");
        QCOMPARE(label.taxRate, kReducedTaxRate);
        QCOMPARE(label.taxKind, PriceTax::Inclusive);
        QCOMPARE(label.printedAt, QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC));
        QCOMPARE(label.regularPrice, QString());
        QCOMPARE(label.printedFor, QDate::currentDate());  // no day asked for: today
        QCOMPARE(printedKey("  "), QString());
        // On sale: the sale price, and the price it replaces for the 通常価格 line.
        const PrintedLabel sale = printedLabelOf(
            rowOf(kSale), kStandardTaxRate, QDateTime::currentDateTimeUtc(), QDate(2026, 12, 20));
        QCOMPARE(
            QStringList({sale.price, sale.regularPrice, sale.printedFor.toString(Qt::ISODate)}),
            QStringList({"328", "398", "2026-12-20"}));
    }
};

QTEST_APPLESS_MAIN(TestPrintHistory)
#include "tst_printhistory.moc"
