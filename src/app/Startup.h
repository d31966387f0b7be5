#pragma once
// What start-up reads from the database, callable without showing anything: the headless
// report applies the same release check.
#include "platform/Database.h"

#include <QString>

namespace orvane {

// The refusal text when the published release differs from ours; empty when it is ours or
// none is published.
QString ReleaseRefusal(Connection& connection);

// Makes the workstation's unit current: Tarovel.ini [Workstation] UnitCode, else the first unit.
void MakeWorkstationUnitCurrent(Connection& connection);

} // namespace orvane
