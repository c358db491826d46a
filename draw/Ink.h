#pragma once

#include <memory>
#include <vector>

// Where a text's ink lands on the paper: the outlines of its glyphs, not the box it is laid
// out in. The box of a 48-pt price reaches a millimetre into the product name's box above it
// with paper still between their strokes; overprinting is decided on the outlines. Plain C++:
// the outlines come from the fonts through FontInk (draw_qt), the renderer only compares.
namespace zukaro::draw {

struct InkPoint {
    double x = 0;
    double y = 0;
};

struct InkBox {
    double left = 0;
    double top = 0;
    double right = -1;  // right < left: no box at all
    double bottom = -1;

    bool isEmpty() const { return right < left || bottom < top; }
    bool intersects(const InkBox& other) const;
    bool contains(const InkBox& other) const;
    InkBox grownBy(double by) const;
    InkBox united(const InkBox& other) const;
};

// One glyph's outline in ems: the pen at x = 0, the top of the text line at y = 0, y downwards.
// Closed contours, filled by the nonzero winding rule, as TrueType and OpenType glyphs are.
struct GlyphOutline {
    std::vector<std::vector<InkPoint>> contours;
    InkBox box;  // of all contours; empty for a glyph without ink (a space)
};

// The ink of one text (glyphs and underline) in millimetres.
class Ink {
public:
    // A glyph drawn with an em of `em` millimetres, its pen at (x, y).
    void addGlyph(std::shared_ptr<const GlyphOutline> glyph, double x, double y, double em);
    // A filled rectangle, such as an underline.
    void addBox(const InkBox& box);
    // Strokes this much thicker on every side than their outlines (a bold face made from a
    // regular one).
    void setSpread(double mm) { spread_ = mm; }
    void moveBy(double dx, double dy);

    bool isEmpty() const { return parts_.empty(); }
    // Where ink can be, spread included; an empty box when there is none.
    InkBox bounds() const;

    // True when some ink of the two lies closer together than `gap` millimetres; with no gap,
    // when their strokes overlap (touching counts).
    bool touches(const Ink& other, double gap = 0) const;
    // True when some ink lies inside the box or closer to it than `gap` millimetres.
    bool reaches(const InkBox& box, double gap = 0) const;

private:
    struct Part {
        std::shared_ptr<const GlyphOutline> glyph;  // null: `box` itself is the ink
        double x = 0, y = 0, em = 0;
        InkBox box;  // in millimetres, without the spread
    };
    static bool partsTouch(const Part& a, const Part& b, double reach);
    static std::vector<std::vector<InkPoint>> contoursOf(const Part& part);

    std::vector<Part> parts_;
    double spread_ = 0;
};

// The rule between two texts on a label: neither's ink lies in the other's ink extent (the box
// around all its ink) or closer to it than `gap`. Stricter than touching, and meant to be: a
// spec in the gap between a price's 「2,」 and 「894」 touches no ink and reads as part of the
// price.
bool crowds(const Ink& a, const Ink& b, double gap = 0);

// The distance between the segments a0-a1 and b0-b1; 0 when they cross or touch.
double segmentDistance(InkPoint a0, InkPoint a1, InkPoint b0, InkPoint b1);

// True when `p` lies inside the contours by the nonzero winding rule.
bool insideContours(InkPoint p, const std::vector<std::vector<InkPoint>>& contours);

}  // namespace zukaro::draw
