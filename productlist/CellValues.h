#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

#include "SheetState.h"

// The cells of a product list that carry more than text.
namespace zukaro {

// The number of labels to print: blank gives 1; a whole number 0-999 in half- or full-width
// digits; anything else nothing.
std::optional<int> parseCopies(QStringView cell);

// A cell of a register's tax columns (適用税率, 税区分, 税設定…), which may say the rate, how
// the price stands to tax, or both: 「標準税率」, 「軽減税率(8%)」, 「内税」, 「税込」,
// 「外税10%」, 「非課税」, 「0%」. Read as words in any order, blanks and brackets aside:
//   rate  8, 10 (with or without %), 標準 / 標準税率 (10), 軽減 / 軽減税率 (8)
//   kind  外税 / 税抜 / 税別 (Exclusive), 内税 / 税込 (Inclusive),
//         非課税 / 不課税 / 免税 / 対象外 / 0% (Exempt)
// Blank says nothing; anything else, or two words that disagree, is not ok.
struct TaxCell {
    bool ok = false;
    std::optional<int> rate;
    std::optional<PriceTax> kind;
};
TaxCell parseTaxCell(QStringView cell);

// A 軽減税率対象 cell: ○ (〇, ◯), 1, 対象, はい say the product is taxed at the reduced
// class, ×, 0, 対象外, 非対象, いいえ that it is not. Blank says nothing; anything else is
// not ok.
struct YesNoCell {
    bool ok = false;
    std::optional<bool> yes;
};
YesNoCell parseReducedCell(QStringView cell);

// A day as registers write it: 2026/12/08, 2026-12-08, 2026.12.8, 20261208, 2026年12月8日,
// a time after it (2026/12/08 0:00:00), 12/8 or 12月8日 in the year of `printDay`, or a
// spreadsheet's day number (46364 is 2026-12-08, or 44902 in a workbook counting from 1904;
// a time of day as its fraction). As "yyyy-MM-dd"; empty for a blank cell; nothing for
// anything else, a day no calendar has (2026/2/30) too.
std::optional<QString> listDate(QStringView cell, const QDate& printDay, bool days1904 = false);

// Half-width katakana (ｶﾀｶﾅ, with its voiced marks joined: ｶﾞ → ガ) and the half-width
// 「｡｢｣､･ｰ」 made full-width, as registers' exports write names to fit their receipts. Nothing
// else changes: full-width letters, digits and ㈱ stay as they are.
QString widenHalfWidthKatakana(const QString& text);

// A price cell as whole yen, read as the editor reads a typed price (wholeYen: "￥398",
// "¥1,280", "398円", "\\398", full-width digits), as plain digits ("398", "1280"): the label
// prints its own 円, and the layout says whether separators go in. Nothing for a price that is
// not a whole number of yen ("オープン価格", "398.5") or blank.
std::optional<QString> listPrice(QStringView cell);

// The first character of `text` that is no character of a text (NUL, which a PostgreSQL text
// cannot hold and SQLite would keep; half of a surrogate pair, which each engine would store
// differently; U+FFFE and U+FFFF, which SQLite gives back as U+FFFD), written as a message
// shows it ("\\x00", "\\uD800"); empty when there is none.
// Such a text is refused by every list reader and by the product master alike.
QString unstorableCharacter(QStringView text);

// The JAN code without surrounding blanks and with full-width digits made half-width; whether
// it is a valid code is for the label layer to say.
QString janText(QStringView cell);

}  // namespace zukaro
