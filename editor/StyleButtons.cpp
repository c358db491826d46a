// Font, colour, show/hide, underline and outline buttons: each changes one item on all 21
// labels and redraws.
#include <QComboBox>
#include <QPushButton>
#include <algorithm>

#include "CommonDialog1.h"
#include "EditorWindow.h"
#include "HalfEven.h"
#include "SwitchCaptions.h"

namespace zukaro {
namespace {

// Font sizes are whole points; the dialog may answer 10.5, which becomes 10 (halves go to
// the even neighbour).
std::int16_t wholePoints(double size) {
    return std::max<std::int16_t>(1, roundHalfEvenInt16(size));
}

void switchFont(EditorWindow& window, FontSpec& font) {
    FontChoice choice{font.Name, double(font.Size), font.Bold, font.Italic};
    if (window.dialog().showFont(choice) == kCancelError) {
        window.focusText1();
        return;
    }
    window.edit(QStringLiteral("フォント"), [&font, &choice] {
        font.Name = choice.name;
        font.Size = wholePoints(choice.size);
        font.Bold = choice.bold;
        font.Italic = choice.italic;
    });
    window.showPreview();
}

void chooseColor(EditorWindow& window, WinColor& color) {
    WinColor chosen = color;
    if (window.dialog().showColor(chosen) == kCancelError) {
        return;  // nothing changes; the focus stays on the button
    }
    window.edit(QStringLiteral("色"), [&color, chosen] { color = chosen; });
    window.showPreview();
}

// A switch whose button caption names what the next click does.
void toggle(EditorWindow& window, bool& state) {
    window.edit(QStringLiteral("表示"), [&] { state = !state; });
    window.mirrorCaptions();
    window.showPreview();
}

}  // namespace

void wireStyleButtons(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    Layout& layout = window.sheet().layout;

    for (const ItemDescription& item : items()) {
        const ItemControls& controls = ui.controlsOf(item);
        FontSpec& font = layout.*item.font;
        WinColor& color = layout.*item.color;
        window.onClick(controls.font, [&window, &font] { switchFont(window, font); });
        window.onClick(controls.color, [&window, &color] { chooseColor(window, color); });
        bool& shown = layout.*item.shown;
        window.onClick(controls.shown, [&window, &shown] { toggle(window, shown); });
        if (item.underline != nullptr) {
            bool& underline = layout.*item.underline;
            window.onClick(controls.underline,
                           [&window, &underline] { toggle(window, underline); });
        }
    }
    QObject::connect(ui.単位価格の端数, &QComboBox::activated, &window, [&window, &layout](int i) {
        window.edit(QStringLiteral("単位価格の端数"),
                    [&layout, i] { layout.unitPriceRounding = UnitPriceRounding(i); });
        window.showPreview();
    });

    bool& barsShown = window.sheet().BARCODE;
    window.onClick(ui.BARCODE, [&window, &barsShown] { toggle(window, barsShown); });

    // Turning the outline on always asks for its colour; turning it off never does.
    window.onClick(ui.縁取, [&window, &layout] {
        const QString what = QStringLiteral("縁取り");
        if (layout.縁取) {
            window.edit(what, [&layout] { layout.縁取 = false; });
            window.mirrorCaptions();
            window.showPreview();
            return;
        }
        WinColor chosen = layout.borderColor;
        if (window.dialog().showColor(chosen) == kCancelError) {
            window.edit(what, [&layout] { layout.縁取 = false; });
            window.mirrorCaptions();
            return;
        }
        window.edit(what, [&layout, chosen] {
            layout.縁取 = true;
            layout.borderColor = chosen;
        });
        window.mirrorCaptions();
        window.showPreview();
    });
}

}  // namespace zukaro
