#pragma once

#include <array>
#include <cstdint>

#include "SheetState.h"

// The text items of a label, described once: the seven of every layout, the two lines that
// prices with tax add and the two a sale adds. The settings block, the label file, the
// label commands, the renderer and the window's style and position controls all read this
// table, so an item is added with one row (and its fields in SheetState and Layout).
namespace zukaro {

enum class Item {
    Jan,
    Maker,
    Product,
    Spec,
    Lot,
    Price,
    Yen,
    NetLine,
    GrossLine,
    UnitPrice,
    SaleMark,
    RegularLine
};

// How an item's text is prepared before it is drawn (see ItemTexts.h in render/).
enum class TextShape {
    Plain,
    JanDigits,    // an 8-digit code moves under its shorter symbol
    CentredName,  // centred with spaces
    PriceField,   // right-aligned in five characters
    YenMark,      // the fixed 円
    NetLine,      // "(本体 398円)" under a total with tax
    GrossLine,    // "税込 437円" beside 本体価格
    UnitPrice,    // 「100mlあたり 26円」 from the spec and the price as printed
    SaleMark,     // 「特価」 while a sale is on
    RegularLine,  // 「通常価格 298円」 under a sale price
};

struct ItemDescription {
    Item item;
    const char16_t* name;  // in messages: "JAN", "メーカー", "品名", ...

    // The label's text; null for 円, which prints a fixed mark.
    LabelTexts SheetState::*texts = nullptr;
    int fileColumn = 0;  // 1 to 6 after the record number (the lot before the price)
    const char16_t* entryField = nullptr;  // the window's entry field ("Text1" ...)

    FontSpec Layout::*font;
    WinColor Layout::*color;
    bool Layout::*shown;                // 表示: drawn
    bool Layout::*underline = nullptr;  // U表示: underlined, for items with the switch
    std::int16_t Layout::*x;
    std::int16_t Layout::*y;

    int settingsLine;             // the line of the settings block (1-based); 0: a line after it
    const char16_t* section;      // the line's first field
    std::int16_t firstStartSize;  // points, without data.txt
    std::int16_t patternSize;     // points, after デフォルト
    WinColor builtInColor;

    double anchorX, anchorY;  // mm: the text's top-left corner in the label, before offsets
    TextShape shape;
    int drawRank;  // 1 is drawn first

    // The window's controls of the item, by design name.
    const char16_t* title;
    const char16_t* fontButton;
    const char16_t* colorButton;
    const char16_t* shownButton;
    const char16_t* underlineButton = nullptr;  // where the item has one
    const char16_t* nudgePrefix;
};

inline constexpr std::size_t kItemCount = 12;
inline constexpr std::size_t kTextItemCount = 6;

// In the settings block's order: JAN, maker, product name, spec, lot, price, 円.
const std::array<ItemDescription, kItemCount>& items();
const ItemDescription& describe(Item item);

// The six items a label holds a text for, in the order of a record in the label file.
const std::array<const ItemDescription*, kTextItemCount>& textItems();

// Every per-label array, for the commands that move, copy and clear whole labels: the six
// texts, the tax rate, the tax kind and the sale's four.
inline constexpr std::size_t kLabelArrayCount = kTextItemCount + 6;
using LabelArraysTable = std::array<LabelTexts SheetState::*, kLabelArrayCount>;
const LabelArraysTable& labelArrays();

// The bars have offsets and a show/hide caption (not saved), nothing else.
struct BarsDescription {
    std::int16_t Layout::*x;
    std::int16_t Layout::*y;
    int settingsLine;
    const char16_t* section;
    // The bar rectangle in the label (mm, before offsets) and the imitation's top.
    double left, top, right, bottom;
    const char16_t* title;
    const char16_t* shownButton;
    const char16_t* nudgePrefix;
};
const BarsDescription& bars();

}  // namespace zukaro
