#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "ProductRow.h"

namespace zukaro {

// The product master (商品マスタ): products by JAN code in an SQLite database file, filled
// from product lists and looked up when a JAN code is typed. Every instance has a connection
// of its own; the destructor closes it. Errors are Japanese and name the database file.
class ProductMaster {
public:
    struct Result {
        bool ok = false;
        QString error;
    };

    struct ImportResult {
        bool ok = false;
        QString error;  // nothing was stored when not ok
        int added = 0;
        int updated = 0;  // JAN codes already stored (or met earlier in the same rows)
        int skipped = 0;  // rows without a JAN code
    };

    struct LookupResult {
        bool ok = false;
        QString error;
        std::optional<ProductRow> product;  // line 0, copies 1; nothing when the JAN is unknown
    };

    explicit ProductMaster(QString path);
    ~ProductMaster();
    ProductMaster(const ProductMaster&) = delete;
    ProductMaster& operator=(const ProductMaster&) = delete;

    // Opens the database, creating the file and its table when they are not there yet.
    Result open();
    bool isOpen() const;
    void close();

    const QString& path() const { return path_; }

    // Adds the rows, or updates the stored product of the same JAN code, all in one
    // transaction: on an error nothing changes. In an update an empty text or a missing tax
    // rate keeps what is stored, so that a list of prices alone leaves the names alone.
    ImportResult importRows(const std::vector<ProductRow>& rows);

    // The stored product of this JAN code (blanks around it and full-width digits aside).
    LookupResult lookup(const QString& jan) const;

private:
    QString failure(const QString& what, const QString& reason) const;

    QString path_;
    QString connection_;
};

}  // namespace zukaro
