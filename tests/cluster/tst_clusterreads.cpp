// What one node stores, the others serve: a workstation saved on node 1 shows in the report
// read from node 3; and two saves of one counter on two nodes meet in a real certification
// conflict, which the losing save runs again.
#include "antivirus/ActivationRegister.h"
#include "antivirus/CodeCounter.h"
#include "lists/ActivationQuery.h"
#include "platform/Retry.h"
#include "support/ClusterSupport.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {

QStringList reportRows(Connection& db, const QString& searchText) {
    ReportFilter filter;
    filter.searchText = searchText;
    const Statement st = ActivationQuery::Report(filter);
    QStringList rows;
    for (Recordset rs = db.query(st.sql, st.params); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.fieldCount(); ++i)
            fields << rs.field(i);
        rows << fields.join('|');
    }
    return rows;
}

} // namespace

class tst_clusterreads : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { TestCluster::skipOrFailWithoutCluster(); }
    void init() { TestCluster::loadFixture(); }

    void savedOnOneNodeReportedFromAnother() {
        auto writer = TestCluster::open(1);
        SystemRecord typed;
        typed.ip = "192.0.2.7";
        typed.os = "xp";
        typed.user = "reader test";
        typed.dept = "STORES";
        typed.remarks = "from node 1";
        typed.expiry = QDate(2031, 2, 3);
        const NewRecordSave save =
            ActivationRegister(*writer).InsertNew("U1", "S100001", typed, "5");
        QVERIFY(save.saved);
        // A program reading from node 3 without waiting for the cluster: the row arrives
        // as soon as node 3 has applied it.
        auto reader = TestCluster::open(3);
        QTRY_COMPARE_WITH_TIMEOUT(
            reportRows(*reader, "READER TEST"),
            QStringList{"U1|S100001|192.0.2.7|XP|READER TEST|STORES|2031-02-03|from node 1"}, 5000);
    }

    // Node 1 holds the counter row locked while node 2 changes and commits it: node 1's save
    // loses the certification (1213). Run once it reaches the caller; with the retry it runs
    // again, re-reads the counter and goes through.
    void certificationConflict_data() {
        QTest::addColumn<bool>("retry");
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("sqlState");
        QTest::addColumn<int>("retries");
        QTest::addColumn<QString>("counter"); // as node 3 holds it afterwards
        QTest::newRow("run once") << false << 1 << 1213 << "40001" << 0 << "AV00007";
        QTest::newRow("with the retry") << true << 2 << 0 << "" << 1 << "AV00008";
    }
    void certificationConflict() {
        QFETCH(bool, retry);
        QFETCH(int, calls);
        QFETCH(int, error);
        QFETCH(QString, sqlState);
        QFETCH(int, retries);
        QFETCH(QString, counter);
        auto one = TestCluster::open(1);
        auto two = TestCluster::open(2);
        int made = 0;
        auto save = [&] {
            ++made;
            Transaction transaction(*one);
            const QString value = LockCounter(*one, "hr0910.numbersetup", "AV_NO");
            if (made == 1) {
                Transaction other(*two);
                two->execute("Update numbersetup set no_value='AV00007' Where no_id='AV_NO'");
                other.commit();
            }
            AdvanceCounter(*one, "hr0910.numbersetup", "AV_NO", value);
            transaction.commit();
            return value;
        };
        const int before = SaveRetries();
        int failed = 0;
        QString failedState;
        try {
            if (retry)
                QCOMPARE(RunWithRetry(*one, save), QString("AV00007"));
            else
                save();
        } catch (const DbError& e) {
            failed = e.nativeError();
            failedState = e.sqlState();
        }
        QCOMPARE(made, calls);
        QCOMPARE(failed, error);
        QCOMPARE(failedState, sqlState);
        QCOMPARE(SaveRetries() - before, retries);
        QCOMPARE(TestCluster::scalar(3, "Select no_value from numbersetup Where no_id='AV_NO'"),
                 counter);
    }
};

QTEST_MAIN(tst_clusterreads)
#include "tst_clusterreads.moc"
