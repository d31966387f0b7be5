#pragma once
// The statements of the workstation import: what the unit holds before the check, and the
// store of every new and updated row in one transaction. New records draw their serials from
// the unit's counter, locked for the transaction as the activation screen's save locks it, so
// serials stay continuous against workstations that save at the same time.
#include "import/ImportCheck.h"
#include "platform/Database.h"

namespace orvane::importer {

struct StoreResult {
    int inserted = 0;
    int updated = 0;
    QString firstSerial, lastSerial; // of the new records
};

class WorkstationImport {
  public:
    explicit WorkstationImport(Connection& db) : db_(db) {}

    // The unit's records, every unit's name and the column sizes. Throws DbError.
    UnitSnapshot Snapshot(const QString& unitCode);

    // Stores the new and updated rows of `checked` (rows in error never) in one transaction
    // through RunWithRetry, stamped with the user and the clock. Throws DbError after rolling
    // back; nothing is stored then.
    StoreResult Store(const QString& unitCode, const CheckResult& checked, const QString& userId);

    // New rows per parameter array: one bulk exchange each.
    static constexpr int kInsertBatch = 10000;

  private:
    Connection& db_;
};

} // namespace orvane::importer
