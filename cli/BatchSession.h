#pragma once

#include <QPrinter>
#include <QString>
#include <QTextStream>

#include "ConsoleMessages.h"
#include "SettingsFile.h"
#include "SheetState.h"

namespace zukaro {

// The output name that means standard output.
inline const QString kStandardOutput = QStringLiteral("-");

// The editor without its window: a fresh start (data.txt or the first-start values, zoom
// 0.5, the empty numbered sheet, which fixes the sheet offsets), the open command with a
// chosen file, then the window's own preview, 倍率 and print routines. Nothing is drawn that
// no one would see: the empty sheet and the open command's preview are erased by the next
// preview before a user could look at them, and printing reads neither, so a batch print
// draws only the page. Messages go to the error stream.
class BatchSession {
public:
    BatchSession(const SettingsLocations& settings, QTextStream& err);

    // The open command with `path` chosen. A file that fails the header check changes
    // nothing and returns false; a damaged one opens with what could be read, and what was
    // skipped is reported.
    bool open(const QString& path);

    // 印刷(&P) with a PDF printer: one A4 portrait page, full page (origin at the paper's
    // corner), `dpi` device pixels per inch. `out` is replaced only by a complete PDF, and
    // never when it is a pipe, a device or a socket; "-" means standard output.
    bool printPdf(const QString& out, int dpi);

    // picDraw as the open command's preview leaves it (after 倍率 for 100 %), as a PNG of
    // the A4 page at 96 dpi; "-" means standard output.
    bool savePreviewPng(const QString& out, int zoomPercent);

    // 印刷(&P) on a CUPS printer (the default one when `printer` is empty), A4, no dialog.
    // On success writes the job's number to `out`.
    bool print(const QString& printer, QTextStream& out);

    const SheetState& sheet() const { return sheet_; }

private:
    bool printed(QPrinter& printer, const QString& shownName = {});
    // Tells the message as a failure; returns false.
    bool failed(const QString& caption, const QString& message);

    SheetState sheet_;
    ConsoleMessages messages_;
    QString fileTitle_;
};

}  // namespace zukaro
