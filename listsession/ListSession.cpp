#include "ListSession.h"

#include <QStringList>
#include <algorithm>

#include "WorkProgress.h"

namespace zukaro {

qint64 HistoryMarks::count(ChangeMark mark) const {
    return std::count(marks.begin(), marks.end(), mark);
}

std::vector<bool> HistoryMarks::changed() const {
    std::vector<bool> out;
    out.reserve(marks.size());
    for (const ChangeMark mark : marks) {
        out.push_back(needsPrinting(mark));
    }
    return out;
}

HistoryMarks markAgainstHistory(std::size_t rowCount, const RowAt& row, ProductMaster& master,
                                int defaultRate, WorkProgress* progress, const QDate& day,
                                const std::vector<TaxRateChange>& rateChanges) {
    HistoryMarks out;
    beginStep(progress, QStringLiteral("前回の印刷と比べています"), 0);
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(rowCount));
    for (std::size_t i = 0; i < rowCount; ++i) {
        keys << printedKey(row(i).jan);
    }
    const ProductMaster::PrintedResult found = master.lastPrinted(keys);
    if (!found.ok) {
        out.error = found.error;
        return out;
    }
    out.asked = true;
    out.marks.reserve(rowCount);
    for (std::size_t i = 0; i < rowCount; ++i) {
        const auto last = found.labels.constFind(keys[static_cast<qsizetype>(i)]);
        if (last == found.labels.cend()) {
            out.marks.push_back(ChangeMark::New);
            continue;
        }
        const ChangeMark mark = changeMark(row(i), *last, defaultRate, day, rateChanges);
        out.marks.push_back(mark);
        if (mark != ChangeMark::Unchanged) {
            out.last.insert(i, *last);
        }
    }
    return out;
}

std::vector<PrintedLabel> printedLabels(const SheetPlan& plan, const RowAt& row, int defaultRate,
                                        const QDateTime& when, const QDate& day,
                                        const std::vector<TaxRateChange>& rateChanges) {
    const std::vector<std::size_t> rows = plan.printedRows();
    std::vector<PrintedLabel> labels;
    labels.reserve(rows.size());
    for (const std::size_t i : rows) {
        labels.push_back(printedLabelOf(row(i), defaultRate, when, day, rateChanges));
    }
    return labels;
}

ProductMaster::RecordResult recordPrinted(const SheetPlan& plan, const RowAt& row,
                                          ProductMaster& master, int defaultRate,
                                          WorkProgress* progress, const QDate& day,
                                          const std::vector<TaxRateChange>& rateChanges) {
    return master.recordPrinted(
        printedLabels(plan, row, defaultRate, QDateTime::currentDateTimeUtc(), day, rateChanges),
        progress);
}

}  // namespace zukaro
