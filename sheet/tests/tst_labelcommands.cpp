// The label rules without the window: delete, insert, copy, copy-to-all and the JAN field's
// check-digit completion.
#include <QTest>

#include "JanCompletion.h"
#include "LabelCommands.h"

using namespace zukaro;

namespace {

// A record that says which label it came from: "J7", "M7", "N7", ..., tax rate "7".
LabelRecord recordOf(int n) {
    const QString s = QString::number(n);
    return {u'J' + s, u'M' + s, u'N' + s, u'S' + s, u'L' + s, u'P' + s, s};
}

// Which original label each label holds now, up to the last one not blank (0 for a blank one,
// ? for any other texts), then the current label: "1 2 3 4 6 @5".
QString origins(const SheetState& sheet) {
    QStringList out;
    for (int n = 1; n <= kLabelCount; ++n) {
        const int k = sheet.janText[n].mid(1).toInt();
        out << (sheet.label(n).isBlank()        ? u"0"_qs
                : sheet.label(n) == recordOf(k) ? QString::number(k)
                                                : u"?"_qs);
    }
    while (out.endsWith(u"0"_qs)) {
        out.removeLast();
    }
    return (out << '@' + QString::number(sheet.currentLabel)).join(u' ');
}

}  // namespace

class TestLabelCommands : public QObject {
    Q_OBJECT

private slots:
    // Labels 1 to `filled` as they came (the last without its product name when negative),
    // commands run at label `current`: what the labels hold then, the current label and a copy's
    // outcome.
    void commands_data() {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* commands, int filled, int current, const char* after) {
            QTest::addRow("%s at %d of %d", commands, current, filled)
                << QString(commands) << filled << current << QString(after);
        };
        row("delete", 21, 5, "1 2 3 4 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 @5");
        row("delete", 21, 21, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 @21");
        row("insert", 20, 3, "1 2 0 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 @3");
        row("insert", 20, 21, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 @21");
        row("copy", 3, 1, "1 2 3 @1 at first label");
        row("copy", -3, 4, "1 2 ? @4 previous empty");
        row("copy", 3, 4, "1 2 3 3 @5 copied");
        row("copy", 20, 21, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 20 @21 copied");
        row("copy to all", 21, 7, "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 @7");
        row("clear,copy to all", 21, 1, "@1");  // label 1's texts, even none
    }

    void commands() {
        QFETCH(QString, commands);
        QFETCH(int, filled);
        QFETCH(int, current);
        QFETCH(QString, after);
        SheetState sheet;
        for (int n = 1; n <= std::abs(filled); ++n) {
            sheet.setLabel(n, recordOf(n));
        }
        sheet.productText[std::abs(filled)] = filled < 0 ? "" : sheet.productText[filled];
        sheet.currentLabel = current;
        const char* outcomes[] = {" at first label", " previous empty", " copied"};
        QString outcome;
        for (const QString& command : commands.split(u',')) {
            if (command == "delete") {
                labels::deleteCurrent(sheet);
            } else if (command == "insert") {
                QVERIFY(labels::canInsert(sheet));
                labels::insertEmpty(sheet);
            } else if (command == "copy") {
                outcome = outcomes[int(labels::copyPrevious(sheet))];
            } else {
                command == "clear" ? labels::clearCurrent(sheet) : labels::copyFirstToAll(sheet);
            }
        }
        QCOMPARE(origins(sheet) + outcome, after);
    }

    // A 13- or 8-character text gets its check digit; anything but 0 to 9 counts as 0. Twelve
    // and seven digits (GS1's own examples: 4901234567894 and 49123456) get theirs added; twelve
    // characters that are not all digits, and eleven, stay as they are.
    void checkDigitCompletion() {
        QStringList stored;
        for (const QString& typed :
             {u"4901234567890"_qs, u"49123450"_qs, u"ABCDEFGHIJKL9"_qs, u"490123456789"_qs,
              u"4912345"_qs, u"4512345678900"_qs, u"451234567890"_qs, u"49012345678X"_qs,
              u"49012345678"_qs, u"４９０１２３４５６７８９０"_qs}) {
            stored << completeJanCheckDigit(typed);
        }
        QCOMPARE(stored.join(u' '),
                 u"4901234567894 49123456 ABCDEFGHIJKL0 4901234567894 49123456 4512345678906 "
                 "4512345678906 49012345678X 49012345678 ４９０１２３４５６７８９0"_qs);
        QCOMPARE(janBarsProblem(u"490123456789"_qs), u"チェックデジットがありません"_qs);
        QCOMPARE(checkDigitNote(u"490123456789"_qs, u"4901234567894"_qs),
                 u"チェックデジット 4 を付けました。"_qs);
    }
};

QTEST_APPLESS_MAIN(TestLabelCommands)
#include "tst_labelcommands.moc"
