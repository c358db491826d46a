#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ColumnMapping.h"
#include "LabelNotes.h"
#include "ListSession.h"
#include "ListSheets.h"
#include "MasterComparison.h"
#include "PrintHistory.h"
#include "ProductRows.h"
#include "SheetState.h"
#include "WorkProgress.h"

class QSettings;

// Reading a list for the list window, on a thread of its own: its products, each checked, how
// their labels come out on paper, what the product master says of them and how they stand
// against the labels last printed. No widget is touched here.
namespace zukaro {

class ProductMaster;

// How rows stand against the labels last printed for their codes, asked of the master in one
// read. Only changed rows keep words for the table: a long list that was all printed before
// must not hold its old labels twice.
struct Marked {
    bool asked = false;
    QString error;  // the master could not be read
    std::vector<ChangeMark> marks;
    QHash<std::size_t, LastPrintedWords> printed;
};
// `day`: the day the rows print for (null: today).
Marked markRows(const std::vector<ProductRow>& rows, ProductMaster& master, int defaultRate,
                const std::vector<TaxRateChange>& rateChanges, WorkProgress& progress,
                const QDate& day = {});

// What the product master says of a list, read without writing anything: what registering the
// whole list (the rows it held before and the new ones) would change.
struct MasterView {
    bool asked = false;
    QString error;  // the master could not be read
    MasterPreview preview;
    qint64 filled = 0;  // rows of a code alone whose texts came from the master
};

// The master a list is read against: rows of a code alone are filled from it (those it does
// not know are noted by line), and the whole list, `before` and the new rows, is compared with
// it. `listTimes[batch]`: when each batch's list was made (see compareWithMaster).
struct MasterAsked {
    ProductMaster* master = nullptr;  // another() of the window's: it is opened on this thread
    const std::vector<ProductRow>* before = nullptr;  // the rows the list holds already
    std::vector<QDateTime> listTimes;
    int defaultRate = kStandardTaxRate;
    std::vector<TaxRateChange> rateChanges{};  // the layout's, for the rate in force on `day`
    QDate day{};  // the day the list prints for (印刷日); null: today
};
// The list's rows against the master as it is now, for 「マスターに登録」.
MasterView viewOfMaster(const std::vector<ProductRow>& rows, ProductMaster& master,
                        const std::vector<QDateTime>& listTimes, WorkProgress& progress);

// The products of a list and what laying each out has to say.
struct Loaded {
    ReadProducts read;
    std::vector<ProductRow> rows;
    std::vector<RowCheck> checks;
    LabelNotes notes;
    bool notesChecked = false;
    bool cancelled = false;
    Marked marked;
    MasterView master;
};

// Reads a list (a file, or pasted rows) as batch `batch` (0: the list's file, 1, 2, …: the
// pastes after it): the columns as remembered (or `given`), each row checked, the labels' notes
// with `base`'s layout, and, when `asked` names a master, the rows of a code alone filled from
// it, the list compared with it and marked against the labels last printed. Notes and marks
// are for the day `asked` names (null: today).
Loaded load(const std::function<SourceResult(const RowSink&, WorkProgress&)>& reader,
            QSettings* remembered, const std::optional<ColumnMapping>& given,
            const SheetState& base, const QString& name, const RowOptions& options, int batch,
            const MasterAsked* asked, WorkProgress& progress);

}  // namespace zukaro
