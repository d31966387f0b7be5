#pragma once
// The longest stall of the UI thread while it is watched: the largest gap between the ticks
// of a 1 ms timer, less the tick itself.
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace bench {

class StallWatch {
  public:
    StallWatch() {
        clock_.start();
        QObject::connect(&heartbeat_, &QTimer::timeout, [this] {
            const double now = ms();
            longest_ = std::max(longest_, now - lastTick_ - 1);
            lastTick_ = now;
        });
        heartbeat_.start(1);
    }
    double ms() const { return clock_.nsecsElapsed() / 1e6; }
    double longestMs() const { return longest_; }
    void stop() { heartbeat_.stop(); }

  private:
    QElapsedTimer clock_;
    QTimer heartbeat_;
    double lastTick_ = 0;
    double longest_ = 0;
};

} // namespace bench
