#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

namespace zukaro {

// What a command of the editor window does to the sheet (its labels, layout, offsets and the
// bars' state).
enum class SheetEffect {
    // Changes the sheet as one step that 元に戻す takes back and やり直し puts again.
    Undoable,
    // Puts another sheet in its place after the question about unsaved changes; the steps to
    // undo start anew (新規作成, ファイルを開く).
    NewSheet,
    // 元に戻す and やり直し themselves.
    History,
    // Leaves the sheet as it is: moving between labels, preview, zoom, scrolling, printing,
    // saving, the pattern in data.txt, opening the product list, closing.
    None,
};

struct EditorCommand {
    QString designName;  // the objectName of the control or menu entry
    SheetEffect effect;
    // Menu entries only: the menu, the entry's text and shortcuts, and a line above it.
    QString menu{};
    QString text{};
    QList<QKeySequence> shortcuts{};
    bool separatorBefore = false;
};

// Every command of the editor window, one line each: the menu entries, from which the menus
// are built in this order, and every button, box and entry field, those of the items from the
// item table. A new command gets its line here, saying what it does to the sheet: the window
// tests run every line (a change must be undone and redone, anything else must change
// nothing), and a control of the window without a line fails them.
const std::vector<EditorCommand>& editorCommands();

}  // namespace zukaro
