// 総額表示: the layout's price mode, default rate, rounding, separators and fitting, and the
// current label's tax rate beside the price field.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "EditorWindow.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

constexpr int kRates[] = {kStandardTaxRate, kReducedTaxRate};  // in the combo's order

void changeLayout(EditorWindow& window, const std::function<void(Layout&)>& change) {
    window.edit(QStringLiteral("総額表示"), [&] { change(window.sheet().layout); });
    window.showPreview();
}

// In 入力どおり a rate changes nothing on paper: the clerk who gave one is told so, with every
// label it concerns (and `used`, whose rate button was just pressed).
void tellUntaxed(EditorWindow& window, int used = 0) {
    if (window.sheet().layout.priceMode != PriceMode::AsTyped) {
        return;
    }
    std::vector<int> labels = labelsPrintedWithoutTax(window.sheet());
    if (used != 0 && std::find(labels.begin(), labels.end(), used) == labels.end()) {
        labels.insert(std::upper_bound(labels.begin(), labels.end(), used), used);
    }
    if (!labels.empty()) {
        window.say(printedWithoutTaxNote(labels));
    }
}

}  // namespace

void wirePriceControls(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    QObject::connect(ui.総額表示, &QComboBox::activated, &window, [&window](int index) {
        changeLayout(window, [index](Layout& l) { l.priceMode = PriceMode(index); });
        tellUntaxed(window);
    });
    QObject::connect(ui.標準税率, &QComboBox::activated, &window, [&window](int index) {
        changeLayout(window, [index](Layout& l) { l.defaultTaxRate = kRates[index]; });
    });
    QObject::connect(ui.端数処理, &QComboBox::activated, &window, [&window](int index) {
        changeLayout(window, [index](Layout& l) { l.taxRounding = TaxRounding(index); });
    });
    QObject::connect(ui.桁区切り, &QCheckBox::clicked, &window, [&window](bool on) {
        changeLayout(window, [on](Layout& l) { l.thousandsSeparators = on; });
    });
    QObject::connect(ui.価格を枠内に収める, &QCheckBox::clicked, &window, [&window](bool on) {
        changeLayout(window, [on](Layout& l) { l.fitPrice = on; });
    });
    // The same in one click from the strip over the preview that names overprinted labels.
    window.onClick(ui.枠内に収める,
                   [&window] { changeLayout(window, [](Layout& l) { l.fitPrice = true; }); });

    // 10 % and 8 % in turn; a rate equal to the layout's default is kept as "the default", so
    // that the label follows when the default changes.
    window.onClick(ui.税率切替, [&window] {
        SheetState& sheet = window.sheet();
        const int n = sheet.currentLabel;
        const int next =
            taxRateOf(sheet, n) == kStandardTaxRate ? kReducedTaxRate : kStandardTaxRate;
        window.edit(QStringLiteral("税率"), [&sheet, n, next] {
            sheet.taxRate[n] =
                next == sheet.layout.defaultTaxRate ? QString() : QString::number(next);
        });
        window.showPreview();
        tellUntaxed(window, n);
    });
}

void mirrorPriceControls(const EditorControls& ui, const SheetState& sheet) {
    const Layout& l = sheet.layout;
    const QSignalBlocker blockers[] = {QSignalBlocker(ui.総額表示), QSignalBlocker(ui.標準税率),
                                       QSignalBlocker(ui.端数処理), QSignalBlocker(ui.桁区切り),
                                       QSignalBlocker(ui.価格を枠内に収める)};
    ui.総額表示->setCurrentIndex(static_cast<int>(l.priceMode));
    ui.標準税率->setCurrentIndex(l.defaultTaxRate == kReducedTaxRate ? 1 : 0);
    ui.端数処理->setCurrentIndex(static_cast<int>(l.taxRounding));
    ui.桁区切り->setChecked(l.thousandsSeparators);
    ui.価格を枠内に収める->setChecked(l.fitPrice);
    // A label from a register's list may hold a price with tax in it (内税) or one without
    // tax (非課税); the clerk sees that here, and the rate button changes only the rate.
    const int n = sheet.currentLabel;
    const QString rate = QStringLiteral("%1%").arg(taxRateOf(sheet, n));
    switch (priceTaxOf(sheet, n)) {
        case PriceTax::Inclusive:
            ui.税率切替->setText(rate + kTaxIncludedText.left(1));
            ui.税率切替->setToolTip(QStringLiteral("このラベルの売価は税込 (内税、税率 %1) です。"
                                                   "押すと税率が変わります (10% ⇔ 8%)")
                                        .arg(rate));
            break;
        case PriceTax::Exempt:
            ui.税率切替->setText(kTaxExemptText);
            ui.税率切替->setToolTip(
                QStringLiteral("このラベルの売価は非課税です。税を足さずに"
                               "そのまま印刷します"));
            break;
        case PriceTax::Exclusive:
            ui.税率切替->setText(rate);
            ui.税率切替->setToolTip(QStringLiteral("このラベルの消費税率 (10% ⇔ 8%)"));
            break;
    }
}

}  // namespace zukaro
