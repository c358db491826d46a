// Ink on ink: outlines filled by the nonzero rule, as glyphs are, compared exactly; and ink in
// another text's ink extent, the box around all its ink.
#include <QTest>
#include <algorithm>

#include "Ink.h"

using namespace zukaro::draw;

namespace {

using Contour = std::vector<InkPoint>;

// A square's contour, clockwise on the page (y down), or the other way round.
Contour square(double x, double y, double side, bool clockwise = true) {
    Contour c{{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
    if (!clockwise) {
        std::reverse(c.begin(), c.end());
    }
    return c;
}

// A glyph of one em (1 mm here) made of `contours`, placed at (x, y).
Ink glyph(std::vector<Contour> contours, double x = 0, double y = 0, double spread = 0) {
    auto outline = std::make_shared<GlyphOutline>();
    outline->contours = std::move(contours);
    for (const Contour& c : outline->contours) {
        for (const InkPoint& p : c) {
            outline->box = outline->box.united({p.x, p.y, p.x, p.y});
        }
    }
    Ink ink;
    ink.addGlyph(outline, x, y, 1);
    ink.setSpread(spread);
    return ink;
}

}  // namespace

Q_DECLARE_METATYPE(Ink)

class TestInk : public QObject {
    Q_OBJECT

private slots:
    // Whether the strokes touch, and whether either's ink lies in the other's extent (crowds):
    // a small text in a big one's gap touches nothing and still crowds it.
    void touches_data() {
        QTest::addColumn<Ink>("a");
        QTest::addColumn<Ink>("b");
        QTest::addColumn<double>("gap");
        QTest::addColumn<bool>("touch");
        QTest::addColumn<bool>("crowd");
        const Ink unit = glyph({square(0, 0, 1)});
        // A ring: its hole runs the other way, as in 口.
        const Ink ring = glyph({square(0, 0, 10), square(2, 2, 6, false)});
        // Two strokes with a gap between them, as 「2,」 and 「894」 of one price.
        const Ink split = glyph({square(0, 0, 1), square(3, 0, 1)});
        QTest::newRow("apart") << unit << glyph({square(2, 0, 1)}) << 0.0 << false << false;
        QTest::newRow("within the gap") << unit << glyph({square(2, 0, 1)}) << 1.01 << true << true;
        QTest::newRow("just outside the gap")
            << unit << glyph({square(2, 0, 1)}) << 0.99 << false << false;
        QTest::newRow("overlapping corners")
            << unit << glyph({square(0.5, 0.5, 1)}) << 0.0 << true << true;
        QTest::newRow("boxes overlap, strokes do not: a diagonal")
            << glyph({{{0, 0}, {1, 0}, {0, 1}}}) << glyph({{{1, 1}, {1, 0.2}, {0.2, 1}}}) << 0.0
            << false << true;
        QTest::newRow("wholly inside")
            << glyph({square(0, 0, 10)}) << glyph({square(4, 4, 1)}) << 0.0 << true << true;
        QTest::newRow("in the hole of a ring")
            << ring << glyph({square(4, 4, 1)}) << 0.0 << false << true;
        QTest::newRow("in the hole, near its edge")
            << ring << glyph({square(4, 4, 1)}) << 2.5 << true << true;
        QTest::newRow("an inner contour the same way round fills")
            << glyph({square(0, 0, 10), square(2, 2, 6)}) << glyph({square(4, 4, 1)}) << 0.0 << true
            << true;
        QTest::newRow("bold strokes reach across")
            << glyph({square(0, 0, 1)}, 0, 0, 0.2) << glyph({square(1.3, 0, 1)}, 0, 0, 0.2) << 0.0
            << true << true;
        QTest::newRow("placed and scaled") << glyph({square(0, 0, 1)}, 5, 5)
                                           << glyph({square(5.5, 5.5, 1)}) << 0.0 << true << true;
        QTest::newRow("in the gap between two strokes")
            << split << glyph({square(1.5, 0.25, 0.5)}) << 0.0 << false << true;
        QTest::newRow("above the gap, clear of its extent by more than the gap")
            << split << glyph({square(1.5, -1.1, 0.5)}) << 0.5 << false << false;
        QTest::newRow("above the gap, within the gap of its extent")
            << split << glyph({square(1.5, -0.9, 0.5)}) << 0.5 << false << true;
        QTest::newRow("a bold stroke's spread reaches into the extent")
            << split << glyph({square(1.5, -0.7, 0.5)}, 0, 0, 0.25) << 0.0 << false << true;
    }

    void touches() {
        QFETCH(Ink, a);
        QFETCH(Ink, b);
        QFETCH(double, gap);
        QFETCH(bool, touch);
        QFETCH(bool, crowd);
        QCOMPARE(a.touches(b, gap), touch);
        QCOMPARE(b.touches(a, gap), touch);
        QCOMPARE(crowds(a, b, gap), crowd);
        QCOMPARE(crowds(b, a, gap), crowd);
    }

    // An underline is ink too, from the pen's start to its end.
    void boxesAndBounds() {
        Ink line;
        line.addBox({0, 5, 20, 5.2});
        QVERIFY(line.touches(glyph({square(10, 4, 2)})));
        QVERIFY(!line.touches(glyph({square(10, 6, 2)})));
        line.moveBy(1, 1);
        const InkBox b = line.bounds();
        QCOMPARE(QList<double>({b.left, b.top, b.right, b.bottom}), QList<double>({1, 6, 21, 6.2}));
        QVERIFY(Ink().bounds().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestInk)
#include "tst_ink.moc"
