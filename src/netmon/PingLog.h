#pragma once
// The monitor's history: every echo result as one line of a daily CSV file in
// $XDG_STATE_HOME/Orvane/ping/, written on a thread of its own so that a slow or full
// disk never holds up the screen. Files older than 30 days are deleted.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QThread>
#include <cstdint>

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

constexpr int kKeepDays = 30;

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
// Deletes the day files dated more than kKeepDays before today; other files stay.
// Returns how many went.
int removeExpired(const QString& folder, const QDate& today);

} // namespace pinglog

class PingLogWriter;

class PingLog {
  public:
    // Starts the writer thread and clears out expired files for today.
    PingLog(const QString& folder, const QDate& today);
    // Writes what is still queued, then ends the thread.
    ~PingLog();
    PingLog(const PingLog&) = delete;
    PingLog& operator=(const PingLog&) = delete;

    // Returns at once; a failed write is dropped without a word to the caller.
    void append(const PingLogRecord& record);
    // Waits until every record appended so far is written.
    void flush();
    QString folder() const { return folder_; }

  private:
    QString folder_;
    QThread thread_;
    PingLogWriter* writer_;
};

} // namespace orvane
