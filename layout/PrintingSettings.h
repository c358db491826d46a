#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

#include "PrinterCalibration.h"
#include "SafeFile.h"
#include "SettingsFile.h"
#include "SheetState.h"

// printing.json in the user's settings folder: where the x/y buttons last put the sheet, kept
// between starts, and each printer's calibration. Label files and data.txt never hold either,
// so they stay what they always were. UTF-8 JSON, so that it can be read and mended by hand.
namespace zukaro {

// The name under which the PDF file output keeps its calibration: a printer of its own, and
// no CUPS queue can be called so (queue names have no spaces).
inline const QString kPdfFilePrinter = QStringLiteral("PDF ファイル");

struct StoredCalibration {
    PrinterCalibration calibration;
    QString measured;  // the day the crosses were read, yyyy-MM-dd
    bool operator==(const StoredCalibration&) const = default;
};

struct PrintingSettings {
    std::optional<SheetOrigin> sheetShift;              // none: the start-up origin
    std::map<QString, StoredCalibration> calibrations;  // by CUPS queue name or kPdfFilePrinter

    // 0 / 100 % for a printer without one.
    PrinterCalibration calibrationFor(const QString& printer) const;
    SheetOrigin shiftOrStartUp() const { return sheetShift.value_or(kStartUpOrigin); }
};

struct PrintingSettingsLoad {
    PrintingSettings settings;  // everything that could be read
    QString path;
    // Japanese, naming the file: it exists but could not be read, or some entries were
    // skipped. What was skipped is used as if it were not there.
    QString error;
};

QString printingSettingsPath(const QString& folder);

// A missing file (or folder, or an empty folder name) gives no shift and no calibrations, and
// no error.
PrintingSettingsLoad loadPrintingSettings(const QString& folder);

// Each of these reads the file, changes its one entry and writes it back whole, so that what
// another window or a hand edit put there stays (unknown and unusable entries included). A
// file that cannot be read as JSON at all is kept beside as printing.json.damaged first.
FileResult rememberSheetShift(const QString& folder, SheetOrigin shift);
FileResult storeCalibration(const QString& folder, const QString& printer,
                            const StoredCalibration& stored);
FileResult forgetCalibration(const QString& folder, const QString& printer);

// The sheet a fresh start gives, without labels: data.txt's layout (or the first-start values)
// at the remembered sheet shift. What a product list is laid out on when no editor is open;
// the editor and the command line tell what could not be read.
SheetState freshStartSheet(const SettingsLocations& settings);

}  // namespace zukaro
