// The workstation activation screen: entry routes, save checks, cleaning through the
// screen, days remaining, the licence pick and what it shows for odd records.
#include "antivirus/frmAvUpdation.h"
#include "app/Session.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include "support/ScreenFixture.h"
#include <QPointer>

#include "support/PickListAnswer.h"

#include <QtTest>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {
QString stored(const QString& column, const QString& id, const QString& unit = "U1") {
    return TestDb::scalar(
        "Select " + column + " from hr_av_activation Where sys_id=? and unit_code=?", {id, unit});
}
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void fill(frmAvUpdation* s, const QString& ip, const QString& os, const QString& user,
          const QString& dept = "Accounts") {
    s->TxIP->setText(ip);
    s->TxOS->setText(os);
    s->TxUser->setText(user);
    s->TxDepartment->setText(dept);
}

void addRecord(const QString& unit, const QString& id, const QString& ip, const QString& expiry) {
    TestDb::exec(
        "Insert into hr_av_activation(unit_code, sys_id, sys_ip, sys_os, sys_user, "
        "sys_dept, sys_remarks, exp_date) Values(?,?,?,'XP','MIRA','IT','License : a  -  b',?)",
        {unit, id, ip, expiry});
}

// Days from today to the date, counted one by one.
int countDays(const QDate& to) {
    int n = 0;
    for (QDate d = QDate::currentDate(); d < to; d = d.addDays(1))
        ++n;
    for (QDate d = QDate::currentDate(); d > to; d = d.addDays(-1))
        --n;
    return n;
}
} // namespace

class tst_frmAvUpdation : public QObject, ScreenFixture {
    Q_OBJECT

  private slots:
    void init() {
        TestDb::loadFixture();
        TestDb::installSession();
        Session().CurrentUnitCode = "U1";
        Session().CurrentUnitName = "First Unit";
        Session().CurrentUserId = "5";
        ClearHelpResults();
        startScreens();
    }
    void cleanup() { stopScreens(); }

    void newRouteStartsAnEntry() {
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        QVERIFY(s);
        QCOMPARE(main->find<frmAvUpdation>(), s);
        QCOMPARE(s->windowTitle(), QString("Antivirus Updation Status"));
        QCOMPARE(s->TxCode->text(), QString("S100001"));
        QCOMPARE(s->LbUnit->text(), QString("First Unit"));
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        QVERIFY(s->TxIP->isEnabled() && s->DTExpiry->isEnabled() && s->TxCode->isReadOnly());
        QVERIFY(!s->CmEdit->isEnabled() && !s->CmClose->isEnabled() && s->CmCancel->isEnabled());
        QCOMPARE(s->focusWidget(), static_cast<QWidget*>(s->TxIP));
        QCOMPARE(s->DTExpiry->date(), QDate::currentDate());
        QCOMPARE(s->DTExpiry->displayFormat(), QString("dd-MMM-yyyy"));
        QVERIFY(s->LbExpiry->text().isEmpty());
    }

    void saveChecks_data() {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("os");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("focus");
        const int critical = int(MsgIcon::Critical), info = int(MsgIcon::Information);
        QTest::newRow("no ip") << ""
                               << "XP"
                               << "mira"
                               << "Please Enter the IP .   " << critical << "TxIP";
        QTest::newRow("blank ip") << "   "
                                  << "XP"
                                  << "mira"
                                  << "Please Enter the IP .   " << critical << "TxIP";
        QTest::newRow("no os") << "198.1.1.1"
                               << " "
                               << "mira"
                               << "Please Enter the Operating System.   " << critical << "TxOS";
        QTest::newRow("blank user") << "198.1.1.1"
                                    << "XP"
                                    << "  "
                                    << "Please Enter the User Name .  " << info << "TxUser";
        QTest::newRow("ip checked first") << ""
                                          << ""
                                          << ""
                                          << "Please Enter the IP .   " << critical << "TxIP";
        QTest::newRow("blank department passes") << "198.1.1.1"
                                                 << "XP"
                                                 << "mira"
                                                 << "" << 0 << "";
    }
    void saveChecks() {
        QFETCH(QString, ip);
        QFETCH(QString, os);
        QFETCH(QString, user);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(QString, focus);
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        fill(s, ip, os, user, "   ");
        QTest::keyClick(s->TxRemarks, Qt::Key_F5);
        if (message.isEmpty()) {
            QVERIFY(desktop->shown.isEmpty());
            QCOMPARE(records(), 1);
            QCOMPARE(s->CmNew->text(), QString("New - F2"));
            QVERIFY(!s->TxIP->isEnabled());
            return;
        }
        QCOMPARE(desktop->texts(), QStringList{message});
        QCOMPARE(int(desktop->shown[0].icon), icon);
        QCOMPARE(s->focusWidget()->objectName(), focus);
        QCOMPARE(records(), 0);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
    }

