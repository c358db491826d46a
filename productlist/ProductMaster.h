#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "PrintHistory.h"
#include "ProductRow.h"
#include "WorkProgress.h"

namespace zukaro {

// The product master (商品マスタ): products by JAN code in an SQLite database file, filled
// from product lists and looked up when a JAN code is typed. Every instance has a connection
// of its own, which belongs to the thread that opened it; the destructor closes it. Errors are
// Japanese and name the database file (see MasterMessages.h).
class ProductMaster {
public:
    struct Result {
        bool ok = false;
        QString error;
    };

    struct ImportResult {
        bool ok = false;
        bool cancelled = false;
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

    // `busyTimeoutMs`: how long a look-up or an import waits for another program that is
    // writing the file.
    explicit ProductMaster(QString path, int busyTimeoutMs = 3000);
    ~ProductMaster();
    ProductMaster(const ProductMaster&) = delete;
    ProductMaster& operator=(const ProductMaster&) = delete;

    // Opens the database. When the file and its folder can be written, it is created with its
    // table if need be; a file that cannot be written (a read-only share, another user's, or
    // one without write permission even for the administrator) is opened read-only, for
    // look-ups alone. Nothing is written when the table is there already.
    Result open();
    bool isOpen() const;
    bool isReadOnly() const { return readOnly_; }
    void close();

    const QString& path() const { return path_; }
    // A second connection to the same database, not yet open: for work on another thread.
    std::unique_ptr<ProductMaster> another() const;

    // Adds the rows, or updates the stored product of the same JAN code, all in one
    // transaction: on an error or when `progress` is cancelled nothing changes. In an update
    // an empty text or a missing tax rate keeps what is stored, so that a list of prices alone
    // leaves the names alone. A master that is not open is opened first (one that was locked
    // at start is tried again); a read-only one refuses.
    ImportResult importRows(const std::vector<ProductRow>& rows, WorkProgress* progress = nullptr);

    // The stored product of this JAN code (blanks around it and full-width digits aside). A
    // master that is not open is opened first.
    LookupResult lookup(const QString& jan);

    struct PrintedResult {
        bool ok = false;
        QString error;
        QHash<QString, PrintedLabel> labels;  // by printedKey(); a code never printed is absent
    };
    struct RecordResult {
        bool ok = false;
        bool cancelled = false;
        QString error;  // nothing was recorded when not ok
        int recorded = 0;
    };

    // The labels last recorded as printed under these keys (printedKey() of the codes), all
    // read in one transaction. A master that is not open is opened first.
    PrintedResult lastPrinted(const QStringList& keys);

    // Records the labels as printed, each replacing what was recorded under its code, all in
    // one transaction: on an error, a crash or when `progress` is cancelled nothing changes.
    // Of two labels of one code the later in `labels` is kept; labels without a code are left
    // out. A read-only master refuses.
    RecordResult recordPrinted(const std::vector<PrintedLabel>& labels,
                               WorkProgress* progress = nullptr);

private:
    QString path_;
    QString connection_;
    int busyTimeoutMs_;
    bool readOnly_ = false;
    bool hasTable_ = false;    // a read-only master may be a new, empty file
    bool hasHistory_ = false;  // a read-only master may be of the first version, without it
};

}  // namespace zukaro
