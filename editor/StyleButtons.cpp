// Font, colour, show/hide, underline and outline buttons: each changes one item on all 21
// labels and redraws.
#include <QPushButton>
#include <algorithm>

#include "CommonDialog1.h"
#include "EditorWindow.h"
#include "HalfEven.h"

namespace zukaro {
namespace {

struct StyledItem {
    QPushButton* EditorControls::*fontButton;
    QPushButton* EditorControls::*colorButton;
    FontSpec Layout::*font;
    WinColor Layout::*color;
};

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

// A toggle whose caption names what the next click does; any caption other than `toOff`
// switches to it.
void toggle(EditorWindow& window, QString& state, const QString& toOff, const QString& toOn) {
    window.edit(QStringLiteral("表示"), [&] { state = state != toOff ? toOff : toOn; });
    window.mirrorCaptions();
    window.showPreview();
}

}  // namespace

void wireStyleButtons(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    Layout& layout = window.sheet().layout;

    const StyledItem items[] = {
        {&EditorControls::janフォント切替, &EditorControls::JAN_COLOR, &Layout::janFont,
         &Layout::janColor},
        {&EditorControls::メーカーフォント切替, &EditorControls::メーカー_color, &Layout::makerFont,
         &Layout::makerColor},
        {&EditorControls::品名フォント切替, &EditorControls::品名_color, &Layout::productFont,
         &Layout::productColor},
        {&EditorControls::規格フォント切替, &EditorControls::規格_color, &Layout::specFont,
         &Layout::specColor},
        {&EditorControls::ロットフォント切替, &EditorControls::色_color, &Layout::lotFont,
         &Layout::lotColor},
        {&EditorControls::単価フォント切替, &EditorControls::売価_COLOR, &Layout::priceFont,
         &Layout::priceColor},
        {&EditorControls::円フォント切替, &EditorControls::円_color, &Layout::yenFont,
         &Layout::yenColor},
    };
    for (const StyledItem& item : items) {
        FontSpec& font = layout.*item.font;
        WinColor& color = layout.*item.color;
        window.onClick(ui.*item.fontButton, [&window, &font] { switchFont(window, font); });
        window.onClick(ui.*item.colorButton, [&window, &color] { chooseColor(window, color); });
    }

    const std::pair<QPushButton*, QString*> shownToggles[] = {
        {ui.jan表示, &layout.jan表示},           {ui.BARCODE, &window.sheet().BARCODE},
        {ui.メーカー表示, &layout.メーカー表示}, {ui.品名表示, &layout.品名表示},
        {ui.規格表示, &layout.規格表示},         {ui.ロット表示, &layout.ロット表示},
        {ui.単価表示, &layout.単価表示},         {ui.円表示, &layout.円表示},
    };
    for (const auto& [button, state] : shownToggles) {
        window.onClick(button, [&window, state = state] {
            toggle(window, *state, caption::hidden, caption::shown);
        });
    }

    const std::pair<QPushButton*, QString*> underlineToggles[] = {
        {ui.メーカーU表示, &layout.メーカーU表示},
        {ui.品名U表示, &layout.品名U表示},
        {ui.規格U表示, &layout.規格U表示},
        {ui.ロットU表示, &layout.ロットU表示},
    };
    for (const auto& [button, state] : underlineToggles) {
        window.onClick(button, [&window, state = state] {
            toggle(window, *state, caption::underlined, caption::plain);
        });
    }

    // Turning the outline on always asks for its colour; turning it off never does.
    window.onClick(ui.縁取, [&window, &layout] {
        const QString what = QStringLiteral("縁取り");
        if (layout.縁取 == caption::outlineOn) {
            window.edit(what, [&layout] { layout.縁取 = caption::outlineOff; });
            window.mirrorCaptions();
            window.showPreview();
            return;
        }
        WinColor chosen = layout.borderColor;
        if (window.dialog().showColor(chosen) == kCancelError) {
            window.edit(what, [&layout] { layout.縁取 = caption::outlineOff; });
            window.mirrorCaptions();
            return;
        }
        window.edit(what, [&layout, chosen] {
            layout.縁取 = caption::outlineOn;
            layout.borderColor = chosen;
        });
        window.mirrorCaptions();
        window.showPreview();
    });
}

}  // namespace zukaro
