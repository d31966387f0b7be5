#include "netmon/PingMonitor.h"

#include "platform/Settings.h"

#include <QThreadPool>
#include <algorithm>
#include <mutex>

namespace orvane {

namespace {

// Each echo waits up to a second, so every branch needs a thread of its own; the
// global pool is sized to the CPU count and would queue them.
QThreadPool& echoPool() {
    static QThreadPool pool;
    static std::once_flag sized;
    std::call_once(sized, [] {
        pool.setMaxThreadCount(4 * PingMonitor::kBranchCount);
        pool.setExpiryTimeout(60000);
    });
    return pool;
}

} // namespace

// Lets workers post to the monitor while it lives and to nothing afterwards.
struct PingMonitor::Relay {
    std::mutex mutex;
    PingMonitor* target = nullptr;

    void post(const BranchResult& result) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!target)
            return;
        PingMonitor* monitor = target;
        // Bound to the monitor: dropped with it if it goes before the event runs.
        QMetaObject::invokeMethod(
            monitor, [monitor, result] { monitor->deliver(result); }, Qt::QueuedConnection);
    }
};

QString BranchResult::line() const {
    return QStringLiteral("Ping: ") + address + QLatin1Char(' ') + statusText() + QLatin1Char(' ') +
           QString::number(roundTripTime) + QStringLiteral(" ms");
}

PingMonitor::PingMonitor(QObject* parent)
    : QObject(parent), branches_(loadBranches()), relay_(std::make_shared<Relay>()) {
    relay_->target = this;
}

PingMonitor::~PingMonitor() {
    std::lock_guard<std::mutex> lock(relay_->mutex);
    relay_->target = nullptr;
}

QVector<Branch> PingMonitor::defaultBranches() {
    static const char* const addresses[kBranchCount] = {
        "192.168.1.1",  "192.168.1.161", "192.168.1.193", "192.168.1.129", "192.168.1.65",
        "192.168.1.33", "192.168.1.97",  "192.168.2.1",   "192.168.1.225"};
    QVector<Branch> table;
    for (int i = 0; i < kBranchCount; ++i)
        table.push_back({QStringLiteral("Branch %1").arg(i + 1), QLatin1String(addresses[i])});
    return table;
}

QVector<Branch> PingMonitor::loadBranches() {
    QVector<Branch> table = defaultBranches();
    const QString app = QStringLiteral("Tarovel");
    for (int i = 0; i < kBranchCount; ++i) {
        const QString name = Settings::read(app, settingsSection(), nameKey(i + 1)).trimmed();
        const QString address = Settings::read(app, settingsSection(), addressKey(i + 1)).trimmed();
        if (!name.isEmpty())
            table[i].name = name;
        if (!address.isEmpty())
            table[i].address = address;
    }
    return table;
}

void PingMonitor::setBranches(const QVector<Branch>& branches) {
    branches_ = branches;
    // Echoes still out for the old table end into the same places.
    waiting_.resize(std::max(waiting_.size(), branches_.size()));
}

bool PingMonitor::echoing(int branch) const {
    return branch >= 0 && branch < waiting_.size() && waiting_[branch];
}

void PingMonitor::setEcho(const EchoService& echo) {
    echo_ = echo;
}

void PingMonitor::setClock(const Clock& clock) {
    clock_ = clock;
}

int PingMonitor::tick() {
    waiting_.resize(std::max(waiting_.size(), branches_.size()));
    int started = 0;
    for (int i = 0; i < branches_.size(); ++i) {
        if (waiting_[i])
            continue;
        waiting_[i] = true;
        ++inFlight_;
        ++started;
        BranchResult start;
        start.branch = i;
        start.address = branches_[i].address;
        echoPool().start([relay = relay_, echo = echo_, clock = clock_, result = start]() mutable {
            if (!echo.startup(result.address)) {
                result.skipped = true;
            } else {
                IcmpEchoReply reply{};
                result.status = echo.ping(result.address, reply);
                result.roundTripTime = reply.RoundTripTime;
                echo.cleanup();
            }
            result.time = clock();
            relay->post(result);
        });
    }
    if (started > 0)
        ++used_;
    else
        ++dropped_;
    if (branches_.isEmpty())
        emit settled();
    return started;
}

void PingMonitor::deliver(const BranchResult& result) {
    // Free the branch first: a slot may open a modal box whose event loop runs the next
    // ticks and delivers the rest.
    if (result.branch >= 0 && result.branch < waiting_.size())
        waiting_[result.branch] = false;
    const bool last = --inFlight_ == 0;
    if (result.skipped)
        emit branchSkipped(result.branch);
    else
        emit branchAnswered(result);
    if (last && inFlight_ == 0) // a modal box above may have started new echoes
        emit settled();
}

} // namespace orvane
