#include "TaxPrice.h"

#include <QStringList>
#include <algorithm>

namespace zukaro {

namespace {

// Full-width digits, signs and blanks made half-width (「１，２８０」 → "1,280", 「￥」 → "¥"),
// blanks around removed.
QString normalisedPrice(const QString& typed) {
    return typed.normalized(QString::NormalizationForm_KC).trimmed();
}

// Digits with thousands commas in their places, nothing else.
std::optional<std::int64_t> groupedDigits(const QString& text) {
    const QStringList groups = text.split(u',');
    std::int64_t yen = 0;
    int digits = 0;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const QString& group = groups[g];
        // With separators: one to three digits first, then groups of exactly three.
        const bool fits = groups.size() == 1 ||
                          (g == 0 ? group.size() >= 1 && group.size() <= 3 : group.size() == 3);
        if (group.isEmpty() || !fits) {
            return std::nullopt;
        }
        for (QChar c : group) {
            if (c < u'0' || c > u'9') {
                return std::nullopt;
            }
            yen = yen * 10 + (c.unicode() - u'0');
            if (++digits > 12) {
                return std::nullopt;
            }
        }
    }
    return yen;
}

}  // namespace

std::optional<std::int64_t> wholeYen(const QString& typed) {
    QString text = normalisedPrice(typed);
    bool yenSign = false;
    if (text.startsWith(u'¥') || text.startsWith(u'\\')) {
        text = text.mid(1).trimmed();
        yenSign = true;
    }
    if (text.endsWith(u'円')) {
        text = text.chopped(1).trimmed();
    } else if (yenSign && text.endsWith(u'-')) {
        text = text.chopped(1).trimmed();
    }
    return groupedDigits(text);
}

bool typedWithSeparators(const QString& typed) {
    return wholeYen(typed) && normalisedPrice(typed).contains(u',');
}

std::int64_t withTax(std::int64_t net, int ratePercent, TaxRounding rounding) {
    const std::int64_t hundredths = net * (100 + ratePercent);
    switch (rounding) {
        case TaxRounding::HalfUp:
            return (hundredths + 50) / 100;
        case TaxRounding::Up:
            return (hundredths + 99) / 100;
        case TaxRounding::Down:
            break;
    }
    return hundredths / 100;
}

std::int64_t withoutTax(std::int64_t gross, int ratePercent, TaxRounding rounding) {
    const std::int64_t taxTimesDivisor = gross * ratePercent;
    const std::int64_t divisor = 100 + ratePercent;
    std::int64_t tax = taxTimesDivisor / divisor;
    switch (rounding) {
        case TaxRounding::HalfUp:
            tax = (2 * taxTimesDivisor + divisor) / (2 * divisor);
            break;
        case TaxRounding::Up:
            tax = (taxTimesDivisor + divisor - 1) / divisor;
            break;
        case TaxRounding::Down:
            break;
    }
    return gross - tax;
}

QString yenAmount(std::int64_t yen, bool separators) {
    QString digits = QString::number(yen);
    if (separators) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
            digits.insert(at, u',');
        }
    }
    return digits;
}

int taxRateOf(const SheetState& sheet, int n) {
    bool ok = false;
    const int own = sheet.taxRate[n].toInt(&ok);
    return ok ? own : sheet.layout.defaultTaxRate;
}

const std::vector<TaxRateChange>& builtInTaxRates() {
    static const std::vector<TaxRateChange> rates{
        {TaxClass::Standard, kStandardTaxRate, QDate(2019, 10, 1)},
        {TaxClass::Reduced, kReducedTaxRate, QDate(2019, 10, 1)},
    };
    return rates;
}

int taxRateOn(TaxClass taxClass, QDate day, const std::vector<TaxRateChange>& changes) {
    if (taxClass == TaxClass::Exempt) {
        return 0;
    }
    std::vector<TaxRateChange> rows = builtInTaxRates();
    for (const TaxRateChange& change : changes) {
        setTaxRateChange(rows, change);
    }
    const TaxRateChange* inForce = nullptr;
    const TaxRateChange* earliest = nullptr;
    for (const TaxRateChange& row : rows) {
        if (row.taxClass != taxClass) {
            continue;
        }
        if (earliest == nullptr || row.from < earliest->from) {
            earliest = &row;
        }
        if (row.from <= day && (inForce == nullptr || row.from > inForce->from)) {
            inForce = &row;
        }
    }
    const TaxRateChange* row = inForce != nullptr ? inForce : earliest;
    return row != nullptr ? row->ratePercent : 0;
}

TaxClass taxClassOfRate(int ratePercent) {
    return ratePercent == kReducedTaxRate ? TaxClass::Reduced : TaxClass::Standard;
}

TaxClass taxClassOf(const SheetState& sheet, int n) {
    if (priceTaxOf(sheet, n) == PriceTax::Exempt) {
        return TaxClass::Exempt;
    }
    return taxClassOfRate(taxRateOf(sheet, n));
}

