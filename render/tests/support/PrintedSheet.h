#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include "SheetState.h"

// A printed sheet read back from outside, the way a person with a ruler and a scanner would:
// where poppler finds each text, what zbar and ZXing read from a raster of the page, and how
// wide the bars are in printer pixels.
namespace zukaro::printed {

inline constexpr double kMmPerPoint = 25.4 / 72;

struct Word {
    QString text;
    double x = 0;  // left edge of the first character, mm from the page's left edge
    double y = 0;  // top of the text line, mm from the page's top edge
};

// The tools these checks run; the names of those that are not installed.
QStringList missingTools();

// Runs a program and returns what it wrote, or an empty text when it failed.
QString run(const QString& program, const QStringList& args);

// Every word of the PDF's first page (pdftotext -bbox).
QList<Word> pdfWords(const QString& pdf);

// The first page rasterised in grey at `dpi` (pdftoppm), also written to `png`.
QImage rasterise(const QString& pdf, int dpi, const QString& png);

// What zbarimg reads from a whole page, sorted ("EAN-13:4901234567894").
QStringList zbarCodes(const QString& png);
// What zbar should read from the sheet: one code for each label with a product name and a
// JAN text of 13 or 8 characters.
QStringList expectedZbarCodes(const SheetState& sheet);

// What ZXing reads from one label cell of a grey raster (one symbol per image).
QString zxingCode(const QImage& grayCell);

// Where label n starts on the page, in mm, with the sheet's offsets.
double labelLeft(const SheetState& sheet, int n);
double labelTop(const SheetState& sheet, int n);
int mmToPixel(double mm, int dpi);
// Label n's cell of a raster at `dpi`.
QRect labelCell(const SheetState& sheet, int n, int dpi);

// The seven texts of label n where they must land on paper: the item's anchor plus its
// offset, moved right by the leading spaces (half an em each in the fixed-pitch faces).
QList<Word> expectedWords(const SheetState& sheet, int n);

// The word with the same text nearest to `expected`, and its distance in mm (a huge
// distance when there is none).
std::pair<Word, double> nearestWord(const QList<Word>& words, const Word& expected);

// Checks the bars of label n on a grey raster at `dpi`: the dark span starts 9 modules (the
// quiet zone) after the bar rectangle's left edge, is `darkModules` modules wide, and every
// bar and gap is a whole number of `modulePixels`. Returns what is wrong, or an empty text.
QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi, int modulePixels);

}  // namespace zukaro::printed
