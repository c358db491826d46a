#include "RecordingTarget.h"

#include <algorithm>
#include <utility>

namespace zukaro::draw {

RecordingTarget::RecordingTarget(bool printer, PixelPitch pitch) : printer_(printer), pitch_(pitch) {}

std::vector<RecordingTarget::Op> RecordingTarget::opsOf(Kind kind) const {
    std::vector<Op> out;
    std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
                 [kind](const Op& op) { return op.kind == kind; });
    return out;
}

void RecordingTarget::record(Kind kind, double x1, double y1, double x2, double y2,
                             WinColor color, std::string text) {
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

void RecordingTarget::printText(const std::string& utf8) {
    record(Kind::Text, x_, y_, x_, y_, fore_, utf8);
    const UnitSize unit = twipsPerUnit(mode_);
    const double lineTwips = font_.size * kLineTwipsPerPoint;
    x_ = 0;
    y_ += unit.y > 0 ? lineTwips / unit.y : lineTwips / pitch_.y;
}

}  // namespace zukaro::draw
