#include "netmon/HistoryLoad.h"

#include "netmon/HistoryBins.h"
#include "netmon/PingLog.h"
#include "netmon/PingLogFiles.h"

#include <QDateTime>
#include <QFileInfo>

namespace orvane {

namespace {

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

// Every line of a raw or gzipped day file; false when cancelled.
bool readRaw(const QString& path, LogLineReader& reader, HistoryBins& bins,
             const std::atomic<bool>* cancel) {
    LogLines lines(path);
    LogSample sample;
    std::string_view line;
    qint64 bad = 0;
    for (qint64 n = 1; lines.next(line); ++n) {
        if ((n & 0xffff) == 0 && cancelled(cancel))
            return false;
        switch (reader.readSample(line, sample)) {
        case LogLineReader::Kind::Sample:
            bins.add(sample);
            break;
        case LogLineReader::Kind::Bad:
            ++bad;
            break;
        default:
            break;
        }
    }
    bins.unreadable(bad);
    return true;
}

void readSummary(const QString& path, LogLineReader& reader, HistoryBins& bins) {
    LogLines lines(path);
    LogMinute minute;
    std::string_view line;
    qint64 bad = 0;
    while (lines.next(line)) {
        const LogLineReader::Kind kind = reader.readMinute(line, minute);
        if (kind == LogLineReader::Kind::Sample)
            bins.add(minute);
        else if (kind == LogLineReader::Kind::Bad)
            ++bad;
    }
    bins.unreadable(bad);
    bins.usedSummaries();
}

} // namespace

HistoryView LoadHistory(const HistoryRequest& request, const std::atomic<bool>* cancel) {
    HistoryBins bins(request);
    LogLineReader reader(request.branches);
    const bool raw = request.to - request.from <= kRawRangeMs;
    const QDate first = QDateTime::fromMSecsSinceEpoch(request.from).date();
    const QDate last = QDateTime::fromMSecsSinceEpoch(request.to).date();
    const QString base = request.folder + QLatin1Char('/');
    for (QDate day = first; day <= last && !cancelled(cancel); day = day.addDays(1)) {
        const QString plain = base + pinglog::fileName(day);
        const QString summary = base + pinglog::summaryName(day);
        const QString gz = base + pinglog::gzName(day);
        if (!raw && QFileInfo::exists(summary))
            readSummary(summary, reader, bins);
        else if (QFileInfo::exists(plain))
            readRaw(plain, reader, bins, cancel);
        else if (QFileInfo::exists(gz))
            readRaw(gz, reader, bins, cancel);
    }
    return bins.finish();
}

} // namespace orvane
