// What the window does with the shop's product list and master: a scanned code fills the
// label, a sheet of a list opens here.
#include <QAction>
#include <QPushButton>
#include <QStringList>

#include "EditorWindow.h"
#include "Items.h"
#include "JanCompletion.h"
#include "PrintDayEdit.h"
#include "ProductMaster.h"
#include "TaxPrice.h"

namespace zukaro {

QStringList EditorWindow::fillFromMaster(int n, const QString& jan) {
    masterProblem_.clear();
    masterUnknown_ = false;
    // A master that could not be opened (locked by another program at start, a server not
    // reachable) is tried again.
    if (master_ == nullptr || jan.trimmed().isEmpty() || !janBarsProblem(jan).isEmpty()) {
        return {};
    }
    const ProductMaster::LookupResult found = master_->lookup(jan);
    if (!found.ok) {
        // The label stays as typed and the clerk goes on; the status bar says why nothing came.
        masterProblem_ = found.error;
        return {};
    }
    if (!found.product) {
        masterUnknown_ = true;
        return {};
    }
    const ProductRow& p = *found.product;
    const std::pair<const QString*, const ItemDescription*> from[] = {
        {&p.maker, &describe(Item::Maker)},
        {&p.product, &describe(Item::Product)},
        {&p.spec, &describe(Item::Spec)},
        {&p.lot, &describe(Item::Lot)},
        {&p.price, &describe(Item::Price)}};
    QStringList filled;
    for (const auto& [value, item] : from) {
        QString& target = (sheet_.*item->texts)[n];
        if (target.isEmpty() && !value->isEmpty()) {  // what the clerk typed stays
            target = *value;
            filled << QString::fromUtf16(item->name);
        }
    }
    // A register's 内税 price holds its tax: it comes with the price, never onto one typed.
    if (p.taxKind != PriceTax::Exclusive &&
        filled.contains(QString::fromUtf16(describe(Item::Price).name))) {
        sheet_.taxKind[n] = priceTaxText(p.taxKind);
        filled << priceTaxText(p.taxKind);
    }
    if (p.taxRate && sheet_.taxRate[n].isEmpty() && *p.taxRate != sheet_.layout.defaultTaxRate) {
        sheet_.taxRate[n] = QString::number(*p.taxRate);
        filled << QStringLiteral("税率");
    }
    return filled;
}

void EditorWindow::setProductMaster(ProductMaster* master) {
    master_ = master;
    ui_.商品マスター->setEnabled(master_ != nullptr);
}

void EditorWindow::setProductListOpener(std::function<void()> open) {
    openProductList_ = std::move(open);
    ui_.商品リスト->setEnabled(bool(openProductList_));
    ui_.商品リストボタン->setEnabled(bool(openProductList_));
}

SheetState EditorWindow::listBase() const {
    SheetState base = sheet_;
    base.clearAllLabels();
    return base;
}

void EditorWindow::changeLayout(const QString& what, const std::function<void(Layout&)>& change) {
    storeFocusedField();
    edit(what, [&] { change(sheet_.layout); });
    mirrorCaptions();
    showPreviewQuietly();
}

void EditorWindow::openListSheet(const SheetState& sheet, const QString& title, const QDate& day) {
    storeFocusedField();
    if (!confirmDiscard()) {
        return;
    }
    emptySheet();  // the list's labels come in as unsaved changes
    for (int n = 1; n <= kLabelCount; ++n) {
        sheet_.setLabel(n, sheet.label(n));
    }
    refreshTitle();
    ui_.印刷日->setDay(day);
    say(title + QStringLiteral(" を開きました。保存するときは名前を付けてください。"));
    mirrorCaptions();
    loadEntryFields();
    showPreviewQuietly();
}

}  // namespace zukaro
