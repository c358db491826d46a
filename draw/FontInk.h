#pragma once

#include <QString>

#include "Ink.h"

// The ink a text leaves on paper, from the outlines of the face the drawing targets print it
// in. Measured once per glyph on the font's outlines at a large size without hinting, then
// scaled: the preview at 96 dpi and a 600-dpi page get the same answer, so the renderer makes
// the same choices on screen as on paper. Needs a QGuiApplication; safe from any thread.
namespace zukaro::draw {

struct TextStyle {
    QString face;  // as the layout names it ("ＭＳ 明朝"); mapped like the targets map it
    double points = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The ink of `text` printed in `style` with its top-left corner at (0, 0), in millimetres.
Ink textInk(const TextStyle& style, const QString& text);

// How far printing `text` moves the pen, in millimetres.
double textAdvance(const TextStyle& style, const QString& text);

}  // namespace zukaro::draw