    void insertThenEditCleanDifferently() {
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        fill(s, " 198.0.0.7a ", " windows xp ", " mira k ", " it room ");
        s->TxRemarks->setText(" License : O'Neil \\ 100% ");
        s->DTExpiry->setDate(QDate(2030, 1, 31));
        s->CmNew_Click();
        QVERIFY(desktop->shown.isEmpty());
        QCOMPARE(
            stored(
                "concat(sys_ip,'|',sys_os,'|',sys_user,'|',sys_dept,'|',sys_remarks,'|',exp_date)",
                "S100001"),
            QString("198.0.0.7A|WINDOWS XP|MIRA K|it room|License : O'Neil \\ 100%|2030-01-31"));
        QCOMPARE(counterOf("U1"), QString("S100002"));
        QVERIFY(!s->TxIP->isEnabled());
        // Edit the same record: the update writes its own forms.
        QTest::keyClick(s->CmNew, Qt::Key_F3);
        QVERIFY(s->EditMode());
        fill(s, " 198.0.0.7b ", " windows xp ", " mira k ", " it room ");
        QTest::keyClick(s->TxIP, Qt::Key_F2);
        QVERIFY(desktop->shown.isEmpty());
        QVERIFY(!s->EditMode());
        QCOMPARE(stored("concat('[',sys_ip,'|',sys_os,'|',sys_user,'|',sys_dept,']')", "S100001"),
                 QString("[198.0.0.7B|windows xp|mira k| IT ROOM ]"));
        QCOMPARE(counterOf("U1"), QString("S100002"));
        QCOMPARE(records(), 1);
    }

    void viewRouteShowsTheChosenRecord() {
        addRecord("U1", "S100005", "198.0.0.5", "2031-02-03");
        addRecord("U2", "S200007", "198.2.0.7", "2029-12-31");
        frmAvUpdation* s = frmAvUpdation::OpenForView("S100005");
        QCOMPARE(Session().SelectedSystemId, QString("S100005"));
        QCOMPARE(s->TxCode->text(), QString("S100005"));
        QCOMPARE(s->TxIP->text(), QString("198.0.0.5"));
        QCOMPARE(s->TxRemarks->text(), QString("License : a  -  b"));
        QCOMPARE(s->DTExpiry->date(), QDate(2031, 2, 3));
        QCOMPARE(s->LbExpiry->text(),
                 QString("%1 Days Remaining").arg(countDays(QDate(2031, 2, 3))));
        QCOMPARE(s->CmNew->text(), QString("New - F2"));
        QVERIFY(!s->TxIP->isEnabled() && s->CmEdit->isEnabled());
        // A second View while the screen is open: same screen, the second record, browse.
        s->CmEdit_Click();
        frmAvUpdation* again = frmAvUpdation::OpenForView("S200007");
        QCOMPARE(again, s);
        QCOMPARE(s->TxCode->text(), QString("S200007"));
        QCOMPARE(s->LbUnit->text(), QString("Second Unit"));
        QVERIFY(!s->EditMode() && !s->TxIP->isEnabled());
        QCOMPARE(main->area()->subWindowList().size(), 1);
        QVERIFY(desktop->shown.isEmpty());
    }

    void editOfAnotherUnitsRecordSaysSo() {
        addRecord("U2", "S200007", "198.2.0.7", "2029-12-31");
        frmAvUpdation* s = frmAvUpdation::OpenForView("S200007");
        s->CmEdit_Click();
        s->TxIP->setText("198.9.9.9");
        s->CmNew_Click();
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY(desktop->shown[0].text.contains("another unit"));
        QVERIFY(s->EditMode());
        QCOMPARE(stored("sys_ip", "S200007", "U2"), QString("198.2.0.7"));
    }

