#pragma once

#include <QWidget>

#include "PrinterPage.h"
#include "ScrollRange.h"

class QScrollBar;

namespace zukaro {

class PreviewSurface;

// The viewport picFrame with the page-sized picDraw inside it and the scroll bars VScroll1
// and HScroll1. A bar's value is the number of twips by which picDraw is moved up or left;
// the ranges follow the difference between the page and the visible viewport and are kept
// up to date when the viewport changes size.
class PreviewPane final : public QWidget {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // Sizes picDraw to the page and sets both scroll ranges.
    void sizeToPage(TwipsSize page);

    QWidget& picFrame() { return *frame_; }
    PreviewSurface& picDraw() { return *surface_; }
    QScrollBar& VScroll1() { return *vertical_; }
    QScrollBar& HScroll1() { return *horizontal_; }

    ScrollRange verticalRange() const { return vRange_; }
    ScrollRange horizontalRange() const { return hRange_; }

    // The zoom at which the whole page fits the viewport (at most 100 %).
    double zoomToFit() const;
    // 全体: the whole page is in view, so the scroll bars go and their room goes to the page.
    // Off again for 50 % and 100 %.
    void setWholePage(bool whole);
    bool wholePage() const { return whole_; }

signals:
    // The viewport changed size (the window was resized).
    void viewportResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateRanges();
    void moveSurface();

    QWidget* frame_;
    PreviewSurface* surface_;
    QScrollBar* vertical_;
    QScrollBar* horizontal_;
    ScrollRange vRange_;
    ScrollRange hRange_;
    bool whole_ = false;
};

}  // namespace zukaro
