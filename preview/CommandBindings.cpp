#include "CommandBindings.h"

#include <QAbstractButton>
#include <QAction>

#include "SheetCommands.h"

namespace zukaro {

void bindSheetCommands(SheetCommands& commands, std::function<void()> print,
                       const SheetCommandControls& controls) {
    SheetCommands* c = &commands;
    QObject::connect(&controls.プレビュー, &QAbstractButton::clicked, &controls.プレビュー,
                     [c] { c->showPreview(); });
    const auto menu = controls.menuCommand;
    QObject::connect(&controls.M_プレビュー, &QAction::triggered, &controls.M_プレビュー,
                     [c, menu] { menu([c] { c->showPreview(); }); });
    QObject::connect(&controls.印刷, &QAbstractButton::clicked, &controls.印刷,
                     [print] { print(); });
    QObject::connect(&controls.P_印刷, &QAction::triggered, &controls.P_印刷,
                     [print, menu] { menu(print); });
    QObject::connect(&controls.倍率, &QAbstractButton::clicked, &controls.倍率,
                     [c] { c->倍率Click(); });
    QAbstractButton* zoomButton = &controls.倍率;
    commands.setZoomCaptionChanged(
        [zoomButton](const QString& text) { zoomButton->setText(text); });
}

}  // namespace zukaro
