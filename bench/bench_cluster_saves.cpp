// Saves per second of two program instances entering records at once through the entry
// screens' save (200 workstations of one unit and 50 products each), on two nodes of the local
// test cluster against both on one single server; the saves run again per 100 saves; and how
// long a killed node takes to rejoin. Prints figures; decides nothing.
//
// It REPLACES the data of the servers it uses, so it needs a single server of its own on a
// port other than the cluster's 3306, and the test cluster:
//     ORVANE_DB_PORT=3323 scripts/db start && scripts/cluster start
//     ORVANE_BENCH_PORT=3323 build/bench/bench_cluster_saves
#include "platform/Retry.h"
#include "support/ClusterSupport.h"
#include "support/InstanceRun.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr int Repetitions = 3;

struct Figures {
    double savesPerSecond = 0;
    double retriesPer100 = 0;
    int notStored = 0;
    int messages = 0;
};

Figures twoInstances(const QString& textOne, const QString& textTwo,
                     const std::function<void()>& reload, RecordingDesktop& desktop) {
    std::vector<double> rates, retries;
    Figures figures;
    for (int i = 0; i < Repetitions; ++i) {
        reload();
        desktop.clear();
        InstanceRun one, two;
        one.connectionText = textOne;
        one.tag = "I1";
        two.connectionText = textTwo;
        two.tag = "I2";
        const int before = SaveRetries();
        QElapsedTimer timer;
        timer.start();
        RunAll({&one, &two});
        const double seconds = timer.nsecsElapsed() / 1e9;
        const int saves = int(one.workstationCodes.size() + one.productCodes.size() +
                              two.workstationCodes.size() + two.productCodes.size());
        rates.push_back(saves / seconds);
        retries.push_back(100.0 * (SaveRetries() - before) / qMax(1, saves));
        figures.notStored +=
            int(one.errors.size() + one.refused.size() + two.errors.size() + two.refused.size());
        figures.messages += desktop.count();
    }
    std::sort(rates.begin(), rates.end());
    std::sort(retries.begin(), retries.end());
    figures.savesPerSecond = rates[rates.size() / 2];
    figures.retriesPer100 = retries[retries.size() / 2];
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("ORVANE_BENCH_PORT", &ok);
    if (!ok || port == 3306) {
        std::fprintf(stderr, "Set ORVANE_BENCH_PORT to a private single server's port other "
                             "than 3306: the bench replaces its data.\n");
        return 2;
    }
    const QString why = TestCluster::unavailable();
    if (!why.isEmpty()) {
        std::fprintf(stderr, "The test cluster is needed: %s\n", qPrintable(why));
        return 2;
    }
    qputenv("ORVANE_DB_PORT", QByteArray::number(port));
    RecordingDesktop desktop;

    const Figures single = twoInstances(
        TestDb::connectionText(), TestDb::connectionText(), [] { TestDb::loadFixture(); }, desktop);
    const Figures cluster = twoInstances(
        TestCluster::connectionText(1), TestCluster::connectionText(2),
        [] { TestCluster::loadFixture(); }, desktop);

    QElapsedTimer rejoin;
    TestCluster::control({"kill", "2"});
    rejoin.start();
    const int restarted = TestCluster::control({"restart", "2"});
    const double rejoinSeconds = rejoin.nsecsElapsed() / 1e9;

    std::printf("two instances, 500 saves, median of %d runs:\n", Repetitions);
    std::printf("  single server (port %d):  %7.1f saves/s, %5.1f retries per 100 saves\n", port,
                single.savesPerSecond, single.retriesPer100);
    std::printf("  cluster, nodes 1 and 2:    %7.1f saves/s, %5.1f retries per 100 saves\n",
                cluster.savesPerSecond, cluster.retriesPer100);
    std::printf("  cluster / single server:   %7.2f\n",
                cluster.savesPerSecond / single.savesPerSecond);
    std::printf("  saves not stored in all runs: %d; messages shown: %d\n",
                single.notStored + cluster.notStored, single.messages + cluster.messages);
    if (restarted == 0)
        std::printf("node 2 killed, restarted and synced again in %.1f s\n", rejoinSeconds);
    else
        std::printf("node 2 did not rejoin (scripts/cluster restart 2 ended with %d)\n", restarted);
    return 0;
}
