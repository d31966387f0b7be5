#pragma once
// The engine of the branch ping monitor, without widgets: the branch table, and ticks
// that ping every idle branch at once off the user-interface thread and hand each answer
// back to that thread as soon as it arrives. Each branch keeps its own cadence: a silent
// branch waits for its own time-out and holds up no other branch.
#include "netmon/mdlPing.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace orvane {

struct Branch {
    QString name;
    QString address;
};

// The echo operations a pass uses. The defaults are the real ones; tests and the bench
// put their own in. Called from worker threads, so they must be thread-safe.
struct EchoService {
    // Given the branch address so that a test can fail the start of one branch.
    std::function<bool(const QString& address)> startup = [](const QString&) {
        return EchoStartup();
    };
    std::function<int(const QString&, IcmpEchoReply&)> ping = PingAddress;
    std::function<void()> cleanup = EchoCleanup;
    std::function<QString()> permissionProblem = IcmpPermissionProblem;
};

// The outcome of one echo to one branch.
struct BranchResult {
    int branch = 0; // index into the branch table
    QString address;
    int status = kEchoNotSent;
    uint32_t roundTripTime = 0;
    bool skipped = false; // the socket start failed: nothing was pinged
    QDateTime time;       // when the echo ended

    QString statusText() const { return EchoStatusText(status); }
    // "Ping: <address> <status text> <ms> ms"
    QString line() const;
    // Only the exact text "Success!" counts.
    bool success() const { return statusText() == QLatin1String("Success!"); }
};

class PingMonitor : public QObject {
    Q_OBJECT
  public:
    static constexpr int kBranchCount = 9;

    // Reads the branch table from the settings store.
    explicit PingMonitor(QObject* parent = nullptr);
    // Answers still on their way are dropped; their threads end on their own.
    ~PingMonitor() override;

    // The customer's table, used for every entry the settings store does not set.
    static QVector<Branch> defaultBranches();
    // Tarovel.ini, section [Branches], keys Name1..Name9 and Address1..Address9.
    static QVector<Branch> loadBranches();
    static QString settingsSection() { return QStringLiteral("Branches"); }
    static QString nameKey(int number) { return QStringLiteral("Name%1").arg(number); }
    static QString addressKey(int number) { return QStringLiteral("Address%1").arg(number); }

    const QVector<Branch>& branches() const { return branches_; }
    void setBranches(const QVector<Branch>& branches);
    const EchoService& echo() const { return echo_; }
    void setEcho(const EchoService& echo);
    // Stamps each result as its echo ends, on the worker: must be thread-safe.
    using Clock = std::function<QDateTime()>;
    void setClock(const Clock& clock);

    // Starts an echo for every branch whose previous echo has ended (answered, timed out
    // or skipped); a branch still waiting sits this tick out. Returns how many started; a
    // tick that starts none is counted as dropped.
    int tick();
    bool echoing() const { return inFlight_ > 0; }
    bool echoing(int branch) const;
    int ticksUsed() const { return used_; }
    int ticksDropped() const { return dropped_; }

  signals:
    // On this object's thread, one per echo, in order of arrival.
    void branchAnswered(const orvane::BranchResult& result);
    void branchSkipped(int branch);
    // Every echo started so far has ended.
    void settled();

  private:
    struct Relay;
    void deliver(const BranchResult& result);

    QVector<Branch> branches_;
    EchoService echo_;
    Clock clock_ = [] { return QDateTime::currentDateTime(); };
    std::shared_ptr<Relay> relay_;
    QVector<bool> waiting_; // per branch: its echo has not ended yet
    int inFlight_ = 0;
    int used_ = 0;
    int dropped_ = 0;
};

} // namespace orvane
