#include "SamplePicture.h"

#include <QImage>
#include <QPainter>
#include <cmath>

#include "PainterTarget.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

namespace zukaro {
namespace {

// The picture shows the sheet's three columns with their margin on both sides.
constexpr double kShownWidthMm = 3 * kLabelPitchX + 2 * kStartUpOrigin.x;

// The die-cut edges of the label stock, which the renderer does not print.
void paintLabelStock(QPainter& painter, const SheetState& sheet, double pixelsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), std::max(1.0, pixelsPerMm / 4)));
    painter.setBrush(Qt::NoBrush);
    for (int n = 1; n <= kLabelCount; ++n) {
        const SheetOrigin corner = labelCorner(n, {sheet.sheetX, sheet.sheetY});
        const QRectF label(corner.x * pixelsPerMm, corner.y * pixelsPerMm,
                           kLabelPitchX * pixelsPerMm, kLabelPitchY * pixelsPerMm);
        const double inset = 0.6 * pixelsPerMm;
        painter.drawRoundedRect(label.adjusted(inset, inset, -inset, -inset), 2 * pixelsPerMm,
                                2 * pixelsPerMm);
    }
    painter.restore();
}

}  // namespace

QPixmap samplePicture(const QSize& size, qreal devicePixelRatio) {
    // Painted in device pixels at the resolution that puts the shown width across the
    // picture, then marked with the ratio, so a high-DPI screen gets a sharp picture.
    const QSize pixels(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(size.height() * devicePixelRatio)));
    const double pixelsPerMm = pixels.width() / kShownWidthMm;
    QImage image(pixels, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(pixelsPerMm * 1000));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);

    SheetState sheet = sampleSheet();
    // Three full rows, centred from top to bottom.
    sheet.sheetY = (pixels.height() / pixelsPerMm - 3 * kLabelPitchY) / 2;
    {
        QPainter painter(&image);
        paintLabelStock(painter, sheet, dotsPerMeter / 1000.0);
        // As on paper: real bars, no guide frames.
        draw::PainterTarget target(painter, true);
        drawSheet(sheet, target, RenderOptions::onPaper(sheet));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

}  // namespace zukaro
