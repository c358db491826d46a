#pragma once

#include "DrawTarget.h"
#include "SheetState.h"

// The one renderer for the preview surface and the printer. Everything is laid out in
// millimetres on a grid of 3 x 7 labels (66.1 x 38.1 mm pitch) shifted by sheetX/sheetY, and
// every coordinate and font size is multiplied by the sheet's zoom.
namespace zukaro {

// Colours of the preview's helpers (0x00BBGGRR).
inline constexpr draw::WinColor kGuideFrameColor = draw::rgb(128, 128, 128);
// The empty sheet's frames and numbers: a light grey that stays visible on white.
inline constexpr draw::WinColor kButtonFaceColor = draw::rgb(0xC0, 0xC0, 0xC0);
inline constexpr draw::WinColor kCurrentFrameColor = draw::rgb(0, 0, 255);

// Draws the whole sheet. printMode "0" (preview): clears the target, draws grey guide frames
// and imitation bars, and marks "×JAN" beside them where a code will print without bars. printMode "1" (printer): draws at 100 % with real barcodes and clears
// nothing. Labels with an empty product name are skipped entirely. Afterwards zoom is 0.5
// again when the 倍率 caption shows the 50 % state.
void drawSheet(SheetState& sheet, draw::DrawTarget& target);

// The empty numbered sheet of start-up. Fixes the sheet offsets at 2.7 / 12.6 mm first.
void drawLayoutGuide(SheetState& sheet, draw::DrawTarget& target);

// The blue frame around the current label, drawn over the preview: 5 pixels wide at 100 %,
// 2 at 50 %. Leaves the line width at 1.
void drawCurrentLabelFrame(const SheetState& sheet, draw::DrawTarget& target);

}  // namespace zukaro
