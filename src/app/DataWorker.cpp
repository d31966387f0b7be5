#include "app/DataWorker.h"

#include "app/Session.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace orvane {

namespace {

// Lives on the worker thread and keeps its connection.
class WorkerCore : public QObject {
  public:
    Connection& connection(const QString& text) {
        if (!connection_ || connection_->connectionText() != text) {
            connection_.reset();
            auto fresh = std::make_unique<Connection>();
            fresh->setTimeout(120);
            fresh->open(text); // the driver's own text when it fails; tried again next job
            connection_ = std::move(fresh);
        }
        return *connection_;
    }
    void close() { connection_.reset(); }

  private:
    std::unique_ptr<Connection> connection_;
};

struct WorkerLane {
    QThread thread;
    WorkerCore* core = nullptr;
};

struct WorkerState {
    WorkerLane lanes[3]; // reads, saves, files
    QObject home;        // on the UI thread: results are delivered through it
    int pending = 0;
};

WorkerState* state = nullptr;

WorkerState& started() {
    if (!state) {
        state = new WorkerState;
        for (WorkerLane& lane : state->lanes) {
            lane.thread.setObjectName("DataWorker");
            lane.core = new WorkerCore;
            lane.core->moveToThread(&lane.thread);
            lane.thread.start();
        }
        static bool routineAdded = false;
        if (!routineAdded) {
            qAddPostRoutine(&DataWorker::shutDown);
            routineAdded = true;
        }
    }
    return *state;
}

} // namespace

void DataWorker::enqueue(QObject* receiver, Task task,
                         std::shared_ptr<const std::atomic<quint64>> latest, quint64 request,
                         Lane lane) {
    WorkerState& s = started();
    ++s.pending;
    const QString text = Session().SharedConnection().connectionText();
    QPointer<QObject> target(receiver);
    WorkerCore* core = s.lanes[static_cast<int>(lane)].core;
    QObject* home = &s.home;
    QMetaObject::invokeMethod(
        core,
        [core, home, text, target, task = std::move(task), latest = std::move(latest), request] {
            const auto stale = [latest, request] { return latest && latest->load() != request; };
            std::function<void()> show;
            if (!stale())
                show = task([core, &text]() -> Connection& { return core->connection(text); });
            QMetaObject::invokeMethod(
                home,
                [target, show = std::move(show), stale] {
                    if (state)
                        --state->pending;
                    if (show && target && !stale())
                        show();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void DataWorker::waitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    while (!done())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

int DataWorker::pending() {
    return state ? state->pending : 0;
}

void DataWorker::shutDown() {
    if (!state)
        return;
    for (WorkerLane& lane : state->lanes) {
        WorkerCore* core = lane.core;
        QMetaObject::invokeMethod(
            core, [core] { core->close(); }, Qt::BlockingQueuedConnection);
        lane.thread.quit();
        lane.thread.wait();
        delete core;
    }
    delete state;
    state = nullptr;
}

} // namespace orvane
