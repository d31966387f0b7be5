#pragma once
// Two ways of writing an .xlsx that the workbook reader of liborcus 0.17 does not follow, as
// python's openpyxl writes them: part references by absolute path ("/xl/worksheets/..."), and
// text kept in the cells themselves (inline strings) rather than in the shared strings. Both
// are turned here into the usual form before the reader sees the file.
#include <QByteArray>
#include <QHash>
#include <QString>

namespace orvane::importer {

// The parts (relationships, sheets, shared strings, content types; by name) to replace or
// add; empty when the parts are fine as they are. The sheets in `parts` are rewritten in place.
QHash<QString, QByteArray> ReadableXlsxParts(QHash<QString, QByteArray> parts);

} // namespace orvane::importer
