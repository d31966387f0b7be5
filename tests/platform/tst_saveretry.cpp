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
};

QTEST_MAIN(tst_saveretry)
#include "tst_saveretry.moc"
