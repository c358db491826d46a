#include "RecordingTarget.h"

#include <algorithm>
#include <utility>

namespace zukaro::draw {

RecordingTarget::RecordingTarget(bool printer, PixelPitch pitch)
    : printer_(printer), pitch_(pitch) {}

std::vector<RecordingTarget::Op> RecordingTarget::opsOf(Kind kind) const {
    std::vector<Op> out;
    std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
                 [kind](const Op& op) { return op.kind == kind; });
    return out;
}

void RecordingTarget::record(Kind kind, double x1, double y1, double x2, double y2, WinColor color,
                             std::string text) {
    Op op;
    op.kind = kind;
    op.mode = mode_;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.color = color;
    op.text = std::move(text);
    op.font = font_;
    op.fillStyle = fill_;
    op.lineWidth = lineWidth_;
    ops_.push_back(std::move(op));
}

void RecordingTarget::clear() {
    record(Kind::Clear, 0, 0, 0, 0, kWhite);
    x_ = 0;
    y_ = 0;
}

void RecordingTarget::drawBox(double x1, double y1, double x2, double y2, WinColor color) {
    record(Kind::Box, x1, y1, x2, y2, color);
}

void RecordingTarget::fillBox(double x1, double y1, double x2, double y2, WinColor color) {
    record(Kind::FilledBox, x1, y1, x2, y2, color);
}

void RecordingTarget::drawLine(double x1, double y1, double x2, double y2, WinColor color) {
    record(Kind::Line, x1, y1, x2, y2, color);
}

double RecordingTarget::textWidth(const std::string& utf8) {
    double ems = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        // U+FF61..U+FF9F (half-width katakana) is EF BD A1 .. EF BE 9F in UTF-8.
        const bool halfKana = length == 3 && lead == 0xEF && i + 1 < utf8.size() &&
                              (static_cast<unsigned char>(utf8[i + 1]) == 0xBD ||
                               static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
        ems += length == 1 || halfKana ? 0.5 : 1.0;
        i += length;
    }
    const UnitSize unit = twipsPerUnit(mode_);
    const double twips = ems * font_.size * 20.0;
    return unit.x > 0 ? twips / unit.x : twips / pitch_.x;
}

void RecordingTarget::printText(const std::string& utf8) {
    record(Kind::Text, x_, y_, x_, y_, fore_, utf8);
    const UnitSize unit = twipsPerUnit(mode_);
    const double lineTwips = font_.size * kLineTwipsPerPoint;
    x_ = 0;
    y_ += unit.y > 0 ? lineTwips / unit.y : lineTwips / pitch_.y;
}

}  // namespace zukaro::draw
