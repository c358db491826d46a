#pragma once

#include "MasterEngine.h"

namespace zukaro {

// A chain's master: one database on a PostgreSQL server for head office and every shop. The
// schema's version is kept in the table zukaro_schema; upgrades wait for each other on an
// advisory lock. Passwords come from libpq (~/.pgpass, PGPASSWORD, PGPASSFILE), never from us.
class PostgresEngine : public MasterEngine {
public:
    explicit PostgresEngine(MasterLocation location);

    QString driver() const override;
    QString missingDriver() const override;
    void configure(QSqlDatabase& db, bool& readOnly) override;
    QString reason(const QSqlError& error) const override;
    QStringList beginUpgrade() const override;
    bool readContents(QSqlDatabase& db, DatabaseContents& contents,
                      QSqlError& error) const override;
    QStringList setVersion(int version) const override;
    bool runBound(QSqlDatabase& db, QSqlQuery& query, const QString& statement,
                  const QVariantList& values, std::vector<QVariantList>* rows, QSqlError& error,
                  qint64* changed = nullptr) const override;
    void opened(QSqlDatabase& db) override;

    bool mayWrite(QSqlDatabase& db) const override;
    QString login(QSqlDatabase& db) const override;
    QString nowExpression() const override;
    QString insertedReturning() const override;
    int rowsPerStatement() const override;

private:
    MasterLocation location_;
};

}  // namespace zukaro
