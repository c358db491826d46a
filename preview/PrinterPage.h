#pragma once

#include <QPageSize>

namespace zukaro {

// A page size in twips (1/1440 inch), portrait.
struct TwipsSize {
    int width = 0;
    int height = 0;
    bool operator==(const TwipsSize&) const = default;
};

// The page the preview is sized to: the default printer's default paper, or A4 when no
// printer is installed (the sheet is an A4 sheet in any case).
QPageSize defaultPrinterPage();

// The page in portrait, each side rounded half to even to whole twips.
TwipsSize pageTwips(const QPageSize& page);

}  // namespace zukaro
