#include <QTest>

#include "SheetState.h"

using namespace zukaro;

class TestSheetState : public QObject {
    Q_OBJECT

private slots:
    // Emptying the sheet leaves the current label, the file name and the layout alone.
    void clearAllLabelsTouchesOnlyTheTexts() {
        SheetState sheet;
        for (int n = 1; n <= kLabelCount; ++n) {
            sheet.setLabel(n, {u"4901234567894"_qs, u"M"_qs, u"品"_qs, u"S"_qs, u"L"_qs, u"1"_qs});
            sheet.janWork[n] = sheet.priceWork[n] = u"w"_qs;
        }
        sheet.currentLabel = 8;
        sheet.fileName = u"/tmp/a.csv"_qs;
        sheet.layout.makerY = -3;
        const Layout layoutBefore = sheet.layout;

        sheet.clearAllLabels();

        for (int n = 1; n <= kLabelCount; ++n) {
            QVERIFY(sheet.label(n).isBlank());
            QVERIFY(sheet.janWork[n].isEmpty() && sheet.priceWork[n].isEmpty());
        }
        QCOMPARE(sheet.currentLabel, 8);
        QCOMPARE(sheet.fileName, u"/tmp/a.csv"_qs);
        QVERIFY(sheet.layout == layoutBefore);
    }
};

QTEST_APPLESS_MAIN(TestSheetState)
#include "tst_sheetstate.moc"
