#pragma once

#include <QPixmap>
#include <QSize>

namespace zukaro {

// The start screen's picture: the top of a sample sheet of labels (sampleSheet()), the full
// width of the A4 page across `size` logical pixels, painted for `devicePixelRatio`.
QPixmap samplePicture(const QSize& size, qreal devicePixelRatio);

}  // namespace zukaro
