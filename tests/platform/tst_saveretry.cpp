// A save turned away by a real lock wait time-out runs again from its start; an error that
// is no conflict reaches the caller at once.
#include "platform/Retry.h"
#include "support/TestSupport.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;

class tst_saveretry : public QObject {
    Q_OBJECT

  private slots:
    void init() { TestDb::loadFixture(); }

    void retriesOnlyConflicts_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("freeAfter"); // tries the other workstation holds the lock for
        QTest::addColumn<int>("tries");
        QTest::addColumn<int>("error"); // 0: the save went through
        QTest::newRow("lock freed after one time-out")
            << "Select no_value from numbersetup Where no_id='AV_NO' For Update" << 1 << 2 << 0;
        QTest::newRow("lock never freed")
            << "Select no_value from numbersetup Where no_id='AV_NO' For Update" << 9 << 5 << 1205;
        QTest::newRow("unknown table") << "Select * from no_such_table" << 0 << 1 << 1146;
    }
    void retriesOnlyConflicts() {
        QFETCH(QString, statement);
        QFETCH(int, freeAfter);
        QFETCH(int, tries);
        QFETCH(int, error);
        auto other = TestDb::open();
        other->begin();
        other->query("Select no_value from numbersetup Where no_id='AV_NO' For Update").close();
        auto db = TestDb::open();
        db->execute("Set session innodb_lock_wait_timeout=1");
        const int before = SaveRetries();
        int calls = 0;
        int failed = 0;
        try {
            RunWithRetry(*db, [&] {
                if (++calls > freeAfter && other->inTransaction())
                    other->rollback();
                Transaction transaction(*db);
                db->query(statement).close();
                transaction.commit();
                return 0;
            });
        } catch (const DbError& e) {
            failed = e.nativeError();
        }
        if (other->inTransaction())
            other->rollback();
        QCOMPARE(calls, tries);
        QCOMPARE(failed, error);
        QCOMPARE(SaveRetries() - before, tries - 1);
    }

    // Conflicts the server answers at once get more tries than lock wait time-outs, each of
    // which has waited the server's time-out already; a lost link gets none.
    void triesDependOnTheError_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("failures"); // tries that fail before one goes through
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("thrown"); // 0: the save went through
        QTest::newRow("certification conflict, 9th try wins") << 1213 << "40001" << 8 << 9 << 0;
        QTest::newRow("certification conflict for ever") << 1213 << "40001" << 99 << 20 << 1213;
        QTest::newRow("node not ready for ever") << 1047 << "08S01" << 99 << 20 << 1047;
        QTest::newRow("lock wait time-out for ever") << 1205 << "HY000" << 99 << 5 << 1205;
        QTest::newRow("lost link") << 2013 << "HY000" << 99 << 1 << 2013;
    }
    void triesDependOnTheError() {
        QFETCH(int, error);
        QFETCH(QString, state);
        QFETCH(int, failures);
        QFETCH(int, calls);
        QFETCH(int, thrown);
        auto db = TestDb::open();
        int made = 0;
        int failed = 0;
        try {
            RunWithRetry(*db, [&] {
                if (++made <= failures)
                    throw DbError("refused", state, error);
                return 0;
            });
        } catch (const DbError& e) {
            failed = e.nativeError();
        }
        QCOMPARE(made, calls);
        QCOMPARE(failed, thrown);
    }
};

QTEST_MAIN(tst_saveretry)
#include "tst_saveretry.moc"
