#include "SheetPrinting.h"

#include <QFileInfo>
#include <QPrinter>

#include "CommonDialog1.h"
#include "MessageBoxes.h"
#include "PrintJob.h"
#include "SheetState.h"

namespace zukaro {

SheetPrinting::SheetPrinting(const SheetState& sheet, CommonDialog1& dialog, MessageBoxes& messages,
                             QPrinter& printer)
    : sheet_(sheet), dialog_(dialog), messages_(messages), printer_(printer) {}

void SheetPrinting::printSheet() {
    const auto done = [this] {
        if (focusText1_) {
            focusText1_();
        }
    };
    if (printCheck_ && !printCheck_()) {
        done();
        return;
    }
    const QDate day = printDay_ ? printDay_() : QDate();
    dialog_.suggestPdfFile(suggestedPdfFile(sheet_.fileName));
    dialog_.namePrintDay(day.isValid() ? day : QDate::currentDate());
    if (dialog_.showPrinter(printer_) == kCancelError) {
        done();
        return;
    }
    // Any other dialog outcome still prints on the printer as it stands, with its calibration.
    const QString caption = QStringLiteral("印刷");
    QString warning;
    const PrinterCalibration calibration = calibrationOf(printer_, settingsFolder_, warning);
    if (!warning.isEmpty()) {
        messages_.tell(caption, warning, MessageIcon::Exclamation);
    }
    const QString title =
        sheet_.fileName.isEmpty() ? kUntitled : QFileInfo(sheet_.fileName).fileName();
    const PrintOutcome outcome =
        PrintJob(printer_, title)
            .run(1, sheetPages([this](std::size_t) { return sheet_; }, calibration, day));
    if (!outcome.printed()) {
        messages_.tell(caption, outcome.message, MessageIcon::Critical);
    }
    done();
    if (outcome.printed() && printed_) {
        printed_(printedMessage(printer_));
    }
}

}  // namespace zukaro
