#include <QTest>

#include "SheetState.h"

using namespace zukaro;

class TestSheetState : public QObject {
    Q_OBJECT

private slots:
    void clearAllLabelsTouchesOnlyTheTexts();
    void gridPositions_data();
    void gridPositions();
};

void TestSheetState::clearAllLabelsTouchesOnlyTheTexts() {
    SheetState sheet;
    for (int n = 1; n <= kLabelCount; ++n) {
        sheet.setLabel(n, {QString::number(n), QStringLiteral("メーカー"), QStringLiteral("品"),
                           QStringLiteral("規"), QStringLiteral("L"), QStringLiteral("100")});
        sheet.janWork[n] = QStringLiteral("w");
        sheet.priceWork[n] = QStringLiteral("w");
    }
    sheet.currentLabel = 8;
    sheet.fileName = QStringLiteral("/tmp/a.csv");
    sheet.layout.makerY = -3;
    sheet.layout.メーカー表示 = caption::hidden;
    const Layout layoutBefore = sheet.layout;

    sheet.clearAllLabels();

    const SheetState empty;
    for (int n = 1; n <= kLabelCount; ++n) {
        QVERIFY(sheet.label(n).isBlank());
    }
    QCOMPARE(sheet.janWork, empty.janWork);
    QCOMPARE(sheet.priceWork, empty.priceWork);
    QCOMPARE(sheet.currentLabel, 8);
    QCOMPARE(sheet.fileName, QStringLiteral("/tmp/a.csv"));
    QVERIFY(sheet.layout == layoutBefore);
}

void TestSheetState::gridPositions_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::newRow("1") << 1 << 0 << 0;
    QTest::newRow("3") << 3 << 2 << 0;
    QTest::newRow("4 starts row 2") << 4 << 0 << 1;
    QTest::newRow("21 bottom right") << 21 << 2 << 6;
}

void TestSheetState::gridPositions() {
    QFETCH(int, label);
    QFETCH(int, column);
    QFETCH(int, row);
    QCOMPARE(labelColumn(label), column);
    QCOMPARE(labelRow(label), row);
}

QTEST_APPLESS_MAIN(TestSheetState)
#include "tst_sheetstate.moc"
