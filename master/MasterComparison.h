#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <vector>

#include "ProductRow.h"

// What a list would do to the product master, worked out before anything is stored: the clerk
// sees it and says whether to register the list (「マスターに登録」, --import-list).
namespace zukaro {

// A product as the master keeps it, and when the list that last changed it was made (UTC;
// invalid when the master does not know).
struct StoredProduct {
    ProductRow product;
    QDateTime listedAt;
};

// Rows of one JAN code met one after another, as one: what a later row says replaces what an
// earlier one said, an empty cell (and a tax kind not said) keeps it. The same as writing
// them one by one. A sale is said whole by a list with a sale column, or not at all.
void mergeListedRow(ProductRow& merged, const ProductRow& row);

// What registering a list would change, product by product (rows of one code merged).
struct MasterPreview {
    // A product the list would change: its price (or its rate, or whether it holds its tax),
    // or only its texts.
    struct Change {
        int line = 0;   // of the row that sets it, for messages
        int batch = 0;  // as ProductRow::batch
        QString jan, product;
        bool price = false;
        QString before, after;  // the prices: 「980 (内税)」 → 「1078」
        // The stored product came from a newer list than this one: registering puts older
        // values back. When that list was made (UTC).
        bool older = false;
        QDateTime storedAt;
    };
    qint64 added = 0;             // 新規: codes the master does not know
    qint64 priceChanged = 0;      // 売価が変わる
    qint64 textChanged = 0;       // only maker, name, spec or lot (or a rate newly said) change
    qint64 unchanged = 0;         // 変更なし: registering changes nothing of it
    qint64 withoutCode = 0;       // rows without a JAN code, which are not registered
    std::vector<Change> changes;  // in list order
    // The codes whose stored product came from a newer list than this one and would change.
    QSet<QString> olderCodes;

    bool changesAnything() const { return added + priceChanged + textChanged > 0; }
    // 「新規 2 件、売価が変わる 3 件、変更なし 20 件」 (品名などが変わる and JAN なし only when
    // there are such).
    QString counts() const;
    // 「三ツ矢サイダー 500ml 128 → 138」, one per price change, the first `limit`.
    QStringList priceLines(qsizetype limit) const;
    // The changes from an older list, with the date of the stored one's list.
    QStringList olderLines(qsizetype limit) const;
    // The list against the master once registered, the `held` codes left out: those still
    // differ, every other product is as the list has it.
    MasterPreview afterRegistering(const QSet<QString>& held) const;
};

// `listTimes[row.batch]`: when each row's list was made (its file's modification time); a
// batch without one counts as made now. Rows are compared with `stored` (by
// ProductMaster::keyOf of their codes) as an import would write them.
MasterPreview compareWithMaster(const std::vector<ProductRow>& rows,
                                const QHash<QString, StoredProduct>& stored,
                                const std::vector<QDateTime>& listTimes);

// A row that holds a JAN code and nothing to print (a scanner's list: the code, or the code and
// 枚数): its texts come from the master.
bool holdsOnlyCode(const ProductRow& row);
// Fills such a row's texts, price, tax and sale from the stored product; what the row says
// stays.
void fillFromStored(ProductRow& row, const ProductRow& stored);

}  // namespace zukaro
