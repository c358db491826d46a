#include "ItemTexts.h"

#include "HalfEven.h"
#include "TaxPrice.h"
#include "Units.h"

#include <algorithm>

namespace zukaro {
namespace {

constexpr qsizetype kPriceWidth = kPriceFieldCharacters;

// Blanks a clerk may type around a price: the ASCII space and the full-width space of the
// Japanese input method.
bool isPriceBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

QString withoutBlanksAround(const QString& priceText) {
    qsizetype first = 0;
    qsizetype last = priceText.size();
    while (first < last && isPriceBlank(priceText[first])) {
        ++first;
    }
    while (last > first && isPriceBlank(priceText[last - 1])) {
        --last;
    }
    return priceText.mid(first, last - first);
}

}  // namespace

QString barcodeCode(const QString& janText) {
    return janText.size() == 13 || janText.size() == 8 ? janText : QString();
}

QString janDigitsLine(const QString& janText) {
    return janText.size() == 8 ? QStringLiteral("    ") + janText : janText;
}

int productNameSpaces(qsizetype utf16Bytes) {
    if (utf16Bytes <= 0 || utf16Bytes >= 24) {
        return 0;
    }
    return static_cast<int>(roundHalfEven(static_cast<double>(26 - utf16Bytes) / 3.0));
}

QString centredProductName(const QString& productText) {
    const int spaces = productNameSpaces(productText.size() * 2);
    return QString(spaces, QLatin1Char(' ')) + productText;
}

QString priceField(const QString& priceText) {
    QString field = QString(kPriceWidth, QLatin1Char(' ')) + withoutBlanksAround(priceText);
    field = field.right(kPriceWidth);
    // Never start with half of a character outside the basic plane.
    if (field.front().isLowSurrogate()) {
        field.front() = QLatin1Char(' ');
    }
    return field;
}

namespace {

// The price texts of `typed` as label n's price on `day`.
PriceTexts amountTexts(const SheetState& sheet, int n, const QString& typed, QDate day) {
    const Layout& l = sheet.layout;
    const std::optional<std::int64_t> yen = wholeYen(typed);
    if (!pricesAreComputed(l) || !yen) {
        return {priceField(typed), {}, {}, withoutBlanksAround(typed)};
    }
    const auto big = [](const QString& amount) {
        return amount.rightJustified(kPriceWidth, QLatin1Char(' '));
    };
    // Amounts worked out follow the layout's separators; the amount typed keeps the clerk's
    // too ("12,800" stays 「(本体 12,800円)」).
    const bool separators = l.thousandsSeparators;
    const bool typedSeparators = separators || typedWithSeparators(typed);
    // 本体価格 and the total: the typed price is the first (外税) or the second (内税), and
    // the other is worked out from it; a price without tax (非課税) prints as it stands.
    std::int64_t net = *yen;
    std::int64_t total = *yen;
    bool netTyped = true;
    switch (priceTaxOf(sheet, n)) {
        case PriceTax::Exclusive:
            total = withTax(net, taxRateOn(sheet, n, day), l.taxRounding);
            break;
        case PriceTax::Inclusive:
            net = withoutTax(total, taxRateOn(sheet, n, day), l.taxRounding);
            netTyped = false;
            break;
        case PriceTax::Exempt:
            return {
                big(yenAmount(*yen, typedSeparators)), {}, {}, yenAmount(*yen, typedSeparators)};
    }
    const QString netShown = yenAmount(net, netTyped ? typedSeparators : separators);
    const QString totalShown = yenAmount(total, netTyped ? separators : typedSeparators);
    switch (l.priceMode) {
        case PriceMode::TaxIncluded:
            return {big(totalShown), QStringLiteral("(本体 %1円)").arg(netShown), {}, totalShown};
        case PriceMode::NetAndTaxIncluded:
            return {big(netShown), {}, QStringLiteral("税込 %1円").arg(totalShown), netShown};
        case PriceMode::AsTyped:
            break;
    }
    return {big(yenAmount(*yen, typedSeparators)), {}, {}, yenAmount(*yen, typedSeparators)};
}

}  // namespace

PriceTexts priceTexts(const SheetState& sheet, int n, QDate day) {
    const bool hasSale = !sheet.salePrice[n].trimmed().isEmpty();
    const QString& regular = hasSale && !sheet.regularPrice[n].trimmed().isEmpty()
                                 ? sheet.regularPrice[n]
                                 : sheet.priceText[n];
    if (!saleIsOn(sheet, n, day)) {
        return amountTexts(sheet, n, regular, day);
    }
    PriceTexts texts = amountTexts(sheet, n, sheet.salePrice[n], day);
    texts.saleMark = QStringLiteral("特価");
    // The regular price as the big price would print it: with tax in 税込表示, 本体価格 in
    // 本体+税込, and whole yen as the clerk typed it in 入力どおり (「￥398」 is 398円).
    const QString regularWhole = amountTexts(sheet, n, regular, day).whole;
    if (!regularWhole.isEmpty()) {
        const std::optional<std::int64_t> yen = wholeYen(regularWhole);
        texts.regularLine =
            QStringLiteral("通常価格 %1")
                .arg(yen ? yenAmount(*yen, typedWithSeparators(regularWhole)) + u'円'
                         : regularWhole);
    }
    return texts;
}

QString drawablePart(const QString& text, double fromMm, double fontPoints) {
    constexpr double kWidestPaperMm = 500;
    const double narrowestGlyphMm = std::max(fontPoints, 0.5) * draw::kMmPerPoint / 5;
    const double reach = (kWidestPaperMm - std::min(fromMm, 0.0)) / narrowestGlyphMm;
    const qsizetype keep = static_cast<qsizetype>(std::min(reach, 1e9)) + 1;
    if (text.size() <= keep) {
        return text;
    }
    // Never end on the first half of a character outside the basic plane.
    return text.left(text.at(keep - 1).isHighSurrogate() ? keep - 1 : keep);
}

QString labelNumber(int n) {
    return QString::number(n).rightJustified(2, QLatin1Char(' '));
}

}  // namespace zukaro
