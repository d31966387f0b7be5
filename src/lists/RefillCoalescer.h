#pragma once
// Folds the refills that typing asks for while more keys are already queued into one, run on
// the text as it stands after them. A refill asked for with no key waiting and none pending
// still runs at once, inside the key's own handling, as before.
//
// Why the queue: a refill of a large sheet blocks the event loop, and keys typed meanwhile
// wait in the window-system queue (platform/InputQueue). Each of them would refill again on
// its way out, so the screen falls further behind with every character. Once keys have piled
// up, the typist is ahead of the sheet: the refill stays pending while keys keep coming and
// runs when the queue holds no key and none has asked for a refill for FoldMs. The keys'
// characters show meanwhile; only the sheet waits.
#include <QObject>
#include <QTimer>
#include <functional>

namespace orvane {

class RefillCoalescer : public QObject {
    Q_OBJECT
  public:
    // Longer than the gap between the keys of fast typing, short beside a refill.
    static constexpr int FoldMs = 80;

    RefillCoalescer(std::function<void()> refill, QObject* parent);

    // True when the refill is left pending: more keys are queued, or a refill already is.
    bool Defer();
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
    void due();

    std::function<void()> refill_;
    QTimer timer_;
    bool enabled_ = true;
    bool pending_ = false;
    int runs_ = 0;
};

} // namespace orvane
