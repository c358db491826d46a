#include "MasterSchema.h"

#include <algorithm>

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
        // 5. A register's sale per product, and what a sale label printed and for which day:
        // lists are printed for next week's 特売. The sale columns may be NULL: a list that
        // says nothing of sales binds NULL and leaves the stored sale as it is.
        {QStringLiteral("ALTER TABLE products ADD COLUMN sale_price TEXT"),
         QStringLiteral("ALTER TABLE products ADD COLUMN regular_price TEXT"),
         QStringLiteral("ALTER TABLE products ADD COLUMN sale_from TEXT"),
         QStringLiteral("ALTER TABLE products ADD COLUMN sale_to TEXT"),
         QStringLiteral("ALTER TABLE printed ADD COLUMN regular_price TEXT NOT NULL DEFAULT ''"),
         QStringLiteral("ALTER TABLE printed ADD COLUMN printed_for TEXT NOT NULL DEFAULT ''")},
    };
    return upgrades;
}

namespace {

// The columns each upgrade leaves, which a master of that version has (more may follow).
QStringList productColumnsOf(int version) {
    QStringList columns{QStringLiteral("jan"),      QStringLiteral("maker"),
                        QStringLiteral("product"),  QStringLiteral("spec"),
                        QStringLiteral("lot"),      QStringLiteral("price"),
                        QStringLiteral("tax_rate"), QStringLiteral("updated_at")};
    if (version >= 2) {
        columns << QStringLiteral("updated_by");
    }
    if (version >= kPrintHistoryVersion) {
        columns << QStringLiteral("tax_kind");
    }
    if (version >= kSalesVersion) {
        columns << QStringLiteral("sale_price") << QStringLiteral("regular_price")
                << QStringLiteral("sale_from") << QStringLiteral("sale_to");
    }
    return columns;
}

QStringList printedColumnsOf(int version) {
    if (version < kPrintHistoryVersion) {
        return {};
    }
    QStringList columns{QStringLiteral("jan"),        QStringLiteral("maker"),
                        QStringLiteral("product"),    QStringLiteral("spec"),
                        QStringLiteral("lot"),        QStringLiteral("price"),
                        QStringLiteral("tax_rate"),   QStringLiteral("tax_kind"),
                        QStringLiteral("printed_at"), QStringLiteral("printed_by")};
    if (version >= kSalesVersion) {
        columns << QStringLiteral("regular_price") << QStringLiteral("printed_for");
    }
    return columns;
}

bool holdsAll(const QStringList& have, const QStringList& wanted) {
    for (const QString& column : wanted) {
        if (!have.contains(column, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return true;
}

}  // namespace

DatabaseKind databaseKind(const DatabaseContents& contents) {
    if (!contents.marked || contents.version <= 0) {
        if (contents.tables.isEmpty()) {
            return DatabaseKind::Empty;
        }
        const QStringList first = productColumnsOf(1);
        const bool firstZukaro =
            contents.tables.size() == 1 &&
            contents.tables.front().compare(u"products", Qt::CaseInsensitive) == 0 &&
            contents.productColumns.size() == first.size() &&
            holdsAll(contents.productColumns, first);
        return firstZukaro ? DatabaseKind::Ours : DatabaseKind::Other;
    }
    const int known = std::min(contents.version, currentMasterVersion());
    const bool hasPrinted =
        known < kPrintHistoryVersion ||
        contents.tables.contains(QStringLiteral("printed"), Qt::CaseInsensitive);
    if (!contents.tables.contains(QStringLiteral("products"), Qt::CaseInsensitive) ||
        !holdsAll(contents.productColumns, productColumnsOf(known)) || !hasPrinted ||
        !holdsAll(contents.printedColumns, printedColumnsOf(known))) {
        return DatabaseKind::Other;
    }
    return contents.version > currentMasterVersion() ? DatabaseKind::Newer : DatabaseKind::Ours;
}

}  // namespace zukaro
