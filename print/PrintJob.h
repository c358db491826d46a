#pragma once

#include <QString>
#include <functional>

#include "DrawTarget.h"
#include "PrinterCalibration.h"
#include "SheetState.h"

class QPrinter;

namespace zukaro {

class WorkProgress;

// Draws page `page` (from 0) of a print job, in millimetres from the paper's top-left edge. A
// long job makes each page as it is painted, so that it holds one page at a time.
using PagePainter = std::function<void(draw::DrawTarget& target, std::size_t page)>;

// How a print job ended.
struct PrintOutcome {
    enum class Status { Printed, Cancelled, Failed };
    Status status = Status::Failed;
    QString message;  // for the user when not printed, in Japanese
    int cupsJob = 0;  // the job's number on a printer
    bool printed() const { return status == Status::Printed; }
};

// One print job, whoever prints (the editor's 印刷, the calibration dialog, まとめて印刷, the
// command line), on a printer set up by a dialog or by the command line. Always from the
// paper's edge (full page), whatever margins the printer has.
//
// A PDF is written into a temporary file beside the one chosen, which it replaces only when
// complete (storage/SafeFile). A printer's pages go into a file of our own first and are handed
// to CUPS only when complete, with the print dialog's options, so that a queue that refuses
// the job is told: Qt's own path to CUPS never reads the answer. A cancelled job leaves the
// chosen PDF as it was and sends nothing.
class PrintJob {
public:
    // `title` names the job in the printer's queue.
    PrintJob(QPrinter& printer, QString title);

    // What the messages call the output instead of the PDF file's name (the command line's
    // 「（標準出力）」).
    void setShownName(const QString& name) { shownName_ = name; }
    // The PDF straight into the printer's file, which the caller then reads (a scratch file),
    // rather than through the safe save.
    void writePdfInPlace() { inPlace_ = true; }
    // Told how many pages are done and asked before each whether to go on; none: the job is
    // never cancelled.
    void setProgress(WorkProgress* progress) { progress_ = progress; }

    // Prints `pageCount` pages made by `paint`. The printer's output file is as before
    // afterwards.
    PrintOutcome run(std::size_t pageCount, const PagePainter& paint);

private:
    PrintOutcome toPdf(std::size_t pageCount, const PagePainter& paint);
    PrintOutcome toPrinter(std::size_t pageCount, const PagePainter& paint);
    // The pages on the printer as it is set up now; the message when they did not all go.
    PrintOutcome paintPages(std::size_t pageCount, const PagePainter& paint,
                            const QString& shownName);
    PrintOutcome paintInto(const QString& path, std::size_t pageCount, const PagePainter& paint,
                           const QString& shownName);

    QPrinter& printer_;
    QString title_;
    QString shownName_;
    bool inPlace_ = false;
    WorkProgress* progress_ = nullptr;
};

// Every sheet of `pages` as one job, each at 100 % with real bars at its own offsets, moved by
// the printer's calibration, with the prices of `asOf` (null: today); the sheets and the
// preview's zoom are not touched.
PagePainter sheetPages(std::function<SheetState(std::size_t)> page,
                       const PrinterCalibration& calibration, QDate asOf = {});

// The name a printer's calibration is kept under: the CUPS queue, or kPdfFilePrinter for the
// PDF file output.
QString calibrationKey(const QPrinter& printer);

// The calibration of the printer as it is set up, from the user's settings folder. A settings
// file that could not be read (all or part) is said in `warning`; what could not be read
// counts as no calibration.
PrinterCalibration calibrationOf(const QPrinter& printer, const QString& settingsFolder,
                                 QString& warning);

// The PDF file a print of `file` (a sheet or a list) suggests: the same name with .pdf beside
// it, or 無題.pdf in the home folder for a sheet without a file.
QString suggestedPdfFile(const QString& file);

// Where a print that went out went, in a sentence: the PDF file, or the printer.
QString printedMessage(const QPrinter& printer);

}  // namespace zukaro
