#pragma once
// Folds the refills that typing asks for while more keys are already queued into one, run on
// the text as it stands after them. A refill asked for with no key waiting still runs at once,
// inside the key's own handling, as before.
//
// Why the queue: a refill of a large sheet blocks the event loop, and keys typed meanwhile
// wait in the window-system queue (platform/InputQueue). Each of them would refill again on
// its way out, so the screen falls further behind with every character. A refill is only
// worth running for the last of those keys; the others leave it pending. A zero timer runs a
// pending refill that no later key has run, once the queue holds no key any more (it looks
// again while one does), so a key that asks for no refill of its own leaves none behind.
#include <QObject>
#include <functional>

namespace orvane {

class RefillCoalescer : public QObject {
    Q_OBJECT
  public:
    RefillCoalescer(std::function<void()> refill, QObject* parent);

    // For a handler that runs after its key has changed the text: true when the refill is
    // left pending because more keys are queued.
    bool DeferBehindQueuedKeys();
    // For a handler that runs before its key reaches the box: also true while a refill is
    // pending, so the folded refill sees this key's text too.
    bool DeferUntilKeyLands();
    // Every refill reports itself here, whoever started it: it is counted and satisfies a
    // pending one.
    void Started();
    // Runs a pending refill now: actions that work on the sheet call this first.
    void RunPending();

    int Runs() const { return runs_; }
    bool Pending() const { return pending_; }
    // Off: every request refills at once (the benchmark's baseline).
    void SetEnabled(bool on) { enabled_ = on; }

  private:
    void defer();
    void check();

    std::function<void()> refill_;
    bool enabled_ = true;
    bool pending_ = false;
    bool armed_ = false;
    int runs_ = 0;
};

} // namespace orvane
