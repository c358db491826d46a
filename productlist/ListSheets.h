#pragma once

#include <array>
#include <vector>

#include "ProductRow.h"
#include "SheetState.h"

namespace zukaro {

// Product rows laid out on sheets of 21 labels, and what there is to say about them.
struct ListSheets {
    std::vector<SheetState> sheets;
    std::vector<RowProblem> problems;  // in line order
    int labels = 0;                    // labels filled
    // For each sheet, the row each label came from (index 1 to 21): its number in the rows
    // laid out, from 1; 0 for an empty label.
    std::vector<std::array<int, kLabelCount + 1>> labelRows;
};

// Fills sheets made from `base` (its layout and offsets; its labels are not used) with every
// row `copies` times, label `start` (1-21) of the first sheet first; the labels before it stay
// empty, so a partly used sheet can be used up. A JAN code of 13 or 8 characters gets its
// check digit completed as in the editor. Rows without a product name (which would print
// nothing) and rows of 0 copies take no label and are listed; a code that will print without
// bars, a corrected check digit and a text Shift_JIS cannot hold are listed and printed.
ListSheets layOutSheets(const std::vector<ProductRow>& rows, const SheetState& base, int start);

}  // namespace zukaro
