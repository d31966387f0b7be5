#pragma once
// .xlsx and .ods sheets read by liborcus through a factory of our own: it keeps the cells
// of one sheet as text, takes a formula's cached result, and spreads a merged cell's value
// over its range.
#include "import/SheetCells.h"

#include <QByteArray>

namespace orvane::importer {

// Reads sheet `sheetIndex` (0: the first) of an archive CheckZip has looked over.
SheetCells ReadOrcusSheet(const QByteArray& bytes, FileKind kind, int sheetIndex,
                          const ReadControl& control);

} // namespace orvane::importer
