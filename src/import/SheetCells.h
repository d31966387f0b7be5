#pragma once
// The cells of the one sheet an import reads, as text, whatever the file type: the readers
// fill it, the checks read it. No widget and no database here, so it can run on any thread.
#include <QDate>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

namespace orvane::importer {

enum class FileKind { Xlsx, Ods, Csv, Xls };

struct SheetCells {
    // Row 0 is the file's first row; a row holds its cells from the first column on.
    std::vector<QStringList> rows;
    // Day 0 of the file's serial dates (1899-12-30, or 1904-01-01 for the Mac's system).
    QDate serialOrigin = QDate(1899, 12, 30);
    // The columns the sheet hides, in the order the file names them (.xlsx and .ods only).
    std::vector<int> hiddenColumns;
};

// What a reader may take in before it refuses the file as a zip bomb.
struct ReadLimits {
    qint64 maxUnpackedBytes = 200LL * 1024 * 1024;
    int maxRows = 1000000;
    // Cells right of this column are left out: no register has that many fields.
    int maxColumns = 256;
};

// Progress of a long read or check: what is done of how much (total 0: not known yet).
using Progress = std::function<void(qint64 done, qint64 total)>;

struct ReadControl {
    ReadLimits limits;
    Progress progress;
    const std::atomic_bool* cancel = nullptr;
    bool cancelled() const { return cancel && cancel->load(); }
};

// A file that cannot be imported; the text says why, for the user.
class ImportFileError : public std::runtime_error {
  public:
    explicit ImportFileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// The user stopped a read or a check.
class ImportCancelled : public std::runtime_error {
  public:
    ImportCancelled() : std::runtime_error("cancelled") {}
};

// Collects cells by position, holding the limits; every reader feeds one.
class CellSink {
  public:
    CellSink(SheetCells& cells, const ReadControl& control) : cells_(cells), control_(control) {}
    // Throws ImportFileError past the row limit, ImportCancelled when told to stop.
    void put(qint64 row, qint64 col, const QString& text);
    const QString* at(qint64 row, qint64 col) const;
    void checkRow(qint64 row);
    void hideColumn(qint64 col);

  private:
    SheetCells& cells_;
    const ReadControl& control_;
    qint64 highest_ = -1;
};

// The text of a number cell: whole numbers without a fraction, as the sheet shows them.
QString NumberText(double value);

QString TooManyRowsMessage(int limit);

} // namespace orvane::importer
