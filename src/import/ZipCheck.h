#pragma once
// The zip container of .xlsx and .ods files, looked over with libzip before a spreadsheet
// library parses it: every entry is inflated once, counting the bytes it really unpacks to
// (a zip's own size fields can lie), so a damaged archive or a zip bomb is refused before any
// of it is kept. On the way it finds the first sheet that is not hidden.
#include "import/SheetCells.h"

#include <QByteArray>
#include <vector>

namespace orvane::importer {

struct ZipFacts {
    FileKind kind = FileKind::Xlsx;
    // Index of the first visible sheet, in the workbook's order.
    int visibleSheet = 0;
    // .ods: that sheet's hidden columns (the .xlsx reader reports its own).
    std::vector<int> hiddenColumns;
    // The archive again with its part references made relative, when it named parts by
    // absolute paths (as openpyxl writes them), which the .xlsx reader cannot follow; empty
    // when the archive is fine as it is.
    QByteArray relativeParts;
};

// Throws ImportFileError for a damaged archive, one that unpacks past the limit, one that
// is no workbook, or one whose sheets are all hidden.
ZipFacts CheckZip(const QByteArray& bytes, const ReadControl& control);

} // namespace orvane::importer
