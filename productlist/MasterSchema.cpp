#include "MasterSchema.h"

namespace zukaro {

const std::vector<QStringList>& masterUpgrades() {
    static const std::vector<QStringList> upgrades{
        // 1. Copies are not stored: they belong to one printing, not to the product. IF NOT
        // EXISTS: the first zukaro with a master made this table before it kept versions.
        {QStringLiteral("CREATE TABLE IF NOT EXISTS products ("
                        " jan TEXT PRIMARY KEY NOT NULL,"
                        " maker TEXT NOT NULL, product TEXT NOT NULL,"
                        " spec TEXT NOT NULL, lot TEXT NOT NULL, price TEXT NOT NULL,"
                        " tax_rate INTEGER,"
                        " updated_at TEXT NOT NULL)")},
        // 2. Many shops and head office write one master: each change says whose it was.
        {QStringLiteral("ALTER TABLE products ADD COLUMN updated_by TEXT NOT NULL DEFAULT ''")},
        // 3. The labels last printed, by the code as printed (check digit completed): what the
        // weekly price change compares a list with.
        {QStringLiteral("CREATE TABLE printed ("
                        " jan TEXT PRIMARY KEY NOT NULL,"
                        " maker TEXT NOT NULL, product TEXT NOT NULL,"
                        " spec TEXT NOT NULL, lot TEXT NOT NULL, price TEXT NOT NULL,"
                        " tax_rate INTEGER NOT NULL, tax_kind TEXT NOT NULL,"
                        " printed_at TEXT NOT NULL, printed_by TEXT NOT NULL)"),
         // A register's 内税 price holds its tax: a scanned code must fill it as such.
         QStringLiteral("ALTER TABLE products ADD COLUMN tax_kind TEXT NOT NULL DEFAULT ''")},
        // 4. When the list that last changed a product was made: a list older than that is told
        // before it puts an older price back. A product from before takes the time it changed.
        {QStringLiteral("ALTER TABLE products ADD COLUMN listed_at TEXT NOT NULL DEFAULT ''"),
         QStringLiteral("UPDATE products SET listed_at = updated_at")},
    };
    return upgrades;
}

}  // namespace zukaro