    void nullRecordShowsEmpty() {
        TestDb::exec("Insert into hr_av_activation(unit_code, sys_id) Values('U1','S100003')");
        frmAvUpdation* s = frmAvUpdation::OpenForView("S100001");
        frmAvUpdation::OpenForView("S100003");
        QCOMPARE(s->TxCode->text(), QString("S100003"));
        for (QLineEdit* box : {s->TxIP, s->TxOS, s->TxUser, s->TxDepartment, s->TxRemarks})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(s->DTExpiry->date(), QDate::currentDate());
        QVERIFY(s->LbExpiry->text().isEmpty());
        QVERIFY(desktop->shown.isEmpty());
    }

    void unknownSerialLeavesTheScreen() {
        Session().SelectedSystemId = "1"; // what sign-in leaves there
        frmAvUpdation* s = main->Show<frmAvUpdation>();
        QVERIFY(s->TxCode->text().isEmpty());
        QCOMPARE(s->LbUnit->text(), QString("First Unit"));
        QVERIFY(desktop->shown.isEmpty());
    }

    void missingUnitNameIsReported() {
        addRecord("U9", "S900001", "198.9.0.1", "2030-01-01");
        frmAvUpdation* s = frmAvUpdation::OpenForView("S900001");
        QCOMPARE(desktop->texts(),
                 QStringList{"Error in Unit Master!!!.   \r\nContact System Administrator.   "});
        QVERIFY(s->LbUnit->text().isEmpty());
        QCOMPARE(s->TxIP->text(), QString("198.9.0.1"));
    }

