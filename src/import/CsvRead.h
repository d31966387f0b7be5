#pragma once
// CSV files read by liborcus's CSV parser. The text is UTF-8 (with or without a byte-order
// mark) or, when it is not valid UTF-8, Windows-1252; the separator (comma, semicolon or tab)
// is the one that makes a headings line out of one of the first lines.
#include "import/SheetCells.h"

#include <QByteArray>
#include <functional>

namespace orvane::importer {

// Whether the cells of a line name enough known columns to be the headings line.
using HeadingsTest = std::function<bool(const QStringList& cells)>;

SheetCells ReadCsv(const QByteArray& bytes, const HeadingsTest& isHeadings,
                   const ReadControl& control);

// The bytes as UTF-8: a leading byte-order mark dropped, Windows-1252 turned into UTF-8.
QByteArray CsvAsUtf8(const QByteArray& bytes);

} // namespace orvane::importer
