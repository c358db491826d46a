#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "MasterComparison.h"
#include "MasterLocation.h"
#include "MasterSchema.h"
#include "PrintHistory.h"
#include "ProductColumn.h"
#include "ProductRow.h"
#include "WorkProgress.h"

class QSqlDatabase;
class QSqlError;

namespace zukaro {

class MasterEngine;

// How long the program's master, once its server could not be reached, answers look-ups with
// that at once (ProductMaster::setReconnectPause).
inline constexpr int kMasterReconnectPauseMs = 15000;

// The product master (商品マスタ): products by JAN code, filled from product lists and looked
// up when a JAN code is typed or scanned. It lives in an SQLite file (a shop on its own) or in
// a PostgreSQL database that a chain's head office and shops share (MasterLocation); both are
// reached the same way, with the same tables and upgrades, through Qt SQL (MasterEngine.h).
// Every instance has a connection of its own, which belongs to the thread that opened it; the
// destructor closes it. Errors are Japanese and name the file, or the server and database
// (MasterMessages.h).
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
    Result open();
    bool isOpen() const;
    bool isReadOnly() const { return readOnly_; }
    // Opened (again) for reading alone: nothing of it is written, not even an upgrade.
    void readOnlyFromNowOn() { wantsReadOnly_ = true; }
    void close();

    const MasterLocation& location() const { return location_; }
    // From now on the master at `location` (closed; opened on the next use).
    void relocate(const MasterLocation& location);
    // The SQLite file; empty for a master on a server.
    QString path() const { return location_.isPostgres() ? QString() : location_.path; }
    // A second connection to the same database, not yet open: for work on another thread.
    std::unique_ptr<ProductMaster> another() const;

    // After a connection to the server failed, look-ups say so again at once for this long
    // instead of each waiting for the server: a clerk goes on scanning. Imports always try.
    void setReconnectPause(int ms) { reconnectPauseMs_ = ms; }

    // The key a product is kept under: the code as the list writes it (blanks and full-width
    // digits aside), with the check digit added to a code of 12 or 7 digits. A code from a
    // supplier's order sheet and the one a scanner reads are the same product.
    static QString keyOf(const QString& jan);

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
                            const std::vector<QDateTime>& listTimes = {});

    struct StoredResult {
        bool ok = false;
        QString error;
        QHash<QString, StoredProduct> products;  // by keyOf(); a code not stored is absent
    };
    // The stored products of these keys (keyOf() of the codes), all read in one transaction,
    // each with when its list was made (for a master older than that, when it changed). A
    // master that is not open is opened first.
    StoredResult storedProducts(const QStringList& keys);

    // The stored product of this JAN code (blanks around it and full-width digits aside). A
    // master that is not open is opened first.
    LookupResult lookup(const QString& jan);

    // Every stored product, for copying a master into another.
    ProductsResult allProducts();

    struct CountResult {
        bool ok = false;
        QString error;
        qint64 count = 0;
    };
    // How many products are stored.
    CountResult productCount();

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
    // read in one transaction. A master that is not open is opened first; one older than the
    // print history (on a read-only share, for a shop's login) answers that none was.
    PrintedResult lastPrinted(const QStringList& keys);

    // Records the labels as printed, each replacing what was recorded under its code, stamped
    // with who printed it, all in one transaction: on an error, a crash, a lost connection or
    // when `progress` is cancelled nothing changes. Of two labels of one code the later in
    // `labels` is kept; labels without a code are left out. A read-only master refuses.
    RecordResult recordPrinted(const std::vector<PrintedLabel>& labels,
                               WorkProgress* progress = nullptr);

    // Who this connection writes as: login@computer.
    const QString& writer() const { return writer_; }

private:
    Result fail(const QString& message);
    static QString unstorable(const QString& text);
    static QString firstUnstorable(
        const QString& row, std::initializer_list<std::pair<const QString*, ProductColumn>> texts);
    // Why the database cannot be taken as a master (another program's, a newer zukaro's);
    // empty when it can.
    QString refusalOf(const DatabaseContents& contents) const;
    QString kindColumn() const;
    // Why a write is refused here: a read-only file, or a login that may only read.
    QString writeRefusal() const;
    // A failed write in our words, naming the master, after its transaction is rolled back
    // and the connection closed (a lost one is made anew on the next use).
    QString abandonWrite(QSqlDatabase& db, const QSqlError& error);
    // A failed statement in our words, naming the master.
    QString readFailure(const QSqlError& error) const;
    Result upgrade(int& version, bool& hasProducts);

    MasterLocation location_;
    int busyTimeoutMs_;
    std::unique_ptr<MasterEngine> engine_;
    QString connection_;
    bool readOnly_ = false;
    bool wantsReadOnly_ = false;
    bool hasTable_ = false;      // a read-only master may be a new, empty file
    bool hasHistory_ = false;    // and one older than the print history and products.tax_kind
    bool hasListTimes_ = false;  // or than products.listed_at
    QString writer_;
    int reconnectPauseMs_ = 0;
    QElapsedTimer sinceFailedOpen_;
    QString failedOpen_;
};

}  // namespace zukaro
