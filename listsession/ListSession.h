#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>
#include <vector>

#include "ListSheets.h"
#include "PrintHistory.h"
#include "ProductMaster.h"
#include "ProductRow.h"

// The steps of the weekly price change that the list window and --print-list share, so that
// both mark, choose and record alike: each row against the label last printed for its code,
// the new and changed rows chosen, and the rows a plan printed recorded as printed.
namespace zukaro {

class WorkProgress;

// Row `i` of a list, however the caller keeps its rows.
using RowAt = std::function<ProductRow(std::size_t)>;

// How the rows of a list stand against the print history, read in one look-up.
struct HistoryMarks {
    bool asked = false;             // the history was read
    QString error;                  // why it could not be
    std::vector<ChangeMark> marks;  // by row
    // The last label of each row that changed since (新規 rows have none): a long list printed
    // before must not hold its old labels twice.
    QHash<std::size_t, PrintedLabel> last;

    qint64 count(ChangeMark mark) const;
    // 「変更分だけ」, --changed-only: the new and changed rows.
    std::vector<bool> changed() const;
};

// What the list shows of a row printed before: the price then, as the clerk reads it, and what
// changed and when it was printed.
struct LastPrintedWords {
    QString price;
    QString tip;
};

// Marks `rowCount` rows, as they print on `day` (null: today), against `master`'s history: a
// sale that starts or ends on that day marks its row. A row without a rate of its own is
// compared as printed with `defaultRate`.
HistoryMarks markAgainstHistory(std::size_t rowCount, const RowAt& row, ProductMaster& master,
                                int defaultRate, WorkProgress* progress = nullptr,
                                const QDate& day = {},
                                const std::vector<TaxRateChange>& rateChanges = {});

// The labels the plan's rows printed for `day` (null: today), as the history keeps them,
// stamped `when`.
std::vector<PrintedLabel> printedLabels(const SheetPlan& plan, const RowAt& row, int defaultRate,
                                        const QDateTime& when, const QDate& day = {},
                                        const std::vector<TaxRateChange>& rateChanges = {});

// After a print or a save on the clerk's word: the plan's rows recorded in `master` as printed
// now for `day` (null: today), all in one transaction.
ProductMaster::RecordResult recordPrinted(const SheetPlan& plan, const RowAt& row,
                                          ProductMaster& master, int defaultRate,
                                          WorkProgress* progress = nullptr, const QDate& day = {},
                                          const std::vector<TaxRateChange>& rateChanges = {});

}  // namespace zukaro
