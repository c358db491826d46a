#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The cells of a product list that carry more than text.
namespace zukaro {

// The number of labels to print: blank gives 1; a whole number 0-999 in half- or full-width
// digits; anything else nothing.
std::optional<int> parseCopies(QStringView cell);

struct TaxRateCell {
    bool ok = false;
    std::optional<int> rate;  // nothing for a blank cell
};

// "10", "10%", "８％", "8", "軽減" (the reduced rate, 8); blank gives no rate; anything else
// is not ok.
TaxRateCell parseTaxRate(QStringView cell);

// A price as shops and registers write it: "￥398", "¥1,280", "398円", "1,280 円", "\\398" (a
// yen sign saved as Shift_JIS), full-width digits. The whole yen amount as plain digits
// ("398", "1280"): the label prints its own 円, and the layout says whether separators go in.
// Nothing for a price that is not a whole number of yen ("オープン価格", "398.5") or blank.
std::optional<QString> listPrice(QStringView cell);

// The JAN code without surrounding blanks and with full-width digits made half-width; whether
// it is a valid code is for the label layer to say.
QString janText(QStringView cell);

}  // namespace zukaro
