#include "PrintHistory.h"

#include <QStringList>

#include "CellValues.h"
#include "JanCompletion.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

bool samePrice(const QString& a, const QString& b) {
    const std::optional<std::int64_t> ya = wholeYen(a);
    const std::optional<std::int64_t> yb = wholeYen(b);
    return ya && yb ? *ya == *yb : a.trimmed() == b.trimmed();
}

// 「398」, 「1,000 (内税 8%)」, 「200 (非課税)」: a price as the clerk reads it.
QString priceShown(const QString& price, int rate, PriceTax kind, int defaultRate) {
    QString shown = price.trimmed();
    if (kind == PriceTax::Exempt) {
        return shown + QStringLiteral(" (非課税)");
    }
    QStringList notes;
    if (kind == PriceTax::Inclusive) {
        notes << kTaxIncludedText;
    }
    if (rate != defaultRate) {
        notes << QStringLiteral("%1%").arg(rate);
    }
    return notes.isEmpty() ? shown : shown + QStringLiteral(" (%1)").arg(notes.join(u' '));
}

QString priceShown(const PrintedLabel& label, int defaultRate) {
    const QString shown = priceShown(label.price, label.taxRate, label.taxKind, defaultRate);
    return label.regularPrice.isEmpty()
               ? shown
               : shown + QStringLiteral(" (特価、通常 %1)").arg(label.regularPrice.trimmed());
}

}  // namespace

bool onSale(const ProductRow& row, const QDate& day) {
    if (row.salePrice.isEmpty()) {
        return false;
    }
    const QString iso = day.toString(Qt::ISODate);
    return (row.saleFrom.isEmpty() || row.saleFrom <= iso) &&
           (row.saleTo.isEmpty() || iso <= row.saleTo);
}

QString markText(ChangeMark mark) {
    switch (mark) {
        case ChangeMark::New:
            return QStringLiteral("新規");
        case ChangeMark::PriceChanged:
            return QStringLiteral("価格変更");
        case ChangeMark::TextChanged:
            return QStringLiteral("表示変更");
        case ChangeMark::Unchanged:
            break;
    }
    return QStringLiteral("変更なし");
}

QString printedKey(const QString& jan) {
    return completeJanCheckDigit(janText(jan));
}

PrintedLabel printedLabelOf(const ProductRow& row, int defaultRate, const QDateTime& when,
                            const QDate& day, const std::vector<TaxRateChange>& rateChanges) {
    const QDate printedFor = day.isValid() ? day : QDate::currentDate();
    const bool sale = onSale(row, printedFor);
    const int rate = row.taxRate.value_or(defaultRate);
    const int inForce = taxRateOn(taxClassOfRate(rate), printedFor, rateChanges);
    return {printedKey(row.jan),
            row.maker,
            row.product,
            row.spec,
            row.lot,
            (sale ? row.salePrice : row.price).trimmed(),
            inForce,
            row.taxKind,
            when.toUTC(),
            !sale                        ? QString()
            : row.regularPrice.isEmpty() ? row.price.trimmed()
                                         : row.regularPrice.trimmed(),
            printedFor};
}

ChangeMark changeMark(const ProductRow& row, const std::optional<PrintedLabel>& last,
                      int defaultRate, const QDate& day,
                      const std::vector<TaxRateChange>& rateChanges) {
    if (!last || printedKey(row.jan).isEmpty()) {
        return ChangeMark::New;
    }
    const PrintedLabel now = printedLabelOf(row, defaultRate, {}, day, rateChanges);
    // The rate of a product without tax prints nowhere.
    const bool rateCounts = now.taxKind != PriceTax::Exempt;
    const bool sameRegular =
        now.regularPrice.isEmpty() == last->regularPrice.isEmpty() &&
        (now.regularPrice.isEmpty() || samePrice(now.regularPrice, last->regularPrice));
    if (!samePrice(now.price, last->price) || !sameRegular || now.taxKind != last->taxKind ||
        (rateCounts && now.taxRate != last->taxRate)) {
        return ChangeMark::PriceChanged;
    }
    if (now.maker != last->maker || now.product != last->product || now.spec != last->spec ||
        now.lot != last->lot) {
        return ChangeMark::TextChanged;
    }
    return ChangeMark::Unchanged;
}

QString describeChange(const ProductRow& row, const PrintedLabel& last, int defaultRate,
                       const QDate& day, const std::vector<TaxRateChange>& rateChanges) {
    const PrintedLabel now = printedLabelOf(row, defaultRate, {}, day, rateChanges);
    QStringList changes;
    const QString before = priceShown(last, defaultRate);
    const QString after = priceShown(now, defaultRate);
    if (before != after &&
        changeMark(row, last, defaultRate, day, rateChanges) == ChangeMark::PriceChanged) {
        changes << QStringLiteral("売価 %1 → %2").arg(before, after);
    }
    const std::pair<const char16_t*, bool> texts[] = {{u"メーカー", now.maker != last.maker},
                                                      {u"品名", now.product != last.product},
                                                      {u"規格", now.spec != last.spec},
                                                      {u"ロット", now.lot != last.lot}};
    for (const auto& [name, differs] : texts) {
        if (differs) {
            changes << QString::fromUtf16(name);
        }
    }
    return changes.join(QStringLiteral("、"));
}

}  // namespace zukaro
