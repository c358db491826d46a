#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QRectF;

namespace zukaro {

// The program's icon: a shelf label with its red outline bars, a barcode and a red yen sign.
// Painted, not loaded, so the window icon and the installed PNGs come from this one drawing.
void paintAppIcon(QPainter& painter, const QRectF& square);

// The icon as an image of `pixels` × `pixels`, transparent around the label.
QImage appIconImage(int pixels);

// The icon for windows, painted at whatever size the platform asks for.
QIcon appIcon();

}  // namespace zukaro
