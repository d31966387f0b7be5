#pragma once
// Saves that run again from their start when the server turned them away for a conflict
// with another workstation's save: a deadlock or a cluster certification conflict (1213),
// a lock wait time-out (1205), or a cluster node that is not ready yet (1047). Each of
// these is the server's answer, so nothing of the refused transaction was committed; a
// lost link (whose commit may have gone through) is never run again.
#include "platform/Database.h"

#include <QElapsedTimer>

namespace orvane {

// Tries of a save turned away by lock wait time-outs: each of them waited the server's time-out.
constexpr int kSaveTries = 5;
// Tries of a save turned away at once (1213, 1047). On a cluster, a save on one node loses
// every certification against a steady stream of saves of the same counter on another node,
// several times running, before it wins one.
constexpr int kConflictTries = 20;
// However many tries are left, no try starts later than this after the first one: the user
// waits for the answer.
constexpr int kRetryBudgetMs = 10000;
// What a save's own session waits for a row lock before the server turns it away (1205).
constexpr int kSaveLockWaitSeconds = 5;

bool IsRetryable(const DbError& error);
// How many tries a save that failed with this error gets in all (1: none again).
int TriesFor(const DbError& error);
// Waits a little longer after each failed try, with some jitter so that two workstations
// that collided do not collide again in step.
void PauseBeforeRetry(int failedTries);
// Sets the session's lock wait to kSaveLockWaitSeconds before a save; a failure here is left
// for the save itself to meet and report.
void LimitSaveLockWait(Connection& db);
// Saves run again in this process so far (the benchmarks and the cluster tests print it).
int SaveRetries();
void CountSaveRetry();

// Runs body, which opens and commits its own transaction on db, again while it fails with a
// retryable error, up to TriesFor(that error) tries; the last error reaches the caller. Inside a
// transaction the caller already holds, body runs once: only the owner of a transaction can restart
// it.
template <class Body> auto RunWithRetry(Connection& db, Body&& body) -> decltype(body()) {
    if (db.inTransaction())
        return body();
    QElapsedTimer since;
    since.start();
    for (int tries = 1;; ++tries) {
        try {
            return body();
        } catch (const DbError& error) {
            if (tries >= TriesFor(error) || since.elapsed() >= kRetryBudgetMs)
                throw;
            CountSaveRetry();
            PauseBeforeRetry(tries);
        }
    }
}

} // namespace orvane
