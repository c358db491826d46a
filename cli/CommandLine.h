#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "SheetState.h"

// What the program is asked to do by its arguments. Parsing needs no application object, so
// main can decide before it creates one whether a window is needed at all.
namespace zukaro {

inline constexpr int kDefaultDpi = 600;
inline constexpr int kMinDpi = 72;
inline constexpr int kMaxDpi = 2400;

// The output name that means standard output.
inline const QString kStandardOutput = QStringLiteral("-");

struct CommandLine {
    enum class Mode {
        Window,            // the start screen; `file` (optional) opens in the editor
        PrintPdf,          // --print-pdf FILE... OUT.pdf [--dpi N]: one page per label file
        PreviewPng,        // --preview-png FILE OUT.png [--zoom 50|100]
        Print,             // --print FILE [--printer NAME]
        PrintList,         // --print-list LIST (OUT.pdf | --printer NAME) [--start N] [--dpi N]
                           //   [--changed-only] [--record-printed] [--as-of YYYY-MM-DD]
        CalibrationSheet,  // --calibration-sheet OUT.pdf [--dpi N]
        ImportList,        // --import-list LIST [--master ADDRESS] [--replace-newer]
        MasterImportFrom,  // --master-import-from FILE.sqlite [--master ADDRESS]
        TaxRateFrom,       // --tax-rate-from CLASS RATE DATE: a rate change into data.txt
        Help,
        Version,
        UsageError,
    };

    Mode mode = Mode::Window;
    QString file;           // the (first) label data file, or the product list
    QStringList files;      // every file opened, in order
    QString output;         // PrintPdf, PreviewPng and PrintList to a PDF; "-": stdout
    int dpi = kDefaultDpi;  // PrintPdf and PrintList
    int start = 1;          // PrintList: the position of the first label on page 1
    int zoomPercent = 50;   // PreviewPng
    QString printer;        // Print and PrintList; empty for the default printer
    // PrintPdf, PrintList to a PDF and CalibrationSheet: the PDF as it would reach this
    // printer, with its calibration; empty: the PDF file output's own.
    QString calibratedFor;
    bool changedOnly = false;    // PrintList: only rows new or changed since last printed
    bool recordPrinted = false;  // PrintList: record the printed rows in the product master
    // ImportList: a product whose stored price came from a newer list takes this list's older
    // one too (without it, such products are left as stored, and told).
    bool replaceNewer = false;
    // Window, ImportList, MasterImportFrom and PrintList: the product master's address, over
    // the one chosen in 商品マスター; empty: that one.
    QString master;
    // PrintPdf, PreviewPng, Print and PrintList (--as-of): the day the labels are printed for
    // (sales and tax rates as they are on it; --changed-only compares what prints on it);
    // null: today.
    QDate asOf;
    TaxRateChange rateChange;  // TaxRateFrom
    QStringList windowFlags;   // the hidden window flags that were given (see below)
    QString error;             // UsageError: what is wrong, in Japanese

    bool operator==(const CommandLine&) const = default;
};

// The day of --as-of: YYYY-MM-DD, a day the calendar has; nothing for anything else. The one
// reading of the option for every command that takes it.
std::optional<QDate> parseAsOf(const QString& value);

// argv as Qt would decode it.
QStringList argumentList(int argc, char* argv[]);

// `arguments` starts with the program's name. `windowFlags` are extra flags (names without
// dashes) that only the window start accepts, kept out of the help.
CommandLine parseCommandLine(const QStringList& arguments, const QStringList& windowFlags = {});

// The forms of the command, for usage errors; the full help; "zukaro 1.1.0".
QString usageText();
QString helpText();
QString versionText();

}  // namespace zukaro
