#include "PrintedSheet.h"

#include <ZXing/DecodeHints.h>
#include <ZXing/ReadBarcode.h>

#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocumentFragment>
#include <cmath>

#include "ItemTexts.h"

namespace zukaro::printed {
namespace {

// The encoder's own conversion: 56.7 twips to the millimetre.
constexpr double kTwipsPerMm = 56.7;

// Width of `count` half-width spaces, in mm, at `points`.
double spacesMm(qsizetype count, double points) {
    return static_cast<double>(count) * points / 2 * kMmPerPoint;
}

qsizetype leadingSpaces(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text.at(n) == u' ') {
        ++n;
    }
    return n;
}

// A printed line as a word: the visible text after its leading spaces, moved right by them.
Word placed(const QString& line, double x, double y, double points) {
    const qsizetype spaces = leadingSpaces(line);
    return {line.mid(spaces), x + spacesMm(spaces, points), y};
}

}  // namespace

QStringList missingTools() {
    QStringList missing;
    for (const char* tool : {"pdftotext", "pdftoppm", "zbarimg"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            missing << QLatin1String(tool);
        }
    }
    return missing;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(program), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<Word> pdfWords(const QString& pdf) {
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    const QString html =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
             QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> words;
    for (const QRegularExpressionMatch& m : re.globalMatch(html)) {
        const QString text = QTextDocumentFragment::fromHtml(m.captured(3)).toPlainText();
        words.append(
            {text, m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint});
    }
    return words;
}

QImage rasterise(const QString& pdf, int dpi, const QString& png) {
    QString stem = png;
    stem.chop(4);  // pdftoppm adds ".png" itself
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
         QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
         QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, stem});
    QImageReader::setAllocationLimit(0);  // an A4 page at 600 dpi is larger than Qt's default
    return QImage(png).convertToFormat(QImage::Format_Grayscale8);
}

QStringList zbarCodes(const QString& png) {
    QStringList found = run(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), png})
                            .split(u'\n', Qt::SkipEmptyParts);
    found.sort();
    return found;
}

QStringList expectedZbarCodes(const SheetState& sheet) {
    QStringList expected;
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString code = barcodeCode(sheet.janText[n]);
        if (sheet.productText[n].isEmpty() || code.isEmpty()) {
            continue;
        }
        expected << (code.size() == 8 ? QStringLiteral("EAN-8:") : QStringLiteral("EAN-13:")) +
                        code;
    }
    expected.sort();
    return expected;
}

QString zxingCode(const QImage& grayCell) {
    const QImage gray = grayCell.convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                          static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::EAN8);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? QString::fromStdWString(result.text()) : QString();
}

double labelLeft(const SheetState& sheet, int n) {
    return labelColumn(n) * kLabelPitchX + sheet.sheetX;
}

double labelTop(const SheetState& sheet, int n) {
    return labelRow(n) * kLabelPitchY + sheet.sheetY;
}

int mmToPixel(double mm, int dpi) {
    return static_cast<int>(std::floor(mm / 25.4 * dpi));
}

QRect labelCell(const SheetState& sheet, int n, int dpi) {
    return {mmToPixel(labelLeft(sheet, n), dpi), mmToPixel(labelTop(sheet, n), dpi),
            mmToPixel(kLabelPitchX, dpi), mmToPixel(kLabelPitchY, dpi)};
}

QList<Word> expectedWords(const SheetState& sheet, int n) {
    const Layout& l = sheet.layout;
    const double x0 = labelLeft(sheet, n);
    const double y0 = labelTop(sheet, n);
    return {
        placed(janDigitsLine(sheet.janText[n]), x0 + 32 + l.janX, y0 + 11 + l.janY, l.janFont.Size),
        placed(sheet.makerText[n], x0 + 5 + l.makerX, y0 + 13.5 + l.makerY, l.makerFont.Size),
        placed(centredProductName(sheet.productText[n]), x0 + 4 + l.productX, y0 + 17 + l.productY,
               l.productFont.Size),
        placed(priceField(sheet.priceText[n]), x0 + l.priceX, y0 + 20 + l.priceY, l.priceFont.Size),
        placed(sheet.specText[n], x0 + 8 + l.specX, y0 + 26 + l.specY, l.specFont.Size),
        placed(sheet.lotText[n], x0 + 8 + l.lotX, y0 + 30 + l.lotY, l.lotFont.Size),
        placed(QStringLiteral("円"), x0 + 48 + l.yenX, y0 + 30 + l.yenY, l.yenFont.Size),
    };
}

std::pair<Word, double> nearestWord(const QList<Word>& words, const Word& expected) {
    std::pair<Word, double> best{{}, 1e9};
    for (const Word& w : words) {
        const double d = std::hypot(w.x - expected.x, w.y - expected.y);
        if (w.text == expected.text && d < best.second) {
            best = {w, d};
        }
    }
    return best;
}

QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi,
                     int modulePixels) {
    const bool ean8 = barcodeCode(sheet.janText[n]).size() == 8;
    const int darkModules = ean8 ? 67 : 95;
    const double twipsPerPixel = 1440.0 / dpi;
    const double rectLeft = labelLeft(sheet, n) + 10 + sheet.layout.barX;
    const int left = static_cast<int>(std::floor(rectLeft * kTwipsPerMm / twipsPerPixel));
    const int right = mmToPixel(rectLeft + 55, dpi);
    const int y = mmToPixel(labelTop(sheet, n) + 7 + sheet.layout.barY, dpi);
    if (y < 0 || y >= page.height() || right >= page.width()) {
        return QStringLiteral("the bars lie outside the page");
    }
    const uchar* row = page.constScanLine(y);
    auto dark = [row](int x) { return row[x] < 128; };
    int first = left;
    while (first < right && !dark(first)) {
        ++first;
    }
    int last = right;
    while (last > first && !dark(last)) {
        --last;
    }
    if (first != left + 9 * modulePixels) {
        return QStringLiteral("the first bar starts at pixel %1, expected %2")
            .arg(first)
            .arg(left + 9 * modulePixels);
    }
    if (last - first + 1 != darkModules * modulePixels) {
        return QStringLiteral("the bars span %1 pixels, expected %2")
            .arg(last - first + 1)
            .arg(darkModules * modulePixels);
    }
    int runStart = first;
    for (int x = first + 1; x <= last + 1; ++x) {
        if (x == last + 1 || dark(x) != dark(runStart)) {
            if ((x - runStart) % modulePixels != 0) {
                return QStringLiteral("a run of %1 pixels at %2").arg(x - runStart).arg(runStart);
            }
            runStart = x;
        }
    }
    return {};
}

}  // namespace zukaro::printed
