#pragma once

#include <QImage>
#include <QPrinter>
#include <QString>
#include <QTextStream>
#include <memory>

#include "ConsoleMessages.h"
#include "SettingsFile.h"
#include "SheetState.h"
#include "UnattendedDialog.h"

namespace zukaro {

class PreviewSurface;
class SheetCommands;

// The editor without its window: a fresh start (data.txt or the first-start values, zoom
// 0.5, the empty sheet drawn on an A4 picDraw, which fixes the sheet offsets), the open
// command with a chosen file, then the same preview, print and zoom commands a user would
// press. The preview that the open command draws is drawn only when it is asked for: it
// changes nothing that printing reads, and a batch print should not pay for it. Messages go
// to the error stream.
class BatchSession {
public:
    BatchSession(const SettingsLocations& settings, QTextStream& err);
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // The open command with `path` chosen (without its redraw). A file that fails the header
    // check changes nothing and returns false; a damaged one opens with what could be read,
    // and what was skipped is reported.
    bool open(const QString& path);

    // 印刷(&P) with a PDF printer: one A4 portrait page, full page (origin at the paper's
    // corner), `dpi` device pixels per inch. `out` is replaced only by a complete PDF.
    bool printPdf(const QString& out, int dpi);

    // picDraw as the open command's preview leaves it (after 倍率 for 100 %), as a PNG at
    // 96 dpi.
    bool savePreviewPng(const QString& out, int zoomPercent);

    // 印刷(&P) on a CUPS printer (the default one when `printer` is empty), A4, no dialog.
    // On success writes the job's number to `out`.
    bool print(const QString& printer, QTextStream& out);

    const SheetState& sheet() const { return sheet_; }
    const QImage& preview() const;

private:
    bool printed();

    SheetState sheet_;
    ConsoleMessages messages_;
    UnattendedDialog dialog_;
    std::unique_ptr<PreviewSurface> picDraw_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<SheetCommands> commands_;
    QString fileTitle_;
};

}  // namespace zukaro
