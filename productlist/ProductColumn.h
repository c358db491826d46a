#pragma once

#include <QString>
#include <array>

namespace zukaro {

// What a column of a product list holds.
enum class ProductColumn { Jan, Maker, Product, Spec, Lot, Price, Copies, TaxRate };

inline constexpr std::array<ProductColumn, 8> kProductColumns{
    ProductColumn::Jan, ProductColumn::Maker, ProductColumn::Product, ProductColumn::Spec,
    ProductColumn::Lot, ProductColumn::Price, ProductColumn::Copies,  ProductColumn::TaxRate};

// Position in kProductColumns.
constexpr std::size_t indexOf(ProductColumn column) {
    return static_cast<std::size_t>(column);
}

// The name in the settings file ("jan", "maker", …); never changes once shipped.
QString settingsKey(ProductColumn column);

// The name shown to the user ("JAN コード", "メーカー", …).
QString displayName(ProductColumn column);

}  // namespace zukaro
