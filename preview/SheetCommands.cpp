#include "SheetCommands.h"

#include "PreviewSurface.h"
#include "SheetRenderer.h"
#include "SheetState.h"

namespace zukaro {

SheetCommands::SheetCommands(SheetState& sheet, PreviewSurface& picDraw)
    : sheet_(sheet), picDraw_(picDraw) {}

void SheetCommands::focusText1() const {
    if (focusText1_) {
        focusText1_();
    }
}

void SheetCommands::showPreview() {
    redraw();
    focusText1();
}

void SheetCommands::redraw() {
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        RenderOptions options = RenderOptions::onScreen(sheet_, zoom_);
        options.asOf = asOf_;
        report_ = drawSheet(sheet_, target, options);
        drawLabelMarks(report_, target, options);
        if (previewNotes_) {
            drawPreviewNotes(previewNotes_(), target, options);
        }
    });
    if (reportChanged_) {
        reportChanged_(report_);
    }
}

void SheetCommands::倍率Click() {
    zoom_ = nextZoomFull_ ? 1.0 : 0.5;
    nextZoomFull_ = !nextZoomFull_;
    if (zoomCaptionChanged_) {
        zoomCaptionChanged_(zoomCaption());
    }
    showPreview();
    focusText1();
}

void SheetCommands::showLayoutGuide(SheetOrigin origin) {
    sheet_.sheetX = origin.x;
    sheet_.sheetY = origin.y;
    picDraw_.paintPage([this, origin](draw::DrawTarget& target) {
        drawLayoutGuide(target, {PrintMode::Preview, zoom_, origin});
    });
}

void SheetCommands::markCurrentLabel() {
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        drawCurrentLabelFrame(sheet_.currentLabel, target, RenderOptions::onScreen(sheet_, zoom_));
    });
}

int SheetCommands::labelAtPreviewPoint(double x, double y) const {
    if (zoom_ <= 0) {
        return 0;
    }
    constexpr double kPixelsPerMm = 96 / 25.4;
    return labelAt({x / kPixelsPerMm / zoom_, y / kPixelsPerMm / zoom_},
                   {sheet_.sheetX, sheet_.sheetY});
}

}  // namespace zukaro