int taxRateOn(const SheetState& sheet, int n, QDate day) {
    return taxRateOn(taxClassOf(sheet, n), dayOrToday(day), sheet.layout.taxRateChanges);
}

namespace {
const QString kClassTexts[] = {QStringLiteral("標準"), QStringLiteral("軽減"), kTaxExemptText};
}  // namespace

QString taxClassText(TaxClass taxClass) {
    return kClassTexts[static_cast<int>(taxClass)];
}

std::optional<TaxClass> taxClassFromText(const QString& text) {
    for (int i = 0; i < 3; ++i) {
        if (text == kClassTexts[i]) {
            return TaxClass(i);
        }
    }
    return std::nullopt;
}

void setTaxRateChange(std::vector<TaxRateChange>& changes, const TaxRateChange& change) {
    std::erase_if(changes, [&change](const TaxRateChange& row) {
        return row.taxClass == change.taxClass && row.from == change.from;
    });
    const auto at = std::upper_bound(
        changes.begin(), changes.end(), change,
        [](const TaxRateChange& a, const TaxRateChange& b) { return a.from < b.from; });
    changes.insert(at, change);
}

namespace {
QDate validOrNull(QDate day) {
    return day.isValid() ? day : QDate();
}
}  // namespace

void addKnownTaxRateChanges(std::vector<TaxRateChange>& changes,
                            const std::vector<TaxRateChange>& known) {
    for (const TaxRateChange& row : known) {
        const bool own = std::any_of(changes.begin(), changes.end(), [&row](const auto& c) {
            return c.taxClass == row.taxClass && c.from == row.from;
        });
        if (!own) {
            setTaxRateChange(changes, row);
        }
    }
}

QDate dayFromText(const QString& typed) {
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    const auto allDigits = [](QStringView part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(),
                                              [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (text.size() == 8 && allDigits(text)) {
        return validOrNull(
            QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.right(2).toInt()));
    }
    for (const QChar separator : {u'/', u'-'}) {
        const QStringList parts = text.split(separator);
        if (parts.size() == 3 && parts[0].size() == 4 && allDigits(parts[0]) &&
            parts[1].size() <= 2 && allDigits(parts[1]) && parts[2].size() <= 2 &&
            allDigits(parts[2])) {
            return validOrNull(QDate(parts[0].toInt(), parts[1].toInt(), parts[2].toInt()));
        }
    }
    return {};
}

QString dayText(QDate day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate dayOrToday(QDate day) {
    return day.isNull() ? QDate::currentDate() : day;
}

bool saleIsOn(const SheetState& sheet, int n, QDate day) {
    if (sheet.salePrice[n].trimmed().isEmpty()) {
        return false;
    }
    const QDate on = dayOrToday(day);
    const QDate from = dayFromText(sheet.saleFrom[n]);
    const QDate to = dayFromText(sheet.saleTo[n]);
    // A day that cannot be read is no open end: the sale price is not printed on a guess.
    if ((from.isNull() && !sheet.saleFrom[n].isEmpty()) ||
        (to.isNull() && !sheet.saleTo[n].isEmpty())) {
        return false;
    }
    return (from.isNull() || from <= on) && (to.isNull() || on <= to);
}

PriceTax priceTaxOf(const QString& text) {
    if (text == kTaxIncludedText) {
        return PriceTax::Inclusive;
    }
    return text == kTaxExemptText ? PriceTax::Exempt : PriceTax::Exclusive;
}

PriceTax priceTaxOf(const SheetState& sheet, int n) {
    return priceTaxOf(sheet.taxKind[n]);
}

QString priceTaxText(PriceTax tax) {
    switch (tax) {
        case PriceTax::Inclusive:
            return kTaxIncludedText;
        case PriceTax::Exempt:
            return kTaxExemptText;
        case PriceTax::Exclusive:
            break;
    }
    return {};
}

bool pricesAreComputed(const Layout& layout) {
    return layout.priceMode != PriceMode::AsTyped || layout.thousandsSeparators;
}

std::vector<int> labelsPrintedWithoutTax(const SheetState& sheet) {
    std::vector<int> labels;
    if (sheet.layout.priceMode != PriceMode::AsTyped) {
        return labels;
    }
    for (int n = 1; n <= kLabelCount; ++n) {
        if (!sheet.productText[n].isEmpty() && !sheet.taxRate[n].isEmpty() &&
            priceTaxOf(sheet, n) == PriceTax::Exclusive && wholeYen(sheet.priceText[n])) {
            labels.push_back(n);
        }
    }
    return labels;
}

QString printedWithoutTaxNote(const std::vector<int>& labels) {
    QStringList names;
    for (const int n : labels) {
        names << QString::number(n);
    }
    return QStringLiteral(
               "ラベル %1 の %2 枚は税率が付いていますが、総額表示が「入力どおり」のため、"
               "税抜の売価がそのまま印刷されます。税込で印刷するには、総額表示を「税込表示」に"
               "してください。")
        .arg(names.join(u'、'))
        .arg(labels.size());
}

}  // namespace zukaro
