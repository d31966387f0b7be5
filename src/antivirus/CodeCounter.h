#pragma once
// Record codes drawn from the numbersetup counters, and the small value rules the
// antivirus registers share.
#include "app/mdlTarovel.h"
#include "platform/Database.h"

#include <QString>

namespace orvane {

// What a save of a new record did.
struct NewRecordSave {
    // False: nothing was written because no code could be drawn (missing counter row,
    // or an empty code on the screen).
    bool saved = false;
    // The code the record was stored under.
    QString code;
    // True when another workstation had taken the code shown in the meantime, so the
    // record went under the counter's current code instead.
    bool codeMoved = false;
};

// The numeric value at the start of a user id text; 0 when it has none.
qlonglong UserNumber(const QString& userId);

// Inside the caller's transaction: locks the counter row until commit or rollback and
// returns its value; empty text when the row is missing or holds no code.
QString LockCounter(Connection& db, const QString& table, const QString& key);
// Sets the counter to the code after usedCode; returns the rows it matched.
qint64 AdvanceCounter(Connection& db, const QString& table, const QString& key,
                      const QString& usedCode);

// Which code a new record is stored under: the one shown, unless the locked counter
// has moved on since it was read.
NewRecordSave ChooseCode(const QString& shownCode, const QString& counterValue);

} // namespace orvane
