#include "netmon/HistoryBins.h"

#include <algorithm>

namespace orvane {

qint64 RangeMs(HistoryRange range) {
    constexpr qint64 kHour = 60LL * 60 * 1000;
    switch (range) {
    case HistoryRange::Hour:
        return kHour;
    case HistoryRange::Day:
        return 24 * kHour;
    case HistoryRange::Week:
        return 7 * 24 * kHour;
    case HistoryRange::Month:
        break;
    }
    return 30 * 24 * kHour;
}

QString UnreadableNote(qint64 lines) {
    if (lines <= 0)
        return {};
    return lines == 1 ? QStringLiteral("1 line could not be read")
                      : QStringLiteral("%1 lines could not be read").arg(lines);
}

HistoryBins::HistoryBins(const HistoryRequest& request)
    : request_(request), msPerColumn_(double(std::max<qint64>(request.to - request.from, 1)) /
                                      std::max(request.columns, 1)),
      columns_(size_t(std::max(request.columns, 1))) {
    view_.from = request.from;
    view_.to = request.to;
    view_.branches.resize(request.branches.size());
}

HistoryBins::Column* HistoryBins::columnOf(qint64 time) {
    if (time < request_.from || time > request_.to)
        return nullptr;
    const auto index = size_t((time - request_.from) / msPerColumn_);
    return &columns_[std::min(index, columns_.size() - 1)];
}

void HistoryBins::add(const LogSample& s) {
    if (s.branch < 0 || s.branch >= view_.branches.size() || s.time < request_.from ||
        s.time > request_.to)
        return;
    BranchLoss& counts = view_.branches[s.branch];
    ++(s.up ? counts.answers : counts.losses);
    if (s.branch != request_.branch)
        return;
    if (s.up) {
        answer(s.time, s.roundTrip, s.time, s.roundTrip, s.time);
        if (lossRun_ >= kDownAfterLosses)
            downPeriod(downFrom_, s.time - lastLoss_ <= kDownGapMs ? s.time : lastLoss_);
        lossRun_ = 0;
        return;
    }
    loss(s.time);
    if (lossRun_ > 0 && s.time - lastLoss_ > kDownGapMs) { // the monitor was away meanwhile
        if (lossRun_ >= kDownAfterLosses)
            downPeriod(downFrom_, lastLoss_);
        lossRun_ = 0;
    }
    if (lossRun_++ == 0)
        downFrom_ = s.time;
    lastLoss_ = s.time;
}

void HistoryBins::add(const LogMinute& m) {
    if (m.branch < 0 || m.branch >= view_.branches.size() || m.time < request_.from ||
        m.time > request_.to)
        return;
    BranchLoss& counts = view_.branches[m.branch];
    counts.answers += m.figures.answers;
    counts.losses += m.figures.losses;
    if (m.branch != request_.branch)
        return;
    if (m.figures.answers > 0)
        answer(m.time, m.figures.minRoundTrip, m.time, m.figures.maxRoundTrip, m.time);
    if (m.figures.losses > 0)
        loss(m.time);
    // A minute without a single answer is down from end to end.
    if (m.figures.answers == 0 && m.figures.losses > 0)
        downPeriod(m.time, m.time + 60 * 1000);
}

void HistoryBins::answer(qint64 time, uint32_t low, qint64 lowAt, uint32_t high, qint64 highAt) {
    Column* c = columnOf(time);
    if (!c)
        return;
    const bool first = c->low == UINT32_MAX;
    if (first || low < c->low) {
        c->low = low;
        c->lowAt = lowAt;
    }
    if (first || high > c->high) {
        c->high = high;
        c->highAt = highAt;
    }
    view_.maxRoundTrip = std::max(view_.maxRoundTrip, high);
}

void HistoryBins::loss(qint64 time) {
    Column* c = columnOf(time);
    if (c && c->firstLoss < 0)
        c->firstLoss = time;
}

void HistoryBins::downPeriod(qint64 from, qint64 to) {
    // Periods closer than a column apart would be drawn as one anyway.
    auto& down = view_.down;
    if (!down.isEmpty() && from <= down.last().second + qint64(msPerColumn_))
        down.last().second = std::max(down.last().second, to);
    else
        down.append({from, to});
}

HistoryView HistoryBins::finish() {
    if (lossRun_ >= kDownAfterLosses)
        downPeriod(downFrom_, lastLoss_);
    lossRun_ = 0;
    for (const Column& c : columns_) {
        if (c.low != UINT32_MAX) {
            view_.roundTrip.append(
                QPointF(double(std::min(c.lowAt, c.highAt)), c.lowAt <= c.highAt ? c.low : c.high));
            if (c.lowAt != c.highAt || c.low != c.high)
                view_.roundTrip.append(QPointF(double(std::max(c.lowAt, c.highAt)),
                                               c.lowAt <= c.highAt ? c.high : c.low));
        }
        if (c.firstLoss >= 0)
            view_.losses.append(c.firstLoss);
    }
    return std::move(view_);
}

} // namespace orvane
