#pragma once

#include <vector>

#include "DrawTarget.h"
#include "LabelLayout.h"
#include "PrinterCalibration.h"
#include "SheetState.h"

// The one renderer for the preview surface and the printer. Everything is laid out in
// millimetres on a grid of 3 x 7 labels (66.1 x 38.1 mm pitch) moved by the origin, and every
// coordinate and font size is multiplied by the zoom. The renderer only reads the sheet; what
// it draws for, the zoom and the origin come with the options.
namespace zukaro {

// Colours of the preview's helpers (0x00BBGGRR).
inline constexpr draw::WinColor kGuideFrameColor = draw::rgb(128, 128, 128);
// The empty sheet's frames and numbers: a light grey that stays visible on white.
inline constexpr draw::WinColor kButtonFaceColor = draw::rgb(0xC0, 0xC0, 0xC0);
inline constexpr draw::WinColor kCurrentFrameColor = draw::rgb(0, 0, 255);

struct RenderOptions {
    RenderOptions(PrintMode forMode = PrintMode::Preview, double atZoom = 0.5,
                  SheetOrigin at = kStartUpOrigin, PrinterCalibration calibratedFor = {})
        : mode(forMode), zoom(atZoom), origin(at), calibration(calibratedFor) {}

    PrintMode mode;
    double zoom;
    SheetOrigin origin;
    // Paper only: the printer's calibration moves every label's corner (never its contents).
    PrinterCalibration calibration;
    QDate asOf;  // the day printed for; null: today

    // As the editor's preview draws the sheet: at `zoom`, at its offsets. Never calibrated.
    static RenderOptions onScreen(const SheetState& sheet, double zoom);
    // The sheet on paper: 100 %, real bars, at its own offsets, for a printer calibrated so.
    static RenderOptions onPaper(const SheetState& sheet,
                                 const PrinterCalibration& calibration = {});
};

// Draws the whole sheet. Preview: clears the target, draws grey guide frames and imitation
// bars, marks "×JAN" beside them where a code will print without bars, and "×売価" where the
// layout computes prices and a price is no whole number of yen (printed as typed). Paper: real
// barcodes, nothing cleared. Labels with an empty product name are skipped entirely. The
// texts go where LabelLayout puts them; returns what there is to tell about the labels.
SheetReport drawSheet(const SheetState& sheet, draw::DrawTarget& target,
                      const RenderOptions& options);

// On screen only, over the drawn preview: a red frame and "×重なり" (or "×枠外") on every label
// whose texts overprint each other or run past its edge, as "×JAN" marks a code without bars.
void drawLabelMarks(const SheetReport& report, draw::DrawTarget& target,
                    const RenderOptions& options);

// What the window knows of a label beyond the sheet (a code its product master does not
// know), said on screen beside the bars in the red of the other marks.
struct PreviewNote {
    int label = 0;
    QString text;  // "×未登録"
};
void drawPreviewNotes(const std::vector<PreviewNote>& notes, draw::DrawTarget& target,
                      const RenderOptions& options);

// The empty numbered sheet of start-up: every label's frame and number.
void drawLayoutGuide(draw::DrawTarget& target, const RenderOptions& options);

// The blue frame around label `label`, drawn over the preview: 5 pixels wide at 100 %, 2 at
// 50 %. Leaves the line width at 1.
void drawCurrentLabelFrame(int label, draw::DrawTarget& target, const RenderOptions& options);

}  // namespace zukaro
