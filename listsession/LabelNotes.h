#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "ListSheets.h"
#include "ProductRow.h"
#include "SheetState.h"
#include "WorkProgress.h"

// What the clerk is told of a list before its labels print, the same in the list window and on
// --print-list's error stream: the rows the reading refused or noted, the plan's (no product, no
// copies), and how each printed row's labels come out on paper (LabelLayout).
namespace zukaro {

// Notes about how labels come out on paper, by the row index they came from.
using LabelNotes = std::vector<std::pair<std::size_t, QString>>;

// A list this long is not checked for how its labels come out on paper: some seconds of work,
// and it cannot print in one job anyway. A shorter one is checked again, on the window's
// thread, when the editor's layout has changed since.
inline constexpr std::size_t kMaxCheckedRows = 100'000;
inline constexpr std::size_t kRecheckedRows = 1'000;

// How the labels of `plan`'s rows `rows` (by index, in order) come out on paper with `base`'s
// layout, printed for `day` (null: today): `tell(row, text)` per note, each row checked once.
void eachLabelNote(const SheetPlan& plan, const std::vector<std::size_t>& rows,
                   const SheetState& base, WorkProgress* progress,
                   const std::function<void(std::size_t row, const QString& text)>& tell,
                   const QDate& day = {});

// The same for every row with a product name, kept by row index: the window checks them once as
// the list is read, whichever rows print in the end.
LabelNotes labelNotes(const std::vector<ProductRow>& rows, const std::vector<RowCheck>& checks,
                      const SheetState& base, WorkProgress* progress, const QDate& day = {});

// The notes of one plan, counted: the first kept with their texts, all counted.
class PlanNotes {
public:
    // `readCount`: all the problems the reading found, kept or not.
    PlanNotes(const SheetPlan& plan, qint64 readCount);
    // A note on how a printed row's labels come out on paper.
    void addLabelNote(RowProblem note);
    // The reading's kept problems with the plan's notes, by line; on one line the reading's first.
    std::vector<RowProblem> inOrder(std::vector<RowProblem> reading) const;
    qint64 count() const { return count_; }

private:
    std::vector<RowProblem> notes_;
    qint64 count_ = 0;
};

}  // namespace zukaro
