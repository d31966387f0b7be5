#pragma once
// The cross-unit report's sheet: title, the unit it was opened in, the heading row, and the
// records grouped by unit. The report screen and the headless report both lay it out here.
#include "lists/ActivationSheet.h"

#include <functional>
#include <vector>

namespace orvane {

class SheetComponent;

namespace ReportSheet {

constexpr int HeaderRows = 4;
constexpr int FirstDataRow = 5;

// Everything above the records: "TAROVEL" in row 1, the unit name in row 2, the headings in
// row 4, the column widths and the display switches.
void WriteFrame(SheetComponent& sheet, const QString& unitName);

// Replaces the data area with the groups: per unit its name, then its records numbered across
// units, one empty row between groups. `placed` learns each record row's unit. Returns the
// last row written.
int WriteRows(SheetComponent& sheet, const std::vector<ActivationGroup>& groups, ExpiryTexts& dates,
              const std::function<void(int, const QString&)>& placed = {});
// The same layout a part at a time: at most `limit` records from `at` on. True once every
// group is on the sheet, which then is exactly what WriteRows leaves.
bool WriteSomeRows(SheetComponent& sheet, const std::vector<ActivationGroup>& groups,
                   ExpiryTexts& dates, ActivationSheet::RowCursor& at, int limit,
                   const std::function<void(int, const QString&)>& placed = {});

} // namespace ReportSheet
} // namespace orvane
