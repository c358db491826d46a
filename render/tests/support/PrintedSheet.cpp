#include "PrintedSheet.h"

#include "Units.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocumentFragment>
#include <algorithm>
#include <cmath>

#include "ItemTexts.h"

namespace zukaro::printed {
namespace {

QStringList splitArgs(const char* text) {
    return QString::fromLatin1(text).split(u' ');
}

// A printed line as a word: leading spaces move it right, half an em each (fixed pitch).
Word placed(const QString& line, double x, double y, double points) {
    static const QRegularExpression leading(QStringLiteral("^ *"));
    const qsizetype spaces = leading.match(line).capturedLength();
    return {line.mid(spaces), x + static_cast<double>(spaces) * points / 2 * kMmPerPoint, y};
}

}  // namespace

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
        R"re(<word xMin="(-?[\d.]+)" yMin="(-?[\d.]+)" xMax="(-?[\d.]+)" yMax="(-?[\d.]+)">([^<]*)</word>)re"));
    const QString html = run(QStringLiteral("pdftotext"), splitArgs("-f 1 -l 1 -bbox")
                                                              << pdf << QStringLiteral("-"));
    QList<Word> found;
    for (const QRegularExpressionMatch& m : re.globalMatch(html)) {
        found.append(
            {QTextDocumentFragment::fromHtml(m.captured(5)).toPlainText(),
             m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint,
             m.captured(4).toDouble() * kMmPerPoint, m.captured(3).toDouble() * kMmPerPoint});
    }
    return found;
}

QImage rasterise(const QString& pdf, int dpi, const QString& png, int page) {
    const QString pageNumber = QString::number(page);
    const QStringList args =
        QStringList{QStringLiteral("-f"), pageNumber, QStringLiteral("-l"), pageNumber}
        << splitArgs("-gray -singlefile -png -r") << QString::number(dpi) << pdf
        << png.chopped(4);  // adds ".png"
    run(QStringLiteral("pdftoppm"), args);
    QImageReader::setAllocationLimit(0);  // an A4 page at 600 dpi is larger than Qt's default
    return QImage(png).convertToFormat(QImage::Format_Grayscale8);
}

int pageCount(const QString& pdf) {
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(run(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

QStringList codesOnEveryPage(const QString& pdf, int dpi, const QString& folder) {
    QStringList codes;
    for (int page = 1; page <= pageCount(pdf); ++page) {
        const QString png = QDir(folder).filePath(QStringLiteral("page%1.png").arg(page));
        rasterise(pdf, dpi, png, page);
        codes << zbarCodes(png);
    }
    codes.sort();
    return codes;
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
        if (!sheet.productText[n].isEmpty() && !code.isEmpty()) {
            expected << QStringLiteral("EAN-%1:%2").arg(code.size() == 8 ? 8 : 13).arg(code);
        }
    }
    expected.sort();
    return expected;
}

double labelLeft(const SheetState& sheet, int n) {
    return labelColumn(n) * kLabelPitchX + sheet.sheetX;
}

double labelTop(const SheetState& sheet, int n) {
    return labelRow(n) * kLabelPitchY + sheet.sheetY;
}

QString labelText(const QList<Word>& words, const SheetState& sheet, int n) {
    const double left = labelLeft(sheet, n), top = labelTop(sheet, n);
    QList<Word> inside;
    for (const Word& w : words) {
        if (w.x >= left - 1 && w.x < left + kLabelPitchX - 1 && w.y >= top &&
            w.y < top + kLabelPitchY) {
            inside << w;
        }
    }
    std::sort(inside.begin(), inside.end(), [](const Word& a, const Word& b) {
        return std::pair(std::lround(a.y), a.x) < std::pair(std::lround(b.y), b.x);
    });
    QStringList texts;
    for (const Word& w : inside) {
        texts << w.text;
    }
    return texts.join(u' ');
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

QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi, int module) {
    return checkModules(page, sheet, n, dpi, module, {labelLeft(sheet, n), labelTop(sheet, n)});
}

QString checkModules(const QImage& page, const SheetState& sheet, int n, int dpi, int module,
                     SheetOrigin corner) {
    const int darkModules = barcodeCode(sheet.janText[n]).size() == 8 ? 67 : 95;
    const double rectLeft = corner.x + 10 + sheet.layout.barX;
    // The encoder's own conversion of millimetres.
    const int left = static_cast<int>(
        std::floor(rectLeft * draw::kBarGridTwipsPerMm * dpi / draw::kTwipsPerInch));
    auto pixel = [dpi](double mm) { return static_cast<int>(std::floor(mm / 25.4 * dpi)); };
    const int right = pixel(rectLeft + 55);
    const int y = pixel(corner.y + 7 + sheet.layout.barY);
    if (y < 0 || y >= page.height() || right >= page.width()) {
        return QStringLiteral("the bars lie outside the page");
    }
    const uchar* row = page.constScanLine(y);
    QList<int> edges;  // where light turns dark or dark turns light
    for (int x = left; x < right; ++x) {
        if ((row[x] < 128) != (row[x + 1] < 128)) {
            if (!edges.isEmpty() && (x + 1 - edges.back()) % module != 0) {
                return QString::asprintf("a run of %d pixels at %d", x + 1 - edges.back(),
                                         edges.back());
            }
            edges << x + 1;
        }
    }
    if (edges.isEmpty() || edges.front() != left + 9 * module ||
        edges.back() - edges.front() != darkModules * module) {
        return QString::asprintf("bars at pixels %d to %d, expected from %d over %d",
                                 edges.value(0), edges.value(edges.size() - 1), left + 9 * module,
                                 darkModules * module);
    }
    return {};
}

}  // namespace zukaro::printed
