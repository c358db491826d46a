#pragma once

#include <functional>

class QAbstractButton;
class QAction;

namespace zukaro {

class SheetCommands;

// Wires the window's buttons and menu entries to the sheet commands: プレビュー and
// M_プレビュー share showPreview, 印刷 and P_印刷 share `print` (print/SheetPrinting), and 倍率
// switches the scale and keeps its caption in step with the state.
struct SheetCommandControls {
    QAbstractButton& プレビュー;
    QAction& M_プレビュー;
    QAbstractButton& 印刷;
    QAction& P_印刷;
    QAbstractButton& 倍率;
    // Runs what a menu entry does; the window wraps it (it stores the field being edited first).
    std::function<void(const std::function<void()>&)> menuCommand =
        [](const std::function<void()>& command) { command(); };
};
void bindSheetCommands(SheetCommands& commands, std::function<void()> print,
                       const SheetCommandControls& controls);

}  // namespace zukaro
