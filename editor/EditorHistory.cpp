// Undo and redo of every change of the sheet, and the question before unsaved work is lost.
#include <QUndoStack>

#include "EditorWindow.h"
#include "MessageBoxes.h"
#include "SheetEdit.h"

namespace zukaro {

void EditorWindow::edit(const QString& what, const std::function<void()>& change, int mergeId) {
    const SheetContent before = sheet_.content();
    const int labelBefore = sheet_.currentLabel;
    change();
    SheetContent after = sheet_.content();
    if (after == before) {
        return;
    }
    undo_.push(new SheetEdit(
        what, before, labelBefore, std::move(after), sheet_.currentLabel,
        [this](const SheetContent& content, int label) { restore(content, label); }, mergeId));
    rememberSheetShift();
}

void EditorWindow::restore(const SheetContent& content, int label) {
    sheet_.setContent(content);
    sheet_.currentLabel = label;
    rememberSheetShift();
    mirrorCaptions();
    loadEntryFields();
    showPreviewQuietly();
}

bool EditorWindow::isModified() const {
    return !sheet_.content().sameDocument(saved_);
}

void EditorWindow::markSaved() {
    saved_ = sheet_.content();
    refreshTitle();
}

bool EditorWindow::confirmDiscard() {
    if (!isModified()) {
        return true;
    }
    switch (messages_.askYesNoCancel(
        kProgramCaption, QStringLiteral("変更を保存しますか？"), MessageIcon::Question)) {
        case Answer::Yes:
            return saveSheet(*this);
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    focusText1();
    return false;
}

void EditorWindow::emptySheet() {
    sheet_.clearAllLabels();
    sheet_.currentLabel = 1;
    undo_.clear();
    markSaved();
    setFileName(kUntitled);
    say({});  // a note about the old sheet would now mislead
}

void EditorWindow::newSheet() {
    if (!confirmDiscard()) {
        return;
    }
    emptySheet();
    loadEntryFields();
    showPreviewQuietly();
}

}  // namespace zukaro
