#pragma once

#include <QString>
#include <QTextStream>
#include <functional>
#include <vector>

#include "CommandLine.h"
#include "ConsoleMessages.h"
#include "PrintJob.h"
#include "PrintingSettings.h"
#include "SettingsFile.h"
#include "SheetState.h"

namespace zukaro {

// The editor without its window: a fresh start (data.txt or the first-start values, zoom
// 0.5, the empty numbered sheet at the remembered sheet shift), the open command with a
// chosen file, then the window's own preview, 倍率 and print routines. Nothing is drawn that
// no one would see: the empty sheet and the open command's preview are erased by the next
// preview before a user could look at them, and printing reads neither, so a batch print
// draws only the page. Messages go to the error stream.
class BatchSession {
public:
    BatchSession(const SettingsLocations& settings, QTextStream& err);

    // The open command with `path` chosen, on a sheet as fresh from start-up; every file
    // opened is one more page. A file that fails the header check adds nothing and returns
    // false; a damaged one opens with what could be read, and what was skipped is reported.
    bool open(const QString& path);
    // The pages of a product list instead of opened files (its rows were told already):
    // `count` pages, each made by `page`, from startUpSheet(), only when it is printed.
    void setMadePages(qint64 count, std::function<SheetState(qint64)> page, const QString& title);
    // The sheet as a fresh start leaves it: no labels, data.txt's layout, the remembered sheet
    // shift (or the start-up one).
    const SheetState& startUpSheet() const { return startUp_; }

    // PDFs made from here on are as they would reach `printer`, with its calibration. False
    // (and said) when no calibration is kept for it: a misspelt name must not give a PDF
    // that looks checked.
    bool useCalibrationOf(const QString& printer);
    // Everything printed or previewed from here on shows the labels as on `day` (--as-of):
    // sales in their period and tax rates in force then. Null: today.
    void setAsOf(QDate day) { asOf_ = day; }

    // 印刷(&P) with a PDF printer: an A4 portrait page per sheet, full page (origin at the
    // paper's corner), `dpi` device pixels per inch, with the PDF output's calibration (or the
    // one chosen above). `out` is replaced only by a complete PDF, and never when it is a pipe,
    // a device or a socket; "-" means standard output.
    bool printPdf(const QString& out, int dpi);
    // The calibration sheet into a PDF, as printPdf writes: the sheet to read, or, after
    // useCalibrationOf, that printer's check sheet.
    bool printCalibrationSheet(const QString& out, int dpi);

    // picDraw as the open command's preview leaves it (after 倍率 for 100 %), as a PNG of
    // the A4 page at 96 dpi; "-" means standard output. The first sheet only.
    bool savePreviewPng(const QString& out, int zoomPercent);

    // 印刷(&P) on a CUPS printer (the default one when `printer` is empty), A4, no dialog,
    // every sheet in one job, with that printer's calibration. On success writes the job's
    // number to `out`.
    bool print(const QString& printer, QTextStream& out);

    const SheetState& sheet() const { return pages_.front(); }
    qint64 pageCount() const;
    ConsoleMessages& messages() { return messages_; }

private:
    // The pages to print: the files opened, or a list's pages made as they are printed.
    PagePainter pages(const PrinterCalibration& calibration) const;
    // A4 portrait PDF pages into `out` (or standard output), `count` pages made by `paint`.
    bool writePdf(const QString& out, int dpi, std::size_t count, const PagePainter& paint);
    // Tells a job that did not print as a failure; after one that did, what the labels went
    // out without. True when the pages went out.
    bool finished(const PrintOutcome& outcome);
    // One line on stderr per printed label whose code went out without bars, and one per label
    // whose price was drawn smaller or whose texts overprint or leave it.
    void reportLabelsWithoutBars();
    void reportLabelLayouts();
    // Tells the message as a failure; returns false.
    bool failed(const QString& caption, const QString& message);

    SheetState startUp_;
    PrintingSettings printing_;             // the remembered shift and the printers' calibrations
    QString pdfPrinter_ = kPdfFilePrinter;  // whose calibration the PDFs get
    bool calibrationChosen_ = false;        // by useCalibrationOf
    QDate asOf_;                            // by setAsOf
    std::vector<SheetState> pages_;         // the files opened
    std::vector<bool> told_;                // per page: its labels were told already
    qint64 madeCount_ = 0;                  // a list's pages instead, told by line already
    std::function<SheetState(qint64)> madePage_;
    ConsoleMessages messages_;
    QString fileTitle_;
};

}  // namespace zukaro
