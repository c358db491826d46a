// Product rows laid out on sheets: the start position on the first sheet, copies, and the rows
// that take no label.
#include <QTest>

#include "ListSheets.h"

using namespace zukaro;

namespace {

std::vector<ProductRow> numbered(int count, int copies = 1) {
    std::vector<ProductRow> rows;
    for (int i = 1; i <= count; ++i) {
        rows.push_back({i + 1, "4901234567894", "M", QString("品%1").arg(i), "S", "L", "100",
                        copies, std::nullopt});
    }
    return rows;
}

// The labels of a sheet as "n:product" for the filled ones.
QStringList filled(const SheetState& sheet) {
    QStringList out;
    for (int n = 1; n <= kLabelCount; ++n) {
        if (!sheet.productText[n].isEmpty()) {
            out << QString("%1:%2").arg(n).arg(sheet.productText[n]);
        }
    }
    return out;
}

}  // namespace

class TestListSheets : public QObject {
    Q_OBJECT

private slots:
    // Start 5 with 30 rows: labels 5 to 21 of page 1, then 1 to 13 of page 2.
    void startPositionUsesUpAPartlyUsedSheet() {
        SheetState base;
        base.layout.makerY = -3;  // the layout goes with every sheet
        const std::vector<ProductRow> rows = numbered(30);
        const SheetPlan laid(planRowsOf(rows), 5);
        QCOMPARE(laid.sheetCount(), 2);
        QCOMPARE(filled(laid.sheet(0, base)).first(), "5:品1");
        QCOMPARE(filled(laid.sheet(0, base)).last(), "21:品17");
        QCOMPARE(filled(laid.sheet(0, base)).size(), 17);
        QCOMPARE(filled(laid.sheet(1, base)).first(), "1:品18");
        QCOMPARE(filled(laid.sheet(1, base)).last(), "13:品30");
        QCOMPARE(laid.sheet(1, base).layout.makerY, std::int16_t(-3));
        QCOMPARE(laid.labels(), 30);
    }

    // Copies repeat a product; 0 copies and a missing name take no label and are listed; the
    // rate of a row goes with its labels unless it is the layout's default.
    void copiesRatesAndRowsWithoutLabels() {
        std::vector<ProductRow> rows = numbered(3, 2);
        rows[1].copies = 0;
        rows[2].taxRate = 8;
        rows.push_back({9, "", "", "", "", "", "", 5, 10});  // no product name
        const SheetPlan laid(planRowsOf(rows), 20);
        QCOMPARE(laid.sheetCount(), 2);
        QCOMPARE(filled(laid.sheet(0, {})), (QStringList{"20:品1", "21:品1"}));
        QCOMPARE(filled(laid.sheet(1, {})), (QStringList{"1:品3", "2:品3"}));
        QCOMPARE(laid.sheet(1, {}).taxRate[1] + laid.sheet(0, {}).taxRate[20], "8");
        QStringList problems;
        for (const RowProblem& p : laid.problems()) {
            problems << p.text();
        }
        QCOMPARE(problems, (QStringList{"3 行目: 枚数が 0 のため、印刷しません。",
                                        "9 行目: 品名が空のため、ラベルにしません（品名のない"
                                        "ラベルは印刷されません）。"}));
    }
};

QTEST_APPLESS_MAIN(TestListSheets)
#include "tst_listsheets.moc"
