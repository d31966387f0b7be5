#include "lists/RefillCoalescer.h"

#include "platform/InputQueue.h"

namespace orvane {

namespace {
// Keys still queued when the refill is due (a nested loop holding input back): look again.
constexpr int RecheckMs = 5;
} // namespace

RefillCoalescer::RefillCoalescer(std::function<void()> refill, QObject* parent)
    : QObject(parent), refill_(std::move(refill)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RefillCoalescer::due);
}

bool RefillCoalescer::Defer() {
    if (!enabled_ || (!pending_ && !KeyPressWaiting()))
        return false;
    pending_ = true;
    timer_.start(FoldMs);
    return true;
}

void RefillCoalescer::Started() {
    ++runs_;
    pending_ = false;
    timer_.stop();
}

void RefillCoalescer::RunPending() {
    if (pending_)
        refill_();
}

void RefillCoalescer::due() {
    if (!pending_)
        return;
    if (KeyPressWaiting())
        timer_.start(RecheckMs);
    else
        refill_();
}

} // namespace orvane
