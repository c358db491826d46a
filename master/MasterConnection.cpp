#include "MasterConnection.h"

#include <QSqlQuery>
#include <QSysInfo>
#include <algorithm>
#include <atomic>

#include "MasterEngine.h"
#include "MasterMessages.h"

namespace zukaro {
namespace {

std::atomic<quint64> connectionCount{0};

}  // namespace

MasterConnection::MasterConnection(MasterLocation location, int busyTimeoutMs)
    : location_(std::move(location)),
      busyTimeoutMs_(busyTimeoutMs),
      engine_(MasterEngine::create(location_, busyTimeoutMs)),
      connection_(QStringLiteral("zukaro-product-master-%1").arg(++connectionCount)) {}

MasterConnection::~MasterConnection() {
    close();
}

void MasterConnection::relocate(const MasterLocation& location) {
    close();
    location_ = location;
    engine_ = MasterEngine::create(location_, busyTimeoutMs_);
    readOnly_ = false;
    hasTable_ = false;
    sinceFailedOpen_.invalidate();
    failedOpen_.clear();
}

QString MasterConnection::pausedFailure() const {
    if (!isOpen() && reconnectPauseMs_ > 0 && sinceFailedOpen_.isValid() &&
        !sinceFailedOpen_.hasExpired(reconnectPauseMs_)) {
        return failedOpen_;
    }
    return {};
}

MasterConnection::Result MasterConnection::fail(const QString& message) {
    close();  // tried again on the next use: a lock held at start, a server back up
    engine_->dropUnmade();
    failedOpen_ = message;
    sinceFailedOpen_.start();
    return {false, message};
}

MasterConnection::Result MasterConnection::open() {
    if (isOpen()) {
        return {true, {}};
    }
    if (!QSqlDatabase::isDriverAvailable(engine_->driver())) {
        return fail(master::cannotOpen(location_, engine_->missingDriver()));
    }
    hasTable_ = false;
    if (const QString refused = engine_->refusal(); !refused.isEmpty()) {
        return fail(master::cannotOpen(location_, refused));
    }
    {
        QSqlDatabase db = QSqlDatabase::contains(connection_)
                              ? QSqlDatabase::database(connection_, false)
                              : QSqlDatabase::addDatabase(engine_->driver(), connection_);
        readOnly_ = wantsReadOnly_;
        engine_->configure(db, readOnly_);
        if (!db.open()) {
            const QString reason = engine_->reason(db.lastError());
            db = QSqlDatabase();
            return fail(location_.isPostgres() ? master::cannotConnect(location_, reason)
                                               : master::cannotOpen(location_, reason));
        }
        engine_->opened(db);
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    DatabaseContents contents;
    QSqlError error;
    if (!engine_->readContents(db, contents, error)) {
        db = QSqlDatabase();
        return fail(master::cannotOpen(location_, engine_->reason(error)));
    }
    const QString login = engine_->login(db);
    writer_ = QStringLiteral("%1@%2").arg(login, QSysInfo::machineHostName());
    if (const QString refusal = refusalOf(contents); !refusal.isEmpty()) {
        db = QSqlDatabase();
        return fail(refusal);
    }
    int version = contents.version;
    bool hasProducts = contents.tables.contains(QStringLiteral("products"), Qt::CaseInsensitive);
    if (!readOnly_ && (version < currentMasterVersion() || !hasProducts)) {
        db = QSqlDatabase();
        if (const Result upgraded = upgrade(version, hasProducts); !upgraded.ok) {
            return fail(upgraded.error);
        }
        db = QSqlDatabase::database(connection_, false);
    }
    hasTable_ = hasProducts;
    hasHistory_ = hasProducts && version >= kPrintHistoryVersion;
    hasListTimes_ = hasProducts && version >= kListTimesVersion;
    hasSales_ = hasProducts && version >= kSalesVersion;
    if (hasTable_ && !readOnly_ && !engine_->mayWrite(db)) {
        readOnly_ = true;  // a shop's login: it looks products up, head office writes them
    }
    return {true, {}};
}

QString MasterConnection::refusalOf(const DatabaseContents& contents) const {
    switch (databaseKind(contents)) {
        case DatabaseKind::Newer:
            return master::cannotOpen(location_, master::newerVersion());
        case DatabaseKind::Other:
            return master::cannotOpen(location_, master::notOurs(contents.tables));
        default:
            return {};
    }
}

// Brings the tables from `version` up to this version's in one transaction; another program
// upgrading at the same moment is waited for, and what it did is seen. A login that may not
// create tables keeps a master that is there for reading.
MasterConnection::Result MasterConnection::upgrade(int& version, bool& hasProducts) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    QSqlError error;
    const auto run = [&](const QStringList& statements) {
        for (const QString& statement : statements) {
            if (!query.exec(statement)) {
                error = query.lastError();
                return false;
            }
        }
        return true;
    };
    // Read again inside the transaction: another program may have made or upgraded the
    // tables meanwhile, and what it made is judged before anything is written.
    DatabaseContents contents;
    bool done = run(engine_->beginUpgrade()) && engine_->readContents(db, contents, error);
    if (done) {
        if (const QString refusal = refusalOf(contents); !refusal.isEmpty()) {
            query.exec(QStringLiteral("ROLLBACK"));
            return {false, refusal};
        }
        version = contents.version;
        hasProducts = contents.tables.contains(QStringLiteral("products"), Qt::CaseInsensitive);
    }
    for (int step = version; done && step < currentMasterVersion(); ++step) {
        done = run(masterUpgrades()[static_cast<std::size_t>(step)]);
    }
    done =
        done &&
        (version == currentMasterVersion() || run(engine_->setVersion(currentMasterVersion()))) &&
        run({QStringLiteral("COMMIT")});
    if (done) {
        version = currentMasterVersion();
        hasProducts = true;
        return {true, {}};
    }
    if (!error.isValid()) {
        error = query.lastError();
    }
    query.exec(QStringLiteral("ROLLBACK"));
    if (error.nativeErrorCode() == u"42501") {  // PostgreSQL: insufficient_privilege
        if (hasProducts) {
            readOnly_ = true;  // an older master, read as it is until head office opens it
            return {true, {}};
        }
        return {false,
                master::cannotOpen(location_, master::cannotCreate(writer_.section(u'@', 0, 0)))};
    }
    return {false, master::cannotOpen(location_, engine_->reason(error))};
}

bool MasterConnection::isOpen() const {
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

void MasterConnection::close() {
    if (!QSqlDatabase::contains(connection_)) {
        return;
    }
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

MasterConnection::Result MasterConnection::read(
    Needs needs, bool together, const std::function<bool(QSqlDatabase&, QSqlError&)>& work) {
    if (const Result opened = open(); !opened.ok) {
        return opened;
    }
    if (!(needs == Needs::History ? hasHistory_ : hasTable_)) {
        return {true, {}};  // a new master, or an older one on a read-only share
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const bool reading = together && db.transaction();
    QSqlError error;
    const bool ok = work(db, error);
    if (reading) {
        db.commit();
    }
    if (ok) {
        return {true, {}};
    }
    db = QSqlDatabase();
    close();  // a lost connection is made anew on the next use
    return {false, master::cannotRead(location_, engine_->reason(error))};
}

MasterConnection::Result MasterConnection::openToWrite(Needs needs) {
    if (const Result opened = open(); !opened.ok) {
        return opened;
    }
    if (readOnly_ || (needs == Needs::History && !hasHistory_)) {
        return {false, writeRefusal()};
    }
    return {true, {}};
}

MasterConnection::WriteResult MasterConnection::writeInBatches(const QString& step, qint64 total,
                                                               const Batches& batches,
                                                               WorkProgress* progress) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const auto failed = [&](const QSqlError& error) {
        return WriteResult{false, false, abandonWrite(db, error)};
    };
    if (!db.transaction()) {
        return failed(db.lastError());
    }
    beginStep(progress, step, total);
    QSqlError error;
    if (batches.before && !batches.before(db, error)) {
        return failed(error);
    }
    QSqlQuery statement(db);  // kept: a statement run again is not prepared again
    QVariantList values;
    std::vector<QVariantList> answer;
    for (qsizetype first = 0; first < batches.count; first += batches.perStatement) {
        const int count =
            static_cast<int>(std::min<qsizetype>(batches.perStatement, batches.count - first));
        reportDone(progress, batches.doneAt(first, count));
        if (cancelledBy(progress)) {
            statement = QSqlQuery();
            db.rollback();
            return {false, true, master::cannotWrite(location_, master::cancelled())};
        }
        values.clear();
        batches.bind(first, count, values);
        answer.clear();
        qint64 changed = 0;
        if (!engine_->runBound(db, statement, batches.statement(count), values,
                               batches.answered ? &answer : nullptr, error, &changed)) {
            statement = QSqlQuery();
            return failed(error);
        }
        if (batches.answered) {
            batches.answered(answer, changed);
        }
    }
    statement = QSqlQuery();
    if (batches.after && !batches.after(db, error)) {
        return failed(error);
    }
    if (!db.commit()) {
        return failed(db.lastError());
    }
    reportDone(progress, total);
    return {true, false, {}};
}

QString MasterConnection::writeRefusal() const {
    return master::cannotWrite(location_, location_.isPostgres()
                                              ? master::readOnlyLogin(writer_.section(u'@', 0, 0))
                                              : master::readOnly());
}

QString MasterConnection::abandonWrite(QSqlDatabase& db, const QSqlError& error) {
    const QString message = master::cannotWrite(location_, engine_->reason(error));
    if (db.isOpen()) {  // a connection the server closed has nothing to roll back
        db.rollback();
    }
    db = QSqlDatabase();
    close();  // a lost connection is made anew on the next use
    return message;
}

}  // namespace zukaro
