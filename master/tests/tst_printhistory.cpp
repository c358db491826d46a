// A list's rows against the labels last printed: 新規, 価格変更, 表示変更 or 変更なし, and the
// words a clerk reads about what changed.
#include <QTest>
#include <QTimeZone>

#include "PrintHistory.h"

using namespace zukaro;

namespace {

// "jan|maker|product|spec|lot|price|rate|kind": rate empty for none, kind 内税, 非課税 or empty.
ProductRow rowOf(const QString& text) {
    const QStringList t = text.split('|');
    ProductRow row{2, t[0], t[1], t[2], t[3], t[4], t[5], 1, std::nullopt};
    if (!t.value(6).isEmpty()) {
        row.taxRate = t[6].toInt();
    }
    row.taxKind = t.value(7) == "内税"     ? PriceTax::Inclusive
                  : t.value(7) == "非課税" ? PriceTax::Exempt
                                           : PriceTax::Exclusive;
    return row;
}

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
        const auto row = [](const char* name, const QString& r, const QString& last,
                            const char* mark, const char* change = "") {
            QTest::newRow(name) << r << last << QString(mark) << QString(change);
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
    }

    void marks() {
        QFETCH(QString, row);
        QFETCH(QString, last);
        QFETCH(QString, mark);
        QFETCH(QString, change);
        const QDateTime printed(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC);
        std::optional<PrintedLabel> stored;
        if (!last.isEmpty()) {
            stored = printedLabelOf(rowOf(last), kStandardTaxRate, printed);
        }
        const ProductRow now = rowOf(row);
        QCOMPARE(markText(changeMark(now, stored, kStandardTaxRate)), mark);
        QCOMPARE(stored ? describeChange(now, *stored, kStandardTaxRate) : QString(), change);
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
        QCOMPARE(printedKey("  "), QString());
    }
};

QTEST_APPLESS_MAIN(TestPrintHistory)
#include "tst_printhistory.moc"
