#pragma once

#include <QPixmap>
#include <QSize>

namespace zukaro {

// The start screen's picture: the top three rows of the sample sheet (sampleSheet()) as
// printed, real barcodes included, drawn by the sheet renderer on a white label stock,
// `size` logical pixels for `devicePixelRatio`.
QPixmap samplePicture(const QSize& size, qreal devicePixelRatio);

}  // namespace zukaro
