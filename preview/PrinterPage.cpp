#include "PrinterPage.h"

#include <QPrinterInfo>
#include <algorithm>

#include "HalfEven.h"
#include "Units.h"

namespace zukaro {

QPageSize defaultPrinterPage() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        const QPageSize page = printer.defaultPageSize();
        if (page.isValid()) {
            return page;
        }
    }
    return QPageSize(QPageSize::A4);
}

TwipsSize pageTwips(const QPageSize& page) {
    const QSizeF mm = page.size(QPageSize::Millimeter);
    const double shortSide = std::min(mm.width(), mm.height());
    const double longSide = std::max(mm.width(), mm.height());
    return {static_cast<int>(roundHalfEven(shortSide * draw::kTwipsPerMm)),
            static_cast<int>(roundHalfEven(longSide * draw::kTwipsPerMm))};
}

}  // namespace zukaro
