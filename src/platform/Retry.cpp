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

int TriesFor(const DbError& error) {
    if (!IsRetryable(error))
        return 1;
    return error.nativeError() == 1205 ? kSaveTries : kConflictTries;
}

void PauseBeforeRetry(int failedTries) {
    const int base = 10 << qMin(failedTries - 1, 3); // 10, 20, 40, then 80 ms
    QThread::msleep(ulong(base + QRandomGenerator::global()->bounded(base)));
}

void LimitSaveLockWait(Connection& db) {
    try {
        db.execute(
            QStringLiteral("SET SESSION innodb_lock_wait_timeout = %1").arg(kSaveLockWaitSeconds));
    } catch (const DbError&) {
    }
}

int SaveRetries() {
    return retries.load();
}

void CountSaveRetry() {
    ++retries;
}

} // namespace orvane
