#pragma once
// The monitor's history: every echo result as one line of a daily CSV file in
// $XDG_STATE_HOME/Orvane/ping/, written on a thread of its own so that a slow or full
// disk never holds up the screen. The 30 most recent days are kept; when the file of
// the real current day is made, the oldest beyond those goes, one day at most, so that a
// clock jump can never empty the history. A while after the day changes (and after the
// start), the days before it are closed: gzipped and summarised per minute. The folder is
// held under pinglog::kFolderCapBytes by dropping whole days, oldest first.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QThread>
#include <cstdint>
#include <functional>

class QObject;

namespace orvane {

struct PingLogRecord {
    QDateTime time; // when the echo ended, local time
    QString branch;
    QString address;
    int status = 0;
    QString statusText;
    uint32_t roundTripTime = 0;
};

namespace pinglog {

constexpr int kKeepFiles = 30;
// Answers of the old day may still come in just after midnight, and a start should not be
// slowed: days are closed this long after the change or the start.
constexpr int kCloseDelayMs = 60 * 1000;

// $XDG_STATE_HOME/Orvane/ping; ~/.local/state/Orvane/ping when that is unset or relative.
QString defaultFolder();
// "2026-12-08.csv"
QString fileName(const QDate& day);
// The first line of every file, without its line break.
QString header();
// One record as RFC 4180 fields, without its line break.
QString csvLine(const PingLogRecord& record);
// A field quoted when it holds a comma, a quote or a line break; quotes doubled.
QString field(const QString& text);
// "2026-12-08.csv" -> 2026-12-08; invalid for any other name.
QDate dayOf(const QString& fileName);
// Deletes the oldest day (all its files) when more than kKeepFiles days exist, never the day
// of the file `keep`; other files stay. Returns how many days went (0 or 1).
int removeOldest(const QString& folder, const QString& keep);

} // namespace pinglog

class PingLogWriter;

class PingLog {
  public:
    // The real current day; tests put their own in. Called on the log's thread.
    using Today = std::function<QDate()>;
    // Starts the writer thread.
    explicit PingLog(
        const QString& folder, const Today& today = [] { return QDate::currentDate(); },
        int closeDelayMs = pinglog::kCloseDelayMs);
    // Writes what is still queued, then ends the thread; a day being closed is left for the
    // next start.
    ~PingLog();
    PingLog(const PingLog&) = delete;
    PingLog& operator=(const PingLog&) = delete;

    // Returns at once; a failed write is dropped and told through onProblem.
    void append(const PingLogRecord& record);
    // `report` runs on `context`'s thread with what went wrong and where, once when writes
    // start failing, and with an empty text once they work again. `context` must outlive
    // the log.
    void onProblem(QObject* context, const std::function<void(const QString&)>& report);
    // Waits until every record appended so far is written.
    void flush();
    QString folder() const { return folder_; }

  private:
    QString folder_;
    QThread thread_;
    PingLogWriter* writer_;
};

} // namespace orvane
