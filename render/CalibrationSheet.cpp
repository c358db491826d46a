#include "CalibrationSheet.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "Units.h"

namespace zukaro {
namespace {

const std::string kFace = "ＭＳ ゴシック";
constexpr draw::WinColor kOutlineColor = draw::rgb(160, 160, 160);
constexpr double kArmBefore = 3;  // mm of the cross's arms outside the label
constexpr double kArmInto = kCalibrationScaleDistance + 4;  // reaching past the scales
constexpr double kScalePoints = 5;
constexpr double kWordPoints = 8;

void setFont(draw::DrawTarget& target, double points, bool bold = false) {
    target.setFontName(kFace);
    target.setFontSize(points);
    target.setFontBold(bold);
    target.setFontItalic(false);
    target.setFontUnderline(false);
    target.setForeColor(draw::kBlack);
}

void printAt(draw::DrawTarget& target, double x, double y, const QString& text) {
    target.setCurrentPosition(x, y);
    target.printText(text.toStdString());
}

// Text centred on (x, y).
void printCentred(draw::DrawTarget& target, double x, double y, const QString& text,
                  double points) {
    const double width = target.textWidth(text.toStdString());
    printAt(target, x - width / 2, y - points * draw::kMmPerPoint / 2, text);
}

// Ticks every 0.5 mm, longer at whole and five millimetres.
double tickLength(int halfMillimetres) {
    if (halfMillimetres % 10 == 0) {
        return 2.5;
    }
    return halfMillimetres % 2 == 0 ? 1.5 : 1.0;
}

// How many half millimetres a half of a scale reaches from the cross at `at` towards the
// paper's edge at `edge`: the whole reach, or what stays on the paper.
int halfSteps(double at, double edge) {
    const double room = std::abs(edge - at) - kCalibrationPaperMargin;
    const int whole = static_cast<int>(kCalibrationScaleReach * 2);
    return std::clamp(static_cast<int>(std::floor(room * 2 + 1e-9)), 0, whole);
}

// The word that says which way the cross went, in the middle of its half of a scale: `steps`
// half millimetres from the cross at `from`, towards `direction` (+1 or −1) along the scale. A
// half cut short by the paper's edge holds a smaller word, between the cross and the paper's
// edge, and one too short for a legible word holds none. `place(centre, points)` puts the
// word, in the font set, with its centre at `centre` along the scale.
void printHalfWord(draw::DrawTarget& target, double from, int steps, double direction,
                   const std::function<void(double, double)>& place) {
    constexpr double kClearOfCross = 0.3;
    constexpr double kSmallestWordPoints = 4;
    const bool whole = steps >= static_cast<int>(kCalibrationScaleReach * 2);
    const double length = steps * 0.5 - kClearOfCross;
    double points = kWordPoints;
    const double em = points * draw::kMmPerPoint;  // the words are one full-width character
    if (!whole && length < em * 1.5) {
        points = std::min(kWordPoints, length / draw::kMmPerPoint);
    }
    if (points < kSmallestWordPoints) {
        return;
    }
    setFont(target, points, true);
    place(whole ? from + direction * kCalibrationScaleReach / 2
                : from + direction * (kClearOfCross + length / 2),
          points);
}

// The scale across the label's left edge, below the cross at `c`: where the edge runs left of
// the cross, the cross landed right of the corner.
void drawAcrossScale(draw::DrawTarget& target, SheetOrigin c) {
    const double y = c.y + kCalibrationScaleDistance;
    const int left = halfSteps(c.x, 0);
    const int right = halfSteps(c.x, kA4Width);
    target.drawLine(c.x - left * 0.5, y, c.x + right * 0.5, y, draw::kBlack);
    setFont(target, kScalePoints);
    for (int k = -left; k <= right; ++k) {
        const double x = c.x + k * 0.5;
        target.drawLine(x, y - tickLength(k), x, y, draw::kBlack);
        const QString number = QString::number(std::abs(k) / 2);
        const double half = target.textWidth(number.toStdString()) / 2;
        if (k != 0 && k % 4 == 0 && x - half >= 0 && x + half <= kA4Width) {
            printCentred(target, x, y + 1.5, number, kScalePoints);
        }
    }
    // Each half says which way the cross went, below its numbers.
    for (const auto& [word, steps, direction] :
         {std::tuple{QStringLiteral("右"), left, -1}, std::tuple{QStringLiteral("左"), right, 1}}) {
        printHalfWord(target, c.x, steps, direction,
                      [&, word = word](double centre, double points) {
                          printCentred(target, centre, y + 4.5, word, points);
                      });
    }
}

// The scale across the label's top edge, right of the cross: where the edge runs above the
// cross, the cross landed below the corner.
void drawDownScale(draw::DrawTarget& target, SheetOrigin c) {
    const double x = c.x + kCalibrationScaleDistance;
    const int up = halfSteps(c.y, 0);
    const int down = halfSteps(c.y, kA4Height);
    target.drawLine(x, c.y - up * 0.5, x, c.y + down * 0.5, draw::kBlack);
    setFont(target, kScalePoints);
    const double half = kScalePoints * draw::kMmPerPoint / 2;
    for (int k = -up; k <= down; ++k) {
        const double y = c.y + k * 0.5;
        target.drawLine(x - tickLength(k), y, x, y, draw::kBlack);
        if (k != 0 && k % 4 == 0 && y - half >= 0 && y + half <= kA4Height) {
            printCentred(target, x + 1.5, y, QString::number(std::abs(k) / 2), kScalePoints);
        }
    }
    for (const auto& [word, steps, direction] :
         {std::tuple{QStringLiteral("下"), up, -1}, std::tuple{QStringLiteral("上"), down, 1}}) {
        printHalfWord(target, c.y, steps, direction,
                      [&, word = word](double centre, double points) {
                          printCentred(target, x + 5, centre, word, points);
                      });
    }
}

// Where the label's top and left edges should run from its corner `c`, and the two scales.
void drawCross(draw::DrawTarget& target, SheetOrigin c, int lineWidth) {
    target.setLineWidth(lineWidth);
    const auto before = [](double at) {
        return std::clamp(at - kCalibrationPaperMargin, 0.0, kArmBefore);
    };
    target.drawLine(c.x - before(c.x), c.y, c.x + kArmInto, c.y, draw::kBlack);
    target.drawLine(c.x, c.y - before(c.y), c.x, c.y + kArmInto, draw::kBlack);
    drawAcrossScale(target, c);
    drawDownScale(target, c);
    target.setLineWidth(1);
}

QStringList instructions(const CalibrationSheetInfo& info) {
    QStringList lines;
    if (info.calibration.isNone()) {
        lines
            << QStringLiteral(
                   "調整なしで印刷しています。ラベル用紙に印刷して、次のように読んでください。")
            << QStringLiteral("1. ラベル 1 とラベル 21 の左上の角に十字があります。十字の線は、")
            << QStringLiteral("   ラベルの上の縁と左の縁が本来通る所です。")
            << QStringLiteral("2. 十字の 11 mm 下の目盛りで、ラベルの左の縁が通る所を 0.1 mm まで")
            << QStringLiteral(
                   "   読みます。その側の「右」か「左」と目盛りの数字が、十字の横のずれです。")
            << QStringLiteral("3. 十字の 11 mm 右の目盛りで、ラベルの上の縁が通る所を読みます。")
            << QStringLiteral("   その側の「下」か「上」と目盛りの数字が、十字の縦のずれです。")
            << QStringLiteral("4. 「印刷位置の調整」の画面に二つの十字のずれを入れ、保存します。");
    } else {
        lines << QStringLiteral("確認用: このプリンターの調整を入れて印刷しています。")
              << QStringLiteral("（%1）").arg(describeCalibration(info.calibration))
              << QStringLiteral("十字がラベルの角に重なっていれば、調整は合っています。")
              << QStringLiteral("読み直すときは、調整用シート（調整なし）を印刷してください。");
    }
    return lines;
}

}  // namespace

void drawCalibrationSheet(draw::DrawTarget& target, const CalibrationSheetInfo& info) {
    target.setScaleMode(draw::ScaleMode::Millimeters);
    target.setFillStyle(draw::FillStyle::Transparent);
    target.setLineWidth(1);
    const PrinterCalibration& calibration = info.calibration;
    for (int n = 1; n <= kLabelCount; ++n) {
        const SheetOrigin c = calibration.sendFor(labelCorner(n, info.shift));
        target.drawBox(c.x, c.y, c.x + kLabelPitchX, c.y + kLabelPitchY, kOutlineColor);
        setFont(target, 8);
        target.setForeColor(kOutlineColor);
        printAt(target, c.x + kLabelPitchX - 6, c.y + kLabelPitchY - 5, QString::number(n));
    }
    // About 0.1 mm, whatever the device's resolution: visible, and fine enough to read.
    const double pixelsPerMm = draw::kTwipsPerMm / target.printerTwipsPerPixel().x;
    const int lineWidth = std::max(1, static_cast<int>(std::lround(0.1 * pixelsPerMm)));
    for (const int n : {kFirstCrossLabel, kLastCrossLabel}) {
        drawCross(target, calibration.sendFor(labelCorner(n, info.shift)), lineWidth);
    }

    // The words go in the middle of the sheet, clear of both crosses.
    const SheetOrigin text = calibration.sendFor(labelCorner(4, info.shift));
    setFont(target, 14, true);
    printAt(target, text.x + 4, text.y + 4,
            info.calibration.isNone() ? QStringLiteral("印刷位置の調整用シート")
                                      : QStringLiteral("印刷位置の確認用シート"));
    setFont(target, 10);
    printAt(target, text.x + 4, text.y + 11,
            QStringLiteral("プリンター: %1　　印刷した日: %2").arg(info.printer, info.date));
    setFont(target, 9);
    double y = text.y + 18;
    for (const QString& line : instructions(info)) {
        printAt(target, text.x + 4, y, line);
        y += 5;
    }
}

}  // namespace zukaro
