#pragma once

#include "SheetState.h"

// The two sets of built-in layout values. Both set every font to "ＭＳ 明朝" without bold or
// italic, every item offset to 0, both adjustment boxes to "0", the outline off, price and 円
// red and the other items black; they differ in the font sizes. Neither touches the 表示,
// U表示 and BARCODE captions, borderColor or zoom, so a hidden item stays hidden.
namespace zukaro {

// Start-up without data.txt: sizes 8 (JAN), 9 (maker), 11 (product), 9 (spec), 8 (lot),
// 48 (price), 12 (円).
void applyFirstStartValues(Layout& layout);

// What a new user starts with, at a start-up without data.txt: the first-start values with
// 価格を枠内に収める on, so that the first sheet prints without texts over each other (a
// four-digit price at 48 pt reaches the spec, the lot and the product name). A data.txt or label
// file that does not carry the setting reads it as off, as it always did.
void applyNewUserValues(Layout& layout);

// The デフォルト button: sizes 12, 10, 18, 10, 10, 48, 24, and the sheet shifted to 12.0 mm
// across and 7.8 mm down.
void applyDefaultPattern(SheetState& sheet);

}  // namespace zukaro
