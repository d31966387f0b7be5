// A save that meets a row lock held by another workstation runs off the UI thread: its screen is
// busy (close refused), the rest of the window stays usable, and the designed message with the
// server's text comes within the retry budget.
#include "antivirus/frmAvUpdation.h"
#include "app/ScreenBusy.h"
#include "app/Session.h"
#include "lists/frmAVList.h"
#include "support/ScreenFixture.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

class tst_busysave : public QObject, ScreenFixture {
    Q_OBJECT
  private slots:
    void init() {
        TestDb::loadFixture();
        TestDb::installSession();
        Session().CurrentUnitCode = "U1";
        Session().CurrentUnitName = "First Unit";
        Session().CurrentUserId = "5";
        startScreens();
    }
    void cleanup() { stopScreens(); }

    void aHeldLockKeepsTheWindowAnswering() {
        frmAvUpdation* s = frmAvUpdation::OpenForNew();
        s->TxIP->setText("198.0.0.2");
        s->TxOS->setText("XP");
        s->TxUser->setText("otto");
        // Another workstation holds the unit's counter row.
        auto holder = TestDb::open();
        holder->begin();
        holder->query("Select no_value from numbersetup Where no_id='SYS_U1' For Update");

        bool busy = false, closeRefused = false, listUsable = false;
        QTimer::singleShot(300, this, [&] {
            busy = ScreenBusy::IsBusy(s);
            closeRefused = !s->parentWidget()->close();
            auto* list = openScreen<frmAVList>();
            list->FillList();
            // Refilled while the save still waits: the list did not queue behind it.
            listUsable =
                !list->RefillRunning() && list->Fbook->maxRow() >= 1 && ScreenBusy::IsBusy(s);
            list->CmClose_Click();
        });
        QElapsedTimer waited;
        waited.start();
        s->CmNew_Click();
        const qint64 ms = waited.elapsed();
        holder->rollback();

        QVERIFY(busy);
        QVERIFY(closeRefused);
        QVERIFY(listUsable);
        QVERIFY(!ScreenBusy::IsBusy(s));
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY2(desktop->shown[0].text.contains("Lock wait timeout"),
                 qPrintable(desktop->shown[0].text));
        QVERIFY2(ms < 11000, qPrintable(QString("the message came after %1 ms").arg(ms)));
        QCOMPARE(s->CmNew->text(), QString("Save - F5")); // the entry stays open, as designed
        QCOMPARE(TestDb::count("Select count(*) from hr_av_activation Where sys_ip='198.0.0.2'"),
                 0);
    }
};

QTEST_MAIN(tst_busysave)
#include "tst_busysave.moc"
