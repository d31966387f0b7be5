#pragma once
// The save of a new record as both antivirus entry screens run it, without a widget: the
// values typed in, the outcome out, nothing shown. The screens pass the session's connection
// and show the designed messages from the outcome; any thread may run it on a connection of
// its own.
#include "antivirus/ActivationRegister.h"
#include "antivirus/AntivirusRegister.h"
#include "app/NewEntry.h"

namespace orvane {

// A workstation of the unit, under the serial number shown (or the counter's current one
// when that has moved on).
NewEntryOutcome SaveNewWorkstation(Connection& db, const QString& unitCode,
                                   const QString& shownCode, const SystemRecord& typed,
                                   const QString& userId);

// A product under the code shown (or the counter's current one), unless its name is taken.
// The typed row's code is not read: the code shown is.
NewEntryOutcome SaveNewProduct(Connection& db, const QString& shownCode, const AntivirusRow& typed,
                               const QString& userId);

} // namespace orvane
