// Product rows laid out on sheets: the start position on the first sheet, copies, and the rows
// that take no label.
#include <QTest>

#include "ListSheets.h"
#include "PackedRows.h"
#include "TaxPrice.h"

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
    // rate and the sale of a row go with its labels (the rate unless it is the layout's
    // default), from rows in memory and from packed rows alike.
    void copiesRatesAndRowsWithoutLabels() {
        std::vector<ProductRow> rows = numbered(3, 2);
        rows[1].copies = 0;
        rows[2].taxRate = 8;
        rows[2].salePrice = "128", rows[2].regularPrice = "158";
        rows[2].saleFrom = "2026-12-14", rows[2].saleTo = "2026-12-20";
        rows.push_back({9, "", "", "", "", "", "", 5, 10});  // no product name
        const SheetPlan laid(planRowsOf(rows), 20);
        PackedRows packed;
        for (const ProductRow& row : rows) {
            packed.append(row);
        }
        const SheetPlan fromPacked(packed.planRows(), 20);
        for (const SheetPlan* plan : {&laid, &fromPacked}) {
            const LabelRecord sale = plan->label(2, {});
            QCOMPARE(QStringList({sale.product, sale.price, sale.taxRate, sale.salePrice,
                                  sale.regularPrice, sale.saleFrom, sale.saleTo}),
                     QStringList({"品3", "100", "8", "128", "158", "2026-12-14", "2026-12-20"}));
            QCOMPARE(plan->label(0, {}),
                     (LabelRecord{"4901234567894", "M", "品1", "S", "L", "100"}));
        }
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

    // A list's rate goes onto the label only where it differs from the layout's default: a
    // label without one follows the layout, as one set in the editor does. What the label
    // stores, and the rate its price is printed with.
    void ratesOnTheLabels_data() {
        QTest::addColumn<int>("layoutRate");
        QTest::addColumn<int>("listRate");  // 0: the list does not say
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("printed");
        QTest::newRow("10 % layout, no rate") << 10 << 0 << "" << 10;
        QTest::newRow("10 % layout, 8 %") << 10 << 8 << "8" << 8;
        QTest::newRow("10 % layout, 10 %") << 10 << 10 << "" << 10;
        QTest::newRow("8 % layout, no rate") << 8 << 0 << "" << 8;
        QTest::newRow("8 % layout, 8 %") << 8 << 8 << "" << 8;
        QTest::newRow("8 % layout, 10 %") << 8 << 10 << "10" << 10;
    }

    void ratesOnTheLabels() {
        QFETCH(int, layoutRate);
        QFETCH(int, listRate);
        QFETCH(QString, stored);
        QFETCH(int, printed);
        std::vector<ProductRow> rows = numbered(1);
        if (listRate != 0) {
            rows[0].taxRate = listRate;
        }
        SheetState base;
        base.layout.defaultTaxRate = layoutRate;
        const SheetState sheet = SheetPlan(planRowsOf(rows), 1).sheet(0, base);
        QCOMPARE(sheet.taxRate[1], stored);
        QCOMPARE(taxRateOf(sheet, 1), printed);
    }
};

QTEST_APPLESS_MAIN(TestListSheets)
#include "tst_listsheets.moc"
