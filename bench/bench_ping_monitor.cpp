// Responsiveness of the branch ping monitor. An injected echo answers some branches at
// once and lets the others time out (a 1000 ms sleep; no packet is sent anywhere). It
// measures one pass over nine silent branches, a mixed pass, the longest stall of the
// user-interface thread during passes (a 5 ms timer on that thread records its biggest
// gap) and, in the same run, the old way: nine blocking echoes one after another on the
// user-interface thread with window events processed between them. With one branch
// silent it counts the lines per second of each branch under the real 500 ms timer, next
// to the pass-wide cadence (a tick starts nothing while any echo is out) as its baseline.
#include "netmon/frmPing.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace orvane;

namespace {

constexpr int kMeterMs = 5;

// Records the biggest gap between ticks of a 5 ms timer on the UI thread, and the most
// processor time the UI thread itself spent between two ticks: on a loaded machine the
// gap also holds time the thread merely waited for a processor.
class StallMeter {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kMeterMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { sample(); });
    }
    void start() {
        maxGap_ = maxBusy_ = 0;
        clock_.start();
        cpu_ = threadCpuMs();
        timer_.start();
    }
    double stop() {
        timer_.stop();
        sample();
        return maxGap_;
    }
    double busy() const { return maxBusy_; }

  private:
    static double threadCpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    void sample() {
        const double cpu = threadCpuMs();
        maxGap_ = std::max(maxGap_, clock_.nsecsElapsed() / 1e6);
        maxBusy_ = std::max(maxBusy_, cpu - cpu_);
        clock_.restart();
        cpu_ = cpu;
    }

    QTimer timer_;
    QElapsedTimer clock_;
    double cpu_ = 0;
    double maxGap_ = 0;
    double maxBusy_ = 0;
};

// Branches whose address is in `answering` reply at once; the rest time out.
EchoService benchEcho(const QSet<QString>& answering) {
    EchoService echo;
    echo.ping = [answering](const QString& address, IcmpEchoReply& reply) {
        if (answering.contains(address)) {
            reply.Status = kEchoSuccess;
            reply.RoundTripTime = 1;
            return kEchoSuccess;
        }
        QThread::msleep(1000);
        reply.Status = kEchoTimedOut;
        return kEchoTimedOut;
    };
    echo.permissionProblem = [] { return QString(); };
    return echo;
}

QVector<Branch> benchBranches() {
    QVector<Branch> table;
    for (int i = 1; i <= PingMonitor::kBranchCount; ++i)
        table.push_back({QStringLiteral("Site %1").arg(i), QStringLiteral("127.0.0.%1").arg(i)});
    return table;
}

struct PassFigures {
    double passMs = 0;
    double firstLineMs = 0;
    double stallMs = 0;
    double busyMs = 0;
};

PassFigures ourPass(frmPing& form, StallMeter& meter) {
    PassFigures f;
    QEventLoop loop;
    QElapsedTimer clock;
    bool first = true;
    auto a = QObject::connect(&form.monitor(), &PingMonitor::branchAnswered, [&] {
        if (first)
            f.firstLineMs = clock.nsecsElapsed() / 1e6;
        first = false;
    });
    auto b = QObject::connect(&form.monitor(), &PingMonitor::settled, &loop, &QEventLoop::quit);
    meter.start();
    clock.start();
    form.Timer1_Timer();
    loop.exec();
    f.passMs = clock.nsecsElapsed() / 1e6;
    f.stallMs = meter.stop();
    f.busyMs = meter.busy();
    QObject::disconnect(a);
    QObject::disconnect(b);
    return f;
}

// The old handler: each branch blocks the UI thread for its echo, events run between.
PassFigures sequentialPass(frmPing& form, const EchoService& echo, StallMeter& meter) {
    PassFigures f;
    QListWidget* lists[] = {form.LstBranch1, form.LstBranch2, form.LstBranch3,
                            form.LstBranch4, form.LstBranch5, form.LstBranch6,
                            form.LstBranch7, form.LstBranch8, form.LstBranch9};
    const QVector<Branch> branches = benchBranches();
    meter.start();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < branches.size(); ++i) {
        IcmpEchoReply reply{};
        BranchResult r;
        r.branch = i;
        r.address = branches[i].address;
        r.status = echo.ping(r.address, reply);
        r.roundTripTime = reply.RoundTripTime;
        lists[i]->addItem(r.line());
        lists[i]->scrollToItem(lists[i]->item(lists[i]->count() - 1),
                               QAbstractItemView::PositionAtTop);
        if (i == 0)
            f.firstLineMs = clock.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
    }
    f.passMs = clock.nsecsElapsed() / 1e6;
    f.stallMs = meter.stop();
    f.busyMs = meter.busy();
    return f;
}

void print(const char* what, const PassFigures& f) {
    std::printf("  %-44s pass %7.1f ms  first line %7.1f ms  longest UI stall %6.1f ms "
                "(own work %5.1f ms)\n",
                what, f.passMs, f.firstLineMs, f.stallMs, f.busyMs);
}

