#include "LabelFileReport.h"

namespace zukaro {

namespace {

QString joinNumbers(const std::vector<int>& numbers) {
    QStringList parts;
    for (int n : numbers) {
        parts << QString::number(n);
    }
    return parts.join(u'、');
}

}  // namespace

QStringList LabelFileReport::warnings() const {
    QStringList lines;
    if (!opened) {
        return lines;
    }
    if (!droppedRecords.empty()) {
        lines << QStringLiteral(
                     "ラベル番号が 1 から 21 でない行を読み飛ばしました（%1 件目の行）。")
                     .arg(joinNumbers(droppedRecords));
    }
    if (!overwrittenLabels.empty()) {
        lines << QStringLiteral("同じラベル番号の行が複数あり、後の行を使いました（ラベル %1）。")
                     .arg(joinNumbers(overwrittenLabels));
    }
    if (missingFields > 0) {
        lines << QStringLiteral("ファイルが途中で終わっています。足りない項目は空のままです。");
    }
    if (unclosedQuote) {
        lines << QStringLiteral(
            "閉じていない \" があり、ファイルの終わりまでを一つの項目として読みました。");
    }
    if (droppedAfterQuotes > 0) {
        lines << QStringLiteral("\" の後ろにあった %1 文字を読み飛ばしました。")
                     .arg(droppedAfterQuotes);
    }
    if (settingsFieldsSkipped > 0) {
        lines << QStringLiteral(
                     "レイアウト設定のうち %1 項目を読めなかったため、元の設定のままにしました。")
                     .arg(settingsFieldsSkipped);
    }
    for (const SkippedLine& skipped : skippedLines) {
        lines << skipped.text();
    }
    if (moreSkippedLines > 0) {
        lines << moreSkippedLinesText(moreSkippedLines);
    }
    if (invalidBytes > 0) {
        lines << QStringLiteral("シフトJISとして読めないバイトが %1 個あり、「\uFFFD」にしました。")
                     .arg(invalidBytes);
    }
    if (nulCharacters > 0) {
        lines << QStringLiteral("ラベルの文字に混じっていた NUL 文字 %1 個を取り除きました。")
                     .arg(nulCharacters);
    }
    return lines;
}

}  // namespace zukaro
