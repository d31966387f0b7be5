// The antivirus product register against the test server: codes, cleaning, duplicate
// checks, transactions and two workstations saving at once.
#include "antivirus/AntivirusRegister.h"
#include "app/Session.h"
#include "app/mdlTarovel.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <memory>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {
QString counter() {
    return TestDb::scalar("Select no_value from numbersetup Where no_id='AV_NO'");
}
int products() {
    return TestDb::count("Select count(*) from hr_av");
}
QString nameOf(const QString& code) {
    return TestDb::scalar("Select av_name from hr_av Where av_code=?", {code});
}
} // namespace

class tst_AntivirusRegister : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeDesktop> desktop;

  private slots:
    void init() {
        TestDb::startSession("5");
        TestDb::exec("DROP TRIGGER IF EXISTS hr0910.block_counter");
        desktop = std::make_unique<FakeDesktop>();
    }
    void cleanup() {
        TestDb::exec("DROP TRIGGER IF EXISTS hr0910.block_counter");
        desktop.reset();
    }

    void codesAdvanceThroughSaves_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("next");
        QTest::newRow("prefix and zeros") << "AV00099"
                                          << "AV00100";
        QTest::newRow("zeros only") << "00099"
                                    << "00100";
        QTest::newRow("grows a digit") << "99"
                                       << "100";
        QTest::newRow("letters inside") << "A1B2"
                                        << "A1B3";
    }
    void codesAdvanceThroughSaves() {
        QFETCH(QString, start);
        QFETCH(QString, next);
        TestDb::exec("Update numbersetup set no_value=? Where no_id='AV_NO'", {start});
        const QString shown = ReadNumberSetup("AV_NO");
        QCOMPARE(shown, start);
        NewRecordSave save = AntivirusRegister().InsertNew(shown, "Norton", "P", "I", "5");
        QVERIFY(save.saved);
        QVERIFY(!save.codeMoved);
        QCOMPARE(save.code, start);
        QCOMPARE(nameOf(start), QString("Norton"));
        QCOMPARE(counter(), next);
        // The next product takes the advanced code.
        NewRecordSave second =
            AntivirusRegister().InsertNew(ReadNumberSetup("AV_NO"), "Avast", "P", "I", "5");
        QCOMPARE(second.code, next);
        QCOMPARE(nameOf(next), QString("Avast"));
    }

    void insertTrimsAndUpdateKeepsNameAsTyped() {
        AntivirusRegister().InsertNew("AV00001", "  Norton  ", "  PK-1 ", " IK-1  ", "5");
        QCOMPARE(TestDb::scalar("Select concat('[',av_name,'|',av_pur_key,'|',av_install_key,"
                                "'|',created_by,']') from hr_av Where av_code='AV00001'"),
                 QString("[Norton|PK-1|IK-1|5]"));
        QCOMPARE(TestDb::scalar("Select created_date from hr_av"), StampDate(QDate::currentDate()));
        const qint64 rows =
            AntivirusRegister().UpdateExisting(" AV00001 ", "  Norton 2 ", " PK-2 ", " IK-2 ", "1");
        QCOMPARE(rows, qint64(1));
        QCOMPARE(TestDb::scalar("Select concat('[',av_name,'|',av_pur_key,'|',av_install_key,"
                                "'|',modified_by,']') from hr_av Where av_code='AV00001'"),
                 QString("[  Norton 2 |PK-2|IK-2|1]"));
        QCOMPARE(TestDb::scalar("Select modified_date from hr_av"),
                 StampDate(QDate::currentDate()));
    }

    void newNameDuplicates_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("as stored") << "Norton" << true;
        QTest::newRow("blanks around") << "  Norton  " << true;
        QTest::newRow("stored with a leading blank") << "Avast" << true;
        QTest::newRow("shorter") << "Nort" << false;
        QTest::newRow("longer") << "Norton 2" << false;
        QTest::newRow("like pattern %") << "N%" << false;
        QTest::newRow("like pattern _") << "Norto_" << false;
    }
    void newNameDuplicates() {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        TestDb::exec("Insert into hr_av(av_code, av_name) Values('AV1','Norton'),('AV2',' Avast')");
        QCOMPARE(AntivirusRegister().NameExists(typed), taken);
    }

    void editNameDuplicates_data() {
        QTest::addColumn<QString>("editName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("name unchanged") << "Norton"
                                        << "Norton" << false;
        QTest::newRow("own name with blanks") << " Norton "
                                              << "Norton  " << false;
        QTest::newRow("another product's name") << "Norton"
                                                << "Kaspersky" << true;
        QTest::newRow("another product's name, blanks") << "Kaspersky"
                                                        << "  Norton " << true;
        QTest::newRow("a free name") << "Norton"
                                     << "Fresh" << false;
        QTest::newRow("a name stored with blanks") << "Norton"
                                                   << "Avira" << true;
        QTest::newRow("own name stored with blanks") << " Avira "
                                                     << "Avira" << false;
    }
    void editNameDuplicates() {
        QFETCH(QString, editName);
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        TestDb::exec(
            "Insert into hr_av(av_code, av_name) Values('AV1','Norton'),('AV2','Kaspersky'),"
            "('AV3',' Avira ')");
        QCOMPARE(AntivirusRegister().NameTakenByOther(editName, typed), taken);
    }

    void failedCounterAdvanceRollsBackTheInsert() {
        TestDb::exec("CREATE TRIGGER hr0910.block_counter BEFORE UPDATE ON hr0910.numbersetup "
                     "FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='counter is locked'");
        try {
            AntivirusRegister().InsertNew("AV00001", "Norton", "P", "I", "5");
            QFAIL("the save went through");
        } catch (const DbError& error) {
            QVERIFY2(error.description().contains("counter is locked"),
                     qPrintable(error.description()));
        }
        QCOMPARE(products(), 0);
        QCOMPARE(counter(), QString("AV00001"));
        // The shared connection is usable again and the register stays in step.
        TestDb::exec("DROP TRIGGER hr0910.block_counter");
        QVERIFY(AntivirusRegister().InsertNew("AV00001", "Norton", "P", "I", "5").saved);
        QCOMPARE(products(), 1);
        QCOMPARE(counter(), QString("AV00002"));
    }

    void secondWorkstationGetsTheNextCode() {
        auto first = TestDb::open();
        auto second = TestDb::open();
        // Both were shown the same code.
        const QString shown = ReadNumberSetup("AV_NO");
        NewRecordSave a = AntivirusRegister(*first).InsertNew(shown, "Norton", "P1", "I1", "5");
        NewRecordSave b = AntivirusRegister(*second).InsertNew(shown, "Avast", "P2", "I2", "8");
        QVERIFY(a.saved && !a.codeMoved);
        QCOMPARE(a.code, shown);
        QVERIFY(b.saved && b.codeMoved);
        QCOMPARE(b.code, NextCode(shown));
        QCOMPARE(nameOf(a.code), QString("Norton"));
        QCOMPARE(nameOf(b.code), QString("Avast"));
        QCOMPARE(products(), 2);
        QCOMPARE(counter(), NextCode(NextCode(shown)));
    }

    void saveWaitsForTheCounterLock() {
        auto first = TestDb::open();
        auto second = TestDb::open();
        // The first workstation is in the middle of its save and holds the counter.
        first->begin();
        const QString code = LockCounter(*first, "numbersetup", "AV_NO");
        QCOMPARE(code, QString("AV00001"));
        NewRecordSave b;
        QString failure;
        std::thread other([&] {
            try {
                b = AntivirusRegister(*second).InsertNew(code, "Avast", "P", "I", "8");
            } catch (const DbError& error) {
                failure = error.description();
            }
        });
        first->execute("Insert into hr_av(av_code, av_name) Values(?, ?)", {code, "Norton"});
        AdvanceCounter(*first, "numbersetup", "AV_NO", code);
        first->commit();
        other.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(b.saved && b.codeMoved);
        QCOMPARE(b.code, QString("AV00002"));
        QCOMPARE(nameOf("AV00002"), QString("Avast"));
        QCOMPARE(counter(), QString("AV00003"));
    }

    void noCodeNoSave_data() {
        QTest::addColumn<bool>("dropCounter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("counter row missing") << true << "AV00001";
        QTest::newRow("empty code shown") << false << "";
        QTest::newRow("blank code shown") << false << "   ";
    }
    void noCodeNoSave() {
        QFETCH(bool, dropCounter);
        QFETCH(QString, shown);
        if (dropCounter)
            TestDb::exec("Delete from numbersetup Where no_id='AV_NO'");
        NewRecordSave save = AntivirusRegister().InsertNew(shown, "Norton", "P", "I", "5");
        QVERIFY(!save.saved);
        QCOMPARE(products(), 0);
        QCOMPARE(TestDb::count("Select count(*) from numbersetup Where no_id='AV_NO'"),
                 dropCounter ? 0 : 1);
        if (!dropCounter)
            QCOMPARE(counter(), QString("AV00001"));
    }

    void hostileValuesRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("quote") << "O'Brien's \"key\"";
        QTest::newRow("backslashes") << "C:\\keys\\ \\' \\\\";
        QTest::newRow("like wildcards") << "100%_off_%";
        QTest::newRow("statement text") << "x'); Delete from hr_av; --";
        QTest::newRow("blanks around") << "  key with blanks ";
        QTest::newRow("non-Latin") << "Ωμέγα кириллица 中文 😀";
        QTest::newRow("10000 characters") << QString("ab'\\%_ж").repeated(1428) + "abcd";
    }
    void hostileValuesRoundTrip() {
        QFETCH(QString, value);
        TestDb::exec("Insert into hr_av(av_code, av_name) Values('AV0','Keeper')");
        AntivirusRegister products;
        QVERIFY(!products.NameExists(value));
        QVERIFY(products.InsertNew("AV00001", value, value, value, "5").saved);
        QVector<AntivirusRow> rows = products.Rows();
        QCOMPARE(rows.size(), 2);
        // New values are stored without the blanks around them, and otherwise exactly.
        const QString stored = value.startsWith(' ') ? QString("key with blanks") : value;
        QCOMPARE(rows[1].name, stored);
        QCOMPARE(rows[1].purchaseKey, stored);
        QCOMPARE(rows[1].installKey, stored);
        QVERIFY(products.NameExists(value));
        QVERIFY(!products.NameTakenByOther(value, value));
        QCOMPARE(products.UpdateExisting("AV00001", value + " ", value, value, "5"), qint64(1));
        rows = products.Rows();
        QCOMPARE(rows[1].name, value + " ");
        QCOMPARE(rows[0].name, QString("Keeper"));
    }

    void updateCountsRowsMatched() {
        AntivirusRegister products;
        products.InsertNew("AV00001", "Norton", "P", "I", "5");
        // Same values again: the row still counts, so the save is not taken for a miss.
        QCOMPARE(products.UpdateExisting("AV00001", "Norton", "P", "I", "5"), qint64(1));
        QCOMPARE(products.UpdateExisting("AV00001", "Norton", "P", "I", "5"), qint64(1));
        QCOMPARE(products.UpdateExisting("AV09999", "Norton", "P", "I", "5"), qint64(0));
        QCOMPARE(products.UpdateExisting("", "Norton", "P", "I", "5"), qint64(0));
    }

    void rowsReadNullsAsEmpty() {
        TestDb::exec("Insert into hr_av(av_code, av_name, av_pur_key, av_install_key) "
                     "Values('AV2', NULL, 'p', NULL), ('AV1', 'n', NULL, 'i')");
        QVector<AntivirusRow> rows = AntivirusRegister().Rows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].code, QString("AV1"));
        QCOMPARE(rows[0].purchaseKey, QString());
        QCOMPARE(rows[1].name, QString());
        QCOMPARE(rows[1].purchaseKey, QString("p"));
        QCOMPARE(rows[1].installKey, QString());
    }
};

QTEST_GUILESS_MAIN(tst_AntivirusRegister)
#include "tst_AntivirusRegister.moc"
