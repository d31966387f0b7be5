// Two program instances on two nodes of the test cluster entering new records at the same
// time through the entry screens' save: the cluster's conflicts are retried unseen, every code
// is handed out once and in an unbroken run, and a node that crashes mid-run costs its own
// instance one failed save (the one message its screen shows) and nothing else.
#include "platform/Retry.h"
#include "support/ClusterSupport.h"
#include "support/InstanceRun.h"

#include <QElapsedTimer>
#include <QSet>
#include <QThread>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {

// The codes of a run from the fixture's first one: prefix and five digits from 00001.
QSet<QString> codeRun(const QString& prefix, int count) {
    QSet<QString> codes;
    for (int i = 1; i <= count; ++i)
        codes.insert(prefix + QString::number(i).rightJustified(5, '0'));
    return codes;
}

QSet<QString> column(int node, const QString& sql) {
    QSet<QString> values;
    auto db = TestCluster::openCausal(node);
    for (Recordset rs = db->query(sql); !rs.eof(); rs.moveNext())
        values.insert(rs.field(0));
    return values;
}

QSet<QString> asSet(const QStringList& list) {
    return QSet<QString>(list.begin(), list.end());
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

class tst_clustersaves : public QObject {
    Q_OBJECT
    RecordingDesktop desktop;

    // Every node holds what node 1 holds.
    void compareNodes() {
        const QStringList first = TestCluster::savedState(1);
        for (int node = 2; node <= TestCluster::Nodes; ++node)
            QCOMPARE(TestCluster::savedState(node), first);
    }

  private slots:
    void initTestCase() { TestCluster::skipOrFailWithoutCluster(); }
    void init() {
        TestCluster::loadFixture();
        desktop.clear();
    }

    void twoInstancesOnTwoNodes() {
        InstanceRun one, two;
        one.connectionText = TestCluster::connectionText(1);
        one.tag = "N1";
        two.connectionText = TestCluster::connectionText(2);
        two.tag = "N2";
        const int retriesBefore = SaveRetries();
        QVERIFY(RunAll({&one, &two}));
        qInfo("saves retried: %d of 500; codes taken meanwhile: %d and %d",
              SaveRetries() - retriesBefore, one.moved, two.moved);

        // The save shows nothing itself, off the screen's thread.
        QVERIFY2(desktop.count() == 0,
                 qPrintable((desktop.shownBy("N1") + desktop.shownBy("N2")).join(" | ")));
        for (const InstanceRun* run : {&one, &two}) {
            QVERIFY2(run->errors.isEmpty() && run->refused.isEmpty(),
                     qPrintable((run->errors + run->refused).join(" | ")));
            QCOMPARE(run->workstationCodes.size(), 200);
            QCOMPARE(run->productCodes.size(), 50);
        }
        QCOMPARE(asSet(one.workstationCodes + two.workstationCodes), codeRun("S1", 400));
        QCOMPARE(asSet(one.productCodes + two.productCodes), codeRun("AV", 100));
        for (int node = 1; node <= TestCluster::Nodes; ++node) {
            QCOMPARE(column(node, "Select sys_id from hr_av_activation"), codeRun("S1", 400));
            QCOMPARE(column(node, "Select av_code from hr_av"), codeRun("AV", 100));
            QCOMPARE(TestCluster::scalar(node, "Select no_value from numbersetup Where "
                                               "no_id='SYS_U1'"),
                     QString("S100401"));
            QCOMPARE(TestCluster::scalar(node, "Select no_value from numbersetup Where "
                                               "no_id='AV_NO'"),
                     QString("AV00101"));
            QCOMPARE(TestCluster::scalar(node, "Select count(*) from hr_av_activation Where "
                                               "sys_user like 'N2-%'"),
                     QString("200"));
        }
        compareNodes();
    }

    void nodeKilledMidRun() {
        InstanceRun one, two;
        one.connectionText = TestCluster::connectionText(1);
        one.tag = "N1";
        two.connectionText = TestCluster::connectionText(2);
        two.tag = "N2";
        std::atomic<bool> back{false};
        two.afterError = [&back] { waitFor([&back] { return back.load(); }, 180000); };
        int atKill = 0, whileDown = 0, restarted = -1;
        QVERIFY(RunAll({&one, &two}, 300000, [&] {
            // Mid-run for both: the first to reach its 60th record sets the moment.
            waitFor([&] { return qMax(one.attempted.load(), two.attempted.load()) >= 60; }, 60000);
            if (TestCluster::control({"kill", "2"}) == 0) {
                atKill = one.attempted.load();
                waitFor([&] { return one.attempted.load() >= atKill + 30; }, 30000);
                whileDown = one.attempted.load() - atKill;
            }
            restarted = TestCluster::control({"restart", "2"});
            back = true;
        }));
        QCOMPARE(restarted, 0);
        QVERIFY2(whileDown >= 30,
                 qPrintable(QString("node 1 saved %1 while 2 was down").arg(whileDown)));

        // The survivor's saves all went through; the killed node's instance had one fail, with
        // the driver's text for its screen to show.
        QVERIFY2(desktop.count() == 0,
                 qPrintable((desktop.shownBy("N1") + desktop.shownBy("N2")).join(" | ")));
        QVERIFY2(one.errors.isEmpty() && one.refused.isEmpty(),
                 qPrintable((one.errors + one.refused).join(" | ")));
        QVERIFY2(two.refused.isEmpty(), qPrintable(two.refused.join(" | ")));
        QCOMPARE(one.workstationCodes.size() + one.productCodes.size(), 250);
        const QStringList shown = two.errors;
        QCOMPARE(shown.size(), 1);
        qInfo("node 1 saved %d records from its %dth while node 2 was down; node 2's instance "
              "was told: %s",
              whileDown, atKill + 1, qPrintable(shown[0]));
        QVERIFY2(shown[0].contains("connection", Qt::CaseInsensitive) ||
                     shown[0].contains("gone away", Qt::CaseInsensitive),
                 qPrintable(shown[0]));
        QCOMPARE(two.failedWorkstations + two.failedProducts, 1);
        QCOMPARE(two.workstationCodes.size() + two.productCodes.size(), 249);

        // The failed save is stored whole or not at all: each table holds the codes reported
        // plus at most the failed one, in an unbroken run, and its counter stands after them.
        const int rows = TestCluster::scalar(1, "Select count(*) from hr_av_activation").toInt();
        const int products = TestCluster::scalar(1, "Select count(*) from hr_av").toInt();
        const int reportedRows = int(one.workstationCodes.size() + two.workstationCodes.size());
        const int reportedProducts = int(one.productCodes.size() + two.productCodes.size());
        qInfo("the failed save %s", rows + products > reportedRows + reportedProducts
                                        ? "had committed before the link broke"
                                        : "was rolled back");
        QVERIFY(rows == reportedRows || (rows == reportedRows + 1 && two.failedWorkstations == 1));
        QVERIFY(products == reportedProducts ||
                (products == reportedProducts + 1 && two.failedProducts == 1));
        compareNodes();
        for (int node = 1; node <= TestCluster::Nodes; ++node) {
            QCOMPARE(column(node, "Select sys_id from hr_av_activation"), codeRun("S1", rows));
            QCOMPARE(column(node, "Select av_code from hr_av"), codeRun("AV", products));
            QVERIFY(asSet(one.workstationCodes + two.workstationCodes)
                        .subtract(codeRun("S1", rows))
                        .isEmpty());
            QVERIFY(asSet(one.productCodes + two.productCodes)
                        .subtract(codeRun("AV", products))
                        .isEmpty());
        }
        const QStringList state = TestCluster::savedState(2);
        QCOMPARE(state.filter("SYS_U1=").value(0),
                 "SYS_U1=S1" + QString::number(rows + 1).rightJustified(5, '0'));
        QCOMPARE(state.filter("AV_NO=").value(0),
                 "AV_NO=AV" + QString::number(products + 1).rightJustified(5, '0'));
    }
};

QTEST_MAIN(tst_clustersaves)
#include "tst_clustersaves.moc"
