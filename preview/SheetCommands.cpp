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
    sheet_.printMode = PrintMode::Preview;
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        const RenderOptions options = RenderOptions::of(sheet_);
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
    if (sheet_.倍率 != caption::zoomHalf) {
        sheet_.倍率 = caption::zoomHalf;
        sheet_.zoom = 0.5;
    } else {
        sheet_.倍率 = caption::zoomFull;
        sheet_.zoom = 1.0;
    }
    if (zoomCaptionChanged_) {
        zoomCaptionChanged_(sheet_.倍率);
    }
    showPreview();
    focusText1();
}

void SheetCommands::showLayoutGuide(SheetOrigin origin) {
    sheet_.sheetX = origin.x;
    sheet_.sheetY = origin.y;
    picDraw_.paintPage([this, origin](draw::DrawTarget& target) {
        drawLayoutGuide(target, {PrintMode::Preview, sheet_.zoom, origin});
    });
}

void SheetCommands::markCurrentLabel() {
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        drawCurrentLabelFrame(sheet_.currentLabel, target, RenderOptions::of(sheet_));
    });
}

int labelAtPreviewPoint(const SheetState& sheet, double x, double y) {
    if (sheet.zoom <= 0) {
        return 0;
    }
    constexpr double kPixelsPerMm = 96 / 25.4;
    return labelAt({x / kPixelsPerMm / sheet.zoom, y / kPixelsPerMm / sheet.zoom},
                   {sheet.sheetX, sheet.sheetY});
}

}  // namespace zukaro
