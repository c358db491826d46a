#include "SamplePicture.h"

#include <QImage>
#include <QPainter>
#include <cmath>

#include "PainterTarget.h"
#include "SampleSheet.h"

namespace zukaro {
namespace {

constexpr double kPageWidthMm = 210.0;

// Temporary: frames, product names and prices only, until the sheet renderer can draw the
// sample sheet itself.
void drawPlaceholderSheet(draw::DrawTarget& target, const SheetState& sheet) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    target.clear();
    target.setFillStyle(draw::FillStyle::Transparent);
    target.setFontName("ＭＳ 明朝");
    for (int n = 1; n <= kLabelCount; ++n) {
        const double x0 = labelColumn(n) * kLabelPitchX + sheet.sheetX;
        const double y0 = labelRow(n) * kLabelPitchY + sheet.sheetY;
        target.drawBox(x0, y0, x0 + kLabelPitchX, y0 + kLabelPitchY, draw::rgb(128, 128, 128));
        target.setFontSize(11);
        target.setForeColor(draw::kBlack);
        target.setCurrentPosition(x0 + 4, y0 + 17);
        target.printText(sheet.productText[n].toStdString());
        target.setFontSize(24);
        target.setForeColor(draw::rgb(255, 0, 0));
        target.setCurrentPosition(x0 + 30, y0 + 24);
        target.printText((sheet.priceText[n] + QStringLiteral("円")).toStdString());
    }
}

}  // namespace

QPixmap samplePicture(const QSize& size, qreal devicePixelRatio) {
    // Painted in device pixels at a resolution that puts the page width across the picture,
    // then marked with the ratio, so a high-DPI screen gets a sharp picture.
    const QSize pixels(static_cast<int>(std::ceil(size.width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(size.height() * devicePixelRatio)));
    QImage image(pixels, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(pixels.width() / kPageWidthMm * 1000));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        draw::PainterTarget target(painter, false);
        drawPlaceholderSheet(target, sampleSheet());
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

}  // namespace zukaro
