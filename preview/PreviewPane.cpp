#include "PreviewPane.h"

#include <QEvent>
#include <algorithm>
#include <QGridLayout>
#include <QScrollBar>

#include "PreviewSurface.h"

namespace zukaro {
namespace {

void applyRange(QScrollBar& bar, const ScrollRange& range) {
    bar.setRange(0, range.max);
    bar.setPageStep(range.largeChange);
    bar.setSingleStep(range.smallChange);
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent),
      frame_(new QWidget(this)),
      surface_(new PreviewSurface(frame_)),
      vertical_(new QScrollBar(Qt::Vertical, this)),
      horizontal_(new QScrollBar(Qt::Horizontal, this)) {
    frame_->setObjectName(QStringLiteral("picFrame"));
    vertical_->setObjectName(QStringLiteral("VScroll1"));
    horizontal_->setObjectName(QStringLiteral("HScroll1"));
    // The grey around the page shows where the sheet ends.
    frame_->setAutoFillBackground(true);
    QPalette palette = frame_->palette();
    palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    frame_->setPalette(palette);
    frame_->setMinimumSize(1, 1);
    frame_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(frame_, 0, 0);
    grid->addWidget(vertical_, 0, 1);
    grid->addWidget(horizontal_, 1, 0);

    frame_->installEventFilter(this);
    connect(vertical_, &QScrollBar::valueChanged, this, [this] { moveSurface(); });
    connect(horizontal_, &QScrollBar::valueChanged, this, [this] { moveSurface(); });
    surface_->move(0, 0);
    updateRanges();
}

void PreviewPane::sizeToPage(TwipsSize page) {
    surface_->setPageTwips(page);
    updateRanges();
}

bool PreviewPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frame_ && event->type() == QEvent::Resize) {
        updateRanges();
        emit viewportResized();
    }
    return QWidget::eventFilter(watched, event);
}

double PreviewPane::zoomToFit() const {
    const TwipsSize page = surface_->pageTwips();
    const double across = frame_->width() * double(kTwipsPerPixel) / page.width;
    const double down = frame_->height() * double(kTwipsPerPixel) / page.height;
    return std::clamp(std::min(across, down), 0.05, 1.0);
}

void PreviewPane::setWholePage(bool whole) {
    whole_ = whole;
    if (whole) {
        vertical_->setValue(0);
        horizontal_->setValue(0);
    }
    vertical_->setVisible(!whole);
    horizontal_->setVisible(!whole);
}

void PreviewPane::updateRanges() {
    const TwipsSize page = surface_->pageTwips();
    vRange_ = scrollRange(page.height, frame_->height() * kTwipsPerPixel);
    hRange_ = scrollRange(page.width, frame_->width() * kTwipsPerPixel);
    // Shrinking a range pulls its value back inside and moves picDraw with it.
    applyRange(*vertical_, vRange_);
    applyRange(*horizontal_, hRange_);
    moveSurface();
}

void PreviewPane::moveSurface() {
    surface_->move(-twipsToPixels(horizontal_->value()), -twipsToPixels(vertical_->value()));
}

}  // namespace zukaro
