#pragma once
// The sheet layout both workstation lists share: eight columns (the seventh, hidden, carries
// the serial number the screens open a record by), the grey heading row and the row fonts.
#include "lists/ActivationRows.h"

#include <QString>

namespace orvane {

class SheetComponent;

namespace ActivationSheet {

constexpr int Columns = 8;
constexpr int IpColumn = 2;
constexpr int KeyColumn = 7;

// Column widths of both sheets; only the remarks column differs between them.
void SetColumnWidths(SheetComponent& sheet, int remarksWidth);
// Headings into columns 1 to 6 and 8 of `row`; column 1 is "Sl No" or "Code".
void WriteHeadings(SheetComponent& sheet, int row, const QString& firstHeading);
// Border on every edge, bold Arial 8 and the light-grey fill over `row`, columns 1 to the
// sheet's column count.
void FormatHeadingRow(SheetComponent& sheet, int row);
// The report's title cell (1,1) and a unit heading cell.
void SetTitleFont(SheetComponent& sheet, int row, int col);
void SetUnitHeadingFont(SheetComponent& sheet, int row, int col);
// Regular Arial 8 in black over columns 1 to lastCol of rows firstRow to lastRow. The refills
// give it each run of record rows at once, which leaves the sheet as a call per row would.
void SetRecordFont(SheetComponent& sheet, int firstRow, int lastRow, int lastCol);

// Records the screens lay out in one pass of the event loop: a long result goes onto the sheet
// over several passes, so the window keeps answering keys between them.
constexpr int RowsPerPass = 5000;

// How far a layout of record rows, spread over several passes of the event loop, has got.
// A fresh cursor (row 0) starts the layout by clearing the data area.
struct RowCursor {
    size_t group = 0;    // the group being written
    size_t record = 0;   // its next record
    bool headed = false; // the group's heading is on the sheet
    int groupStart = 0;  // the group's first record row
    int row = 0;         // the last row written
    int number = 0;      // the last running number written
};

// Columns 1 to 8 of one record row: the running number, then the record's fields.
void WriteRecord(SheetComponent& sheet, int row, int number, const ActivationRecord& record,
                 ExpiryTexts& dates);

} // namespace ActivationSheet
} // namespace orvane
