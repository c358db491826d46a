#include "PreviewSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "PainterTarget.h"
#include "ScrollRange.h"

namespace zukaro {
namespace {

constexpr double kScreenDpi = 1440.0 / kTwipsPerPixel;
constexpr double kInchesPerMetre = 1 / 0.0254;

}  // namespace

PreviewSurface::PreviewSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picDraw"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPageTwips(zukaro::pageTwips(QPageSize(QPageSize::A4)));
}

void PreviewSurface::setPageTwips(TwipsSize page) {
    page_ = page;
    setFixedSize(twipsToPixels(page.width), twipsToPixels(page.height));
    allocateImage(devicePixelRatioF());
}

void PreviewSurface::allocateImage(double pixelRatio) {
    imageRatio_ = pixelRatio;
    // Every device pixel of the widget, so that it shows the image one to one.
    const int w = static_cast<int>(std::ceil(width() * pixelRatio));
    const int h = static_cast<int>(std::ceil(height() * pixelRatio));
    image_ = QImage(w, h, QImage::Format_RGB32);
    // The drawing target converts millimetres with the image's own resolution.
    const int dotsPerMetre =
        static_cast<int>(std::lround(kScreenDpi * pixelRatio * kInchesPerMetre));
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    image_.fill(Qt::white);
}

void PreviewSurface::paintPage(const std::function<void(draw::DrawTarget&)>& painter) {
    // Moved to a screen of another pixel ratio: start a new image there; the caller redraws
    // the whole sheet anyway.
    if (devicePixelRatioF() != imageRatio_) {
        allocateImage(devicePixelRatioF());
    }
    {
        QPainter p(&image_);
        draw::PainterTarget target(p, false);
        painter(target);
    }
    update();
}

void PreviewSurface::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRectF area = event->rect();
    const double scale = imageRatio_;
    p.drawImage(
        area, image_,
        QRectF(area.x() * scale, area.y() * scale, area.width() * scale, area.height() * scale));
}

void PreviewSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked(event->position());
    }
    QWidget::mousePressEvent(event);
}

void PreviewSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked(event->position());
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace zukaro
