#pragma once
// The seven process-wide slots through which the pick-list hands the chosen row back.
// Callers read the first two (or only the second), then empty both.
#include <QString>

namespace orvane {

extern QString HelpResult1;
extern QString HelpResult2;
extern QString HelpResult3;
extern QString HelpResult4;
extern QString HelpResult5;
extern QString HelpResult6;
extern QString HelpResult7;

// Slot 1 to 7 by number (tests and loops).
QString& HelpResult(int index);
void ClearHelpResults();

} // namespace orvane
