#pragma once
// The entry screens' saves as jobs for the data worker's save lane: the typed values are
// captured when the job is made, the statements run later on the lane's connection, each with
// its session's lock wait bounded first.
#include "antivirus/NewEntrySave.h"

namespace orvane {

DbJob<NewEntryOutcome> NewWorkstationJob(const QString& unitCode, const QString& shownCode,
                                         const SystemRecord& typed, const QString& userId);
// Rows matched (0: the unit has no record with the serial number).
DbJob<qint64> EditedWorkstationJob(const QString& unitCode, const QString& sysId,
                                   const SystemRecord& typed, const QString& userId);

DbJob<NewEntryOutcome> NewProductJob(const QString& shownCode, const AntivirusRow& typed,
                                     const QString& userId);
// What an edited product's save gives when another product carries the new name.
constexpr qint64 ProductNameTaken = -1;
// Rows matched (0: no product has the code), or ProductNameTaken with nothing stored. The
// edit started from the name `editName`; the typed row's code names the product.
DbJob<qint64> EditedProductJob(const QString& editName, const AntivirusRow& typed,
                               const QString& userId);

} // namespace orvane
