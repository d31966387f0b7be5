#include "netmon/BranchStats.h"

#include <QStringList>

namespace orvane {

namespace {

// "4", or "4.5" when the median falls between two answers.
QString milliseconds(double value) {
    const bool whole = value == static_cast<double>(static_cast<qint64>(value));
    return QString::number(value, 'f', whole ? 0 : 1) + QStringLiteral(" ms");
}

} // namespace

void BranchStats::record(bool up, uint32_t roundTripTime, const QDateTime& time) {
    if (!known() || up != up_)
        since_ = time;
    up_ = up;
    if (up) {
        ++answers_;
        ++times_[roundTripTime];
    } else {
        ++losses_;
    }
}

double BranchStats::lossPercent() const {
    return known() ? 100.0 * static_cast<double>(losses_) / static_cast<double>(answers_ + losses_)
                   : 0.0;
}

double BranchStats::medianRoundTrip() const {
    if (answers_ == 0)
        return 0.0;
    // The answers at sorted positions (n-1)/2 and n/2, counted from 0.
    const qint64 low = (answers_ - 1) / 2;
    const qint64 high = answers_ / 2;
    qint64 seen = 0;
    double lowValue = 0.0;
    for (const auto& [time, count] : times_) {
        if (low >= seen && low < seen + count)
            lowValue = time;
        if (high < seen + count)
            return (lowValue + time) / 2.0;
        seen += count;
    }
    return 0.0;
}

uint32_t BranchStats::worstRoundTrip() const {
    return times_.empty() ? 0 : times_.rbegin()->first;
}

QString BranchStats::toolTip() const {
    if (!known())
        return QStringLiteral("No answer yet");
    QStringList lines;
    lines << (up_ ? QStringLiteral("Up since ") : QStringLiteral("Down since ")) +
                 since_.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    lines << QStringLiteral("Answers %1, losses %2").arg(answers_).arg(losses_);
    lines << QStringLiteral("Loss %1 %").arg(lossPercent(), 0, 'f', 1);
    if (answers_ > 0)
        lines << QStringLiteral("Round trip median %1, worst %2")
                     .arg(milliseconds(medianRoundTrip()), milliseconds(worstRoundTrip()));
    else
        lines << QStringLiteral("Round trip: no answers");
    return lines.join(QLatin1Char('\n'));
}

} // namespace orvane
