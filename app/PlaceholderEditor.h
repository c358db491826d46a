#pragma once

class QWidget;

namespace zukaro {

// TEMPORARY: stands in for the label editor window until it exists, so that 作成 opens a
// window titled as the editor will be. Delete this file when the real editor is plugged into
// the start screen in main.
QWidget* makePlaceholderEditor();

}  // namespace zukaro
