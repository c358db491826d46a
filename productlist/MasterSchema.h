#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zukaro {

// The product master's tables, built up by numbered upgrades that read the same in SQLite and
// PostgreSQL: upgrade n brings a database of version n - 1 to version n. A database of a newer
// version than the last upgrade here was made by a newer zukaro and is not touched.
//   1  products: one row per JAN code; the texts of its label, its tax rate, when it changed.
//   2  products.updated_by: who changed it last (the login and the computer).
//   3  printed: per JAN code, the label last recorded as printed, when and by whom;
//      products.tax_kind: whether the price holds its tax (内税) or is not taxed (非課税).
//   4  products.listed_at: when the list that last changed the product was made.
// A new upgrade is added at the end; the ones before it never change.
const std::vector<QStringList>& masterUpgrades();

// The first version with the print history.
inline constexpr int kPrintHistoryVersion = 3;
// The first version that knows when each product's list was made.
inline constexpr int kListTimesVersion = 4;

inline int currentMasterVersion() {
    return static_cast<int>(masterUpgrades().size());
}

}  // namespace zukaro
