#include "PainterTarget.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

#include "FontNames.h"

namespace zukaro::draw {

QColor toQColor(WinColor color) {
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

PainterTarget::PainterTarget(QPainter& painter, bool isPrinter)
    : painter_(painter), printer_(isPrinter) {
    const QPaintDevice* device = painter.device();
    pitch_ = {1440.0 / device->logicalDpiX(), 1440.0 / device->logicalDpiY()};
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

double PainterTarget::pixelsPerUnitX() const {
    const UnitSize unit = twipsPerUnit(mode_);
    return unit.x > 0 ? unit.x / pitch_.x : 1.0;
}

double PainterTarget::pixelsPerUnitY() const {
    const UnitSize unit = twipsPerUnit(mode_);
    return unit.y > 0 ? unit.y / pitch_.y : 1.0;
}

PainterTarget::PixelRect PainterTarget::toPixels(double x1, double y1, double x2, double y2) const {
    const double sx = pixelsPerUnitX();
    const double sy = pixelsPerUnitY();
    // A tiny tolerance keeps values such as 10.999999999 (from unit conversions) on the
    // pixel the caller meant.
    auto pixel = [](double v) { return static_cast<int>(std::floor(v + 1e-9)); };
    const int a = pixel(x1 * sx), b = pixel(x2 * sx);
    const int c = pixel(y1 * sy), d = pixel(y2 * sy);
    return {std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)};
}

void PainterTarget::clear() {
    const QPaintDevice* device = painter_.device();
    painter_.save();
    painter_.resetTransform();
    painter_.fillRect(QRect(0, 0, device->width(), device->height()), Qt::white);
    painter_.restore();
    x_ = 0;
    y_ = 0;
}

void PainterTarget::fillBox(double x1, double y1, double x2, double y2, WinColor color) {
    const PixelRect r = toPixels(x1, y1, x2, y2);
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1),
                      toQColor(color));
}

void PainterTarget::drawBox(double x1, double y1, double x2, double y2, WinColor color) {
    const PixelRect r = toPixels(x1, y1, x2, y2);
    const int w = lineWidth_;
    const QColor c = toQColor(color);
    if (fill_ == FillStyle::Solid) {
        painter_.fillRect(QRect(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1),
                          Qt::black);
    }
    // Outline as four filled strips, w pixels thick, inside the box's pixel columns and rows.
    const int width = r.right - r.left + 1;
    const int height = r.bottom - r.top + 1;
    const int strip = std::min({w, width, height});
    painter_.fillRect(QRect(r.left, r.top, width, strip), c);
    painter_.fillRect(QRect(r.left, r.bottom - strip + 1, width, strip), c);
    painter_.fillRect(QRect(r.left, r.top, strip, height), c);
    painter_.fillRect(QRect(r.right - strip + 1, r.top, strip, height), c);
}

void PainterTarget::drawLine(double x1, double y1, double x2, double y2, WinColor color) {
    const double sx = pixelsPerUnitX();
    const double sy = pixelsPerUnitY();
    QPen pen(toQColor(color));
    pen.setWidth(lineWidth_);
    pen.setCapStyle(Qt::RoundCap);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(std::floor(x1 * sx) + 0.5, std::floor(y1 * sy) + 0.5),
                      QPointF(std::floor(x2 * sx) + 0.5, std::floor(y2 * sy) + 0.5));
}

void PainterTarget::setFontName(const std::string& utf8Name) {
    if (utf8Name != fontName_) {
        fontName_ = utf8Name;
        font_.reset();
    }
}

void PainterTarget::setFontSize(double points) {
    if (points != fontSize_) {
        fontSize_ = points;
        font_.reset();
    }
}

void PainterTarget::setFontBold(bool on) {
    if (on != bold_) {
        bold_ = on;
        font_.reset();
    }
}

void PainterTarget::setFontItalic(bool on) {
    if (on != italic_) {
        italic_ = on;
        font_.reset();
    }
}

void PainterTarget::setFontUnderline(bool on) {
    if (on != underline_) {
        underline_ = on;
        font_.reset();
    }
}

const QFont& PainterTarget::currentFont() {
    if (!font_) {
        QFont font;
        // The Mincho face stays in the list so Japanese text always finds its glyphs.
        font.setFamilies(
            {QString::fromStdString(installedFace(fontName_)), QStringLiteral("IPAMincho")});
        font.setPointSizeF(fontSize_ > 0.1 ? fontSize_ : 0.1);
        font.setBold(bold_);
        font.setItalic(italic_);
        font.setUnderline(underline_);
        font.setKerning(false);
        // On screen the small label texts are smoothed whatever the desktop's font settings
        // say; the printer gets the glyphs as they are.
        if (!printer_) {
            font.setStyleStrategy(QFont::PreferAntialias);
        }
        font_ = font;
        metrics_.emplace(*font_, painter_.device());
    }
    return *font_;
}

double PainterTarget::textWidth(const std::string& utf8) {
    currentFont();
    return metrics_->horizontalAdvance(QString::fromStdString(utf8)) / pixelsPerUnitX();
}

void PainterTarget::printText(const std::string& utf8) {
    const QFont& font = currentFont();
    const double sx = pixelsPerUnitX();
    const double sy = pixelsPerUnitY();
    const double left = x_ * sx;
    const double top = y_ * sy;
    if (!utf8.empty()) {
        painter_.setFont(font);
        painter_.setPen(toQColor(fore_));
        painter_.drawText(QPointF(left, top + metrics_->ascent()), QString::fromStdString(utf8));
    }
    x_ = 0;
    y_ = (top + metrics_->height()) / sy;
}

}  // namespace zukaro::draw