    void daysRemaining_data() {
        QTest::addColumn<QDate>("expiry");
        const QDate today = QDate::currentDate();
        QTest::newRow("today") << today;
        QTest::newRow("yesterday") << today.addDays(-1);
        QTest::newRow("twelve days") << today.addDays(12);
        QTest::newRow("a year ahead") << today.addYears(1);
    }
    void daysRemaining() {
        QFETCH(QDate, expiry);
        const int days = countDays(expiry);
        const QString expected = QString::number(days) + " Days Remaining";
        if (expiry == QDate::currentDate().addYears(1))
            QVERIFY(days == 365 || days == 366);
        // Shown when a record is loaded...
        addRecord("U1", "S100009", "198.0.0.9", expiry.toString("yyyy-MM-dd"));
        frmAvUpdation* s = frmAvUpdation::OpenForView("S100009");
        QCOMPARE(s->LbExpiry->text(), expected);
        // ...not for a new entry until the date changes or the picker is clicked...
        s->CmNew_Click();
        QVERIFY(s->LbExpiry->text().isEmpty());
        s->DTExpiry->setDate(expiry.addDays(1));
        s->DTExpiry->setDate(expiry);
        QCOMPARE(s->LbExpiry->text(), expected);
        s->ClearEntry();
        QVERIFY(s->LbExpiry->text().isEmpty());
        // ...and a click on the date text counts without moving the date.
        QTest::mouseClick(s->DTExpiry, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(s->DTExpiry->date(), QDate::currentDate());
        QCOMPARE(s->LbExpiry->text(), QString("0 Days Remaining"));
    }

    void licencePick_data() {
        QTest::addColumn<bool>("products");
        QTest::addColumn<QString>("remarks");
        QTest::newRow("with products") << true << "License : PK-N  -  IK-N";
        QTest::newRow("without products") << false << "";
    }
    void licencePick() {
        QFETCH(bool, products);
        QFETCH(QString, remarks);
        if (products)
            TestDb::exec("Insert into hr_av(av_code, av_name, av_pur_key, av_install_key) Values"
                         "('AV1','Avast','PK-A','IK-A'),('AV2','Norton','PK-N','IK-N')");
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        s->TxRemarks->setText("typed before");
        QString caption;
        WhenPickListShows answer([&](frmListView* list) {
            caption = list->windowTitle();
            // The list is searched by the licence text it shows.
            QTest::keyClicks(list->TxtSearch, "license : pk-n");
            QTest::keyClick(list->TxtSearch, Qt::Key_Return);
        });
        QTest::keyClick(s->TxRemarks, Qt::Key_F1);
        QCoreApplication::processEvents();
        QCOMPARE(answer.ran(), products);
        if (products)
            QCOMPARE(caption, QString("Antivirus"));
        QCOMPARE(s->TxRemarks->text(), remarks);
        QVERIFY(HelpResult1.isEmpty() && HelpResult2.isEmpty());
        QVERIFY(desktop->shown.isEmpty());
    }

    void editCancelNewSaveInserts() {
        addRecord("U1", "S100001", "198.0.0.1", "2030-01-01");
        TestDb::exec("Update numbersetup set no_value='S100002' Where no_id='SYS_U1'");
        frmAvUpdation* s = frmAvUpdation::OpenForView("S100001");
        QTest::keyClick(s->CmNew, Qt::Key_F3);
        QTest::keyClick(s->TxIP, Qt::Key_F8);
        QTest::keyClick(s->CmNew, Qt::Key_F2);
        QCOMPARE(s->TxCode->text(), QString("S100002"));
        fill(s, "198.0.0.2", "XP", "otto");
        QTest::keyClick(s->TxUser, Qt::Key_F5);
        QCOMPARE(records(), 2);
        QCOMPARE(stored("sys_ip", "S100001"), QString("198.0.0.1"));
        QCOMPARE(stored("sys_ip", "S100002"), QString("198.0.0.2"));
    }

    void takenSerialMovesOnAndIsShown() {
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        addRecord("U1", "S100001", "198.0.0.1", "2030-01-01");
        TestDb::exec("Update numbersetup set no_value='S100002' Where no_id='SYS_U1'");
        fill(s, "198.0.0.2", "XP", "otto");
        s->CmNew_Click();
        QCOMPARE(s->TxCode->text(), QString("S100002"));
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY(desktop->shown[0].text.contains("S100001") &&
                desktop->shown[0].text.contains("S100002"));
        QCOMPARE(stored("sys_ip", "S100002"), QString("198.0.0.2"));
        QCOMPARE(counterOf("U1"), QString("S100003"));
    }

    void missingCounterRefusesTheSave() {
        TestDb::exec("Delete from numbersetup Where no_id='SYS_U1'");
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        QCOMPARE(desktop->texts(),
                 QStringList{"Error in Number Setup!!!.   \r\nContact System Administrator.   "});
        fill(s, "198.0.0.2", "XP", "otto");
        s->CmNew_Click();
        QCOMPARE(desktop->shown.size(), 2);
        QVERIFY(desktop->shown[1].text.contains("not saved"));
        QCOMPARE(records(), 0);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
    }

    void keysAndEnterChain_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expect"); // focus name, or "closed"
        QTest::newRow("ip") << "TxIP" << int(Qt::Key_Return) << "TxOS";
        QTest::newRow("os") << "TxOS" << int(Qt::Key_Return) << "TxUser";
        QTest::newRow("user") << "TxUser" << int(Qt::Key_Enter) << "TxDepartment";
        QTest::newRow("department") << "TxDepartment" << int(Qt::Key_Return) << "TxRemarks";
        QTest::newRow("licence") << "TxRemarks" << int(Qt::Key_Return) << "DTExpiry";
        QTest::newRow("expiry") << "DTExpiry" << int(Qt::Key_Return) << "CmNew";
        QTest::newRow("F9 closes though Close is disabled")
            << "TxOS" << int(Qt::Key_F9) << "closed";
        QTest::newRow("Escape does nothing") << "TxOS" << int(Qt::Key_Escape) << "TxOS";
    }
    void keysAndEnterChain() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, expect);
        QPointer<frmAvUpdation> s = frmAvUpdation::OpenForNew();
        QWidget* start = s->findChild<QWidget*>(from);
        start->setFocus();
        QTest::keyClick(start, Qt::Key(key));
        settle();
        if (expect == "closed") {
            QVERIFY(s.isNull());
            QCOMPARE(records(), 0);
            return;
        }
        QCOMPARE(s->focusWidget()->objectName(), expect);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        QVERIFY(desktop->shown.isEmpty());
    }

    void databaseErrorsLeaveTheScreenUsable() {
        addRecord("U1", "S100001", "198.0.0.1", "2030-01-01");
        TestDb::exec("Update numbersetup set no_value='S100002' Where no_id='SYS_U1'");
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        fill(s, "198.0.0.2", "XP", "otto");
        // The save runs on the data worker's connection: the table going away fails both.
        TestDb::exec("Rename table hr0910.hr_av_activation to hr0910.hr_av_activation_away");
        s->CmNew_Click();
        s->LoadSystem("S100001");
        TestDb::exec("Rename table hr0910.hr_av_activation_away to hr0910.hr_av_activation");
        QCOMPARE(desktop->shown.size(), 2);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        QCOMPARE(s->TxIP->text(), QString("198.0.0.2"));
        s->CmNew_Click();
        QCOMPARE(desktop->shown.size(), 2);
        QCOMPARE(records(), 2);
    }
};

QTEST_MAIN(tst_frmAvUpdation)
#include "tst_frmAvUpdation.moc"
