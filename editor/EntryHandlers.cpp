// The six entry fields: what happens when one gets the focus, when Enter is pressed in it and
// when the user leaves it.
#include <QPushButton>
#include <memory>

#include "EditorWindow.h"
#include "EntryField.h"

namespace zukaro {
namespace {

// Maker, product name, spec and lot: 前候補 works on the field entered last.
void wireCandidateField(EditorWindow& window, EntryField* field, const QString& fieldNumber) {
    field->onGotFocus = [&window, field, fieldNumber] {
        SheetState& sheet = window.sheet();
        window.controls().前候補->setEnabled(true);
        sheet.activeField = fieldNumber;
        sheet.focusLabel = sheet.currentLabel;
        field->selectFromCaret();
    };
    field->onLostFocus = [&window, field] {
        if (!window.quietFocusMove()) {
            window.storeField(field);
        }
    };
}

}  // namespace

void wireEntryFields(EditorWindow& window) {
    const EditorControls& ui = window.controls();

    ui.Text1->onGotFocus = [&window] { window.showCurrentLabel(); };
    ui.Text1->onWindowFocus = [&window] { window.showFirstPreview(); };
    // Set while Enter has stored the code already and the focus moves on.
    auto storedByEnter = std::make_shared<bool>(false);
    ui.Text1->onLostFocus = [&window, field = ui.Text1, storedByEnter] {
        if (!window.quietFocusMove() && !*storedByEnter) {
            window.storeField(field);
        }
    };
    // A click selects the whole code, so that a scan replaces it rather than adding to it.
    ui.Text1->setClickSelectsAll(true);

    wireCandidateField(window, ui.Text2, QStringLiteral("2"));
    wireCandidateField(window, ui.Text3, QStringLiteral("3"));
    wireCandidateField(window, ui.Text4, QStringLiteral("4"));
    wireCandidateField(window, ui.Text6, QStringLiteral("6"));

    ui.Text5->onGotFocus = [&window, field = ui.Text5] {
        field->selectFromCaret();
        window.controls().前候補->setEnabled(false);
    };
    ui.Text5->onLostFocus = [&window, field = ui.Text5] {
        if (window.quietFocusMove()) {
            return;
        }
        window.storeField(field);
        SheetState& sheet = window.sheet();
        if (sheet.currentLabel < kLabelCount) {
            ++sheet.currentLabel;
        }
        window.showPreview();
    };

    // Enter moves on along the fields and round to the JAN field; the key itself is dropped.
    const auto fields = ui.fieldsInTabOrder();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EntryField* next = fields[(i + 1) % fields.size()];
        fields[i]->onEnter = [next] { next->setFocus(Qt::OtherFocusReason); };
    }
    // A scanner types the code and Enter. When the product master knows the code and fills the
    // label, the next label's JAN field waits for the next scan, as after the price field.
    ui.Text1->onEnter = [&window, field = ui.Text1, next = ui.Text2, storedByEnter] {
        if (window.storeField(field)) {
            SheetState& sheet = window.sheet();
            if (sheet.currentLabel < kLabelCount) {
                ++sheet.currentLabel;
            }
            window.showPreview();
            return;
        }
        *storedByEnter = true;
        next->setFocus(Qt::OtherFocusReason);
        *storedByEnter = false;
    };
}

}  // namespace zukaro
