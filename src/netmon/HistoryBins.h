#pragma once
// Gathers a range of log lines into a HistoryView: per pixel column the charted branch's
// lowest and highest answer and its first loss, its down periods, and every branch's answers
// and losses. Raw lines and per-minute summaries may be mixed.
#include "netmon/HistoryView.h"
#include "netmon/PingLogLine.h"

#include <vector>

namespace orvane {

class HistoryBins {
  public:
    explicit HistoryBins(const HistoryRequest& request);

    void add(const LogSample& sample);
    void add(const LogMinute& minute);
    void unreadable(qint64 lines) { view_.unreadable += lines; }
    void usedSummaries() { view_.fromSummaries = true; }
    HistoryView finish();

    // A branch is down from the first of at least this many losses in a row up to the next
    // answer, when that follows within kDownGapMs; after a longer silence (the monitor was
    // closed) the period ends at the last loss. A single lost echo is only marked.
    static constexpr int kDownAfterLosses = 2;
    static constexpr qint64 kDownGapMs = 60 * 1000;

  private:
    struct Column {
        uint32_t low = UINT32_MAX;
        uint32_t high = 0;
        qint64 lowAt = 0;
        qint64 highAt = 0;
        qint64 firstLoss = -1;
    };
    Column* columnOf(qint64 time);
    void answer(qint64 time, uint32_t low, qint64 lowAt, uint32_t high, qint64 highAt);
    void loss(qint64 time);
    void downPeriod(qint64 from, qint64 to);

    HistoryRequest request_;
    double msPerColumn_;
    std::vector<Column> columns_;
    HistoryView view_;
    int lossRun_ = 0; // losses in a row so far
    qint64 downFrom_ = 0;
    qint64 lastLoss_ = 0;
};

} // namespace orvane
