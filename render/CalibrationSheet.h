#pragma once

#include <QString>

#include "DrawTarget.h"
#include "PrinterCalibration.h"

// The calibration sheet: printed on the label stock, it shows how far a printer puts the
// labels off. At label 1's and label 21's top-left corner a cross marks where the label's top
// and left edges should run; a scale 11 mm below the cross crosses the label's left edge, and
// one 10 mm right of it the top edge. The scales are numbered so that where the real edge
// crosses them reads at once how far the cross landed off the corner: 「右 1.2」 means the
// cross landed 1.2 mm right of it.
namespace zukaro {

// The scales reach this far either side of the cross (mm), in 0.5 mm ticks.
inline constexpr double kCalibrationScaleReach = 8;
// How far the scales stand from the cross: clear of a label's rounded corner.
inline constexpr double kCalibrationScaleDistance = 11;
// The sheet is A4; a scale that would run off it ends this far inside its edge (the stock's
// edge cannot lie beyond the paper's), and the word of a short half gets smaller to stay on it.
inline constexpr double kA4Width = 210;
inline constexpr double kA4Height = 297;
inline constexpr double kCalibrationPaperMargin = 0.5;

struct CalibrationSheetInfo {
    SheetOrigin shift = kStartUpOrigin;  // label 1's corner, as every sheet is printed
    QString printer;                     // as the sheet names it
    QString date;                        // the day it was printed
    // None: the sheet to read. Otherwise the check sheet, printed as every sheet for this
    // printer is: its crosses should sit on the corners.
    PrinterCalibration calibration;
};

// Draws the sheet on paper (millimetres from the paper's top-left edge).
void drawCalibrationSheet(draw::DrawTarget& target, const CalibrationSheetInfo& info);

}  // namespace zukaro
