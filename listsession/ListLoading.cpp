#include "ListLoading.h"

#include <algorithm>

#include "CodeRows.h"
#include "ListSession.h"
#include "MasterMessages.h"
#include "ProductMaster.h"
#include "ShownText.h"

namespace zukaro {

Marked markRows(const std::vector<ProductRow>& rows, ProductMaster& master, int defaultRate,
                const std::vector<TaxRateChange>& rateChanges, WorkProgress& progress,
                const QDate& day) {
    HistoryMarks marked = markAgainstHistory(
        rows.size(), [&rows](std::size_t i) { return rows[i]; }, master, defaultRate, &progress,
        day, rateChanges);
    Marked out;
    out.asked = marked.asked;
    out.error = std::move(marked.error);
    out.marks = std::move(marked.marks);
    for (auto last = marked.last.cbegin(); last != marked.last.cend(); ++last) {
        const ProductRow& row = rows[last.key()];
        out.printed.insert(
            last.key(),
            {last->price.isEmpty() ? QStringLiteral("なし") : last->price,
             describeChange(row, *last, defaultRate, day, rateChanges) +
                 QStringLiteral("\n前回の印刷: ") +
                 last->printedAt.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))});
    }
    return out;
}

namespace {

// The paste (0: the list's file) the rows and their problems came from.
void numberBatch(Loaded& loaded, int batch) {
    for (ProductRow& row : loaded.rows) {
        row.batch = batch;
    }
    for (RowProblem& problem : loaded.read.problems.problems) {
        problem.batch = batch;
    }
}

QStringList keysOf(const std::vector<ProductRow>& rows) {
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(rows.size()));
    for (const ProductRow& row : rows) {
        keys << ProductMaster::keyOf(row.jan);
    }
    return keys;
}

}  // namespace

MasterView viewOfMaster(const std::vector<ProductRow>& rows, ProductMaster& master,
                        const std::vector<QDateTime>& listTimes, WorkProgress& progress) {
    MasterView view;
    progress.beginStep(QStringLiteral("商品マスタと比べています"), 0);
    const ProductMaster::StoredResult stored = master.storedProducts(keysOf(rows));
    if (!stored.ok) {
        view.error = stored.error;
        return view;
    }
    view.asked = true;
    view.preview = compareWithMaster(rows, stored.products, listTimes);
    return view;
}

Loaded load(const std::function<SourceResult(const RowSink&, WorkProgress&)>& reader,
            QSettings* remembered, const std::optional<ColumnMapping>& given,
            const SheetState& base, const QString& name, const RowOptions& options, int batch,
            const MasterAsked* asked, WorkProgress& progress) {
    constexpr std::size_t kRowsPerStep = 4096;
    Loaded out;
    out.read =
        readProducts([&](const RowSink& take) { return reader(take, progress); }, remembered, given,
                     [&out](ProductRow&& row) { out.rows.push_back(std::move(row)); }, options);
    out.cancelled = out.read.source.cancelled;
    if (!out.read.source.ok) {
        return out;
    }
    // Columns the clerk chose are taken as chosen; a file found to be no product list is not.
    if (!given) {
        if (QString refused = notAProductList(out.read.head, out.read.mapping, name);
            !refused.isEmpty()) {
            out.read.source = {false, false, std::move(refused), {}, {}};
            out.rows.clear();
            return out;
        }
    }
    numberBatch(out, batch);
    // What the master knows of the list, the rows it held already with it: read once, to fill
    // the codes that come alone and to say what registering would change.
    std::optional<ProductMaster::StoredResult> stored;
    if (asked != nullptr && asked->master != nullptr) {
        progress.beginStep(QStringLiteral("商品マスタと比べています"), 0);
        QStringList keys = asked->before ? keysOf(*asked->before) : QStringList();
        keys << keysOf(out.rows);
        stored = asked->master->storedProducts(keys);
        if (stored->ok) {
            const RowAt row = [&out](std::size_t i) { return out.rows[i]; };
            out.master.filled = fillCodes(
                rowsOfCodesAlone(out.rows.size(), row), row,
                [&out](std::size_t i, const ProductRow& filled) { out.rows[i] = filled; },
                stored->products, master::name(asked->master->location()), out.read.problems);
        } else {
            out.master.error = stored->error;
        }
    }
    progress.beginStep(QStringLiteral("行を確かめています"), static_cast<qint64>(out.rows.size()));
    out.checks.reserve(out.rows.size());
    for (std::size_t i = 0; i < out.rows.size(); ++i) {
        if (i % kRowsPerStep == 0) {
            progress.setDone(static_cast<qint64>(i));
            if (progress.cancelled()) {
                out.cancelled = true;
                return out;
            }
        }
        out.checks.push_back(checkRow(out.rows[i]));
    }
    out.notesChecked = out.rows.size() <= kMaxCheckedRows;
    if (out.notesChecked) {
        out.notes = labelNotes(out.rows, out.checks, base, &progress,
                               asked != nullptr ? asked->day : QDate());
        out.cancelled = progress.cancelled();
        if (out.cancelled) {
            return out;
        }
    }
    if (stored && stored->ok) {
        out.master.asked = true;
        if (asked->before != nullptr && !asked->before->empty()) {
            std::vector<ProductRow> all = *asked->before;
            all.insert(all.end(), out.rows.begin(), out.rows.end());
            out.master.preview = compareWithMaster(all, stored->products, asked->listTimes);
        } else {
            out.master.preview = compareWithMaster(out.rows, stored->products, asked->listTimes);
        }
    }
    if (asked != nullptr && asked->master != nullptr) {
        out.marked = markRows(out.rows, *asked->master, asked->defaultRate, asked->rateChanges,
                              progress, asked->day);
    }
    return out;
}

}  // namespace zukaro
