#include "LabelCommands.h"

#include <array>
#include <utility>

#include "Items.h"

namespace zukaro::labels {
namespace {

using AllLabels = std::array<LabelTexts, std::tuple_size_v<LabelArraysTable>>;

// The sheet's labels as they were, each array emptied on the sheet: the first half of both
// delete and insert.
AllLabels takeAllLabels(SheetState& sheet) {
    AllLabels before;
    for (std::size_t i = 0; i < before.size(); ++i) {
        before[i] = std::exchange(sheet.*labelArrays()[i], LabelTexts{});
    }
    return before;
}

void putBack(SheetState& sheet, int label, const AllLabels& before, int beforeLabel) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        (sheet.*labelArrays()[i])[label] = before[i][beforeLabel];
    }
}

LabelTexts* activeItem(SheetState& sheet) {
    using Text = SheetState::CandidateText;
    switch (sheet.candidateText) {
        case Text::Maker:
            return &sheet.makerText;
        case Text::Product:
            return &sheet.productText;
        case Text::Spec:
            return &sheet.specText;
        case Text::Lot:
            return &sheet.lotText;
        case Text::None:
            break;
    }
    return nullptr;
}

}  // namespace

void goFirst(SheetState& sheet) {
    sheet.currentLabel = 1;
}
void goLast(SheetState& sheet) {
    sheet.currentLabel = kLabelCount;
}

void goNext(SheetState& sheet) {
    if (sheet.currentLabel < kLabelCount) {
        ++sheet.currentLabel;
    }
}

void goPrevious(SheetState& sheet) {
    if (sheet.currentLabel > 1) {
        --sheet.currentLabel;
    }
}

void clearCurrent(SheetState& sheet) {
    sheet.setLabel(sheet.currentLabel, {});
}

bool isOccupied(const SheetState& sheet, int label) {
    return !sheet.productText[label].isEmpty();
}

CopyOutcome copyPrevious(SheetState& sheet) {
    const int n = sheet.currentLabel;
    if (n == 1) {
        return CopyOutcome::AtFirstLabel;
    }
    if (!isOccupied(sheet, n - 1)) {
        return CopyOutcome::PreviousEmpty;
    }
    sheet.setLabel(n, sheet.label(n - 1));
    goNext(sheet);
    return CopyOutcome::Copied;
}

void deleteCurrent(SheetState& sheet) {
    const AllLabels before = takeAllLabels(sheet);
    int shift = 0;
    for (int k = 1; k < kLabelCount; ++k) {
        if (k == sheet.currentLabel) {
            shift = 1;
        }
        putBack(sheet, k, before, k + shift);
    }
}

bool canInsert(const SheetState& sheet) {
    return sheet.label(kLabelCount).isBlank();
}

void insertEmpty(SheetState& sheet) {
    const AllLabels before = takeAllLabels(sheet);
    int shift = 0;
    for (int k = 1; k <= kLabelCount; ++k) {
        if (k == sheet.currentLabel) {
            shift = 1;
            continue;
        }
        putBack(sheet, k, before, k - shift);
    }
}

std::optional<QString> takeEarlierItem(SheetState& sheet) {
    LabelTexts* item = activeItem(sheet);
    if (item == nullptr || sheet.focusLabel <= 1) {
        return std::nullopt;
    }
    --sheet.focusLabel;
    const QString text = (*item)[sheet.focusLabel];
    (*item)[sheet.currentLabel] = text;
    return text;
}

void copyFirstToAll(SheetState& sheet) {
    const LabelRecord first = sheet.label(1);
    for (int n = 2; n <= kLabelCount; ++n) {
        sheet.setLabel(n, first);
    }
}

}  // namespace zukaro::labels
