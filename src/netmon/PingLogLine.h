#pragma once
// Reading the monitor's log back: one raw line (an echo result) or one line of a closed day's
// per-minute summary, into plain values. Made for speed, as a day holds about 1.5 million
// lines: no allocation for an unquoted line, and the local-time stamp worked out once an hour.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string_view>
#include <vector>

namespace orvane {

// One branch's echoes within one minute, as a closed day keeps them.
struct MinuteFigures {
    qint64 answers = 0;
    qint64 losses = 0;
    uint32_t minRoundTrip = 0; // of the answers; all three 0 without any
    uint32_t medianRoundTrip = 0;
    uint32_t maxRoundTrip = 0;
};

// A read line: `branch` indexes the names given to the reader, -1 for a branch not among them.
struct LogSample {
    int branch = -1;
    qint64 time = 0; // ms since the epoch
    bool up = false;
    uint32_t roundTrip = 0;
};
struct LogMinute {
    int branch = -1;
    qint64 time = 0; // the minute's start, ms since the epoch
    MinuteFigures figures;
};

class LogLineReader {
  public:
    explicit LogLineReader(const QStringList& branches);

    enum class Kind { Sample, Header, Blank, Bad };
    // A raw line, without or with its line break.
    Kind readSample(std::string_view line, LogSample& out);
    // A summary line (pinglog::summaryLine's form).
    Kind readMinute(std::string_view line, LogMinute& out);
    // The branch name of the line read last, for a branch not among the names.
    std::string_view lastBranch() const { return fields_.size() > 2 ? fields_[2] : ""; }

  private:
    // Splits RFC 4180 fields; false when the count is not `expected` or a quote is unclosed.
    bool split(std::string_view line, size_t expected);
    int branchOf(std::string_view name) const;
    // "yyyy-MM-dd" and "HH:mm[:ss.zzz]" as local time; -1 when either is not a time.
    qint64 stamp(std::string_view date, std::string_view time);

    std::vector<QByteArray> names_;
    std::vector<std::string_view> fields_;
    std::vector<std::string> unquoted_; // backing for quoted fields
    qint64 hourKey_ = -1;
    qint64 hourStart_ = 0;
};

namespace pinglog {

// "date,minute,branch,answers,losses,min_ms,median_ms,max_ms"
QString summaryHeader();
// "2026-12-08,14:30,HARBOUR,118,2,3,5,40" for the minute starting at `minuteStart` (local).
QByteArray summaryLine(qint64 minuteStart, const QString& branch, const MinuteFigures& figures);

} // namespace pinglog

} // namespace orvane
