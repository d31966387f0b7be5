#pragma once
// Writes a sheet as a workbook file: type 4, the Excel 97-2003 workbook (.xls), or type 51,
// the Excel workbook (.xlsx), with the sheet's display switches. A sheet over 65,536 rows is
// refused as .xls with a message and nothing is written.
#include "sheet/SheetComponent.h"
#include "workbook/WorkbookFile.h" // WorkbookWriteError
#include "workbook/XlsWriter.h"    // XlsWriteError, a WorkbookWriteError

namespace orvane {

// Throws WorkbookWriteError with a message for the user.
void WriteSheetFile(const SheetComponent& sheet, const QString& path, int fileType);
// The same for a sheet's cells alone (a snapshot written off the UI thread).
void WriteSheetFile(const SheetModel& cells, const SheetOptions& options, const QString& path,
                    int fileType);
// The display switches a sheet is written with.
SheetOptions OptionsOf(const SheetComponent& sheet);

} // namespace orvane
