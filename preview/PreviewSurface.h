#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "DrawTarget.h"
#include "PrinterPage.h"

namespace zukaro {

// picDraw: the page-sized preview. What is drawn on it stays in a page image; moving,
// uncovering and repainting the widget show that image and never call the renderer. The
// image has one pixel per device pixel, so the preview is crisp on high-DPI screens.
class PreviewSurface final : public QWidget {
    Q_OBJECT

public:
    explicit PreviewSurface(QWidget* parent = nullptr);

    // Takes the page's size (at 96 dpi on the screen) and starts from a white page.
    void setPageTwips(TwipsSize page);
    TwipsSize pageTwips() const { return page_; }

    // Draws onto the kept page image through a screen drawing target, then shows it.
    void paintPage(const std::function<void(draw::DrawTarget&)>& painter);

    // What the preview holds, one pixel per device pixel.
    const QImage& image() const { return image_; }

signals:
    // A left click, and a left double click, at a point of the page (widget pixels).
    void clicked(QPointF at);
    void doubleClicked(QPointF at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void allocateImage(double pixelRatio);

    TwipsSize page_;
    QImage image_;
    double imageRatio_ = 1.0;
};

}  // namespace zukaro
