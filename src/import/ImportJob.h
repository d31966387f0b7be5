#pragma once
// Reading and checking an import file as plain functions, values in and rows out, with a
// progress callback and a cancel flag: the screen runs them off the window's thread, and
// orvane-import runs them as they are.
#include "import/ImportCheck.h"

#include <memory>

namespace orvane::importer {

struct ImportPreview {
    std::shared_ptr<const SheetCells> sheet;
    Headings headings;
    DateOrderChoice dates;
    CheckSetup setup;
    CheckResult result;
};

// Reads the file, finds its headings and checks its rows with the headings' own mapping and
// the suggested date order (or `dates` when given). Throws ImportFileError or ImportCancelled.
ImportPreview PreviewFile(const QString& path, const UnitSnapshot& unit, IpConflict ipConflict,
                          DateOrder dates, const ReadControl& control);

// The user's setup is ready to import: an IP column, and a date order where one is needed.
// Returns why not, or empty text.
QString SetupProblem(const ImportPreview& preview);

} // namespace orvane::importer
