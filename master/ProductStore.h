#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "MasterComparison.h"
#include "MasterConnection.h"
#include "ProductRow.h"
#include "WorkProgress.h"

namespace zukaro {

// The products of a master by JAN code: filled from product lists, looked up when a code is
// typed or scanned (ProductMaster.h says what each call promises).
class ProductStore {
public:
    struct ImportResult {
        bool ok = false;
        bool cancelled = false;
        QString error;  // nothing was stored when not ok
        int added = 0;
        int updated = 0;  // stored products the rows changed (one that stays the same is not)
        int skipped = 0;  // rows without a JAN code
    };
    struct LookupResult {
        bool ok = false;
        QString error;
        std::optional<ProductRow> product;  // line 0, copies 1; nothing when the JAN is unknown
    };
    struct ProductsResult {
        bool ok = false;
        QString error;
        std::vector<ProductRow> products;  // by JAN code
    };
    struct StoredResult {
        bool ok = false;
        QString error;
        QHash<QString, StoredProduct> products;  // by keyOf(); a code not stored is absent
    };
    struct CountResult {
        bool ok = false;
        QString error;
        qint64 count = 0;
    };

    explicit ProductStore(MasterConnection& connection) : connection_(connection) {}

    static QString keyOf(const QString& jan);

    ImportResult importRows(const std::vector<ProductRow>& rows, WorkProgress* progress,
                            const std::vector<QDateTime>& listTimes);
    StoredResult storedProducts(const QStringList& keys);
    LookupResult lookup(const QString& jan);
    ProductsResult allProducts();
    CountResult productCount();

private:
    QString kindColumn() const;
    QString saleColumns() const;

    MasterConnection& connection_;
};

}  // namespace zukaro
