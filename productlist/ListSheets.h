#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ProductRow.h"
#include "SheetState.h"

namespace zukaro {

// The most labels one job prints or saves: 4,762 sheets, about a minute of work and a few
// hundred MB at most. A larger job is refused before any work, with its count.
inline constexpr qint64 kMaxLabelsPerJob = 100'000;

// What laying a row out on labels needs to know of it, in four bytes. Worked out once per row:
// a window counts its labels again on every click, and must not read through a million rows'
// texts to do so. Whoever changes a row's copies changes them here too.
struct RowCheck {
    bool hasProduct : 1 = false;  // without a product name a label would print nothing
    // The row's own columns say its whole-yen price is without tax (外税, 税抜価格): printed
    // as typed, it is no price a shelf may show.
    bool untaxed : 1 = false;
    std::uint8_t notes = 0;  // problems of a printed row: check digit, bars, Shift_JIS
    qint16 copies = 1;
};
RowCheck checkRow(const ProductRow& row);

// The rows a plan lays out, read by index: a list in memory, or rows packed to save memory
// (see PackedRows). What they read from must outlive the plan.
struct PlanRows {
    std::size_t count = 0;
    std::function<ProductRow(std::size_t)> row;
};
PlanRows planRowsOf(const std::vector<ProductRow>& rows);

// The labels of a list: every chosen row `copies` times, label `start` (1-21) of the first
// sheet first; the labels before it stay empty, so that a partly used sheet can be used up. A
// JAN code of 13 or 8 characters gets its check digit completed as in the editor. Rows without a
// product name (which would print nothing) and rows of 0 copies take no label and are listed;
// a code that will print without bars, a corrected check digit and a text Shift_JIS cannot hold
// are listed and printed.
//
// Nothing is laid out until it is asked for: a sheet is made when it is printed or saved, so a
// long list holds one sheet at a time, and a problem's text when it is shown.
class SheetPlan {
public:
    // `chosen` (whether each row is printed; all when not given) and `checks` (checkRow of each
    // row; worked out here when not given) must outlive the plan.
    SheetPlan(PlanRows rows, int start, const std::vector<bool>* chosen = nullptr,
              const std::vector<RowCheck>* checks = nullptr);
    SheetPlan(const SheetPlan&) = delete;  // `checks_` may point into the plan itself
    SheetPlan& operator=(const SheetPlan&) = delete;

    qint64 labels() const { return labels_; }
    qint64 sheetCount() const;
    // Sheet `index` (from 0) from `base`: its layout and offsets, not its labels.
    SheetState sheet(qint64 index, const SheetState& base) const;

    // The first `limit` problems, in line order; problemCount() counts them all.
    std::vector<RowProblem> problems(std::size_t limit = kKeptProblems) const;
    qint64 problemCount() const { return problemCount_; }

    // The rows that will print characters Shift_JIS cannot hold, as their indexes.
    std::vector<std::size_t> rowsWithUnencodableText() const;

    // How many printed rows say their price is without tax (RowCheck::untaxed), and the note
    // that says so when `layout` prints prices as typed (入力どおり): 「税抜の売価がそのまま
    // 印刷されます…」 with their count and first lines. Empty when there is nothing to say.
    qint64 untaxedRowCount() const;
    QString untaxedNote(const Layout& layout) const;

    // The rows that take labels, each once, in order, as their indexes; and the label `row`
    // prints with `layout`. A row's labels all look the same, so one of each is enough to see
    // how they come out on paper.
    std::vector<std::size_t> printedRows() const;
    LabelRecord label(std::size_t row, const Layout& layout) const;

private:
    struct Placed {
        std::size_t row;
        qint64 firstLabel;  // counted from 0 over the whole job
    };
    bool isChosen(std::size_t row) const { return chosen_ == nullptr || (*chosen_)[row]; }
    const RowCheck& check(std::size_t row) const { return (*checks_)[row]; }

    PlanRows rows_;
    const std::vector<bool>* chosen_;
    std::vector<RowCheck> ownChecks_;
    const std::vector<RowCheck>* checks_;
    std::vector<Placed> placed_;
    int start_;
    qint64 labels_ = 0;
    qint64 problemCount_ = 0;
};

}  // namespace zukaro
