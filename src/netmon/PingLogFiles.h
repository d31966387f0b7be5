#pragma once
// The monitor's folder as days: a day is its raw CSV file while it is written, then its
// gzipped copy and its per-minute summary once it has closed. Whole days go when the folder
// grows too big, and every form of a day file reads line by line through one reader.
#include <QDate>
#include <QList>
#include <QString>
#include <string_view>
#include <vector>

namespace orvane {
namespace pinglog {

// Closed days take about a tenth of the raw size, so 30 of them fit with room to spare; the
// cap guards against a runaway day.
constexpr qint64 kFolderCapBytes = 500LL * 1024 * 1024;

// "2026-12-08.csv.gz"
QString gzName(const QDate& day);
// "2026-12-08.summary.csv"
QString summaryName(const QDate& day);
// The day of any of a day's files; invalid for every other name.
QDate dayOfAny(const QString& fileName);
// Days that have a file, oldest first.
QList<QDate> days(const QString& folder);
// Bytes of all of a day's files.
qint64 dayBytes(const QString& folder, const QDate& day);
// Deletes every file of the day; true when all went.
bool removeDay(const QString& folder, const QDate& day);
// Deletes whole days, oldest first, while the day files together exceed `capBytes`; never
// `keep`. Returns how many days went.
int trimToCap(const QString& folder, qint64 capBytes, const QDate& keep);

} // namespace pinglog

// Reads a plain or gzipped file line by line in large blocks (zlib reads a plain file as it
// is). A line's text stays valid until the next call.
class LogLines {
  public:
    explicit LogLines(const QString& path);
    ~LogLines();
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The next line without its line break; false at the end. A last line without a break
    // is given too.
    bool next(std::string_view& line);
    // A damaged gzip stream ends the reading early.
    bool damaged() const { return damaged_; }

  private:
    bool fill();

    void* file_ = nullptr; // gzFile
    std::vector<char> buffer_;
    size_t start_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    bool damaged_ = false;
};

} // namespace orvane
