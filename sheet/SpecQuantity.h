#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// What a label's spec text says its pack holds, for the price per 100 g / 100 ml or per piece
// (単位価格). Plain arithmetic on the text, no layout and no drawing.
namespace zukaro {

enum class QuantityUnit { Gram, Millilitre, Piece };

struct Quantity {
    QuantityUnit unit = QuantityUnit::Gram;
    // The whole pack in thousandths of a gram, millilitre or piece: 1.5 L is 1,500,000, so
    // that 0.355 L and 185 g × 30 stay exact.
    std::int64_t thousandths = 0;
    QString pieceWord;  // for pieces: 「本」「個」「枚」「缶」「袋」「パック」...
    bool operator==(const Quantity&) const = default;
};

// The quantity of a spec text as shelves write it, half- or full-width (「500ml」「１．５Ｌ」
// 「1kg」「200g」「24本入」「6個」「10枚」「1.5ℓ」「350cc」), with packs joined by 「×」 (or x, *)
// multiplied out: 「185g×30本」 is 5,550 g, 「350ml×6缶」 2,100 ml, 「3個×4袋」 12 個, 「100g×3」
// 300 g. Words without a number around it (「国産」「詰替」) are passed over, and so are numbers
// of other units (「2024年産」「500mg」). Nothing when the text gives no quantity (「大」
// 「徳用」, empty) or when it could mean more than one: two quantities not joined by 「×」
// (「500ml・1L」「350ml 24本」), two weights or volumes in one pack, a range (「180〜200g」),
// 「各」 (each of several), a zero, a piece count that is not whole, or 「㍉」 alone.
std::optional<Quantity> quantityOf(const QString& spec);

}  // namespace zukaro
