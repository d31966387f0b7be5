#pragma once
// Closing a day of the monitor's log: its raw file (about 110 MB with every branch answering)
// becomes a gzipped copy and a summary of each branch's minutes beside it, which long ranges
// of the history read instead of the raw lines. Runs on the log's thread.
#include "netmon/PingLogLine.h"

#include <QDate>
#include <QString>
#include <atomic>
#include <map>
#include <utility>

namespace orvane {

// Each branch's minutes of raw lines, the way a closed day's summary keeps them.
class MinuteTally {
  public:
    void add(const QString& branch, const LogSample& sample);
    // (minute start, branch) -> figures; the median of an even count is the rounded mean of
    // the middle two.
    std::map<std::pair<qint64, QString>, MinuteFigures> figures() const;

  private:
    struct Minute {
        qint64 losses = 0;
        std::vector<uint32_t> roundTrips;
    };
    std::map<std::pair<qint64, QString>, Minute> minutes_;
};

namespace pinglog {

// Writes the day's summary and gzipped copy beside its raw file, then deletes the raw file.
// False, with the raw file kept and no half-written file left, when a step fails or `stop`
// becomes true meanwhile. `unreadable` gets the lines left out of the summary.
bool closeDay(const QString& folder, const QDate& day, const std::atomic<bool>* stop = nullptr,
              qint64* unreadable = nullptr);
// Closes every raw day file before `today`; returns how many closed.
int closeDaysBefore(const QString& folder, const QDate& today,
                    const std::atomic<bool>* stop = nullptr);

} // namespace pinglog
} // namespace orvane
