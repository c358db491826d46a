#include "SheetEdit.h"

#include <utility>

namespace zukaro {

SheetEdit::SheetEdit(const QString& what, SheetContent before, int labelBefore, SheetContent after,
                     int labelAfter, Restore restore, int mergeId)
    : QUndoCommand(what),
      before_(std::move(before)),
      after_(std::move(after)),
      labelBefore_(labelBefore),
      labelAfter_(labelAfter),
      restore_(std::move(restore)),
      mergeId_(mergeId) {}

void SheetEdit::redo() {
    if (std::exchange(done_, false)) {
        return;
    }
    restore_(after_, labelAfter_);
}

void SheetEdit::undo() {
    restore_(before_, labelBefore_);
}

bool SheetEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const SheetEdit*>(other);
    after_ = next->after_;
    labelAfter_ = next->labelAfter_;
    return true;
}

}  // namespace zukaro
