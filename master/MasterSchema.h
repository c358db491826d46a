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
//   5  products.sale_price, regular_price, sale_from, sale_to: the product's sale (NULL where a
//      list never said one); printed.regular_price: the 通常価格 line a sale label printed;
//      printed.printed_for: the day the label was printed for ('YYYY-MM-DD').
// A new upgrade is added at the end; the ones before it never change.
const std::vector<QStringList>& masterUpgrades();

// The first version with the print history.
inline constexpr int kPrintHistoryVersion = 3;
// The first version that knows when each product's list was made.
inline constexpr int kListTimesVersion = 4;
// The first version that keeps sales and the day a label was printed for.
inline constexpr int kSalesVersion = 5;

inline int currentMasterVersion() {
    return static_cast<int>(masterUpgrades().size());
}

// What a database holds, as far as telling a master of ours from anything else goes.
struct DatabaseContents {
    bool marked = false;  // the schema's version is kept (SQLite: user_version above 0)
    int version = 0;
    QStringList tables;  // tables and views, the version's own table aside
    QStringList productColumns;
    QStringList printedColumns;
};

enum class DatabaseKind {
    Empty,  // nothing in it yet: a new master
    Ours,   // a master of this version or an earlier one
    Newer,  // a master of a newer zukaro
    Other,  // another program's: never touched
};

// A database is taken as a master only when it is empty or is marked with a version whose
// tables it has, with their columns (an older master has those of its own version). The first
// zukaro could leave its one table without the mark; that table, with exactly its columns,
// counts as ours too. Anything else belongs to another program, even with a table "products".
DatabaseKind databaseKind(const DatabaseContents& contents);

}  // namespace zukaro
