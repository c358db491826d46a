#include "LabelNotes.h"

#include <algorithm>

#include "LabelLayout.h"

namespace zukaro {

void eachLabelNote(const SheetPlan& plan, const std::vector<std::size_t>& rows,
                   const SheetState& base, WorkProgress* progress,
                   const std::function<void(std::size_t row, const QString& text)>& tell,
                   const QDate& day) {
    constexpr std::size_t kRowsPerStep = 20 * kLabelCount;
    beginStep(progress, QStringLiteral("ラベルの仕上がりを確かめています"),
              static_cast<qint64>(rows.size()));
    for (std::size_t first = 0; first < rows.size() && !cancelledBy(progress);
         first += kRowsPerStep) {
        reportDone(progress, static_cast<qint64>(first));
        notesByRow(
            std::min(kRowsPerStep, rows.size() - first),
            [&](std::size_t i) { return plan.label(rows[first + i], base.layout); }, base,
            [&](const RowNote& note) { tell(rows[first + note.row], note.text); }, day);
    }
}

LabelNotes labelNotes(const std::vector<ProductRow>& rows, const std::vector<RowCheck>& checks,
                      const SheetState& base, WorkProgress* progress, const QDate& day) {
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (checks[i].hasProduct) {
            named.push_back(i);
        }
    }
    const SheetPlan plan(planRowsOf(rows), 1, nullptr, &checks);
    LabelNotes notes;
    eachLabelNote(
        plan, named, base, progress,
        [&notes](std::size_t row, const QString& text) { notes.emplace_back(row, text); }, day);
    return notes;
}

PlanNotes::PlanNotes(const SheetPlan& plan, qint64 readCount)
    : notes_(plan.problems()), count_(readCount + plan.problemCount()) {}

void PlanNotes::addLabelNote(RowProblem note) {
    ++count_;
    if (notes_.size() < 2 * kKeptProblems) {
        notes_.push_back(std::move(note));
    }
}

std::vector<RowProblem> PlanNotes::inOrder(std::vector<RowProblem> reading) const {
    return inLineOrder(std::move(reading), notes_);
}

}  // namespace zukaro
