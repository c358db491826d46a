// The label rules without the window: navigation bounds, copy, delete, insert, the previous
// candidate and copy-to-all, and the JAN field's check-digit completion.
#include <QTest>

#include "JanCompletion.h"
#include "LabelCommands.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::LabelRecord)

namespace {

// A record that says which label it came from, e.g. "J7" "M7" ... "P7".
LabelRecord recordOf(int n) {
    const QString s = QString::number(n);
    return {QLatin1Char('J') + s, QLatin1Char('M') + s, QLatin1Char('N') + s,
            QLatin1Char('S') + s, QLatin1Char('L') + s, QLatin1Char('P') + s};
}

SheetState fullSheet() {
    SheetState sheet;
    for (int n = 1; n <= kLabelCount; ++n) {
        sheet.setLabel(n, recordOf(n));
    }
    return sheet;
}

// Which original label each label holds now (0 for an empty one), e.g. "1 2 3 4 6 7 ... 0".
QString origins(const SheetState& sheet) {
    QStringList out;
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString product = sheet.productText[n];
        out << (sheet.label(n).isBlank() ? QStringLiteral("0") : product.mid(1));
    }
    return out.join(QLatin1Char(' '));
}

QString sequence(std::initializer_list<int> labels) {
    QStringList out;
    for (int n : labels) {
        out << QString::number(n);
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

class TestLabelCommands : public QObject {
    Q_OBJECT

private slots:
    void navigationStopsAtTheEnds();
    void deleteCloses_data();
    void deleteCloses();
    void insertOpens_data();
    void insertOpens();
    void insertRefusedWhileLabel21HoldsAnyText_data();
    void insertRefusedWhileLabel21HoldsAnyText();
    void copyPrevious_data();
    void copyPrevious();
    void threeCopiesFromLabel2();
    void earlierItemWalksBack();
    void copyFirstToAll();
    void checkDigitCompletion_data();
    void checkDigitCompletion();
};

void TestLabelCommands::navigationStopsAtTheEnds() {
    SheetState sheet;
    sheet.currentLabel = 21;
    labels::goNext(sheet);
    QCOMPARE(sheet.currentLabel, 21);
    sheet.currentLabel = 1;
    labels::goPrevious(sheet);
    QCOMPARE(sheet.currentLabel, 1);
    labels::goLast(sheet);
    QCOMPARE(sheet.currentLabel, 21);
    labels::goPrevious(sheet);
    QCOMPARE(sheet.currentLabel, 20);
    labels::goFirst(sheet);
    QCOMPARE(sheet.currentLabel, 1);
}

void TestLabelCommands::deleteCloses_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("expected");
    QTest::newRow("label 5") << 5 << sequence({1,  2,  3,  4,  6,  7,  8,  9,  10, 11, 12,
                                               13, 14, 15, 16, 17, 18, 19, 20, 21, 0});
    QTest::newRow("label 15") << 15 << sequence({1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                                 12, 13, 14, 16, 17, 18, 19, 20, 21, 0});
    QTest::newRow("label 21") << 21 << sequence({1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                                 12, 13, 14, 15, 16, 17, 18, 19, 20, 0});
    QTest::newRow("label 1") << 1 << sequence({2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                               13, 14, 15, 16, 17, 18, 19, 20, 21, 0});
}

void TestLabelCommands::deleteCloses() {
    QFETCH(int, current);
    QFETCH(QString, expected);
    SheetState sheet = fullSheet();
    sheet.currentLabel = current;
    labels::deleteCurrent(sheet);
    QCOMPARE(origins(sheet), expected);
    QCOMPARE(sheet.currentLabel, current);
    // All six texts moved together.
    QCOMPARE(sheet.label(current), current == 21 ? LabelRecord{} : recordOf(current + 1));
}

void TestLabelCommands::insertOpens_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("filled");  // labels 1..filled hold texts
    QTest::addColumn<QString>("expected");
    QTest::newRow("label 3 of 20")
        << 3 << 20
        << sequence({1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    QTest::newRow("label 21, empty")
        << 21 << 20
        << sequence({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 0});
    QTest::newRow("label 1 of 2") << 1 << 2 << sequence({0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0,
                                                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

void TestLabelCommands::insertOpens() {
    QFETCH(int, current);
    QFETCH(int, filled);
    QFETCH(QString, expected);
    SheetState sheet;
    for (int n = 1; n <= filled; ++n) {
        sheet.setLabel(n, recordOf(n));
    }
    sheet.currentLabel = current;
    QVERIFY(labels::canInsert(sheet));
    labels::insertEmpty(sheet);
    QCOMPARE(origins(sheet), expected);
    QCOMPARE(sheet.currentLabel, current);
}

void TestLabelCommands::insertRefusedWhileLabel21HoldsAnyText_data() {
    QTest::addColumn<LabelRecord>("label21");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("empty") << LabelRecord{} << true;
    QTest::newRow("product name") << LabelRecord{{}, {}, QStringLiteral("品"), {}, {}, {}} << false;
    // Without a product name these would have been pushed off the sheet unnoticed.
    QTest::newRow("JAN code only")
        << LabelRecord{QStringLiteral("4901234567894"), {}, {}, {}, {}, {}} << false;
    QTest::newRow("price only") << LabelRecord{{}, {}, {}, {}, {}, QStringLiteral("100")} << false;
    QTest::newRow("blank maker") << LabelRecord{{}, QStringLiteral(" "), {}, {}, {}, {}} << false;
}

void TestLabelCommands::insertRefusedWhileLabel21HoldsAnyText() {
    QFETCH(LabelRecord, label21);
    QFETCH(bool, allowed);
    SheetState sheet;
    sheet.setLabel(kLabelCount, label21);
    QCOMPARE(labels::canInsert(sheet), allowed);
}

void TestLabelCommands::copyPrevious_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<LabelRecord>("previous");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<bool>("copied");

    const LabelRecord full = recordOf(9);
    const LabelRecord noProduct{
        QStringLiteral("4901234567894"), {}, {}, {}, {}, QStringLiteral("98")};
    QTest::newRow("at label 1") << 1 << full << int(labels::CopyOutcome::AtFirstLabel) << 1
                                << false;
    QTest::newRow("previous without product name")
        << 6 << noProduct << int(labels::CopyOutcome::PreviousEmpty) << 6 << false;
    QTest::newRow("label 21 stays") << 21 << full << int(labels::CopyOutcome::Copied) << 21 << true;
    QTest::newRow("moves on") << 7 << full << int(labels::CopyOutcome::Copied) << 8 << true;
}

void TestLabelCommands::copyPrevious() {
    QFETCH(int, current);
    QFETCH(LabelRecord, previous);
    QFETCH(int, outcome);
    QFETCH(int, currentAfter);
    QFETCH(bool, copied);
    SheetState sheet;
    if (current > 1) {
        sheet.setLabel(current - 1, previous);
    }
    sheet.currentLabel = current;
    QCOMPARE(int(labels::copyPrevious(sheet)), outcome);
    QCOMPARE(sheet.currentLabel, currentAfter);
    QCOMPARE(sheet.label(current) == previous, copied);
}

void TestLabelCommands::threeCopiesFromLabel2() {
    SheetState sheet;
    sheet.setLabel(1, recordOf(1));
    sheet.currentLabel = 2;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(labels::copyPrevious(sheet), labels::CopyOutcome::Copied);
    }
    QCOMPARE(origins(sheet),
             sequence({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(sheet.currentLabel, 5);
}

void TestLabelCommands::earlierItemWalksBack() {
    SheetState sheet = fullSheet();
    sheet.currentLabel = 4;
    sheet.focusLabel = 4;
    sheet.activeField = QStringLiteral("2");
    QCOMPARE(labels::takeEarlierItem(sheet), std::optional<QString>(QStringLiteral("M3")));
    QCOMPARE(labels::takeEarlierItem(sheet), std::optional<QString>(QStringLiteral("M2")));
    QCOMPARE(labels::takeEarlierItem(sheet), std::optional<QString>(QStringLiteral("M1")));
    QCOMPARE(labels::takeEarlierItem(sheet), std::nullopt);
    QCOMPARE(sheet.makerText[4], QStringLiteral("M1"));
    QCOMPARE(sheet.productText[4], QStringLiteral("N4"));  // other items untouched

    sheet.activeField = QStringLiteral("5");  // the price field never arms it
    sheet.focusLabel = 4;
    QCOMPARE(labels::takeEarlierItem(sheet), std::nullopt);
    QCOMPARE(sheet.focusLabel, 4);
}

void TestLabelCommands::copyFirstToAll() {
    SheetState sheet = fullSheet();
    sheet.janWork[3] = QStringLiteral("stale");
    labels::copyFirstToAll(sheet);
    for (int n = 1; n <= kLabelCount; ++n) {
        QCOMPARE(sheet.label(n), recordOf(1));
    }
    QVERIFY(sheet.janWork[3].isEmpty());

    sheet.setLabel(1, {});
    labels::copyFirstToAll(sheet);
    QCOMPARE(origins(sheet),
             sequence({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
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
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("full-width digits count as 0") << QStringLiteral("４９０１２３４５６７８９０")
                                                  << QStringLiteral("４９０１２３４５６７８９0");
}

void TestLabelCommands::checkDigitCompletion() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(completeJanCheckDigit(typed), stored);
}

QTEST_APPLESS_MAIN(TestLabelCommands)
#include "tst_labelcommands.moc"
