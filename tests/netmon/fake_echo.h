#pragma once
// An echo for the monitor's tests: answers from a table, can hold pings until released
// or until a number of them run at the same time, fails the socket start of chosen
// addresses, and counts everything. Thread-safe: the monitor calls it from workers.
#include "netmon/PingMonitor.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

class FakeEcho : public std::enable_shared_from_this<FakeEcho> {
  public:
    static std::shared_ptr<FakeEcho> create() { return std::make_shared<FakeEcho>(); }

    orvane::EchoService service() {
        std::shared_ptr<FakeEcho> self = shared_from_this();
        orvane::EchoService echo;
        echo.startup = [self](const QString& address) { return self->startup(address); };
        echo.ping = [self](const QString& address, orvane::IcmpEchoReply& reply) {
            return self->ping(address, reply);
        };
        echo.cleanup = [self] { self->cleanup(); };
        echo.permissionProblem = [self] { return self->permission(); };
        return echo;
    }

    void answer(const QString& address, int status, uint32_t roundTrip) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[address] = {status, roundTrip};
    }
    void failStartup(const QString& address) {
        std::lock_guard<std::mutex> lock(mutex_);
        failing_.insert(address);
    }
    void setPermissionProblem(const QString& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        permission_ = text;
    }
    // Pings of held addresses wait until release(); an empty set holds none.
    void hold(const QSet<QString>& addresses) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = addresses;
        released_ = false;
    }
    void holdAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        holdAll_ = true;
        released_ = false;
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    // Every ping waits until this many run at once (or gives up after a long while).
    void meetAt(int count) {
        std::lock_guard<std::mutex> lock(mutex_);
        meeting_ = count;
    }

    template <typename F> auto locked(F f) const -> decltype(f()) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f();
    }

    int pings() const {
        return locked([this] { return pings_; });
    }
    int startups() const {
        return locked([this] { return startups_; });
    }
    int cleanups() const {
        return locked([this] { return cleanups_; });
    }
    int maxInFlight() const {
        return locked([this] { return maxInFlight_; });
    }
    int maxSameAddress() const {
        return locked([this] { return maxSameAddress_; });
    }
    bool meetingFailed() const {
        return locked([this] { return meetingFailed_; });
    }
    QStringList pinged() const {
        return locked([this] { return pinged_; });
    }
    QStringList notLoopback() const {
        return locked([this] { return notLoopback_; });
    }
    bool onUiThread() const {
        return locked([this] { return pingedOnUiThread_; });
    }

  private:
    bool startup(const QString& address) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++startups_;
        return !failing_.contains(address);
    }

    void cleanup() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++cleanups_;
    }

    QString permission() {
        std::lock_guard<std::mutex> lock(mutex_);
        return permission_;
    }

    int ping(const QString& address, orvane::IcmpEchoReply& reply) {
        std::unique_lock<std::mutex> lock(mutex_);
        ++pings_;
        pinged_ << address;
        if (!address.startsWith(QLatin1String("127.")))
            notLoopback_ << address; // never sent anywhere: this echo sends nothing
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            pingedOnUiThread_ = true;
        ++inFlight_;
        maxInFlight_ = std::max(maxInFlight_, inFlight_);
        const int same = ++sameAddress_[address];
        maxSameAddress_ = std::max(maxSameAddress_, same);
        changed_.notify_all();
        const auto limit = std::chrono::seconds(20); // only reached when the code is wrong
        if (meeting_ > 0 &&
            !changed_.wait_for(lock, limit, [this] { return maxInFlight_ >= meeting_; }))
            meetingFailed_ = true;
        if (holdAll_ || held_.contains(address))
            changed_.wait_for(lock, limit, [this] { return released_; });
        const auto [status, roundTrip] = answers_.value(address, {0, 1});
        reply.Status = status;
        reply.RoundTripTime = roundTrip;
        --inFlight_;
        --sameAddress_[address];
        return status;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QHash<QString, std::pair<int, uint32_t>> answers_;
    QSet<QString> failing_;
    QSet<QString> held_;
    QString permission_;
    bool holdAll_ = false;
    bool released_ = false;
    int meeting_ = 0;
    bool meetingFailed_ = false;
    int pings_ = 0;
    int startups_ = 0;
    int cleanups_ = 0;
    int inFlight_ = 0;
    int maxInFlight_ = 0;
    QHash<QString, int> sameAddress_;
    int maxSameAddress_ = 0;
    QStringList pinged_;
    QStringList notLoopback_;
    bool pingedOnUiThread_ = false;
};

// Nine loopback branches; the test echo never sends anything, but a table that a test
// forgot to replace would be.
inline QVector<orvane::Branch> loopbackBranches() {
    QVector<orvane::Branch> table;
    for (int i = 1; i <= orvane::PingMonitor::kBranchCount; ++i)
        table.push_back({QStringLiteral("Site %1").arg(i), QStringLiteral("127.0.0.%1").arg(i)});
    return table;
}
