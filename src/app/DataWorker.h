#pragma once
// The one thread the screens hand their database work to, so the UI thread never waits on the
// server. It owns a connection of its own (ODBC handles never cross threads), opened on first
// use with the session's connection text and reopened after a lost link, as the session's is.
//
// Who may call it: code on the UI thread (screens, data classes they call). A job runs on the
// worker with the worker's connection and returns a plain value; that value, or the DbError
// the job threw, comes back to the UI thread by a queued call. No widget, Recordset or
// Connection crosses. Jobs of a lane run one at a time, in the order they were posted. Saves
// have a lane (a thread and a connection) of their own, so a save waiting on another
// workstation's lock never holds up the other screens' refills.
#include "platform/Database.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace orvane {

// What a job gave: its value, or the database failure it met.
template <class R> struct JobResult {
    std::optional<R> value;
    std::optional<DbError> error;
};

// The requests of one screen's refills: each new request makes the ones before it stale. A
// stale request that has not started is skipped; a stale result is dropped, never shown.
class RequestLine {
  public:
    RequestLine() : latest_(std::make_shared<std::atomic<quint64>>(0)) {}
    quint64 next() { return ++*latest_; }
    bool current(quint64 id) const { return latest_->load() == id; }
    std::shared_ptr<const std::atomic<quint64>> latest() const { return latest_; }

  private:
    std::shared_ptr<std::atomic<quint64>> latest_;
};

class DataWorker {
  public:
    // Files: writes to the disk (exports); its jobs get no connection.
    enum class Lane { Reads, Saves, Files };

    // Runs `job(connection)` on the worker. `done` runs on the UI thread with the result, unless
    // `receiver` was destroyed meanwhile. With a line and request id, a request that is no
    // longer the line's latest is skipped or dropped: `done` does not run for it.
    template <class R>
    static void post(QObject* receiver, std::function<R(Connection&)> job,
                     std::function<void(JobResult<R>)> done, const RequestLine* line = nullptr,
                     quint64 request = 0, Lane lane = Lane::Reads);

    // Runs the job and waits for it with the window answering (events keep being processed).
    // Throws the job's DbError on the UI thread, as a direct call would.
    template <class R> static R await(std::function<R(Connection&)> job, Lane lane = Lane::Reads);

    // Runs `job()` on the files lane, with no database; `done` gets its value on the UI thread
    // unless `receiver` was destroyed. The job reports its own failures in its value.
    template <class R>
    static void postTask(QObject* receiver, std::function<R()> job, std::function<void(R)> done);

    // Processes events (the window answers) until done() holds.
    static void waitUntil(const std::function<bool()>& done);
    // Jobs posted and not yet answered.
    static int pending();
    // Lets go of `values` on the worker: the last reference to a large result (tens of thousands
    // of texts) is freed there, not on the UI thread.
    template <class T> static void release(std::shared_ptr<T> values);
    // Stops the thread and closes its connection; the next job starts them again.
    static void shutDown();

  private:
    // Given the worker's connection (opening it may throw), returns what to run on the UI thread.
    using Task = std::function<std::function<void()>(const std::function<Connection&()>& connect)>;
    static void enqueue(QObject* receiver, Task task,
                        std::shared_ptr<const std::atomic<quint64>> latest, quint64 request,
                        Lane lane);
};

template <class R>
void DataWorker::post(QObject* receiver, std::function<R(Connection&)> job,
                      std::function<void(JobResult<R>)> done, const RequestLine* line,
                      quint64 request, Lane lane) {
    auto latest = line ? line->latest() : nullptr;
    enqueue(
        receiver,
        [job = std::move(job), done = std::move(done)](
            const std::function<Connection&()>& connect) -> std::function<void()> {
            JobResult<R> result;
            try {
                result.value = job(connect());
            } catch (const DbError& error) {
                result.error = error;
            }
            return [done, result = std::move(result)]() mutable { done(std::move(result)); };
        },
        std::move(latest), request, lane);
}

template <class R>
void DataWorker::postTask(QObject* receiver, std::function<R()> job, std::function<void(R)> done) {
    enqueue(
        receiver,
        [job = std::move(job),
         done = std::move(done)](const std::function<Connection&()>&) -> std::function<void()> {
            return [done, value = job()]() mutable { done(std::move(value)); };
        },
        nullptr, 0, Lane::Files);
}

template <class T> void DataWorker::release(std::shared_ptr<T> values) {
    if (!values)
        return;
    enqueue(
        nullptr,
        [values = std::move(values)](
            const std::function<Connection&()>&) mutable -> std::function<void()> {
            values.reset();
            return {};
        },
        nullptr, 0, Lane::Reads);
}

template <class R> R DataWorker::await(std::function<R(Connection&)> job, Lane lane) {
    std::optional<JobResult<R>> answer;
    QObject receiver;
    post<R>(
        &receiver, std::move(job), [&answer](JobResult<R> r) { answer = std::move(r); }, nullptr, 0,
        lane);
    waitUntil([&answer] { return answer.has_value(); });
    if (answer->error)
        throw *answer->error;
    return std::move(*answer->value);
}

} // namespace orvane
