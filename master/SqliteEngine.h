#pragma once

#include "MasterEngine.h"

namespace zukaro {

// A shop's own master: an SQLite file on this computer. The schema's version is SQLite's
// user_version; a file that cannot be written is opened read-only, for look-ups alone.
class SqliteEngine : public MasterEngine {
public:
    SqliteEngine(QString path, int busyTimeoutMs);

    QString driver() const override;
    QString missingDriver() const override;
    QString refusal() const override;
    void dropUnmade() override;
    void configure(QSqlDatabase& db, bool& readOnly) override;
    QString reason(const QSqlError& error) const override;
    QStringList beginUpgrade() const override;
    bool readContents(QSqlDatabase& db, DatabaseContents& contents,
                      QSqlError& error) const override;
    QStringList setVersion(int version) const override;
    bool runBound(QSqlDatabase& db, QSqlQuery& query, const QString& statement,
                  const QVariantList& values, std::vector<QVariantList>* rows, QSqlError& error,
                  qint64* changed = nullptr) const override;

    bool mayWrite(QSqlDatabase& db) const override;
    QString login(QSqlDatabase& db) const override;
    QString nowExpression() const override;
    QString insertedReturning() const override;
    int rowsPerStatement() const override;

private:
    QString path_;
    int busyTimeoutMs_;
    bool madeByOpen_ = false;  // the file was not there before the last open
};

}  // namespace zukaro
