#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "DrawTarget.h"
#include "LabelLayout.h"
#include "PrinterCalibration.h"
#include "SheetRenderer.h"
#include "SheetState.h"

class QPrinter;

namespace zukaro {

struct SheetState;
class CommonDialog1;
class MessageBoxes;
class PreviewSurface;

// The commands that show the sheet: preview (also every other command's redraw), print and
// the 100 % / 50 % switch, plus the start-up drawing and the current-label frame. The editor
// window owns the state, the dialogs, the printer and Text1; its buttons and menu entries
// all call these same functions.
class SheetCommands {
public:
    SheetCommands(SheetState& sheet, PreviewSurface& picDraw, CommonDialog1& dialog,
                  MessageBoxes& messages, QPrinter& printer);

    // Puts the keyboard focus into Text1 (which runs Text1's own focus handling).
    void setFocusText1(std::function<void()> focus) { focusText1_ = std::move(focus); }
    // The user's settings folder, where each printer's calibration is kept; none: printing
    // is never calibrated.
    void setSettingsFolder(const QString& folder) { settingsFolder_ = folder; }
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
    // Asked before the print dialog opens; false prints nothing.
    void setPrintCheck(std::function<bool()> check) { printCheck_ = std::move(check); }
    // Told where a print went, once it went out: 「…/今週.pdf に印刷しました。」.
    void setPrinted(std::function<void(const QString&)> printed) { printed_ = std::move(printed); }
    // Tells the window the 倍率 caption changed, so the button can show it.
    void setZoomCaptionChanged(std::function<void(const QString&)> changed) {
        zoomCaptionChanged_ = std::move(changed);
    }

    // プレビュー / M_プレビュー: redraws the whole sheet on picDraw, then focuses Text1.
    void showPreview();
    // The redraw alone, for Text1's own focus handling; labels whose texts overprint or leave
    // them are marked.
    void redraw();
    // 印刷 / P_印刷: printer dialog, then the sheet at 100 % with real bars, calibrated for the
    // printer chosen. Cancel prints nothing; a missing or refusing printer is reported. zoom is
    // as before afterwards.
    void printSheet();
    // 倍率: switches between 50 % and 100 % and redraws.
    void 倍率Click();

    // Start-up: puts the sheet at `origin` and draws the empty numbered sheet.
    void showLayoutGuide(SheetOrigin origin);
    // Text1's focus handling: the blue frame around the current label over the preview.
    void markCurrentLabel();

private:
    void focusText1() const;

    SheetState& sheet_;
    PreviewSurface& picDraw_;
    CommonDialog1& dialog_;
    MessageBoxes& messages_;
    QPrinter& printer_;
    QString settingsFolder_;
    std::function<void()> focusText1_;
    std::function<void(const QString&)> zoomCaptionChanged_;
    std::function<void(const SheetReport&)> reportChanged_;
    std::function<std::vector<PreviewNote>()> previewNotes_;
    std::function<bool()> printCheck_;
    std::function<void(const QString&)> printed_;
    SheetReport report_;
};

// Draws page `page` (from 0) of a print job, in millimetres from the paper's top-left edge. A
// long job makes each page as it is painted, so that it holds one page at a time.
using PagePainter = std::function<void(draw::DrawTarget& target, std::size_t page)>;

// Prints `pageCount` pages on a printer that is set up: always from the paper's edge (full
// page), whatever margins the printer has. Returns the message for the user, or an empty text
// when the pages went out. The messages call the output `shownName` when one is given.
// `keepGoing` (when given) is asked before each page with the number printed so far; false
// stops the job (printCancelledMessage()), and a printer that sends only complete jobs gets
// nothing.
QString printOn(QPrinter& printer, std::size_t pageCount, const PagePainter& paint,
                const QString& shownName = {},
                const std::function<bool(std::size_t)>& keepGoing = {});

// The PDF file a print of `file` (a sheet or a list) suggests: the same name with .pdf beside
// it, or 無題.pdf in the home folder for a sheet without a file.
QString suggestedPdfFile(const QString& file);

// The label (1 to 21) drawn under a point of the preview (picDraw pixels at 96 dpi) as the
// sheet is shown now, or 0 between or outside the labels.
int labelAtPreviewPoint(const SheetState& sheet, double x, double y);

// What 印刷 does once the printer is set up, for one sheet or several as one job: one page each
// in order, each at 100 % with real bars at its own offsets, moved by the printer's
// calibration; the sheets and the preview's zoom are not touched. Also the command line's
// print and the product list's.
QString printPagesOn(const std::vector<const SheetState*>& pages, QPrinter& printer,
                     const PrinterCalibration& calibration, const QString& shownName = {});

// The name a printer's calibration is kept under: the CUPS queue, or kPdfFilePrinter for the
// PDF file output.
QString calibrationKey(const QPrinter& printer);

// The calibration of the printer as it is set up, from the user's settings folder. A settings
// file that could not be read (all or part) is said in `warning`; what could not be read
// counts as no calibration.
PrinterCalibration calibrationOf(const QPrinter& printer, const QString& settingsFolder,
                                 QString& warning);

// The message printPagesOn gives for a job that was stopped.
QString printCancelledMessage();

// Where a print that went out went, in a sentence: the PDF file, or the printer.
QString printedMessage(const QPrinter& printer);

}  // namespace zukaro
