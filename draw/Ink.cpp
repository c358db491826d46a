#include "Ink.h"

#include <algorithm>
#include <cmath>

namespace zukaro::draw {
namespace {

double cross(InkPoint o, InkPoint a, InkPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool onSegment(InkPoint p, InkPoint a, InkPoint b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

double pointSegmentDistance(InkPoint p, InkPoint a, InkPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

InkBox segmentBox(InkPoint a, InkPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

struct Segment {
    InkPoint a, b;
};

// The edges of `contours` that come within `near` of the box.
std::vector<Segment> edgesNear(const std::vector<std::vector<InkPoint>>& contours,
                               const InkBox& near) {
    std::vector<Segment> out;
    for (const auto& contour : contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const InkPoint a = contour[i], b = contour[(i + 1) % contour.size()];
            if (segmentBox(a, b).intersects(near)) {
                out.push_back({a, b});
            }
        }
    }
    return out;
}

}  // namespace

bool InkBox::intersects(const InkBox& other) const {
    return !isEmpty() && !other.isEmpty() && left <= other.right && other.left <= right &&
           top <= other.bottom && other.top <= bottom;
}

bool InkBox::contains(const InkBox& other) const {
    return other.isEmpty() || (!isEmpty() && left <= other.left && other.right <= right &&
                               top <= other.top && other.bottom <= bottom);
}

InkBox InkBox::grownBy(double by) const {
    return isEmpty() ? *this : InkBox{left - by, top - by, right + by, bottom + by};
}

InkBox InkBox::united(const InkBox& other) const {
    if (isEmpty()) {
        return other;
    }
    if (other.isEmpty()) {
        return *this;
    }
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

double segmentDistance(InkPoint a0, InkPoint a1, InkPoint b0, InkPoint b1) {
    const double d1 = cross(b0, b1, a0), d2 = cross(b0, b1, a1);
    const double d3 = cross(a0, a1, b0), d4 = cross(a0, a1, b1);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        return 0;
    }
    if ((d1 == 0 && onSegment(a0, b0, b1)) || (d2 == 0 && onSegment(a1, b0, b1)) ||
        (d3 == 0 && onSegment(b0, a0, a1)) || (d4 == 0 && onSegment(b1, a0, a1))) {
        return 0;
    }
    return std::min({pointSegmentDistance(a0, b0, b1), pointSegmentDistance(a1, b0, b1),
                     pointSegmentDistance(b0, a0, a1), pointSegmentDistance(b1, a0, a1)});
}

bool insideContours(InkPoint p, const std::vector<std::vector<InkPoint>>& contours) {
    int winding = 0;
    for (const auto& contour : contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const InkPoint a = contour[i], b = contour[(i + 1) % contour.size()];
            if (a.y <= p.y) {
                if (b.y > p.y && cross(a, b, p) > 0) {
                    ++winding;
                }
            } else if (b.y <= p.y && cross(a, b, p) < 0) {
                --winding;
            }
        }
    }
    return winding != 0;
}

void Ink::addGlyph(std::shared_ptr<const GlyphOutline> glyph, double x, double y, double em) {
    if (!glyph || glyph->box.isEmpty()) {
        return;
    }
    const InkBox& b = glyph->box;
    const InkBox box{x + b.left * em, y + b.top * em, x + b.right * em, y + b.bottom * em};
    parts_.push_back({std::move(glyph), x, y, em, box});
}

void Ink::addBox(const InkBox& box) {
    if (!box.isEmpty()) {
        parts_.push_back({nullptr, 0, 0, 0, box});
    }
}

void Ink::moveBy(double dx, double dy) {
    for (Part& part : parts_) {
        part.x += dx;
        part.y += dy;
        part.box = {part.box.left + dx, part.box.top + dy, part.box.right + dx,
                    part.box.bottom + dy};
    }
}

InkBox Ink::bounds() const {
    InkBox all;
    for (const Part& part : parts_) {
        all = all.united(part.box);
    }
    return all.grownBy(spread_);
}

std::vector<std::vector<InkPoint>> Ink::contoursOf(const Part& part) {
    if (!part.glyph) {
        const InkBox& b = part.box;
        return {{{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}}};
    }
    std::vector<std::vector<InkPoint>> out;
    out.reserve(part.glyph->contours.size());
    for (const auto& contour : part.glyph->contours) {
        auto& placed = out.emplace_back();
        placed.reserve(contour.size());
        for (const InkPoint& p : contour) {
            placed.push_back({part.x + p.x * part.em, part.y + p.y * part.em});
        }
    }
    return out;
}

bool Ink::partsTouch(const Part& a, const Part& b, double reach) {
    const auto ca = contoursOf(a), cb = contoursOf(b);
    // Only edges that can come within reach of the other glyph at all.
    const std::vector<Segment> ea = edgesNear(ca, b.box.grownBy(reach));
    const std::vector<Segment> eb = edgesNear(cb, a.box.grownBy(reach));
    for (const Segment& s : ea) {
        const InkBox near = segmentBox(s.a, s.b).grownBy(reach);
        for (const Segment& t : eb) {
            if (segmentBox(t.a, t.b).intersects(near) &&
                segmentDistance(s.a, s.b, t.a, t.b) <= reach) {
                return true;
            }
        }
    }
    // No edges meet: the strokes overlap only when one lies wholly inside the other.
    for (const auto& contour : cb) {
        if (!contour.empty() && insideContours(contour.front(), ca)) {
            return true;
        }
    }
    for (const auto& contour : ca) {
        if (!contour.empty() && insideContours(contour.front(), cb)) {
            return true;
        }
    }
    return false;
}

bool Ink::touches(const Ink& other, double gap) const {
    const double reach = gap + spread_ + other.spread_;
    if (!bounds().grownBy(gap).intersects(other.bounds())) {
        return false;
    }
    for (const Part& a : parts_) {
        const InkBox near = a.box.grownBy(reach);
        for (const Part& b : other.parts_) {
            if (near.intersects(b.box) && partsTouch(a, b, reach)) {
                return true;
            }
        }
    }
    return false;
}

bool Ink::reaches(const InkBox& box, double gap) const {
    Ink filled;
    filled.addBox(box);
    return touches(filled, gap);
}

bool crowds(const Ink& a, const Ink& b, double gap) {
    return a.reaches(b.bounds(), gap) || b.reaches(a.bounds(), gap);
}

}  // namespace zukaro::draw
