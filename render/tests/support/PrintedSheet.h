#pragma once

#include <QImage>
#include <QStringList>

#include "SheetState.h"

// A printed sheet read back from outside, the way a person with a ruler and a scanner would.
namespace zukaro::printed {

inline constexpr double kMmPerPoint = 25.4 / 72;

struct Word {
    QString text;
    double x = 0;       // left edge of the first character, mm from the page's left edge
    double y = 0;       // top of the text line, mm from the page's top edge
    double bottom = 0;  // of the text line, mm from the page's top edge (0: not measured)
    double right = 0;   // of the last character, mm from the page's left edge (0: not measured)
};

// Runs a program and returns what it wrote, or an empty text when it failed (or is missing).
QString run(const QString& program, const QStringList& args);

// Every word of the PDF's first page (pdftotext -bbox).
QList<Word> pdfWords(const QString& pdf);
// A page (the first unless said) rasterised in grey at `dpi` (pdftoppm), also written to
// `png`.
QImage rasterise(const QString& pdf, int dpi, const QString& png, int page = 1);
// How many pages the PDF has (pdfinfo).
int pageCount(const QString& pdf);
// What zbarimg reads on all pages, rasterised at `dpi` into `folder`, sorted.
QStringList codesOnEveryPage(const QString& pdf, int dpi, const QString& folder);

// What zbarimg reads from a whole page, sorted ("EAN-13:4901234567894").
QStringList zbarCodes(const QString& png);
// What zbar should read: the code of each label with a product name and a 13- or 8-digit JAN.
QStringList expectedZbarCodes(const SheetState& sheet);

// Where label n starts on the page, in mm, with the sheet's offsets.
double labelLeft(const SheetState& sheet, int n);
double labelTop(const SheetState& sheet, int n);
// The words printed inside label n, in reading order, joined by blanks, as a clerk reads the
// label. A big price starts at the label's left edge: a word counts from a millimetre before.
QString labelText(const QList<Word>& words, const SheetState& sheet, int n);

// The seven texts of label n where they must land on paper: anchor plus offset.
QList<Word> expectedWords(const SheetState& sheet, int n);
// The word with the same text nearest to `expected`, and its distance in mm (huge if none).
std::pair<Word, double> nearestWord(const QList<Word>& words, const Word& expected);

// What is wrong with label n's bars on a grey raster (empty if nothing): they must start after
// the quiet zone, span 95 (or 67) modules, and every bar and gap be whole `module` pixels.
QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi, int module);
// The same for label n printed with its top-left corner at `corner` (mm).
QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi, int module,
                     SheetOrigin corner);

}  // namespace zukaro::printed
