#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "MasterComparison.h"
#include "MasterConnection.h"
#include "MasterLocation.h"
#include "PrintHistory.h"
#include "PrintHistoryStore.h"
#include "ProductRow.h"
#include "ProductStore.h"
#include "WorkProgress.h"

namespace zukaro {

// How long the program's master, once its server could not be reached, answers look-ups with
// that at once (ProductMaster::setReconnectPause).
inline constexpr int kMasterReconnectPauseMs = 15000;

// The product master (商品マスタ): products by JAN code, filled from product lists and looked
// up when a JAN code is typed or scanned, and the labels last printed. It lives in an SQLite
// file (a shop on its own) or in a PostgreSQL database that a chain's head office and shops
// share (MasterLocation); both are reached the same way, with the same tables and upgrades,
// through Qt SQL (MasterEngine.h). Three parts: the connection with its upgrades and its read
// and write scopes (MasterConnection), the product store (ProductStore) and the print history
// (PrintHistoryStore) on top of it. Every instance has a connection of its own, which belongs
// to the thread that opened it; the destructor closes it. Errors are Japanese and name the
// file, or the server and database (MasterMessages.h).
class ProductMaster {
public:
    using Result = MasterConnection::Result;
    using ImportResult = ProductStore::ImportResult;
    using LookupResult = ProductStore::LookupResult;
    using ProductsResult = ProductStore::ProductsResult;
    using StoredResult = ProductStore::StoredResult;
    using CountResult = ProductStore::CountResult;
    using PrintedResult = PrintHistoryStore::PrintedResult;
    using RecordResult = PrintHistoryStore::RecordResult;

    // `busyTimeoutMs`: how long a look-up or an import waits for another program that is
    // writing an SQLite file.
    explicit ProductMaster(MasterLocation location, int busyTimeoutMs = 3000);
    explicit ProductMaster(const QString& sqlitePath, int busyTimeoutMs = 3000);
    ~ProductMaster();
    ProductMaster(const ProductMaster&) = delete;
    ProductMaster& operator=(const ProductMaster&) = delete;

    // Opens the database and brings its tables up to this version (MasterSchema.h), or
    // creates them in an empty one. A database that is neither empty nor a master (another
    // program's, with a table "products" of its own) is refused before anything is written. An
    // SQLite file that cannot be written (a read-only share, another user's) is opened read-only,
    // for look-ups alone, as is a chain's master for a login that may only read it (a shop's). A
    // database of a newer version is refused. Nothing is written when the tables are up to date.
    Result open() { return connection_.open(); }
    bool isOpen() const { return connection_.isOpen(); }
    bool isReadOnly() const { return connection_.isReadOnly(); }
    // Opened (again) for reading alone: nothing of it is written, not even an upgrade.
    void readOnlyFromNowOn() { connection_.readOnlyFromNowOn(); }
    void close() { connection_.close(); }

    const MasterLocation& location() const { return connection_.location(); }
    // From now on the master at `location` (closed; opened on the next use).
    void relocate(const MasterLocation& location) { connection_.relocate(location); }
    // The SQLite file; empty for a master on a server.
    QString path() const { return location().isPostgres() ? QString() : location().path; }
    // A second connection to the same database, not yet open: for work on another thread.
    std::unique_ptr<ProductMaster> another() const;

    // After a connection to the server failed, look-ups say so again at once for this long
    // instead of each waiting for the server: a clerk goes on scanning. Imports always try.
    void setReconnectPause(int ms) { connection_.setReconnectPause(ms); }

    // The key a product is kept under: the code as the list writes it (blanks and full-width
    // digits aside), with the check digit added to a code of 12 or 7 digits. A code from a
    // supplier's order sheet and the one a scanner reads are the same product.
    static QString keyOf(const QString& jan) { return ProductStore::keyOf(jan); }

    // Adds the rows, or updates the stored product of the same JAN code, all in one
    // transaction: on an error, a lost connection or when `progress` is cancelled nothing
    // changes, nor when a text cannot be kept alike by both engines (a NUL, half a surrogate
    // pair, more than kMaxCellLength characters): that is refused, naming its row and column,
    // before anything is written. In an update an empty text, a missing tax rate or a tax kind
    // the list did not say keeps what is stored, so that a list of prices alone leaves the
    // names and 内税 alone; a product the rows leave as it was is not written at all. Each
    // product changed is stamped with the time and who changed it (login@computer), and with
    // when its list was made: `listTimes[row.batch]` (the file's modification time), now for a
    // batch without one. Of two imports at once that change the same product, the one that
    // commits later is the one that stays (over what the other wrote), and neither loses a row.
    // A master that is not open is opened first (one that could not be reached before is tried
    // again); a read-only one refuses.
    ImportResult importRows(const std::vector<ProductRow>& rows, WorkProgress* progress = nullptr,
                            const std::vector<QDateTime>& listTimes = {}) {
        return products_.importRows(rows, progress, listTimes);
    }

    // The stored products of these keys (keyOf() of the codes), all read in one transaction,
    // each with when its list was made (for a master older than that, when it changed). A
    // master that is not open is opened first.
    StoredResult storedProducts(const QStringList& keys) { return products_.storedProducts(keys); }

    // The stored product of this JAN code (blanks around it and full-width digits aside). A
    // master that is not open is opened first.
    LookupResult lookup(const QString& jan) { return products_.lookup(jan); }

    // Every stored product, for copying a master into another.
    ProductsResult allProducts() { return products_.allProducts(); }

    // How many products are stored.
    CountResult productCount() { return products_.productCount(); }
    // The labels last recorded as printed under these keys (printedKey() of the codes), all
    // read in one transaction. A master that is not open is opened first; one older than the
    // print history (on a read-only share, for a shop's login) answers that none was.
    PrintedResult lastPrinted(const QStringList& keys) { return history_.lastPrinted(keys); }

    // Records the labels as printed, each replacing what was recorded under its code, stamped
    // with who printed it, all in one transaction: on an error, a crash, a lost connection or
    // when `progress` is cancelled nothing changes. Of two labels of one code the later in
    // `labels` is kept; labels without a code are left out. A read-only master refuses.
    RecordResult recordPrinted(const std::vector<PrintedLabel>& labels,
                               WorkProgress* progress = nullptr) {
        return history_.recordPrinted(labels, progress);
    }

    // Who this connection writes as: login@computer.
    const QString& writer() const { return connection_.writer(); }

private:
    MasterConnection connection_;
    ProductStore products_{connection_};
    PrintHistoryStore history_{connection_};
};

}  // namespace zukaro
