#pragma once
// What a branch's label tells on hover: up or down and since when, answers and losses
// since the screen opened, and the round-trip times of the answers. No widget code.
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <map>

namespace orvane {

class BranchStats {
  public:
    // One echo result: up is an answer, anything else a loss.
    void record(bool up, uint32_t roundTripTime, const QDateTime& time);

    bool known() const { return answers_ + losses_ > 0; }
    bool up() const { return up_; }
    // The result that last changed the state (the first result counts as a change).
    QDateTime since() const { return since_; }
    qint64 answers() const { return answers_; }
    qint64 losses() const { return losses_; }
    double lossPercent() const;
    // Of the answers only; 0 without any. An even count takes the mean of the middle two.
    double medianRoundTrip() const;
    uint32_t worstRoundTrip() const;

    // "Up since 2026-12-08 14:30:05\nAnswers 3, losses 1\nLoss 25.0 %\n..."
    QString toolTip() const;

  private:
    bool up_ = false;
    QDateTime since_;
    qint64 answers_ = 0;
    qint64 losses_ = 0;
    // Round-trip time -> answers that took it: an exact median in little memory, as
    // the times are whole milliseconds under the one-second time-out.
    std::map<uint32_t, qint64> times_;
};

} // namespace orvane
