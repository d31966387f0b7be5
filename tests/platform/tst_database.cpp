// The data access layer against the real server: binding, NULLs, transactions, errors.
#include "platform/Database.h"
#include "platform/OdbcDetail.h"
#include "support/TestSupport.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;

class tst_database : public QObject {
    Q_OBJECT
  private slots:
    void init() { TestDb::loadFixture(); }

    void boundTextRoundTrips_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "sys";
        QTest::newRow("quote") << "O'Brien's \"box\"";
        QTest::newRow("injection") << "' OR '1'='1";
        QTest::newRow("backslash") << "C:\\temp\\new";
        QTest::newRow("pattern chars") << "100%_done";
        QTest::newRow("comment and semicolon") << "x'; DROP TABLE hr_av; --";
        QTest::newRow("nul inside") << QString("a") + QChar(0) + "b";
        QTest::newRow("control chars") << QString("tab\there\r\nnext\x01");
        QTest::newRow("right to left") << QString::fromUtf8("שלום עולם مرحبا");
        QTest::newRow("bidi controls") << QString::fromUtf8("\u202Eevil\u202C \u05D0 \u0639\u0649");
        QTest::newRow("non latin") << QString::fromUtf8("Ærøskøbing ΣΩ Привет 漢字");
        QTest::newRow("emoji") << QString::fromUtf8("shield 🛡️ ok 😀");
        QTest::newRow("blanks only") << "     ";
        QTest::newRow("empty") << "";
        QTest::newRow("64 KiB") << QString(65535, QChar('k'));
    }
    void boundTextRoundTrips() {
        QFETCH(QString, value);
        auto db = TestDb::open();
        Transaction tx(*db);
        QCOMPARE(db->execute("Insert into hr_av(av_code, av_name) Values(?, ?)", {"X1", value}), 1);
        tx.commit();
        Recordset rs = db->query("Select av_name from hr_av Where av_code=?", {"X1"});
        QVERIFY(!rs.eof());
        QCOMPARE(rs.field("AV_NAME"), value);
        QCOMPARE(TestDb::count("Select count(*) from hr_av"), 1);
        // The same value through a parameter array, beside a NULL and a wider text.
        QCOMPARE(db->executeMany("Insert into hr_av(av_code, av_name) Values(?, ?)",
                                 {{"X2", value}, {"X3", QVariant()}, {"X4", value + "++"}}),
                 3);
        QCOMPARE(TestDb::scalar("Select av_name from hr_av Where av_code='X2'"), value);
        QCOMPARE(TestDb::scalar("Select concat(count(*), count(av_name)) from hr_av"),
                 QString("43"));
    }

    // One long text must not widen every slot of a whole array: the rows go in slices.
    void arraySlicesStayWithinTheirBudget_data() {
        QTest::addColumn<QList<int>>("texts"); // each row: a code and a text of this length
        QTest::addColumn<QList<int>>("slices");
        QTest::newRow("all fit") << QList<int>{10, 10, 10} << QList<int>{3};
        QTest::newRow("long text alone") << QList<int>{10, 10, 300, 10} << QList<int>{2, 1, 1};
        QTest::newRow("widest so far counts") << QList<int>{40, 1, 1, 1} << QList<int>{2, 2};
        QTest::newRow("one row over the budget") << QList<int>{400} << QList<int>{1};
        QTest::newRow("none") << QList<int>{} << QList<int>{};
    }
    void arraySlicesStayWithinTheirBudget() {
        QFETCH(QList<int>, texts);
        QFETCH(QList<int>, slices);
        std::vector<Params> rows;
        for (int length : texts)
            rows.push_back({42, QString(length, QChar('t'))});
        std::vector<size_t> got = detail::ArraySlices(rows, 400);
        QCOMPARE(QList<int>(got.begin(), got.end()), slices);
    }

    void nullReadsAsEmptyText() {
        auto db = TestDb::open();
        db->execute("Insert into hr_av(av_code, av_name) Values(?, ?)", {"N1", QVariant()});
        Recordset rs = db->query("Select av_code, av_name, created_by from hr_av");
        QVERIFY(rs.isNull("av_name"));
        QCOMPARE(rs.field("av_name"), QString());
        QCOMPARE(rs.field("av_code"), QString("N1"));
    }

    void forwardOnlyWalk() {
        auto db = TestDb::open();
        Recordset rs = db->query("Select unit_code from tarovel.unitmaster order by unit_priority");
        QVERIFY(!rs.bof());
        QStringList codes;
        while (!rs.eof()) {
            codes << rs.field(0);
            rs.moveNext();
        }
        QCOMPARE(codes, QStringList({"U1", "U2", "U3"}));
        Recordset none = db->query("Select * from tarovel.unitmaster where unit_code=?", {"ZZ"});
        QVERIFY(none.bof() && none.eof());
        QVERIFY_THROWS_EXCEPTION(DbError, none.field("unit_code"));
    }

    void numbersAndDatesReadAsText() {
        auto db = TestDb::open();
        Recordset rs = db->query("Select user_id, user_login_sys, 2.5 as ratio, -7 as neg, "
                                 "cast('2026-01-02' as date) as d, now() is not null as flag "
                                 "from tarovel.userdetails where user_id=1");
        QCOMPARE(rs.field("user_id"), QString("1"));
        QCOMPARE(rs.field("user_login_sys"), QString("1"));
        QCOMPARE(rs.field("ratio"), QString("2.5"));
        QCOMPARE(rs.field("neg"), QString("-7"));
        QCOMPARE(rs.field("d"), QString("2026-01-02"));
        QCOMPARE(rs.field("flag"), QString("1"));
    }

    void bothNamespacesReachTheSameRow() {
        auto db = TestDb::open();
        QCOMPARE(db->query("Select no_value from hr0910.numbersetup Where no_id='AV_NO'").field(0),
                 db->query("Select no_value from numbersetup Where no_id='AV_NO'").field(0));
    }

    void rollbackLeavesNothing() {
        auto db = TestDb::open();
        {
            Transaction tx(*db);
            db->execute("Insert into hr_av(av_code, av_name) Values('R1', 'gone')");
            db->execute("Update numbersetup set no_value='AV00002' Where no_id='AV_NO'");
        } // no commit
        QCOMPARE(TestDb::count("Select count(*) from hr_av"), 0);
        QCOMPARE(TestDb::scalar("Select no_value from numbersetup Where no_id='AV_NO'"),
                 QString("AV00001"));
        // The connection is back in autocommit mode afterwards.
        db->execute("Insert into hr_av(av_code, av_name) Values('R2', 'kept')");
        QCOMPARE(TestDb::count("Select count(*) from hr_av"), 1);
    }

    void errorsCarryTheServerText() {
        auto db = TestDb::open();
        try {
            db->query("Select * from no_such_table");
            QFAIL("no error");
        } catch (const DbError& error) {
            QVERIFY2(error.description().contains("no_such_table"),
                     qPrintable(error.description()));
            QVERIFY(!error.connectionLost());
        }
        // The connection stays usable.
        QCOMPARE(db->query("Select 1").field(0), QString("1"));
    }

    void refusedLoginIsAnError() {
        Connection connection;
        connection.setTimeout(5);
        QString text = TestDb::connectionText().replace("PASSWORD=7341", "PASSWORD=wrong");
        QVERIFY_THROWS_EXCEPTION(DbError, connection.open(text));
        QVERIFY(!connection.isOpen());
        QVERIFY_THROWS_EXCEPTION(DbError, connection.query("Select 1"));
    }

    void rowsAffectedCountsMatchedRows() {
        auto db = TestDb::open();
        // Same value again: the row matches although nothing changes.
        QCOMPARE(db->execute("Update numbersetup set no_value='AV00001' Where no_id='AV_NO'"), 1);
        QCOMPARE(db->execute("Update numbersetup set no_value='x' Where no_id='NONE'"), 0);
    }

    void dateParameterAndColumn() {
        auto db = TestDb::open();
        db->execute("Insert into hr_av_activation(unit_code, sys_id, exp_date) Values(?,?,?)",
                    {"U1", "S1", QDate(2026, 12, 6)});
        QCOMPARE(db->query("Select exp_date from hr_av_activation").field(0),
                 QString("2026-12-06"));
    }
};

QTEST_GUILESS_MAIN(tst_database)
#include "tst_database.moc"
