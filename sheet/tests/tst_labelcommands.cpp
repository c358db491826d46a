// The label rules without the window: navigation bounds, copy, delete, insert, copy-to-all
// and the JAN field's check-digit completion.
#include <QTest>

#include "JanCompletion.h"
#include "LabelCommands.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::LabelRecord)

namespace {

// A record that says which label it came from: "J7", "M7", "N7", ...
LabelRecord recordOf(int n) {
    const QString s = QString::number(n);
    return {u'J' + s, u'M' + s, u'N' + s, u'S' + s, u'L' + s, u'P' + s};
}

SheetState sheetWith(int filled) {
    SheetState sheet;
    for (int n = 1; n <= filled; ++n) {
        sheet.setLabel(n, recordOf(n));
    }
    return sheet;
}

// Which original label each label holds now, 0 for an empty one: "1 2 3 4 6 ... 0".
QString origins(const SheetState& sheet) {
    QStringList out;
    for (int n = 1; n <= kLabelCount; ++n) {
        out << (sheet.label(n).isBlank() ? QStringLiteral("0") : sheet.productText[n].mid(1));
    }
    return out.join(u' ');
}

}  // namespace

class TestLabelCommands : public QObject {
    Q_OBJECT

private slots:
    void deleteAndInsert_data();
    void deleteAndInsert();
    void copyPrevious_data();
    void copyPrevious();
    void copyFirstToAll();
    void checkDigitCompletion_data();
    void checkDigitCompletion();
};

void TestLabelCommands::deleteAndInsert_data() {
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("filled");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("after");
    QTest::newRow("delete 5 of 21")
        << false << 21 << 5 << "1 2 3 4 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 0";
    QTest::newRow("delete 15 of 21")
        << false << 21 << 15 << "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 17 18 19 20 21 0";
    QTest::newRow("delete 21") << false << 21 << 21
                               << "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 0";
    QTest::newRow("insert at 3") << true << 20 << 3
                                 << "1 2 0 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20";
    QTest::newRow("insert at 21") << true << 20 << 21
                                  << "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 0";
}

void TestLabelCommands::deleteAndInsert() {
    QFETCH(bool, insert);
    QFETCH(int, filled);
    QFETCH(int, current);
    QFETCH(QString, after);
    SheetState sheet = sheetWith(filled);
    sheet.currentLabel = current;
    if (insert) {
        QVERIFY(labels::canInsert(sheet));
        labels::insertEmpty(sheet);
    } else {
        labels::deleteCurrent(sheet);
    }
    QCOMPARE(origins(sheet), after);
    QCOMPARE(sheet.currentLabel, current);
    // All six texts move together.
    if (!insert && current < 21) {
        QCOMPARE(sheet.label(current), recordOf(current + 1));
    }
}

void TestLabelCommands::copyPrevious_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<LabelRecord>("previous");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("currentAfter");
    const LabelRecord noProduct{u"4901234567894"_qs, {}, {}, {}, {}, u"98"_qs};
    QTest::newRow("at label 1") << 1 << recordOf(9) << int(labels::CopyOutcome::AtFirstLabel) << 1;
    QTest::newRow("previous without product name")
        << 6 << noProduct << int(labels::CopyOutcome::PreviousEmpty) << 6;
    QTest::newRow("label 21 stays") << 21 << recordOf(9) << int(labels::CopyOutcome::Copied) << 21;
}

void TestLabelCommands::copyPrevious() {
    QFETCH(int, current);
    QFETCH(LabelRecord, previous);
    QFETCH(int, outcome);
    QFETCH(int, currentAfter);
    SheetState sheet;
    if (current > 1) {
        sheet.setLabel(current - 1, previous);
    }
    sheet.currentLabel = current;
    QCOMPARE(int(labels::copyPrevious(sheet)), outcome);
    QCOMPARE(sheet.currentLabel, currentAfter);
    QCOMPARE(sheet.label(current) == previous, outcome == int(labels::CopyOutcome::Copied));
}

void TestLabelCommands::copyFirstToAll() {
    SheetState sheet = sheetWith(21);
    sheet.janWork[3] = u"stale"_qs;
    labels::copyFirstToAll(sheet);
    QCOMPARE(origins(sheet), QString(u"1 "_qs.repeated(20) + u'1'));
    QVERIFY(sheet.janWork[3].isEmpty());
    sheet.setLabel(1, {});
    labels::copyFirstToAll(sheet);
    QCOMPARE(origins(sheet), QString(u"0 "_qs.repeated(20) + u'0'));
}

void TestLabelCommands::checkDigitCompletion_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("EAN-13 corrected") << "4901234567890"
                                      << "4901234567894";
    QTest::newRow("EAN-13 kept") << "4901234567894"
                                 << "4901234567894";
    QTest::newRow("EAN-8 corrected") << "49123450"
                                     << "49123456";
    QTest::newRow("letters count as 0") << "ABCDEFGHIJKL9"
                                        << "ABCDEFGHIJKL0";
    QTest::newRow("12 characters unchanged") << "490123456789"
                                             << "490123456789";
    QTest::newRow("full-width digits count as 0")
        << u"４９０１２３４５６７８９０"_qs << u"４９０１２３４５６７８９0"_qs;
}

void TestLabelCommands::checkDigitCompletion() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(completeJanCheckDigit(typed), stored);
}

QTEST_APPLESS_MAIN(TestLabelCommands)
#include "tst_labelcommands.moc"
