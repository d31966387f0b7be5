#pragma once
// The statements of the workstation activation screen: load by serial number, the insert
// with the unit's counter advance, and the update, each save in one transaction. The
// insert and the update clean the typed values differently; both rules live here.
#include "antivirus/CodeCounter.h"
#include "platform/Database.h"

#include <QDate>
#include <QString>
#include <optional>

namespace orvane {

struct SystemRecord {
    QString unitCode;
    QString sysId;
    QString ip;
    QString os;
    QString user;
    QString dept;
    QString remarks;
    QDate expiry; // null when the column is NULL
};

class ActivationRegister {
  public:
    static QString CounterKey(const QString& unitCode) { return "SYS_" + unitCode; }

    // On the session's shared connection.
    ActivationRegister();
    explicit ActivationRegister(Connection& db);

    // The record with this serial number (trimmed), of whichever unit; when several units
    // carry the number, the preferred unit's record. NULL text columns read as empty text.
    std::optional<SystemRecord> Load(const QString& sysId,
                                     const QString& preferredUnit = QString());
    // The record with this serial number in exactly this unit.
    std::optional<SystemRecord> LoadOfUnit(const QString& sysId, const QString& unitCode);

    // The values as an insert writes them, and as an update writes them.
    static SystemRecord CleanForInsert(const SystemRecord& typed);
    static SystemRecord CleanForUpdate(const SystemRecord& typed);

    // The record at the result set's current row (a `Select *` of the register); the set is
    // left where it is.
    static SystemRecord RecordAt(Recordset& rs);

    // Stores a new record of the unit under the serial number shown (or under the counter's
    // current one when that has moved on) and advances the unit's counter, in one
    // transaction. Throws DbError after rolling back.
    NewRecordSave InsertNew(const QString& unitCode, const QString& shownCode,
                            const SystemRecord& typed, const QString& userId);

    // Rewrites the unit's record with this serial number (trimmed); returns the rows
    // matched (0: the unit has no such record). Throws DbError after rolling back.
    qint64 UpdateExisting(const QString& unitCode, const QString& sysId, const SystemRecord& typed,
                          const QString& userId);

  private:
    static std::optional<SystemRecord> read(Recordset& rs);
    Connection* db_;
};

} // namespace orvane
