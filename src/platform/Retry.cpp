#include "platform/Retry.h"

#include <QRandomGenerator>
#include <QThread>

#include <atomic>

namespace orvane {

namespace {
std::atomic<int> retries{0};
}

bool IsRetryable(const DbError& error) {
    const int native = error.nativeError();
    return native == 1213 || native == 1205 || native == 1047;
}

void PauseBeforeRetry(int failedTries) {
    const int base = 10 << (failedTries - 1); // 10, 20, 40, 80 ms
    QThread::msleep(ulong(base + QRandomGenerator::global()->bounded(base)));
}

int SaveRetries() {
    return retries.load();
}

void CountSaveRetry() {
    ++retries;
}

} // namespace orvane
