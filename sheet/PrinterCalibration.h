#pragma once

#include <QString>

#include "SheetState.h"

// How one printer puts the sheet on the label stock, measured with the calibration sheet, and
// how printing makes up for it. Plain arithmetic: the dialog, the files and the drawing that
// use it live elsewhere.
//
// Per axis the printer is taken to put a point that zukaro sends to p millimetres (from the
// paper's top-left edge) at offset + scale × p, as the label stock sees it. Printing therefore
// sends a label corner that must land at p to (p − offset) / scale. Only the label corners
// move: texts keep their sizes and the bars their width, so a barcode's modules stay whole
// device pixels.
namespace zukaro {

struct PrinterCalibration {
    double offsetX = 0;  // mm, + is right
    double offsetY = 0;  // mm, + is down
    double scaleX = 1;   // 1.003: 0.3 % stretched across the paper
    double scaleY = 1;   // along the paper's feed

    // 0 / 100 %: prints exactly what an uncalibrated printer gets.
    bool isNone() const { return *this == PrinterCalibration{}; }
    // Where to send a label corner that must land at `corner`.
    SheetOrigin sendFor(SheetOrigin corner) const;

    bool operator==(const PrinterCalibration&) const = default;
};

// What the clerk reads off the scales of one cross: how far it landed from the label's corner,
// in millimetres (the scales are read to 0.1 mm). + is right and down.
struct CrossReading {
    double right = 0;
    double down = 0;
};

// The two crosses of the calibration sheet stand at label 1's and label 21's top-left corner.
inline constexpr int kFirstCrossLabel = 1;
inline constexpr int kLastCrossLabel = kLabelCount;

// A stretch beyond this (2 %) is no printer's: the scales were misread.
inline constexpr double kLargestStretch = 0.02;
// A turn of the paper that would move label 21 this far (mm) is worth printing again for.
inline constexpr double kSkewWorthRechecking = 0.5;

struct CalibrationResult {
    PrinterCalibration calibration;
    // Two crosses give four numbers, exactly what offset and stretch need, so a sheet fed in
    // askew cannot be told from a printer that stretches one way and shrinks the other. The
    // readings are taken as the printer's; this is the largest turn of the paper (degrees,
    // clockwise on the paper) that could explain part of them, and how far it moves label 21.
    double skewDegrees = 0;
    double skewMovesLabel21 = 0;  // mm
    QString error;  // readings no printer gives (Japanese); the calibration is then unusable
    QString note;   // about the skew, when there is one worth a word (Japanese)

    bool ok() const { return error.isEmpty(); }
    bool worthRechecking() const { return skewMovesLabel21 >= kSkewWorthRechecking; }
};

// The calibration from the two crosses of a calibration sheet with the sheet at `shift`,
// printed with `applied` (none: the sheet to read; the stored calibration: the check sheet,
// whose readings then correct that calibration instead of replacing it).
CalibrationResult calibrateFromCrosses(const CrossReading& first, const CrossReading& last,
                                       SheetOrigin shift, const PrinterCalibration& applied = {});

// The calibration in words, to 0.1 mm and 0.1 %: 「下に 1.2 mm、縦に 0.3 % 伸びています」.
// A stretch near the 2 % limit gets the digits that tell it from the limit (1.97 %, 2.01 %).
QString describeCalibration(const PrinterCalibration& calibration);

// A stretch in percent as the words show it, without its sign: one decimal, more where one
// would show a value beside the 2 % limit as the limit itself.
QString stretchPercentText(double percent);

}  // namespace zukaro
