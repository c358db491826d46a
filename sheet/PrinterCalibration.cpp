#include "PrinterCalibration.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace zukaro {
namespace {

// A number as the words show it: rounded to one decimal, without its sign.
QString tenths(double value) {
    return QString::number(std::abs(std::round(value * 10) / 10), 'f', 1);
}

bool showsAsZero(double value) {
    return std::round(value * 10) == 0;
}

}  // namespace

SheetOrigin PrinterCalibration::sendFor(SheetOrigin corner) const {
    if (isNone()) {
        return corner;  // not even a rounding step: an uncalibrated sheet prints as always
    }
    return {(corner.x - offsetX) / scaleX, (corner.y - offsetY) / scaleY};
}

CalibrationResult calibrateFromCrosses(const CrossReading& first, const CrossReading& last,
                                       SheetOrigin shift, const PrinterCalibration& applied) {
    const SheetOrigin p1 = labelCorner(kFirstCrossLabel, shift);
    const SheetOrigin p2 = labelCorner(kLastCrossLabel, shift);
    const double lx = p2.x - p1.x;  // 132.2 mm between the crosses across
    const double ly = p2.y - p1.y;  // 228.6 mm down
    // Where the crosses were sent, and where on the stock they landed: p + reading.
    const SheetOrigin q1 = applied.sendFor(p1);
    const SheetOrigin q2 = applied.sendFor(p2);
    CalibrationResult result;
    // Per axis the printer puts what it is sent to, q, at offset + scale × q: the line through
    // the two landing points.
    const double scaleX = (p2.x + last.right - p1.x - first.right) / (q2.x - q1.x);
    const double scaleY = (p2.y + last.down - p1.y - first.down) / (q2.y - q1.y);
    const double stretchX = scaleX - 1;
    const double stretchY = scaleY - 1;
    if (!std::isfinite(stretchX) || !std::isfinite(stretchY) ||
        std::max(std::abs(stretchX), std::abs(stretchY)) > kLargestStretch) {
        const bool across = std::abs(stretchX) >= std::abs(stretchY);
        result.error =
            QStringLiteral(
                "ラベル 1 とラベル 21 の十字のずれが違いすぎます（%1に %2 %）。"
                "プリンターの伸び縮みはふつう 1 % 未満です。目盛りの読みと向き（右・左、下・上）を"
                "確かめてください。")
                .arg(across ? QStringLiteral("横") : QStringLiteral("縦"))
                .arg(stretchPercentText((across ? stretchX : stretchY) * 100));
        return result;
    }
    PrinterCalibration& c = result.calibration;
    c.scaleX = scaleX;
    c.scaleY = scaleY;
    c.offsetX = p1.x + first.right - scaleX * q1.x;
    c.offsetY = p1.y + first.down - scaleY * q1.y;
    // Crosses on the corners of the check sheet: the calibration as it is, not a rounding off it.
    if (first.right == 0 && first.down == 0 && last.right == 0 && last.down == 0) {
        c = applied;
    }

    // A turn of the paper by t (clockwise, y pointing down) moves the second cross against the
    // first by t × (−ly, lx): stretches of −t·ly/lx across and t·lx/ly down, always of opposite
    // sense. Where the readings have that pattern, the part both stretches share is a turn.
    // The turn is this sheet's: it shows in how the readings differ between the crosses.
    const double readX = (last.right - first.right) / lx;
    const double readY = (last.down - first.down) / ly;
    if (readX * readY < 0) {
        const double turn = std::min(std::abs(readX) * lx / ly, std::abs(readY) * ly / lx);
        const double clockwise = readY > 0 ? turn : -turn;
        result.skewDegrees = clockwise * 180 / std::numbers::pi;
        result.skewMovesLabel21 = turn * std::hypot(lx, ly);
    }
    if (!showsAsZero(result.skewMovesLabel21)) {
        result.note =
            QStringLiteral(
                "十字のずれ方は、用紙が%1に %2° 傾いて入ったときとも同じです"
                "（その傾きでラベル 21 が %3 mm 動きます）。")
                .arg(result.skewDegrees > 0 ? QStringLiteral("時計回り")
                                            : QStringLiteral("反時計回り"))
                .arg(QString::number(std::abs(result.skewDegrees), 'f', 2))
                .arg(tenths(result.skewMovesLabel21)) +
            (result.worthRechecking()
                 ? QStringLiteral("用紙をまっすぐに入れてもう一度印刷し、同じ読みになるかを"
                                  "確かめてから保存してください。")
                 : QStringLiteral("傾きは 1 枚ごとに変わるため補正せず、読みのとおりに"
                                  "保存します。"));
    }
    return result;
}

QString stretchPercentText(double percent) {
    const double limit = kLargestStretch * 100;
    const double value = std::abs(percent);
    int decimals = 1;
    for (; decimals < 4; ++decimals) {
        const double step = std::pow(10.0, decimals);
        if (std::round(value * step) / step != limit || std::abs(value - limit) < 1e-9) {
            break;
        }
    }
    const double step = std::pow(10.0, decimals);
    return QString::number(std::round(value * step) / step, 'f', decimals);
}

QString describeCalibration(const PrinterCalibration& c) {
    QStringList parts;
    if (!showsAsZero(c.offsetX)) {
        parts << (c.offsetX > 0 ? QStringLiteral("右に %1 mm") : QStringLiteral("左に %1 mm"))
                     .arg(tenths(c.offsetX));
    }
    if (!showsAsZero(c.offsetY)) {
        parts << (c.offsetY > 0 ? QStringLiteral("下に %1 mm") : QStringLiteral("上に %1 mm"))
                     .arg(tenths(c.offsetY));
    }
    // Each stretch is "…伸び" or "…縮み"; the last one ends the sentence.
    struct Stretch {
        QString axis;
        double percent;
    };
    std::vector<Stretch> stretches;
    for (const Stretch& s : {Stretch{QStringLiteral("横"), (c.scaleX - 1) * 100},
                             Stretch{QStringLiteral("縦"), (c.scaleY - 1) * 100}}) {
        if (!showsAsZero(s.percent)) {
            stretches.push_back(s);
        }
    }
    if (stretches.empty()) {
        return parts.isEmpty() ? QStringLiteral("ずれも伸び縮みもありません")
                               : parts.join(QStringLiteral("、")) + QStringLiteral(" ずれています");
    }
    for (const Stretch& s : stretches) {
        const bool last = &s == &stretches.back();
        const bool grows = s.percent > 0;
        parts << QStringLiteral("%1に %2 % ").arg(s.axis, stretchPercentText(s.percent)) +
                     (grows ? (last ? QStringLiteral("伸びています") : QStringLiteral("伸び"))
                            : (last ? QStringLiteral("縮んでいます") : QStringLiteral("縮み")));
    }
    return parts.join(QStringLiteral("、"));
}

}  // namespace zukaro
