#pragma once

#include <QUndoCommand>
#include <functional>

#include "SheetState.h"

namespace zukaro {

// One undoable change of the sheet, kept as the sheet's content before and after it, with the
// label that was current at each end, so that undo shows the label it changes.
class SheetEdit final : public QUndoCommand {
public:
    using Restore = std::function<void(const SheetContent&, int label)>;

    SheetEdit(const QString& what, SheetContent before, int labelBefore, SheetContent after,
              int labelAfter, Restore restore, int mergeId);

    // The change has been made already when it is pushed; only a later redo makes it again.
    void redo() override;
    void undo() override;
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SheetContent before_, after_;
    int labelBefore_, labelAfter_;
    Restore restore_;
    int mergeId_;
    bool done_ = true;
};

}  // namespace zukaro
