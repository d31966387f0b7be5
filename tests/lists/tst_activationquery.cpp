// The statements of the workstation list and report: their text and parameters, and what
// they select on the real server (wildcards, quotes, boundary days, NULL dates).
#include "ListsTestData.h"
#include "app/mdlTarovel.h"
#include "lists/ActivationQuery.h"

#include <QtTest>

using namespace orvane;
using namespace orvane::test;
using listsdata::insert;

namespace {
const QString kSearch = "(sys_ip like ? or sys_os like ? or sys_user like ? or sys_dept like ? "
                        "or sys_remarks like ?)";

QStringList ids(const Statement& st) {
    auto db = TestDb::open();
    Recordset rs = db->query(st.sql, st.params);
    QStringList list;
    for (; !rs.eof(); rs.moveNext())
        list << rs.field("sys_id");
    return list;
}
} // namespace

class tst_activationquery : public QObject {
    Q_OBJECT
  private slots:
    void reportStatement_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("expiry");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        const QString base =
            "Select unit_code,sys_id,sys_ip,sys_os,sys_user,sys_dept,exp_date,sys_remarks "
            "From hr0910.hr_av_activation where ";
        const QString order = " order by unit_code,exp_date ";
        const QString p = "%ab %";
        QTest::newRow("no filter") << ""
                                   << "" << 0 << base + "1=1 " + order << QVariantList();
        QTest::newRow("search untrimmed")
            << "ab "
            << "" << 0 << base + kSearch + order << QVariantList{p, p, p, p, p};
        QTest::newRow("unit trimmed")
            << ""
            << "  U2 " << 0 << base + "1=1  and unit_code=?" + order << QVariantList{"U2"};
        QTest::newRow("unit of blanks")
            << ""
            << "   " << 0 << base + "1=1  and unit_code=?" + order << QVariantList{""};
        QTest::newRow("expired") << ""
                                 << "" << 1 << base + "1=1  and exp_date<=?" + order
                                 << QVariantList{"2026-03-10"};
        QTest::newRow("on or before")
            << ""
            << "" << 2 << base + "1=1  and exp_date<=?" + order << QVariantList{"2026-04-30"};
        QTest::newRow("everything")
            << "ab "
            << "U1" << 2 << base + kSearch + " and unit_code=? and exp_date<=?" + order
            << QVariantList{p, p, p, p, p, "U1", "2026-04-30"};
    }
    void reportStatement() {
        QFETCH(QString, search);
        QFETCH(QString, unit);
        QFETCH(int, expiry);
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        ReportFilter f;
        f.searchText = search;
        f.unitCode = unit;
        f.expiry = ExpiryFilter(expiry);
        f.today = QDate(2026, 3, 10);
        f.onOrBefore = QDate(2026, 4, 30);
        const Statement st = ActivationQuery::Report(f);
        QCOMPARE(st.sql, sql);
        QCOMPARE(st.params, params);
    }

    void listStatement_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        const QString base =
            "Select unit_code,sys_id,sys_ip,sys_os,sys_user,sys_dept,exp_date,sys_remarks "
            "From hr0910.hr_av_activation where ";
        QTest::newRow("all of the unit")
            << "" << base + "unit_code=? order by sys_id" << QVariantList{" U1"};
        QTest::newRow("search") << "x" << base + kSearch + " and unit_code=? order by sys_id"
                                << QVariantList{"%x%", "%x%", "%x%", "%x%", "%x%", " U1"};
    }
    void listStatement() {
        QFETCH(QString, search);
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        // The session's unit goes in as it stands, blanks and all.
        const Statement st = ActivationQuery::List(search, " U1");
        QCOMPARE(st.sql, sql);
        QCOMPARE(st.params, params);
    }

    void searchOnServer_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("any of five columns") << "acc" << QStringList{"A1", "A2", "A3", "A4", "A5"};
        QTest::newRow("address") << "198.1.1." << QStringList{"A1"};
        QTest::newRow("system") << "LINUX" << QStringList{"A2"};
        QTest::newRow("user") << "o'brien" << QStringList{"A3"};
        QTest::newRow("remarks with backslash") << "C:\\AV" << QStringList{"A4"};
        QTest::newRow("lone backslash") << "\\" << QStringList{"A4"};
        QTest::newRow("percent is a wildcard") << "50%off" << QStringList{"A5"};
        QTest::newRow("underscore is a wildcard") << "LIN_X" << QStringList{"A2"};
        QTest::newRow("trailing blank counts") << "LINUX " << QStringList{};
        QTest::newRow("quote alone") << "'" << QStringList{"A3"};
        QTest::newRow("double quote") << "\"" << QStringList{"A5"};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }
    void searchOnServer() {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        TestDb::loadFixture();
        const QDate d(2030, 1, 1);
        insert({"U1", "A1", "198.1.1.5", d, "WIN", "MIRA", "ACCOUNTS", ""});
        insert({"U1", "A2", "198.2.2.2", d, "LINUX", "OTTO", "ACCOUNTS", ""});
        insert({"U1", "A3", "198.3.3.3", d, "WIN", "O'BRIEN", "ACCOUNTS", ""});
        insert({"U1", "A4", "198.4.4.4", d, "WIN", "LENA", "ACCOUNTS", "C:\\AV\\keys"});
        insert({"U1", "A5", "198.5.5.5", d, "WIN", "ZED", "ACCOUNTS", "50 \"big\" off"});
        ReportFilter f;
        f.searchText = typed;
        QStringList got = ids(ActivationQuery::Report(f));
        got.sort();
        QCOMPARE(got, found);
        // The list uses the same pattern, within the unit.
        got = ids(ActivationQuery::List(typed, "U1"));
        got.sort();
        QCOMPARE(got, found);
    }

    void expiryOnServer_data() {
        QTest::addColumn<int>("expiry");
        QTest::addColumn<int>("days"); // day of "on or before", from today
        QTest::addColumn<QStringList>("found");
        QTest::newRow("none: NULL dates too") << 0 << 0 << QStringList{"N", "P1", "T0", "Y1"};
        QTest::newRow("expired includes today") << 1 << 0 << QStringList{"T0", "Y1"};
        QTest::newRow("on or before today") << 2 << 0 << QStringList{"T0", "Y1"};
        QTest::newRow("on or before tomorrow") << 2 << 1 << QStringList{"P1", "T0", "Y1"};
        QTest::newRow("on or before two days ago") << 2 << -2 << QStringList{};
    }
    void expiryOnServer() {
        QFETCH(int, expiry);
        QFETCH(int, days);
        QFETCH(QStringList, found);
        TestDb::loadFixture();
        const QDate today = QDate::currentDate();
        insert({"U1", "Y1", "a", today.addDays(-1)});
        insert({"U1", "T0", "b", today});
        insert({"U1", "P1", "c", today.addDays(1)});
        insert({"U2", "N", "d", QVariant()});
        ReportFilter f;
        f.expiry = ExpiryFilter(expiry);
        f.today = today;
        f.onOrBefore = today.addDays(days);
        QStringList got = ids(ActivationQuery::Report(f));
        got.sort();
        QCOMPARE(got, found);
    }

    void reportOrder() {
        TestDb::loadFixture();
        insert({"U2", "B1", "x", QDate(2030, 5, 1)});
        insert({"U1", "A1", "x", QDate(2031, 1, 1)});
        insert({"U2", "B2", "x", QDate(2029, 5, 1)});
        insert({"U1", "A2", "x", QDate(2030, 1, 1)});
        QCOMPARE(ids(ActivationQuery::Report(ReportFilter{})),
                 QStringList({"A2", "A1", "B2", "B1"}));
    }

    void expiryTexts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("date") << "2026-03-05"
                              << "05-Mar-2026";
        QTest::newRow("leap day") << "2028-02-29"
                                  << "29-Feb-2028";
        QTest::newRow("NULL") << ""
                              << "";
        QTest::newRow("zero date") << "0000-00-00"
                                   << "";
        QTest::newRow("not a date") << "2026-13-01"
                                    << "";
        QTest::newRow("other text") << "soon"
                                    << "";
    }
    void expiryTexts() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        ExpiryTexts texts;
        QCOMPARE(texts.text(stored), shown);
        QCOMPARE(texts.text(stored), shown); // the remembered text is the same
    }

    void displayDateHasTheDesignForm() {
        const QString shown = ExpiryTexts().text("2026-03-05");
        QVERIFY2(QRegularExpression("^05-\\w{3,}-2026$").match(shown).hasMatch(),
                 qPrintable(shown));
    }

    void unknownColumnIsAnError() {
        auto db = TestDb::open();
        Recordset rs = db->query("Select sys_id from hr0910.hr_av_activation");
        QVERIFY_THROWS_EXCEPTION(DbError, ActivationColumns{rs});
    }
};

QTEST_MAIN(tst_activationquery)
#include "tst_activationquery.moc"
