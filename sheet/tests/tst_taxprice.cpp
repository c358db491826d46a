// Prices with consumption tax: typed prices read as whole yen, totals rounded three ways at
// 10 % and the reduced 8 % (worked out by hand), and amounts with separators.
#include <QTest>

#include "TaxPrice.h"

using namespace zukaro;

Q_DECLARE_METATYPE(zukaro::TaxRounding)

class TestTaxPrice : public QObject {
    Q_OBJECT

private slots:
    void wholeYen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("yen");  // -1: not whole yen, printed as typed
        QTest::newRow("plain") << "398" << qint64{398};
        QTest::newRow("blanks and full-width digits") << " １２８０　" << qint64{1280};
        QTest::newRow("separators") << "1,280,000" << qint64{1280000};
        QTest::newRow("full-width comma") << "1，280" << qint64{1280};
        QTest::newRow("zero") << "0" << qint64{0};
        QTest::newRow("separator misplaced") << "12,80" << qint64{-1};
        QTest::newRow("first group too long") << "1280,000" << qint64{-1};
        QTest::newRow("sen") << "398.5" << qint64{-1};
        QTest::newRow("a word") << "オープン" << qint64{-1};
        QTest::newRow("negative") << "-5" << qint64{-1};
        QTest::newRow("empty") << "" << qint64{-1};
        QTest::newRow("thirteen digits") << "1234567890123" << qint64{-1};
    }

    void wholeYen() {
        QFETCH(QString, typed);
        QFETCH(qint64, yen);
        QCOMPARE(zukaro::wholeYen(typed).value_or(-1), yen);
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

    void yenAmount() {
        QCOMPARE(zukaro::yenAmount(1280, true), "1,280");
        QCOMPARE(zukaro::yenAmount(1000000, true), "1,000,000");
        QCOMPARE(zukaro::yenAmount(999, true), "999");
        QCOMPARE(zukaro::yenAmount(109998, false), "109998");
    }
};

QTEST_APPLESS_MAIN(TestTaxPrice)
#include "tst_taxprice.moc"