PassFigures worst(const QVector<PassFigures>& runs) {
    PassFigures w;
    for (const PassFigures& f : runs) {
        w.passMs = std::max(w.passMs, f.passMs);
        w.firstLineMs = std::max(w.firstLineMs, f.firstLineMs);
        w.stallMs = std::max(w.stallMs, f.stallMs);
        w.busyMs = std::max(w.busyMs, f.busyMs);
    }
    return w;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    Settings::setFolder(settings.path()); // never the user's own branch table
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit()); // nor the user's own ping log

    StallMeter meter;
    frmPing form;
    form.Timer1->stop(); // the bench drives the passes
    form.monitor().setBranches(benchBranches());
    form.show();
    QCoreApplication::processEvents();

    const EchoService silent = benchEcho({});
    const EchoService mixed = benchEcho({"127.0.0.1", "127.0.0.4", "127.0.0.7"});
    constexpr int kRuns = 3;

    std::printf("Branch ping monitor: nine branches, time-out 1000 ms (injected echo, no "
                "packets)\n\n");
    QVector<PassFigures> runs;
    form.monitor().setEcho(silent);
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(ourPass(form, meter));
    const PassFigures oursSilent = worst(runs);
    print("concurrent, nine silent (worst of 3)", oursSilent);

    runs.clear();
    form.monitor().setEcho(mixed);
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(ourPass(form, meter));
    const PassFigures oursMixed = worst(runs);
    print("concurrent, 3 answer / 6 silent (worst of 3)", oursMixed);

    // Near-full lists, emptied during the second pass: the heaviest UI work of a line.
    for (QListWidget* list : form.findChildren<QListWidget*>())
        while (list->count() < frmPing::kListLimit - 2)
            list->addItem(QStringLiteral("Ping: 127.0.0.1 Success! 1 ms"));
    QCoreApplication::processEvents(); // lay the filled lists out before measuring
    runs.clear();
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(ourPass(form, meter));
    const PassFigures oursFull = worst(runs);
    print("concurrent, mixed, lists reaching 1000 lines", oursFull);
    for (QListWidget* list : form.findChildren<QListWidget*>())
        list->clear();

    const PassFigures original = sequentialPass(form, silent, meter);
    print("sequential on the UI thread, nine silent", original);

    // The real 500 ms timer with branch 4 silent: each branch on its own cadence, then the
    // pass-wide cadence driven by a 500 ms timer of the bench.
    const EchoService oneSilent = benchEcho({"127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.5",
                                             "127.0.0.6", "127.0.0.7", "127.0.0.8", "127.0.0.9"});
    form.monitor().setEcho(oneSilent);
    constexpr int kCadenceMs = 9000;
    QTimer passWide;
    passWide.setInterval(500);
    QObject::connect(&passWide, &QTimer::timeout, [&form] {
        if (!form.monitor().echoing())
            form.monitor().tick();
    });
    // From each branch's first line to its last: the steady cadence, not the start-up.
    const auto linesPerSecond = [&](QTimer& timer) {
        QVector<QVector<qint64>> lines(PingMonitor::kBranchCount);
        QElapsedTimer clock;
        clock.start();
        auto counting = QObject::connect(
            &form.monitor(), &PingMonitor::branchAnswered,
            [&](const BranchResult& r) { lines[r.branch].push_back(clock.elapsed()); });
        QEventLoop wait;
        QTimer::singleShot(kCadenceMs, &wait, &QEventLoop::quit);
        timer.start();
        wait.exec();
        timer.stop();
        QObject::disconnect(counting);
        if (form.monitor().echoing()) { // let the last echoes end before the next run
            QEventLoop end;
            QObject::connect(&form.monitor(), &PingMonitor::settled, &end, &QEventLoop::quit);
            end.exec();
        }
        QVector<double> rates;
        for (const QVector<qint64>& times : lines)
            rates.push_back(times.size() < 2
                                ? 0.0
                                : (times.size() - 1) * 1000.0 /
                                      std::max<qint64>(1, times.last() - times.first()));
        return rates;
    };
    const int droppedBefore = form.monitor().ticksDropped();
    meter.start();
    const QVector<double> own = linesPerSecond(*form.Timer1);
    const double timerStall = meter.stop();
    const double timerBusy = meter.busy();
    const int dropped = form.monitor().ticksDropped() - droppedBefore;
    const QVector<double> baseline = linesPerSecond(passWide);
    std::printf("\n  Lines per second per branch, branch 4 silent, Timer1 %d ms over %.0f s:\n",
                500, kCadenceMs / 1000.0);
    std::printf("    %-8s %12s %12s\n", "branch", "own cadence", "pass-wide");
    for (int i = 0; i < PingMonitor::kBranchCount; ++i)
        std::printf("    %-8d %12.2f %12.2f%s\n", i + 1, own[i], baseline[i],
                    i == 3 ? "   (silent)" : "");
    std::printf("  %-44s %d ticks dropped, longest UI stall %.1f ms (own work %.1f ms)\n",
                "Timer1 running, branch 4 silent", dropped, timerStall, timerBusy);

    const double stall =
        std::max({oursSilent.stallMs, oursMixed.stallMs, oursFull.stallMs, timerStall});
    std::printf("\nPass over nine silent branches: %.0f ms (target <= 1100 ms); sequential: "
                "%.0f ms; ratio %.1fx\n",
                oursSilent.passMs, original.passMs, original.passMs / oursSilent.passMs);
    const double busy = std::max({oursSilent.busyMs, oursMixed.busyMs, oursFull.busyMs, timerBusy});
    std::printf("Longest UI-thread stall during passes: %.1f ms (target <= 20 ms, timer "
                "interval %d ms included; the UI thread's own work in it at most %.1f ms); "
                "sequential: %.0f ms; ratio %.0fx\n",
                stall, kMeterMs, busy, original.stallMs, original.stallMs / stall);

    // Let the last echoes end before the screen goes.
    if (form.monitor().echoing()) {
        QEventLoop end;
        QObject::connect(&form.monitor(), &PingMonitor::settled, &end, &QEventLoop::quit);
        end.exec();
    }
    return 0;
}
