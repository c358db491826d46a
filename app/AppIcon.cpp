#include "AppIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace zukaro {
namespace {

// Drawn on a 128 × 128 grid; the painter scales it to the requested square.
constexpr double kGrid = 128.0;

const QColor kInk(0x26, 0x32, 0x38);
const QColor kRed(0xd3, 0x2f, 0x2f);

// Bars of the small barcode: left edge and width on the grid, a JAN-like rhythm of guards
// and data bars rather than a real symbol (a real one would be unreadable at 32 pixels).
constexpr std::array<std::array<double, 2>, 12> kBars{{
    {16, 3},
    {21, 3},  // start guard
    {26, 5},
    {33, 2.5},
    {38, 4},  // data
    {45, 2.5},
    {49.5, 2.5},  // centre guard
    {55, 4},
    {61.5, 2.5},
    {66, 5},  // data
    {73, 2.5},
    {77, 2.5},  // end guard
}};

class AppIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        painter->save();
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        const int side = std::min(rect.width(), rect.height());
        paintAppIcon(*painter, QRectF(rect.x() + (rect.width() - side) / 2.0,
                                      rect.y() + (rect.height() - side) / 2.0, side, side));
        painter->restore();
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }
};

}  // namespace

void paintAppIcon(QPainter& painter, const QRectF& square) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    painter.scale(square.width() / kGrid, square.height() / kGrid);

    // The label itself, white with a dark edge.
    painter.setPen(QPen(kInk, 5));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(6, 14, 116, 100), 10, 10);

    // The outline bars along its top and bottom.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRed);
    painter.drawRect(QRectF(14, 22, 100, 7));
    painter.drawRect(QRectF(14, 99, 100, 7));

    // Barcode; the guards reach lower than the data bars, as on a printed symbol.
    painter.setBrush(kInk);
    for (std::size_t i = 0; i < kBars.size(); ++i) {
        const bool guard = i < 2 || i == 5 || i == 6 || i >= 10;
        painter.drawRect(QRectF(kBars[i][0], 38, kBars[i][1], guard ? 50 : 44));
    }

    // Yen sign: a V on a stem with two cross strokes.
    QPainterPath yen;
    yen.moveTo(89, 40);
    yen.lineTo(100, 58);
    yen.lineTo(111, 40);
    yen.moveTo(100, 58);
    yen.lineTo(100, 88);
    yen.moveTo(91, 63);
    yen.lineTo(109, 63);
    yen.moveTo(91, 73);
    yen.lineTo(109, 73);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kRed, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(yen);

    painter.restore();
}

QImage appIconImage(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintAppIcon(painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    return image;
}

QIcon appIcon() {
    return QIcon(new AppIconEngine);
}

}  // namespace zukaro
