// The workstation activation register against the test server: per-unit serial numbers,
// the insert and update cleaning rules, loads, transactions and concurrent saves.
#include "antivirus/ActivationRegister.h"
#include "app/Session.h"
#include "app/mdlTarovel.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <memory>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {
SystemRecord typed(const QString& ip = "198.0.0.5", const QString& os = "Windows",
                   const QString& user = "mira") {
    SystemRecord r;
    r.ip = ip;
    r.os = os;
    r.user = user;
    r.dept = "IT";
    r.remarks = "License : A  -  B";
    r.expiry = QDate(2031, 3, 4);
    return r;
}

QString column(const QString& unit, const QString& id, const QString& name) {
    return TestDb::scalar("Select concat('[', " + name +
                              ", ']') from hr_av_activation Where unit_code=? and sys_id=?",
                          {unit, id});
}
} // namespace

class tst_ActivationRegister : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeDesktop> desktop;

  private slots:
    void init() {
        TestDb::startSession("5", "U1");
        TestDb::exec("DROP TRIGGER IF EXISTS hr0910.block_counter");
        desktop = std::make_unique<FakeDesktop>();
    }
    void cleanup() {
        TestDb::exec("DROP TRIGGER IF EXISTS hr0910.block_counter");
        desktop.reset();
    }

    void insertAndUpdateCleanDifferently_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("updated");
        QTest::newRow("ip") << "sys_ip"
                            << " 198.0.0.1a "
                            << "198.0.0.1A"
                            << "198.0.0.1A";
        QTest::newRow("os") << "sys_os"
                            << " win xp "
                            << "WIN XP"
                            << "win xp";
        QTest::newRow("user") << "sys_user"
                              << " mira k "
                              << "MIRA K"
                              << "mira k";
        QTest::newRow("dept") << "sys_dept"
                              << " it dept "
                              << "it dept"
                              << " IT DEPT ";
        QTest::newRow("remarks") << "sys_remarks"
                                 << " License : k  -  i "
                                 << "License : k  -  i"
                                 << "License : k  -  i";
        QTest::newRow("non-Latin case") << "sys_os"
                                        << " straße ω "
                                        << "STRASSE Ω"
                                        << "straße ω";
    }
    void insertAndUpdateCleanDifferently() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, inserted);
        QFETCH(QString, updated);
        SystemRecord r = typed();
        QString* target = field == "sys_ip"     ? &r.ip
                          : field == "sys_os"   ? &r.os
                          : field == "sys_user" ? &r.user
                          : field == "sys_dept" ? &r.dept
                                                : &r.remarks;
        *target = value;
        NewRecordSave save = ActivationRegister().InsertNew("U1", " S100001 ", r, "5");
        QVERIFY(save.saved);
        QCOMPARE(TestDb::count("Select count(*) from hr_av_activation Where sys_id='S100001'"), 1);
        QCOMPARE(column("U1", "S100001", field), "[" + inserted + "]");
        QCOMPARE(ActivationRegister().UpdateExisting("U1", " S100001 ", r, "8"), qint64(1));
        QCOMPARE(column("U1", "S100001", field), "[" + updated + "]");
        QCOMPARE(column("U1", "S100001", "modified_by"), QString("[8]"));
        QCOMPARE(column("U1", "S100001", "created_by"), QString("[5]"));
        QCOMPARE(column("U1", "S100001", "exp_date"), QString("[2031-03-04]"));
    }

    void unitCountersAdvanceIndependently() {
        ActivationRegister reg;
        QCOMPARE(reg.InsertNew("U1", ReadNumberSetup("SYS_U1"), typed(), "5").code,
                 QString("S100001"));
        QCOMPARE(reg.InsertNew("U1", ReadNumberSetup("SYS_U1"), typed(), "5").code,
                 QString("S100002"));
        QCOMPARE(reg.InsertNew("U2", ReadNumberSetup("SYS_U2"), typed(), "5").code,
                 QString("S200001"));
        QCOMPARE(counterOf("U1"), QString("S100003"));
        QCOMPARE(counterOf("U2"), QString("S200002"));
        QCOMPARE(TestDb::count("Select count(*) from hr_av_activation Where unit_code='U1'"), 2);
        QCOMPARE(TestDb::scalar("Select unit_code from hr_av_activation Where sys_id='S200001'"),
                 QString("U2"));
    }

    void serialNumbersAdvance_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("stored");
        QTest::newRow("zero padded") << "S100099"
                                     << "S100100"
                                     << "S100099";
        QTest::newRow("digits only") << "0099"
                                     << "0100"
                                     << "0099";
        QTest::newRow("blanks around") << " 12 "
                                       << "13"
                                       << "12";
    }
    void serialNumbersAdvance() {
        QFETCH(QString, start);
        QFETCH(QString, next);
        QFETCH(QString, stored);
        TestDb::exec("Update numbersetup set no_value=? Where no_id='SYS_U1'", {start});
        NewRecordSave save =
            ActivationRegister().InsertNew("U1", ReadNumberSetup("SYS_U1"), typed(), "5");
        QVERIFY(save.saved);
        QCOMPARE(TestDb::scalar("Select sys_id from hr_av_activation"), stored);
        QCOMPARE(counterOf("U1"), next);
    }

    void failedCounterAdvanceRollsBackTheInsert() {
        TestDb::exec("CREATE TRIGGER hr0910.block_counter BEFORE UPDATE ON hr0910.numbersetup "
                     "FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='counter is locked'");
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 ActivationRegister().InsertNew("U1", "S100001", typed(), "5"));
        QCOMPARE(records(), 0);
        QCOMPARE(counterOf("U1"), QString("S100001"));
        TestDb::exec("DROP TRIGGER hr0910.block_counter");
        QVERIFY(ActivationRegister().InsertNew("U1", "S100001", typed(), "5").saved);
        QCOMPARE(records(), 1);
        QCOMPARE(counterOf("U1"), QString("S100002"));
    }

    void secondWorkstationGetsTheNextSerial() {
        auto first = TestDb::open();
        auto second = TestDb::open();
        const QString shown = ReadNumberSetup("SYS_U1");
        NewRecordSave a =
            ActivationRegister(*first).InsertNew("U1", shown, typed("198.0.0.1"), "5");
        NewRecordSave b =
            ActivationRegister(*second).InsertNew("U1", shown, typed("198.0.0.2"), "8");
        QVERIFY(!a.codeMoved);
        QVERIFY(b.saved && b.codeMoved);
        QCOMPARE(b.code, QString("S100002"));
        QCOMPARE(TestDb::scalar("Select sys_ip from hr_av_activation Where sys_id='S100002'"),
                 QString("198.0.0.2"));
        QCOMPARE(records(), 2);
        QCOMPARE(counterOf("U1"), QString("S100003"));
    }

    void saveWaitsForTheCounterLock() {
        auto first = TestDb::open();
        auto second = TestDb::open();
        first->begin();
        const QString code = LockCounter(*first, "hr0910.numbersetup", "SYS_U1");
        NewRecordSave b;
        QString failure;
        std::thread other([&] {
            try {
                b = ActivationRegister(*second).InsertNew("U1", code, typed("198.0.0.2"), "8");
            } catch (const DbError& error) {
                failure = error.description();
            }
        });
        first->execute(
            "Insert into hr_av_activation(unit_code, sys_id, sys_ip) Values('U1', ?, 'A')", {code});
        AdvanceCounter(*first, "hr0910.numbersetup", "SYS_U1", code);
        first->commit();
        other.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(b.code, QString("S100002"));
        QCOMPARE(records(), 2);
        QCOMPARE(counterOf("U1"), QString("S100003"));
    }

    void noCounterNoSave() {
        TestDb::exec("Delete from numbersetup Where no_id='SYS_U1'");
        QVERIFY(!ActivationRegister().InsertNew("U1", "S100001", typed(), "5").saved);
        QVERIFY(!ActivationRegister().InsertNew("U2", "", typed(), "5").saved);
        QCOMPARE(records(), 0);
        QCOMPARE(counterOf("U2"), QString("S200001"));
    }

    void loadReadsNullsAsEmpty() {
        TestDb::exec("Insert into hr_av_activation(unit_code, sys_id) Values('U1', 'S1')");
        std::optional<SystemRecord> r = ActivationRegister().Load(" S1 ");
        QVERIFY(r.has_value());
        QCOMPARE(r->sysId, QString("S1"));
        QCOMPARE(r->unitCode, QString("U1"));
        for (const QString& text : {r->ip, r->os, r->user, r->dept, r->remarks})
            QVERIFY(text.isEmpty());
        QVERIFY(r->expiry.isNull());
        QVERIFY(!ActivationRegister().Load("S2").has_value());
    }

    void loadFindsAnyUnitPreferringTheCurrent_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("ip");
        QTest::newRow("shared number, current U2") << "S7"
                                                   << "U2"
                                                   << "U2"
                                                   << "B";
        QTest::newRow("shared number, current U1") << "S7"
                                                   << "U1"
                                                   << "U1"
                                                   << "A";
        QTest::newRow("only another unit has it") << "S200009"
                                                  << "U1"
                                                  << "U2"
                                                  << "C";
    }
    void loadFindsAnyUnitPreferringTheCurrent() {
        QFETCH(QString, id);
        QFETCH(QString, preferred);
        QFETCH(QString, unit);
        QFETCH(QString, ip);
        TestDb::exec("Insert into hr_av_activation(unit_code, sys_id, sys_ip, exp_date) Values"
                     "('U1','S7','A','2030-01-02'),('U2','S7','B',NULL),('U2','S200009','C',NULL)");
        std::optional<SystemRecord> r = ActivationRegister().Load(id, preferred);
        QVERIFY(r.has_value());
        QCOMPARE(r->unitCode, unit);
        QCOMPARE(r->ip, ip);
        QCOMPARE(r->expiry, ip == "A" ? QDate(2030, 1, 2) : QDate());
    }

    void updateReachesOnlyTheUnitsRecord() {
        TestDb::exec(
            "Insert into hr_av_activation(unit_code, sys_id, sys_ip) Values('U2','S200001','B')");
        QCOMPARE(ActivationRegister().UpdateExisting("U1", "S200001", typed("X"), "5"), qint64(0));
        QCOMPARE(TestDb::scalar("Select sys_ip from hr_av_activation"), QString("B"));
        QCOMPARE(ActivationRegister().UpdateExisting("U2", "S200001", typed("X"), "5"), qint64(1));
        // Unchanged values still count the row.
        QCOMPARE(ActivationRegister().UpdateExisting("U2", "S200001", typed("X"), "5"), qint64(1));
        QCOMPARE(TestDb::scalar("Select sys_ip from hr_av_activation"), QString("X"));
    }

    void hostileValuesRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quote") << "o'neil \"pc\"";
        QTest::newRow("backslashes") << "\\\\server\\share\\'";
        QTest::newRow("like wildcards") << "dept_%_x%";
        QTest::newRow("statement text") << "x','y'); Delete from hr_av_activation; -- ";
        QTest::newRow("non-Latin") << "ωμέγα кириллица 中文 😀";
        QTest::newRow("10000 characters") << QString("ab'\\%_ж").repeated(1428) + "abcd";
    }
    void hostileValuesRoundTrip() {
        QFETCH(QString, value);
        SystemRecord r;
        r.ip = r.os = r.user = r.dept = r.remarks = value;
        r.expiry = QDate(2030, 5, 6);
        QVERIFY(ActivationRegister().InsertNew("U1", "S100001", r, "5").saved);
        std::optional<SystemRecord> back = ActivationRegister().Load("S100001", "U1");
        QVERIFY(back.has_value());
        const SystemRecord in = ActivationRegister::CleanForInsert(r);
        QCOMPARE(back->ip, in.ip);
        QCOMPARE(back->os, in.os);
        QCOMPARE(back->user, in.user);
        QCOMPARE(back->dept, value.trimmed());
        QCOMPARE(back->remarks, value.trimmed());
        QCOMPARE(ActivationRegister().UpdateExisting("U1", "S100001", r, "5"), qint64(1));
        back = ActivationRegister().Load("S100001", "U1");
        QCOMPARE(back->os, value.trimmed());
        QCOMPARE(back->dept, value.toUpper());
        QCOMPARE(records(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ActivationRegister)
#include "tst_ActivationRegister.moc"
