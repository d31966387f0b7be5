#pragma once
// What the two workbook writers (.xls and .xlsx) share: the error they throw, the sheet's
// display switches, and the safe replacement of the file they write.
#include <QString>
#include <functional>
#include <stdexcept>

class QFile;

namespace orvane {

// Carries a description fit to show the user as it stands.
class WorkbookWriteError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SheetOptions {
    QString sheetName = QStringLiteral("Sheet1");
    bool showGridLines = true;
    bool showHeadings = true; // row numbers and column letters
};

// Writes `path` through a new temporary file in its folder, renamed over `path` only once
// `write` has filled it completely, so a failed write never harms a file already there and
// leaves no temporary file behind. `write` gets the temporary file open for writing (its
// fileName() for writers that open it themselves) and returns "" or the reason it failed.
// A replaced file keeps its permissions; a new one gets the user's defaults.
// Throws WorkbookWriteError naming `path` and the reason.
void ReplaceFile(const QString& path, const std::function<QString(QFile& temporary)>& write);

} // namespace orvane
