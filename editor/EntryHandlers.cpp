// The six entry fields: what happens when one gets the focus, when Enter is pressed in it and
// when the user leaves it, and where a scanned code goes.
#include <QPushButton>
#include <memory>

#include "EditorWindow.h"
#include "EntryField.h"

namespace zukaro {
namespace {

void moveOnToNextLabel(SheetState& sheet) {
    if (sheet.currentLabel < kLabelCount) {
        ++sheet.currentLabel;
    }
}

// What the JAN field's handlers share: Enter has stored the code already and the focus moves
// on; the code a scan filled label 21 with, which has no next label for the next scan.
struct JanState {
    bool storedByEnter = false;
    QString filledLast;
};

// Enter in the JAN field (typed, or a scanner's code and Enter). A code the master knows fills
// the label and the next label's JAN field waits for the next scan. A code it does not know is
// told and the focus stays here, the code selected: Enter again goes on to the maker to type
// the label, a scan goes to the next label. Anything else goes on to the maker.
void janEntered(EditorWindow& window, const std::shared_ptr<JanState>& jan) {
    const EditorControls& ui = window.controls();
    EntryField* field = ui.Text1;
    SheetState& sheet = window.sheet();
    const int n = sheet.currentLabel;
    const bool toldAlready = field->text() == sheet.janText[n] && window.awaitsTexts(n);
    if (!toldAlready) {
        if (window.storeField(field)) {
            jan->filledLast = n == kLabelCount ? field->text() : QString();
            moveOnToNextLabel(sheet);
            window.showPreview();
            return;
        }
        if (window.awaitsTexts(n)) {
            field->selectAll();
            return;
        }
    }
    jan->storedByEnter = true;
    ui.Text2->setFocus(Qt::OtherFocusReason);
    jan->storedByEnter = false;
}

// A code scanned into a field that is not for it: the field keeps what it had before the scan
// (stored in its own label, as any text typed there), and the code is the next label's, as if
// scanned into its JAN field. After label 21 there is no label to take it.
void takeScanForNextLabel(EditorWindow& window, EntryField* field, const QString& code,
                          const QString& textBefore, const std::shared_ptr<JanState>& jan) {
    const EditorControls& ui = window.controls();
    SheetState& sheet = window.sheet();
    field->loadText(textBefore);
    if (field != ui.Text1) {
        window.storeField(field);
    }
    if (sheet.currentLabel >= kLabelCount) {
        window.say(QStringLiteral("ラベル %1 は最後のラベルです。読み取った JAN コード「%2」は、"
                                  "どのラベルにも入れていません。")
                       .arg(kLabelCount)
                       .arg(code));
        return;
    }
    moveOnToNextLabel(sheet);
    window.showPreviewQuietly();
    ui.Text1->setText(code);
    janEntered(window, jan);
}

// Maker, product name, spec and lot: 前候補 works on the field entered last.
void wireCandidateField(EditorWindow& window, EntryField* field, SheetState::CandidateText text) {
    field->onGotFocus = [&window, field, text] {
        SheetState& sheet = window.sheet();
        window.controls().前候補->setEnabled(true);
        sheet.candidateText = text;
        sheet.focusLabel = sheet.currentLabel;
        field->selectFromCaret();
    };
    field->onLostFocus = [&window, field](Qt::FocusReason) {
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
    auto jan = std::make_shared<JanState>();
    ui.Text1->onLostFocus = [&window, field = ui.Text1, jan](Qt::FocusReason) {
        jan->filledLast.clear();
        if (!window.quietFocusMove() && !jan->storedByEnter) {
            window.storeField(field);
        }
    };
    // A click selects the whole code, so that a scan replaces it rather than adding to it.
    ui.Text1->setClickSelectsAll(true);

    using Text = SheetState::CandidateText;
    wireCandidateField(window, ui.Text2, Text::Maker);
    wireCandidateField(window, ui.Text3, Text::Product);
    wireCandidateField(window, ui.Text4, Text::Spec);
    wireCandidateField(window, ui.Text6, Text::Lot);

    ui.Text5->onGotFocus = [&window, field = ui.Text5] {
        field->selectFromCaret();
        window.controls().前候補->setEnabled(false);
    };
    // Tab goes on to the next label as Enter does. Leaving the price by a click (into another
    // field, on the rate button or any command) stores it and stays on its label, so that
    // what is typed or run next is this label's.
    ui.Text5->onLostFocus = [&window, field = ui.Text5](Qt::FocusReason reason) {
        if (window.quietFocusMove()) {
            return;
        }
        window.storeField(field);
        if (reason == Qt::TabFocusReason) {
            moveOnToNextLabel(window.sheet());
            window.showPreview();
        } else {
            window.redrawPreview();
        }
    };

    // Enter moves on along the fields and round to the JAN field; the key itself is dropped.
    const auto fields = ui.fieldsInTabOrder();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EntryField* next = fields[(i + 1) % fields.size()];
        fields[i]->onEnter = [next] { next->setFocus(Qt::OtherFocusReason); };
    }
    ui.Text5->onEnter = [&window, field = ui.Text5] {
        window.storeField(field);
        moveOnToNextLabel(window.sheet());
        window.showPreviewQuietly();
    };
    ui.Text1->onEnter = [&window, jan] { janEntered(window, jan); };

    // A scanned code never lands in a text field: in maker, name, spec, lot or price it is the
    // next label's code. In the JAN field it is this label's, unless the field still shows a
    // code the master did not know, whose label waits for its texts: that one stays.
    for (EntryField* field : {ui.Text2, ui.Text3, ui.Text4, ui.Text6, ui.Text5}) {
        field->onScan = [&window, field, jan](const QString& code, const QString& before) {
            takeScanForNextLabel(window, field, code, before, jan);
            return true;
        };
    }
    // A scan after label 21 was filled from the master by a scan has no next label either;
    // put over label 21's code it would keep the texts and price of the product before.
    ui.Text1->onScan = [&window, jan](const QString& code, const QString& before) {
        const SheetState& sheet = window.sheet();
        const int n = sheet.currentLabel;
        const bool waits = window.awaitsTexts(n);
        const bool full = n == kLabelCount && before == jan->filledLast;
        if (before.isEmpty() || before != sheet.janText[n] || (!waits && !full)) {
            return false;
        }
        takeScanForNextLabel(window, window.controls().Text1, code, before, jan);
        return true;
    };
}

}  // namespace zukaro
