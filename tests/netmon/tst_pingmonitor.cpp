// The ping monitor's engine with a test echo that sends nothing: the branch table from
// the settings store, lines, concurrent echoes delivered on the UI thread, each branch's
// own cadence, dropped ticks and skipped branches.
#include "fake_echo.h"

#include "netmon/PingMonitor.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace orvane;

Q_DECLARE_METATYPE(orvane::BranchResult)

namespace {

constexpr int kWait = 20000; // generous: only reached when something is wrong

struct Monitor {
    std::shared_ptr<FakeEcho> echo = FakeEcho::create();
    PingMonitor monitor;
    QSignalSpy answered{&monitor, &PingMonitor::branchAnswered};
    QSignalSpy skipped{&monitor, &PingMonitor::branchSkipped};
    QSignalSpy finished{&monitor, &PingMonitor::settled};

    Monitor() {
        monitor.setBranches(loopbackBranches());
        monitor.setEcho(echo->service());
    }
    ~Monitor() { // let a held pass end before the echo goes away
        echo->release();
        if (monitor.echoing())
            finished.wait(kWait);
    }
    BranchResult result(int i) const { return answered.at(i).at(0).value<BranchResult>(); }
};

} // namespace

class TestPingMonitor : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { qRegisterMetaType<BranchResult>(); }

    void defaultTable() {
        const QVector<Branch> table = PingMonitor::defaultBranches();
        const QStringList expected = {"192.168.1.1",   "192.168.1.161", "192.168.1.193",
                                      "192.168.1.129", "192.168.1.65",  "192.168.1.33",
                                      "192.168.1.97",  "192.168.2.1",   "192.168.1.225"};
        QCOMPARE(table.size(), PingMonitor::kBranchCount);
        QSet<QString> names;
        for (int i = 0; i < table.size(); ++i) {
            QCOMPARE(table[i].address, expected[i]);
            QVERIFY(!table[i].name.isEmpty());
            names.insert(table[i].name);
        }
        QCOMPARE(names.size(), PingMonitor::kBranchCount);
    }

    // Tarovel.ini [Branches]: NameN / AddressN override the default of branch N.
    void loadBranches_data() {
        QTest::addColumn<QStringList>("entries"); // key=value
        QTest::addColumn<int>("branch");          // 1-based, the one checked
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("nothing set") << QStringList{} << 8 << "Branch 8"
                                     << "192.168.2.1";
        QTest::newRow("address only") << QStringList{"Address3=127.0.0.3"} << 3 << "Branch 3"
                                      << "127.0.0.3";
        QTest::newRow("name only") << QStringList{"Name9=Galle"} << 9 << "Galle"
                                   << "192.168.1.225";
        QTest::newRow("both") << QStringList{"Name1=Head Office", "Address1=127.0.0.1"} << 1
                              << "Head Office"
                              << "127.0.0.1";
        QTest::newRow("others untouched") << QStringList{"Address1=127.0.0.1"} << 2 << "Branch 2"
                                          << "192.168.1.161";
        QTest::newRow("blanks trimmed") << QStringList{"Address5= 127.0.0.5 "} << 5 << "Branch 5"
                                        << "127.0.0.5";
        QTest::newRow("blank keeps default") << QStringList{"Name4=  "} << 4 << "Branch 4"
                                             << "192.168.1.129";
    }
    void loadBranches() {
        QFETCH(QStringList, entries);
        QFETCH(int, branch);
        QFETCH(QString, name);
        QFETCH(QString, address);
        test::TempSettings settings;
        for (const QString& entry : entries)
            Settings::write("Tarovel", "Branches", entry.section('=', 0, 0), entry.section('=', 1));
        const QVector<Branch> table = PingMonitor::loadBranches();
        QCOMPARE(table.size(), PingMonitor::kBranchCount);
        QCOMPARE(table[branch - 1].name, name);
        QCOMPARE(table[branch - 1].address, address);
        // A new monitor starts from the same table.
        PingMonitor monitor;
        QCOMPARE(monitor.branches()[branch - 1].address, address);
    }

    void line_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("status");
        QTest::addColumn<uint>("roundTrip");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("success");
        QTest::newRow("answered") << "127.0.0.1" << 0 << 3u << "Ping: 127.0.0.1 Success! 3 ms"
                                  << true;
        QTest::newRow("slow answer")
            << "127.0.0.8" << 0 << 12u << "Ping: 127.0.0.8 Success! 12 ms" << true;
        QTest::newRow("timed out")
            << "127.0.0.2" << 11010 << 0u << "Ping: 127.0.0.2 Request Timed Out 0 ms" << false;
        QTest::newRow("unreachable")
            << "127.0.0.3" << 11003 << 7u << "Ping: 127.0.0.3 Destination Host Unreachable 7 ms"
            << false;
        QTest::newRow("not sent") << "nowhere" << -1 << 0u << "Ping: nowhere Unknown Response 0 ms"
                                  << false;
        QTest::newRow("unknown code")
            << "127.0.0.4" << 42 << 5u << "Ping: 127.0.0.4 Unknown Response 5 ms" << false;
    }
    void line() {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(uint, roundTrip);
        QFETCH(QString, line);
        QFETCH(bool, success);
        Monitor m;
        m.echo->answer(address, status, roundTrip);
        m.monitor.setBranches({{"Only", address}});
        QVERIFY(m.monitor.tick());
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.answered.size(), 1);
        QCOMPARE(m.result(0).line(), line);
        QCOMPARE(m.result(0).success(), success);
        QCOMPARE(m.result(0).status, status);
    }

    void passDeliversEveryBranchOnUiThread() {
        Monitor m;
        for (int i = 1; i <= 9; ++i)
            m.echo->answer(QStringLiteral("127.0.0.%1").arg(i), i % 3 ? 0 : 11010, 10u * i);
        bool elsewhere = false;
        connect(&m.monitor, &PingMonitor::branchAnswered, this,
                [&] { elsewhere |= QThread::currentThread() != thread(); });
        QVERIFY(m.monitor.tick());
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.finished.size(), 1);
        QCOMPARE(m.answered.size(), 9);
        QVERIFY(!elsewhere);
        QVERIFY(!m.echo->onUiThread());
        QSet<int> seen;
        for (int i = 0; i < 9; ++i) {
            const BranchResult r = m.result(i);
            seen.insert(r.branch);
            QCOMPARE(r.address, QStringLiteral("127.0.0.%1").arg(r.branch + 1));
            QCOMPARE(r.status, (r.branch + 1) % 3 ? 0 : 11010);
            QCOMPARE(r.roundTripTime, 10u * (r.branch + 1));
        }
        QCOMPARE(seen.size(), 9);
        QCOMPARE(m.echo->startups(), 9);
        QCOMPARE(m.echo->cleanups(), 9);
        QVERIFY(!m.monitor.echoing());
    }

    // Each ping waits until all nine run at once: a one-by-one pass never gets there.
    void branchesPingedTogether() {
        Monitor m;
        m.echo->meetAt(PingMonitor::kBranchCount);
        QVERIFY(m.monitor.tick());
        QVERIFY(m.finished.wait(kWait));
        QVERIFY(!m.echo->meetingFailed());
        QCOMPARE(m.echo->maxInFlight(), PingMonitor::kBranchCount);
        QCOMPARE(m.answered.size(), 9);
    }

    // A branch's line arrives while the others still wait for their answers.
    void answerDeliveredAtOnce() {
        Monitor m;
        QSet<QString> silent;
        for (int i = 1; i <= 9; ++i)
            if (i != 4)
                silent << QStringLiteral("127.0.0.%1").arg(i);
        m.echo->hold(silent);
        QVERIFY(m.monitor.tick());
        QTRY_COMPARE_WITH_TIMEOUT(m.answered.size(), 1, kWait);
        QCOMPARE(m.result(0).branch, 3);
        QVERIFY(m.monitor.echoing());
        QCOMPARE(m.finished.size(), 0);
        m.echo->release();
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.answered.size(), 9);
    }

    // A tick starts every branch whose last echo ended; a branch still waiting sits it out
    // and holds up no other.
    void ticksWhileWaiting_data() {
        QTest::addColumn<QStringList>("silent");
        QTest::addColumn<int>("startedPerTick"); // by each of the three later ticks
        QTest::addColumn<int>("used");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<int>("pings");
        QStringList all;
        for (int i = 1; i <= 9; ++i)
            all << QStringLiteral("127.0.0.%1").arg(i);
        QTest::newRow("every branch silent: ticks dropped") << all << 0 << 1 << 3 << 9;
        QTest::newRow("one silent branch") << QStringList{"127.0.0.4"} << 8 << 4 << 0 << 33;
    }
    void ticksWhileWaiting() {
        QFETCH(QStringList, silent);
        QFETCH(int, startedPerTick);
        QFETCH(int, used);
        QFETCH(int, dropped);
        QFETCH(int, pings);
        Monitor m;
        m.echo->hold(QSet<QString>(silent.begin(), silent.end()));
        QCOMPARE(m.monitor.tick(), 9);
        for (int tick = 1; tick <= 3; ++tick) {
            QTRY_COMPARE_WITH_TIMEOUT(m.answered.size(), startedPerTick * tick, kWait);
            QCOMPARE(m.monitor.tick(), startedPerTick);
        }
        QVERIFY(m.monitor.echoing(3));
        QCOMPARE(m.monitor.ticksDropped(), dropped);
        QCOMPARE(m.monitor.ticksUsed(), used);
        m.echo->release();
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.echo->pings(), pings);
        QCOMPARE(m.answered.size(), pings);
        QVERIFY(!m.monitor.echoing());
        // Once everything ended, the next tick starts every branch.
        QCOMPARE(m.monitor.tick(), 9);
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.echo->pings(), pings + 9);
        QCOMPARE(m.finished.size(), 2);
        QCOMPARE(m.echo->maxSameAddress(), 1);
    }

    void skippedBranch() {
        Monitor m;
        m.echo->failStartup(QStringLiteral("127.0.0.5"));
        QVERIFY(m.monitor.tick());
        QVERIFY(m.finished.wait(kWait));
        QCOMPARE(m.skipped.size(), 1);
        QCOMPARE(m.skipped.at(0).at(0).toInt(), 4);
        QCOMPARE(m.answered.size(), 8);
        for (int i = 0; i < m.answered.size(); ++i)
            QVERIFY(m.result(i).branch != 4);
        QVERIFY(!m.echo->pinged().contains(QStringLiteral("127.0.0.5")));
        QCOMPARE(m.echo->pings(), 8);
        QCOMPARE(m.echo->cleanups(), 8);
        QCOMPARE(m.echo->startups(), 9);
    }

    // Answers still on their way when the monitor goes must go nowhere.
    void monitorClosedDuringPass() {
        auto echo = FakeEcho::create();
        echo->holdAll();
        {
            PingMonitor monitor;
            monitor.setBranches(loopbackBranches());
            monitor.setEcho(echo->service());
            QVERIFY(monitor.tick());
            QTRY_COMPARE_WITH_TIMEOUT(echo->pings(), 9, kWait);
        }
        echo->release();
        QTRY_COMPARE_WITH_TIMEOUT(echo->cleanups(), 9, kWait);
        QCoreApplication::processEvents();
        QVERIFY(echo->notLoopback().isEmpty());
    }
};

QTEST_MAIN(TestPingMonitor)
#include "tst_pingmonitor.moc"
