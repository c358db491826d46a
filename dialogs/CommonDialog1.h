#pragma once

#include <QDate>
#include <QString>

#include "WinColor.h"

class QPrinter;

namespace zukaro {

using draw::WinColor;

// Outcome of a dialog that the user cancelled; every caller tests for exactly this value.
inline constexpr int kCancelError = 32755;

struct FontChoice {
    QString name;
    double size = 9.0;  // points, may be fractional
    bool bold = false;
    bool italic = false;
};

// The window's one dialog component: print set-up, font, colour, open and save. Every
// operation returns 0 when the user confirmed and kCancelError when the user cancelled; a
// cancelled dialog leaves its in/out argument unchanged. The Qt implementation shows the
// platform dialogs; tests use a scripted double.
class CommonDialog1 {
public:
    virtual ~CommonDialog1() = default;

    // The user picks printer, paper and orientation; they become the printer's own settings.
    virtual int showPrinter(QPrinter& printer) = 0;
    // Preset from `font`, which receives the choice.
    virtual int showFont(FontChoice& font) = 0;
    // `color` receives the chosen Windows colour value; it is not used as a preset.
    virtual int showColor(WinColor& color) = 0;
    // `filter` in the "name (*.csv)|*.csv|name (*.*)|*.*|" form; `path` receives the full path.
    virtual int showOpen(const QString& filter, QString& path) = 0;
    virtual int showSave(const QString& filter, QString& path) = 0;

    // The PDF file the next print dialog offers when the user prints to a file (the sheet's
    // own name beside it), so one print does not silently replace another's file. Empty: the
    // dialog's own choice.
    void suggestPdfFile(const QString& path) { pdfSuggestion_ = path; }
    const QString& pdfSuggestion() const { return pdfSuggestion_; }
    // The day the next print is for (印刷日), named in the print dialog; null: none named.
    void namePrintDay(const QDate& day) { printDay_ = day; }
    const QDate& printDay() const { return printDay_; }

private:
    QString pdfSuggestion_;
    QDate printDay_;
};

}  // namespace zukaro
