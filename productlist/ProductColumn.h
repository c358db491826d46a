#pragma once

#include <QString>
#include <array>

namespace zukaro {

// What a column of a product list holds. A register's export may name its price 税込価格
// (GrossPrice: the tax is in it) or 税抜価格 (NetPrice), and say per product whether the price
// holds the tax (TaxKind: 外税 / 内税 / 非課税). A sale has its price, the regular price it
// replaces and its first and last day; ReducedRate says whether the 軽減 class applies (○/×).
enum class ProductColumn {
    Jan,
    Maker,
    Product,
    Spec,
    Lot,
    Price,
    Copies,
    TaxRate,
    TaxKind,
    GrossPrice,
    NetPrice,
    SalePrice,
    SaleFrom,
    SaleTo,
    RegularPrice,
    ReducedRate
};

inline constexpr std::array<ProductColumn, 16> kProductColumns{
    ProductColumn::Jan,        ProductColumn::Maker,    ProductColumn::Product,
    ProductColumn::Spec,       ProductColumn::Lot,      ProductColumn::Price,
    ProductColumn::Copies,     ProductColumn::TaxRate,  ProductColumn::TaxKind,
    ProductColumn::GrossPrice, ProductColumn::NetPrice, ProductColumn::SalePrice,
    ProductColumn::SaleFrom,   ProductColumn::SaleTo,   ProductColumn::RegularPrice,
    ProductColumn::ReducedRate};

// Position in kProductColumns.
constexpr std::size_t indexOf(ProductColumn column) {
    return static_cast<std::size_t>(column);
}

// The name in the settings file ("jan", "maker", …); never changes once shipped.
QString settingsKey(ProductColumn column);

// The name shown to the user ("JAN コード", "メーカー", …).
QString displayName(ProductColumn column);

}  // namespace zukaro
