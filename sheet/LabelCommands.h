#pragma once

#include <QString>
#include <optional>

#include "SheetState.h"

// What the label buttons do to the sheet, without the window: moving the current label and
// clearing, copying, deleting and inserting whole labels. The window adds the questions,
// the redraw and the focus.
namespace zukaro::labels {

void goFirst(SheetState& sheet);
void goPrevious(SheetState& sheet);
void goNext(SheetState& sheet);
void goLast(SheetState& sheet);

// Empties the six texts of the current label.
void clearCurrent(SheetState& sheet);

// A label counts as occupied by its product name alone.
bool isOccupied(const SheetState& sheet, int label);

enum class CopyOutcome {
    AtFirstLabel,   // nothing to copy from
    PreviousEmpty,  // the previous label has no product name: refused
    Copied,         // copied, and moved on unless at label 21
};
CopyOutcome copyPrevious(SheetState& sheet);

// Removes the current label; the labels after it move up and label 21 becomes empty.
void deleteCurrent(SheetState& sheet);

// An empty label can be inserted only while label 21 holds nothing at all: any text there
// (a JAN code or a price without a product name too) would be pushed off the sheet.
bool canInsert(const SheetState& sheet);
// Inserts an empty label at the current position; labels from there to 20 move down.
// Call only when canInsert() allows it.
void insertEmpty(SheetState& sheet);

// One step of the previous-candidate command: goes one label further back from where the
// field was entered and copies that label's item of the active field into the current
// label. Returns the text for the entry field, or nothing when there is no earlier label or
// no active field.
std::optional<QString> takeEarlierItem(SheetState& sheet);

// Gives every label label 1's six texts, rate and tax kind.
void copyFirstToAll(SheetState& sheet);

}  // namespace zukaro::labels
