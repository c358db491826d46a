// The buttons that move the current label and change whole labels.
#include <QApplication>
#include <QPushButton>

#include "EditorWindow.h"
#include "EntryField.h"
#include "LabelCommands.h"
#include "MessageBoxes.h"

namespace zukaro {
namespace {

void navigate(EditorWindow& window, void (*move)(SheetState&)) {
    move(window.sheet());
    window.loadEntryFields();
    window.focusText1();
}

EntryField* candidateField(const EditorControls& ui, SheetState::CandidateText text) {
    using Text = SheetState::CandidateText;
    switch (text) {
        case Text::Maker:
            return ui.Text2;
        case Text::Product:
            return ui.Text3;
        case Text::Spec:
            return ui.Text4;
        case Text::Lot:
            return ui.Text6;
        case Text::None:
            break;
    }
    return nullptr;
}

}  // namespace

void wireLabelButtons(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    SheetState& sheet = window.sheet();

    window.onClick(ui.cmdfirst, [&window] { navigate(window, labels::goFirst); });
    window.onClick(ui.cmdprevious, [&window] { navigate(window, labels::goPrevious); });
    window.onClick(ui.Cmdnext, [&window] { navigate(window, labels::goNext); });
    window.onClick(ui.Cmdlast, [&window] { navigate(window, labels::goLast); });

    window.onClick(ui.クリア, [&window, &sheet] {
        window.edit(QStringLiteral("クリア"), [&sheet] { labels::clearCurrent(sheet); });
        window.loadEntryFields();
        window.showPreview();
    });

    window.onClick(ui.コピー, [&window, &sheet] {
        labels::CopyOutcome outcome{};
        window.edit(QStringLiteral("コピー"),
                    [&sheet, &outcome] { outcome = labels::copyPrevious(sheet); });
        switch (outcome) {
            case labels::CopyOutcome::AtFirstLabel:
                window.focusText1();
                break;
            case labels::CopyOutcome::PreviousEmpty:
                break;  // refused without a word; the focus stays on the button
            case labels::CopyOutcome::Copied:
                window.focusText1();
                break;
        }
    });

    window.onClick(ui.削除, [&window, &sheet] {
        const bool yes = window.messages().askYesNo(
            QStringLiteral("削除"), QStringLiteral("削除しますか？"), MessageIcon::Question, false);
        if (yes) {
            window.edit(QStringLiteral("削除"), [&sheet] { labels::deleteCurrent(sheet); });
            window.showPreview();
        } else {
            window.focusText1();
        }
    });

    window.onClick(ui.挿入, [&window, &sheet] {
        if (!labels::canInsert(sheet)) {
            window.messages().tell(QStringLiteral("エラー"),
                                   QStringLiteral("最後尾にデータがあります。挿入できません。"),
                                   MessageIcon::Critical);
            window.focusText1();
            return;
        }
        window.edit(QStringLiteral("挿入"), [&sheet] { labels::insertEmpty(sheet); });
        window.showPreview();
    });

    window.onClick(ui.前候補, [&window, &sheet] {
        EntryField* field = candidateField(window.controls(), sheet.candidateText);
        std::optional<QString> text;
        window.edit(QStringLiteral("前候補"),
                    [&sheet, &text] { text = labels::takeEarlierItem(sheet); });
        if (text && field != nullptr) {
            field->loadText(*text);
        }
    });

    window.onClick(ui.全クリア, [&window, &sheet] {
        const bool yes = window.messages().askYesNo(kProgramCaption,
                                                    QStringLiteral("データを全部クリアしますか？"),
                                                    MessageIcon::None, true);
        if (!yes) {
            return;
        }
        window.edit(QStringLiteral("全クリア"), [&sheet] { sheet.clearAllLabels(); });
        for (EntryField* field : window.controls().fieldsInTabOrder()) {
            field->loadText(QString());
        }
        window.setFileName(QString());
        window.showPreview();
    });

    window.onClick(ui.全コピー, [&window, &sheet] {
        window.edit(QStringLiteral("全コピー"), [&sheet] { labels::copyFirstToAll(sheet); });
        window.showPreview();
    });
}

}  // namespace zukaro
