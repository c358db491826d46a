#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "ProductRow.h"

// What the shop printed last, per JAN code, and how a list's row stands against it: the weekly
// price change prints only what is new or changed.
namespace zukaro {

// The label of a product as it was last printed (kept by the product master).
struct PrintedLabel {
    QString jan;  // the code as printed: check digit completed
    QString maker, product, spec, lot, price;
    int taxRate = kStandardTaxRate;  // the rate the label was printed with
    PriceTax taxKind = PriceTax::Exclusive;
    QDateTime printedAt;  // UTC
    // A sale label's 通常価格 line (its price is the sale price); empty for any other label.
    QString regularPrice{};
    QDate printedFor{};  // the day it was printed for; null when recorded before days were

    bool operator==(const PrintedLabel&) const = default;
};

// How a row of a list stands against the label last printed for its JAN code.
enum class ChangeMark {
    New,           // 新規: no label of it was ever recorded as printed (or it has no JAN code)
    PriceChanged,  // 価格変更: the price, its rate or whether it holds the tax differ
    TextChanged,   // 表示変更: the price is the same, a text (maker, name, spec, lot) differs
    Unchanged,     // 変更なし
};

// 「新規」, 「価格変更」, 「表示変更」, 「変更なし」.
QString markText(ChangeMark mark);

// New and changed rows: what 「変更分だけ」 and --changed-only print.
inline bool needsPrinting(ChangeMark mark) {
    return mark != ChangeMark::Unchanged;
}

// The key of the history: the JAN code as the label prints it (blanks aside, full-width digits
// half-width, the check digit completed). Empty for a row without a code.
QString printedKey(const QString& jan);

// Whether the row's sale is on on `day` (its first and last day included; an empty end is
// open). No sale price: never.
bool onSale(const ProductRow& row, const QDate& day);

// What a row's label prints on `day` (null: today), as the history keeps it: in its sale the
// sale price, with the 通常価格 it replaces (the row's price when it names none). A row
// without a rate of its own is printed with `defaultRate` (the layout's). The rate kept is the
// one in force on the day for the rate's class (8: 軽減, 10: 標準), with the layout's
// `rateChanges`: on a rate change's first day every label of the class prints anew.
PrintedLabel printedLabelOf(const ProductRow& row, int defaultRate, const QDateTime& when,
                            const QDate& day = {},
                            const std::vector<TaxRateChange>& rateChanges = {});

// The row as printed on `day` (null: today) against its last printed label (nothing when none
// was recorded): a sale that starts or ends is a price change. Prices are compared as whole
// yen where both read as such ("1,280" and "1280" are the same price), else as text.
ChangeMark changeMark(const ProductRow& row, const std::optional<PrintedLabel>& last,
                      int defaultRate, const QDate& day = {},
                      const std::vector<TaxRateChange>& rateChanges = {});

// What changed, for a tool tip: 「売価 398 → 428、品名」, 「売価 158 → 128 (特価、通常 158)」;
// empty when nothing did.
QString describeChange(const ProductRow& row, const PrintedLabel& last, int defaultRate,
                       const QDate& day = {}, const std::vector<TaxRateChange>& rateChanges = {});

}  // namespace zukaro
