#pragma once
// Reads the log files a range needs into a HistoryView. Up to a day, the raw lines (today's
// file, the day before from its gzipped copy once closed); beyond, the closed days' per-minute
// summaries, and the raw lines of a day not closed yet. Runs on a worker thread: it touches
// no widget and no shared state.
#include "netmon/HistoryView.h"

#include <atomic>

namespace orvane {

// Ranges up to this long read raw lines.
constexpr qint64 kRawRangeMs = 24LL * 60 * 60 * 1000;

// `cancel`, when it becomes true, ends the reading early with what was read.
HistoryView LoadHistory(const HistoryRequest& request, const std::atomic<bool>* cancel = nullptr);

} // namespace orvane
