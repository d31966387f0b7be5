#pragma once
// Excel 97-2003 workbooks (.xls) read by libfreexl: the first sheet, formulas by their
// cached results, dates as freexl reports them (yyyy-mm-dd).
#include "import/SheetCells.h"

#include <QString>

namespace orvane::importer {

// Reads the workbook at `path`; throws ImportFileError when it is no readable workbook.
SheetCells ReadXlsFile(const QString& path, const ReadControl& control);

} // namespace orvane::importer
