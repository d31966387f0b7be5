#include "lists/RefillCoalescer.h"

#include "platform/InputQueue.h"

#include <QTimer>

namespace orvane {

namespace {
// While keys still wait (e.g. a nested loop that holds back input), look again shortly
// rather than spinning on a zero timer.
constexpr int RecheckMs = 5;
} // namespace

RefillCoalescer::RefillCoalescer(std::function<void()> refill, QObject* parent)
    : QObject(parent), refill_(std::move(refill)) {}

bool RefillCoalescer::DeferBehindQueuedKeys() {
    if (!enabled_ || !KeyInputWaiting())
        return false;
    defer();
    return true;
}

bool RefillCoalescer::DeferUntilKeyLands() {
    if (!enabled_ || (!pending_ && !KeyInputWaiting()))
        return false;
    defer();
    return true;
}

void RefillCoalescer::Started() {
    ++runs_;
    pending_ = false;
}

void RefillCoalescer::RunPending() {
    if (pending_)
        refill_();
}

void RefillCoalescer::defer() {
    pending_ = true;
    if (armed_)
        return;
    armed_ = true;
    QTimer::singleShot(0, this, &RefillCoalescer::check);
}

void RefillCoalescer::check() {
    armed_ = false;
    if (!pending_)
        return;
    if (KeyInputWaiting()) {
        armed_ = true;
        QTimer::singleShot(RecheckMs, this, &RefillCoalescer::check);
        return;
    }
    refill_();
}

} // namespace orvane
