#pragma once
// What the two workbook writers (.xls and .xlsx) share: the error they throw, the sheet's
// display switches, and the safe replacement of the file they write.
#include <QString>
#include <atomic>
#include <functional>
#include <stdexcept>

class QFileDevice;

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

// A write given up before it replaced the file: the file there is untouched.
class WorkbookWriteCancelled : public WorkbookWriteError {
  public:
    WorkbookWriteCancelled() : WorkbookWriteError("The write was cancelled.") {}
};

// While one is alive, a ReplaceFile on this thread checks `cancelled` before it replaces the
// file, and throws WorkbookWriteCancelled once it is set.
class WriteCancellation {
  public:
    explicit WriteCancellation(const std::atomic<bool>& cancelled);
    ~WriteCancellation();
    WriteCancellation(const WriteCancellation&) = delete;
    WriteCancellation& operator=(const WriteCancellation&) = delete;
    static bool requested();
};

// Writes `path` through QSaveFile: `write` fills a new temporary file in the target's folder,
// which replaces `path` only once it is complete and on the disk, so a failed write never
// harms a file already there and leaves no temporary file behind. `write` gets the temporary
// file open for writing and returns "" or the reason it failed.
// A replaced file keeps its mode, and its owner and group where the user may give them; the
// temporary file carries that mode from the start (0600 while it is not known yet), so it is
// never more open than the file it replaces. A new file gets the user's defaults. A link is
// followed: the file it points to is replaced and the link stays. A file without its owner's
// write permission is read-only and is refused, even for a user whom permissions do not stop.
// Throws WorkbookWriteError naming `path` and the reason.
void ReplaceFile(const QString& path, const std::function<QString(QFileDevice& temporary)>& write);

} // namespace orvane
