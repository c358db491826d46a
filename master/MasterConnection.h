#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

#include "MasterLocation.h"
#include "MasterSchema.h"
#include "WorkProgress.h"

namespace zukaro {

class MasterEngine;

// The connection to a product master (MasterEngine.h says what differs between SQLite and
// PostgreSQL): opening it and bringing its tables up to this version, whether it may be
// written, and the scopes every read and write of the product store and the print history
// run in. The connection belongs to the thread that opened it; the destructor closes it.
class MasterConnection {
public:
    struct Result {
        bool ok = false;
        QString error;
    };

    MasterConnection(MasterLocation location, int busyTimeoutMs);
    ~MasterConnection();
    MasterConnection(const MasterConnection&) = delete;
    MasterConnection& operator=(const MasterConnection&) = delete;

    // See ProductMaster::open().
    Result open();
    bool isOpen() const;
    void close();
    bool isReadOnly() const { return readOnly_; }
    void readOnlyFromNowOn() { wantsReadOnly_ = true; }

    const MasterLocation& location() const { return location_; }
    int busyTimeoutMs() const { return busyTimeoutMs_; }
    // From now on the master at `location` (closed; opened on the next use).
    void relocate(const MasterLocation& location);
    const MasterEngine& engine() const { return *engine_; }

    void setReconnectPause(int ms) { reconnectPauseMs_ = ms; }
    int reconnectPause() const { return reconnectPauseMs_; }
    // The error of the last failed open while the reconnect pause lasts: a look-up says it
    // again at once instead of waiting for the server.
    QString pausedFailure() const;

    // What the opened master holds: a read-only one may be a new, empty file, or older than
    // the print history and products.tax_kind, or than products.listed_at.
    bool hasProducts() const { return hasTable_; }
    bool hasHistory() const { return hasHistory_; }
    bool hasListTimes() const { return hasListTimes_; }
    bool hasSales() const { return hasSales_; }
    // Who this connection writes as: login@computer.
    const QString& writer() const { return writer_; }

    // What a read needs of the master; without it the read answers that nothing is stored.
    enum class Needs { Products, History };
    // Opens the master when it is not, then runs `work` on the connection (in one read
    // transaction when `together`: the answers belong together while another program
    // writes). A failed open or read is the message naming the master; after a failed read the
    // connection is closed, and a lost one is made anew on the next use. `work` keeps no
    // QSqlQuery beyond its return.
    Result read(Needs needs, bool together,
                const std::function<bool(QSqlDatabase&, QSqlError&)>& work);

    // Opens the master when it is not and makes sure it may be written (and holds the print
    // history when `needs` says so): the refusal names the master and why.
    Result openToWrite(Needs needs);

    // Writes `count` items in one transaction, `perStatement` to a statement: `statement(n)`
    // for n items, `bind(first, n, values)` their values. Before each statement the progress
    // is told `doneAt(first, n)` and a cancel stops it; the rows a statement answers go to
    // `answered` with the number of rows it changed. On an error, a lost connection or a
    // cancel nothing changes, and the message names the master. The master is open for writing
    // (openToWrite); `step` is the progress's caption.
    struct WriteResult {
        bool ok = false;
        bool cancelled = false;
        QString error;
    };
    struct Batches {
        qsizetype count = 0;
        int perStatement = 1;
        std::function<QString(int)> statement;
        std::function<void(qsizetype, int, QVariantList&)> bind;
        std::function<qint64(qsizetype, int)> doneAt;
        std::function<void(const std::vector<QVariantList>&, qint64)> answered;  // optional
        // Run inside the transaction before and after the statements (a count of products).
        std::function<bool(QSqlDatabase&, QSqlError&)> before, after;
    };
    WriteResult writeInBatches(const QString& step, qint64 total, const Batches& batches,
                               WorkProgress* progress);

    // Why a write is refused here: a read-only file, or a login that may only read; empty
    // when it may write (the master open).
    QString writeRefusal() const;

private:
    Result fail(const QString& message);
    QString refusalOf(const DatabaseContents& contents) const;
    Result upgrade(int& version, bool& hasProducts);
    // A failed write in our words, naming the master, after its transaction is rolled back
    // and the connection closed (a lost one is made anew on the next use).
    QString abandonWrite(QSqlDatabase& db, const QSqlError& error);

    MasterLocation location_;
    int busyTimeoutMs_;
    std::unique_ptr<MasterEngine> engine_;
    QString connection_;
    bool readOnly_ = false;
    bool wantsReadOnly_ = false;
    bool hasTable_ = false;
    bool hasHistory_ = false;
    bool hasListTimes_ = false;
    bool hasSales_ = false;
    QString writer_;
    int reconnectPauseMs_ = 0;
    QElapsedTimer sinceFailedOpen_;
    QString failedOpen_;
};

}  // namespace zukaro
