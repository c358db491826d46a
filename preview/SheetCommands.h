#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "DrawTarget.h"
#include "LabelLayout.h"
#include "SheetRenderer.h"
#include "SheetState.h"

namespace zukaro {

// 倍率's captions: where its next click goes.
namespace caption {
inline const QString zoomHalf = QStringLiteral("倍率切替100%");  // zoom is 0.5
inline const QString zoomFull = QStringLiteral("倍率切替50%");   // zoom is 1.0
}  // namespace caption

struct SheetState;
class PreviewSurface;

// The commands that show the sheet: preview (also every other command's redraw) and the
// 100 % / 50 % switch, plus the start-up drawing and the current-label frame. Printing is
// print/'s. The editor window owns the state and Text1; its buttons and menu entries all call
// these same functions.
class SheetCommands {
public:
    SheetCommands(SheetState& sheet, PreviewSurface& picDraw);

    // Puts the keyboard focus into Text1 (which runs Text1's own focus handling).
    void setFocusText1(std::function<void()> focus) { focusText1_ = std::move(focus); }
    // Tells the window what there is to tell about the labels after every redraw.
    void setReportChanged(std::function<void(const SheetReport&)> changed) {
        reportChanged_ = std::move(changed);
    }
    // What the last redraw found on the labels (LabelLayout.h).
    const SheetReport& report() const { return report_; }
    // What the window marks on the preview beyond the sheet's own marks, asked at each redraw.
    void setPreviewNotes(std::function<std::vector<PreviewNote>()> notes) {
        previewNotes_ = std::move(notes);
    }
    // Tells the window the 倍率 caption changed, so the button can show it.
    void setZoomCaptionChanged(std::function<void(const QString&)> changed) {
        zoomCaptionChanged_ = std::move(changed);
    }

    // The day the preview shows the labels for (sales and tax rates); null: today.
    void setAsOf(QDate day) { asOf_ = day; }

    // プレビュー / M_プレビュー: redraws the whole sheet on picDraw, then focuses Text1.
    void showPreview();
    // The redraw alone, for Text1's own focus handling; labels whose texts overprint or leave
    // them are marked.
    void redraw();
    // 倍率: switches between 50 % and 100 % and redraws.
    void 倍率Click();

    // The preview's zoom (1.0 = 100 %), which 倍率, 全体 and a fresh sheet set; the sheet
    // itself knows none, paper is always 100 %.
    double zoom() const { return zoom_; }
    void setZoom(double zoom) { zoom_ = zoom; }
    // The 倍率 button's caption: where its next click goes. 全体 changes the zoom but not
    // where 倍率 goes next.
    QString zoomCaption() const { return nextZoomFull_ ? caption::zoomHalf : caption::zoomFull; }
    // The label (1 to 21) drawn under a point of the preview (picDraw pixels at 96 dpi) as the
    // sheet is shown now, or 0 between or outside the labels.
    int labelAtPreviewPoint(double x, double y) const;

    // Start-up: puts the sheet at `origin` and draws the empty numbered sheet.
    void showLayoutGuide(SheetOrigin origin);
    // Text1's focus handling: the blue frame around the current label over the preview.
    void markCurrentLabel();

private:
    void focusText1() const;

    SheetState& sheet_;
    PreviewSurface& picDraw_;
    std::function<void()> focusText1_;
    std::function<void(const QString&)> zoomCaptionChanged_;
    std::function<void(const SheetReport&)> reportChanged_;
    std::function<std::vector<PreviewNote>()> previewNotes_;
    SheetReport report_;
    double zoom_ = 0.5;
    bool nextZoomFull_ = true;
    QDate asOf_;
};

}  // namespace zukaro
