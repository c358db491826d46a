#pragma once

#include <QString>

#include "SampleSheet.h"

// full_sheet.csv: the sample sheet's 21 labels with a layout of its own (sizes, offsets, the
// outline, box texts that must not move the sheet), as a fresh start prints it: sheet offsets
// 2.7 / 12.6 mm.
namespace zukaro::fixture {

inline QString path(const char* name) {
    return QStringLiteral(FIXTURES "/") + QLatin1String(name);
}

inline Layout fullSheetLayout() {
    Layout l;
    l.x座標調整 = QStringLiteral("3");
    l.y座標調整 = QStringLiteral("-2");
    l.縁取 = caption::outlineOn;
    l.borderColor = 255;
    l.janFont.Size = 10;
    l.janX = 1;
    l.barX = 1;
    l.makerFont.Size = 9;
    l.makerX = -1;
    l.productFont.Size = 12;
    l.productY = 1;
    l.specFont.Size = 9;
    l.specY = -1;
    l.lotFont.Size = 9;
    l.lotX = 1;
    l.priceFont.Size = 40;
    l.priceX = 2;
    l.yenFont.Size = 14;
    l.yenX = -2;
    return l;
}

inline SheetState fullSheet() {
    SheetState sheet = sample::fullSheet();
    sheet.layout = fullSheetLayout();
    sheet.sheetX = 2.7;
    sheet.sheetY = 12.6;
    return sheet;
}

}  // namespace zukaro::fixture
