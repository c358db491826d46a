#include "SheetFiles.h"

#include <QDir>
#include <QFileInfo>
#include <climits>
#include <utility>

#include "Cp932.h"
#include "LabelFile.h"
#include "ProductColumn.h"
#include "ShownText.h"
#include "UnencodableText.h"

namespace zukaro {

QStringList numberedFiles(const QString& chosen, std::size_t count) {
    const QFileInfo info(chosen);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix();
    QStringList files;
    for (std::size_t i = 1; i <= count; ++i) {
        files << info.dir().filePath(QStringLiteral("%1-%2.%3")
                                         .arg(info.completeBaseName())
                                         .arg(i, 3, 10, QLatin1Char('0'))
                                         .arg(suffix));
    }
    return files;
}

QStringList unencodableLines(const SheetPlan& plan, const std::vector<ProductRow>& rows,
                             const Layout& layout) {
    QStringList lines =
        describeUnencodable(findUnencodable(layout), INT_MAX).split(u'\n', Qt::SkipEmptyParts);
    for (const std::size_t index : plan.rowsWithUnencodableText()) {
        const ProductRow& row = rows[index];
        const std::pair<ProductColumn, const QString*> texts[] = {
            {ProductColumn::Jan, &row.jan},         {ProductColumn::Maker, &row.maker},
            {ProductColumn::Product, &row.product}, {ProductColumn::Spec, &row.spec},
            {ProductColumn::Lot, &row.lot},         {ProductColumn::Price, &row.price}};
        for (const auto& [column, text] : texts) {
            for (const cp932::Unencodable& u : cp932::findUnencodable(*text)) {
                const char32_t c = u.character;
                lines << QStringLiteral("%1 行目の%2「%3」の「%4」")
                             .arg(QString::number(row.line), displayName(column), shownText(*text),
                                  QString::fromUcs4(&c, 1));
            }
        }
    }
    return lines;
}

void saveSheets(const SheetPlan& plan, const SheetState& base, const QStringList& files,
                WorkProgress& progress, SavedSheets& done) {
    const qint64 count = static_cast<qint64>(files.size());
    progress.beginStep(QStringLiteral("ラベルのファイルを保存しています"), count);
    for (qint64 i = 0; i < count && !progress.cancelled(); ++i) {
        progress.setDone(i);
        done.refused = writeLabelFile(files[static_cast<int>(i)], plan.sheet(i, base),
                                      UnencodablePolicy::WriteQuestionMark);
        if (!done.refused.ok) {
            return;
        }
        done.saved = i + 1;
    }
}

}  // namespace zukaro
