#include "ProductColumn.h"

namespace zukaro {

QString settingsKey(ProductColumn column) {
    switch (column) {
        case ProductColumn::Jan:
            return QStringLiteral("jan");
        case ProductColumn::Maker:
            return QStringLiteral("maker");
        case ProductColumn::Product:
            return QStringLiteral("product");
        case ProductColumn::Spec:
            return QStringLiteral("spec");
        case ProductColumn::Lot:
            return QStringLiteral("lot");
        case ProductColumn::Price:
            return QStringLiteral("price");
        case ProductColumn::Copies:
            return QStringLiteral("copies");
        case ProductColumn::TaxRate:
            return QStringLiteral("taxRate");
        case ProductColumn::TaxKind:
            return QStringLiteral("taxKind");
        case ProductColumn::GrossPrice:
            return QStringLiteral("grossPrice");
        case ProductColumn::NetPrice:
            return QStringLiteral("netPrice");
        case ProductColumn::SalePrice:
            return QStringLiteral("salePrice");
        case ProductColumn::SaleFrom:
            return QStringLiteral("saleFrom");
        case ProductColumn::SaleTo:
            return QStringLiteral("saleTo");
        case ProductColumn::RegularPrice:
            return QStringLiteral("regularPrice");
        case ProductColumn::ReducedRate:
            return QStringLiteral("reducedRate");
    }
    return {};
}

QString displayName(ProductColumn column) {
    switch (column) {
        case ProductColumn::Jan:
            return QStringLiteral("JAN コード");
        case ProductColumn::Maker:
            return QStringLiteral("メーカー");
        case ProductColumn::Product:
            return QStringLiteral("品名");
        case ProductColumn::Spec:
            return QStringLiteral("規格");
        case ProductColumn::Lot:
            return QStringLiteral("ロット");
        case ProductColumn::Price:
            return QStringLiteral("売価");
        case ProductColumn::Copies:
            return QStringLiteral("枚数");
        case ProductColumn::TaxRate:
            return QStringLiteral("税率");
        case ProductColumn::TaxKind:
            return QStringLiteral("税区分");
        case ProductColumn::GrossPrice:
            return QStringLiteral("税込価格");
        case ProductColumn::NetPrice:
            return QStringLiteral("税抜価格");
        case ProductColumn::SalePrice:
            return QStringLiteral("特売価格");
        case ProductColumn::SaleFrom:
            return QStringLiteral("特売開始日");
        case ProductColumn::SaleTo:
            return QStringLiteral("特売終了日");
        case ProductColumn::RegularPrice:
            return QStringLiteral("通常価格");
        case ProductColumn::ReducedRate:
            return QStringLiteral("軽減税率対象");
    }
    return {};
}

}  // namespace zukaro
