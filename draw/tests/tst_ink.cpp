// Ink on ink: outlines filled by the nonzero rule, as glyphs are, compared exactly.
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
    void touches_data() {
        QTest::addColumn<Ink>("a");
        QTest::addColumn<Ink>("b");
        QTest::addColumn<double>("gap");
        QTest::addColumn<bool>("touch");
        const Ink unit = glyph({square(0, 0, 1)});
        // A ring: its hole runs the other way, as in 口.
        const Ink ring = glyph({square(0, 0, 10), square(2, 2, 6, false)});
        QTest::newRow("apart") << unit << glyph({square(2, 0, 1)}) << 0.0 << false;
        QTest::newRow("within the gap") << unit << glyph({square(2, 0, 1)}) << 1.01 << true;
        QTest::newRow("just outside the gap") << unit << glyph({square(2, 0, 1)}) << 0.99 << false;
        QTest::newRow("overlapping corners") << unit << glyph({square(0.5, 0.5, 1)}) << 0.0 << true;
        QTest::newRow("boxes overlap, strokes do not: a diagonal")
            << glyph({{{0, 0}, {1, 0}, {0, 1}}}) << glyph({{{1, 1}, {1, 0.2}, {0.2, 1}}}) << 0.0
            << false;
        QTest::newRow("wholly inside")
            << glyph({square(0, 0, 10)}) << glyph({square(4, 4, 1)}) << 0.0 << true;
        QTest::newRow("in the hole of a ring") << ring << glyph({square(4, 4, 1)}) << 0.0 << false;
        QTest::newRow("in the hole, near its edge")
            << ring << glyph({square(4, 4, 1)}) << 2.5 << true;
        QTest::newRow("an inner contour the same way round fills")
            << glyph({square(0, 0, 10), square(2, 2, 6)}) << glyph({square(4, 4, 1)}) << 0.0
            << true;
        QTest::newRow("bold strokes reach across")
            << glyph({square(0, 0, 1)}, 0, 0, 0.2) << glyph({square(1.3, 0, 1)}, 0, 0, 0.2) << 0.0
            << true;
        QTest::newRow("placed and scaled")
            << glyph({square(0, 0, 1)}, 5, 5) << glyph({square(5.5, 5.5, 1)}) << 0.0 << true;
    }

    void touches() {
        QFETCH(Ink, a);
        QFETCH(Ink, b);
        QFETCH(double, gap);
        QFETCH(bool, touch);
        QCOMPARE(a.touches(b, gap), touch);
        QCOMPARE(b.touches(a, gap), touch);
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
