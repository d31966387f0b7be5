// The antivirus master screen: states, keys, the grid, and what a save shows.
#include "antivirus/frmAntivirusMaster.h"
#include "app/Session.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include "support/ScreenFixture.h"
#include <QPointer>

#include <QtTest>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {
QString counter() {
    return TestDb::scalar("Select no_value from numbersetup Where no_id='AV_NO'");
}
int products() {
    return TestDb::count("Select count(*) from hr_av");
}
void addProducts(int count) {
    for (int i = 1; i <= count; ++i)
        TestDb::exec(
            "Insert into hr_av(av_code, av_name, av_pur_key, av_install_key) Values(?,?,?,?)",
            {QString("P%1").arg(i, 3, 10, QChar('0')), QString("Product %1").arg(i),
             QString("PK%1").arg(i), QString("IK%1").arg(i)});
}
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_frmAntivirusMaster : public QObject, ScreenFixture {
    Q_OBJECT

    frmAntivirusMaster* open() {
        showMain();
        return main->Show<frmAntivirusMaster>();
    }
    static void press(frmAntivirusMaster* s, Qt::Key key) {
        QWidget* target = s->focusWidget() ? s->focusWidget() : s->TxPurchaseKey;
        QTest::keyClick(target, key);
    }

  private slots:
    void init() {
        TestDb::loadFixture();
        TestDb::installSession();
        Session().CurrentUserId = "5";
        Session().CurrentUnitCode = "U1";
        desktop = std::make_unique<FakeDesktop>();
    }
    void cleanup() { stopScreens(); }

    void opensInBrowse() {
        addProducts(2);
        frmAntivirusMaster* s = open();
        QCOMPARE(s->windowTitle(), QString(" Antivirus Master"));
        QCOMPARE(s->CmNew->text(), QString("New - F2"));
        QVERIFY(!s->TxCode->isEnabled() && !s->TxName->isEnabled());
        QVERIFY(s->TxPurchaseKey->isEnabled() && s->TxInstallKey->isEnabled());
        QVERIFY(s->CmEdit->isEnabled() && s->CmClose->isEnabled() && !s->CmCancel->isEnabled());
        QCOMPARE(s->GrPosition->TextMatrix(0, 3), QString("Purchase Key "));
        QCOMPARE(s->GrPosition->TextMatrix(2, 2), QString("Product 2"));
        QCOMPARE(s->focusWidget(), static_cast<QWidget*>(s->GrPosition));
        QVERIFY(!s->EditMode());
    }

    void keysInEachState_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("caption"); // "closed" when the screen is gone
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<int>("saved"); // products added or changed
        QTest::newRow("browse F2 starts New")
            << "browse" << int(Qt::Key_F2) << "Save - F5" << false << 0;
        QTest::newRow("browse F5 starts New")
            << "browse" << int(Qt::Key_F5) << "Save - F5" << false << 0;
        QTest::newRow("browse F3 edits") << "browse" << int(Qt::Key_F3) << "Save - F5" << true << 0;
        QTest::newRow("browse F8 cancels")
            << "browse" << int(Qt::Key_F8) << "New - F2" << false << 0;
        QTest::newRow("browse F9 closes") << "browse" << int(Qt::Key_F9) << "closed" << false << 0;
        QTest::newRow("browse Escape does nothing")
            << "browse" << int(Qt::Key_Escape) << "New - F2" << false << 0;
        QTest::newRow("new F2 saves") << "new" << int(Qt::Key_F2) << "New - F2" << false << 1;
        QTest::newRow("new F5 saves") << "new" << int(Qt::Key_F5) << "New - F2" << false << 1;
        QTest::newRow("new F3 turns to edit")
            << "new" << int(Qt::Key_F3) << "Save - F5" << true << 0;
        QTest::newRow("new F8 cancels") << "new" << int(Qt::Key_F8) << "New - F2" << false << 0;
        QTest::newRow("new F9 closes, disabled")
            << "new" << int(Qt::Key_F9) << "closed" << false << 0;
        QTest::newRow("new Escape does nothing")
            << "new" << int(Qt::Key_Escape) << "Save - F5" << false << 0;
        QTest::newRow("edit F5 saves") << "edit" << int(Qt::Key_F5) << "New - F2" << false << 1;
        QTest::newRow("edit F8 cancels") << "edit" << int(Qt::Key_F8) << "New - F2" << false << 0;
        QTest::newRow("edit F9 closes, disabled")
            << "edit" << int(Qt::Key_F9) << "closed" << false << 0;
    }
    void keysInEachState() {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(QString, caption);
        QFETCH(bool, editMode);
        QFETCH(int, saved);
        addProducts(2);
        QPointer<frmAntivirusMaster> s = open();
        if (state == "new") {
            s->CmNew_Click();
            s->TxName->setText("Fresh");
        } else if (state == "edit") {
            s->CmEdit_Click();
            s->TxPurchaseKey->setText("changed");
        }
        // The key goes to whatever has the focus; a disabled button's key works too.
        QTest::keyClick(s->TxPurchaseKey, Qt::Key(key));
        settle();
        if (caption == "closed") {
            QVERIFY(s.isNull());
            QVERIFY(!main->find<frmAntivirusMaster>());
        } else {
            QVERIFY(!s.isNull());
            QCOMPARE(s->CmNew->text(), caption);
            QCOMPARE(s->EditMode(), editMode);
            QCOMPARE(s->CmEdit->isEnabled(), caption == "New - F2");
            QCOMPARE(s->CmCancel->isEnabled(), caption != "New - F2");
        }
        const int added = products() - 2;
        const int changed = TestDb::count("Select count(*) from hr_av Where av_pur_key='changed'");
        QCOMPARE(added + changed, saved);
        QCOMPARE(counter(), QString(added ? "AV00002" : "AV00001"));
        QVERIFY(desktop->shown.isEmpty());
    }

    void gridGrowsByTen_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0 << 30;
        QTest::newRow("29 fill the stock") << 29 << 30;
        QTest::newRow("30th grows") << 30 << 40;
        QTest::newRow("35 products") << 35 << 40;
        QTest::newRow("40th grows again") << 40 << 50;
    }
    void gridGrowsByTen() {
        QFETCH(int, count);
        QFETCH(int, rows);
        addProducts(count);
        frmAntivirusMaster* s = open();
        QCOMPARE(s->GrPosition->Rows(), rows);
        if (count > 0)
            QCOMPARE(s->GrPosition->TextMatrix(count, 2), QString("Product %1").arg(count));
        for (int r = count + 1; r < rows; ++r)
            QVERIFY(s->GrPosition->TextMatrix(r, 1).isEmpty());
    }

    void editOnAnEmptyRowSavesNothing() {
        frmAntivirusMaster* s = open();
        press(s, Qt::Key_F3);
        QVERIFY(s->EditMode());
        QVERIFY(s->TxCode->text().isEmpty() && s->TxName->text().isEmpty());
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        press(s, Qt::Key_F5);
        // The empty row leaves an empty name: refused, and the screen stays in edit state.
        QCOMPARE(desktop->texts(), QStringList{"Please Enter the Position.   "});
        QVERIFY(s->EditMode());
        QCOMPARE(products(), 0);
    }

    void f3DuringNewEditsTheCurrentRow() {
        addProducts(3);
        frmAntivirusMaster* s = open();
        s->GrPosition->setCurrent(2, 1);
        press(s, Qt::Key_F2);
        QCOMPARE(s->TxCode->text(), QString("AV00001"));
        press(s, Qt::Key_F3);
        QCOMPARE(s->TxCode->text(), QString("P002"));
        QCOMPARE(s->EditName, QString("Product 2"));
        s->TxName->setText("Product 2b");
        press(s, Qt::Key_F5);
        QVERIFY(desktop->shown.isEmpty());
        QCOMPARE(products(), 3);
        QCOMPARE(TestDb::scalar("Select av_name from hr_av Where av_code='P002'"),
                 QString("Product 2b"));
        QCOMPARE(counter(), QString("AV00001"));
        QCOMPARE(s->GrPosition->TextMatrix(2, 2), QString("Product 2b"));
    }

    void newSaveChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stored");
        QTest::newRow("empty name") << ""
                                    << "Please Enter the Position.   " << false;
        QTest::newRow("blanks only") << "   "
                                     << "Please Enter the Position.   " << false;
        QTest::newRow("same name") << "Product 1"
                                   << "The Same Entry Already Exists.   " << false;
        QTest::newRow("same name with blanks") << "  Product 1 "
                                               << "The Same Entry Already Exists.   " << false;
        QTest::newRow("a new name") << " Norton's \\ 100% "
                                    << "" << true;
    }
    void newSaveChecks() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, stored);
        addProducts(1);
        frmAntivirusMaster* s = open();
        s->TxPurchaseKey->setText(" pk ");
        s->CmNew_Click();
        s->TxName->setText(name);
        s->CmNew->click();
        QCOMPARE(desktop->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(products(), stored ? 2 : 1);
        if (stored) {
            QCOMPARE(s->CmNew->text(), QString("New - F2"));
            QCOMPARE(
                TestDb::scalar(
                    "Select concat(av_name,'|',av_pur_key) from hr_av Where av_code='AV00001'"),
                QString("Norton's \\ 100%|pk"));
            QCOMPARE(s->GrPosition->TextMatrix(1, 1), QString("AV00001"));
        } else {
            QCOMPARE(desktop->shown[0].icon, MsgIcon::Information);
            QCOMPARE(s->focusWidget(), static_cast<QWidget*>(s->TxName));
            QCOMPARE(s->CmNew->text(), QString("Save - F5"));
            QCOMPARE(s->TxCode->text(), QString("AV00001"));
        }
    }

    void editRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("another product's name") << " Product 2 "
                                                << "Antivirus Already Exists.   ";
        QTest::newRow("blanks only") << "   "
                                     << "Please Enter the Position.   ";
    }
    void editRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        addProducts(2);
        frmAntivirusMaster* s = open();
        s->CmEdit_Click();
        s->TxName->setText(name);
        s->CmNew_Click();
        QCOMPARE(desktop->texts(), QStringList{message});
        QVERIFY(s->EditMode());
        QCOMPARE(TestDb::scalar("Select av_name from hr_av Where av_code='P001'"),
                 QString("Product 1"));
    }

    void takenCodeMovesOnAndIsShown() {
        frmAntivirusMaster* s = open();
        s->CmNew_Click();
        QCOMPARE(s->TxCode->text(), QString("AV00001"));
        // Another workstation stores its product first.
        TestDb::exec("Insert into hr_av(av_code, av_name) Values('AV00001','Theirs')");
        TestDb::exec("Update numbersetup set no_value='AV00002' Where no_id='AV_NO'");
        s->TxName->setText("Mine");
        s->CmNew_Click();
        QCOMPARE(s->TxCode->text(), QString("AV00002"));
        QCOMPARE(desktop->shown.size(), 1);
        QVERIFY(desktop->shown[0].text.contains("AV00001") &&
                desktop->shown[0].text.contains("AV00002"));
        QCOMPARE(TestDb::scalar("Select av_name from hr_av Where av_code='AV00002'"),
                 QString("Mine"));
        QCOMPARE(counter(), QString("AV00003"));
        QCOMPARE(s->CmNew->text(), QString("New - F2"));
    }

    void missingCounterRefusesTheSave() {
        TestDb::exec("Delete from numbersetup Where no_id='AV_NO'");
        frmAntivirusMaster* s = open();
        s->CmNew_Click();
        QCOMPARE(desktop->texts(),
                 QStringList{"Error in Number Setup!!!.   \r\nContact System Administrator.   "});
        QVERIFY(s->TxCode->text().isEmpty());
        s->TxName->setText("Norton");
        s->CmNew_Click();
        QCOMPARE(desktop->shown.size(), 2);
        QVERIFY(desktop->shown[1].text.contains("not saved"));
        QCOMPARE(products(), 0);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
    }

    void databaseErrorsLeaveTheScreenUsable() {
        addProducts(1);
        frmAntivirusMaster* s = open();
        Session().SharedConnection().close();
        s->CmNew_Click(); // the counter read and the grid fill both fail
        QCOMPARE(desktop->shown.size(), 2);
        QVERIFY(!desktop->shown[0].text.isEmpty());
        QCOMPARE(s->GrPosition->TextMatrix(1, 2), QString("Product 1"));
        s->TxName->setText("Norton");
        s->CmNew_Click(); // the duplicate check fails
        QCOMPARE(desktop->shown.size(), 3);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        // Back on line, the same screen saves.
        TestDb::installSession();
        Session().CurrentUserId = "5";
        s->TxCode->setText("AV00001");
        s->CmNew_Click();
        QCOMPARE(desktop->shown.size(), 3);
        QCOMPARE(products(), 2);
    }

    void enterMovesOn_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("name") << "TxName"
                              << "TxPurchaseKey";
        QTest::newRow("purchase key") << "TxPurchaseKey"
                                      << "TxInstallKey";
        QTest::newRow("install key") << "TxInstallKey"
                                     << "CmNew";
    }
    void enterMovesOn() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        frmAntivirusMaster* s = open();
        s->CmNew_Click();
        auto* box = s->findChild<QLineEdit*>(from);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(s->focusWidget()->objectName(), to);
        QCOMPARE(s->CmNew->text(), QString("Save - F5"));
        QVERIFY(desktop->shown.isEmpty());
    }

    void gridClicksLoadOnlyWhileEditing() {
        addProducts(3);
        frmAntivirusMaster* s = open();
        auto clickRow = [s](int row) {
            const QRect cell = s->GrPosition->visualRect(s->GrPosition->model()->index(row - 1, 2));
            QTest::mouseClick(s->GrPosition->viewport(), Qt::LeftButton, {}, cell.center());
        };
        clickRow(3);
        QCOMPARE(s->GrPosition->Row(), 3);
        QVERIFY(s->TxCode->text().isEmpty());
        s->CmEdit_Click();
        QCOMPARE(s->TxCode->text(), QString("P003"));
        clickRow(1);
        QCOMPARE(s->TxCode->text(), QString("P001"));
        QCOMPARE(s->TxInstallKey->text(), QString("IK1"));
        clickRow(5); // an empty row loads nothing
        QCOMPARE(s->TxCode->text(), QString("P001"));
    }

    void cancelClearsCodeAndNameOnly() {
        addProducts(1);
        frmAntivirusMaster* s = open();
        s->CmEdit_Click();
        s->CmCancel->setEnabled(true);
        s->CmCancel->click();
        QVERIFY(s->TxCode->text().isEmpty() && s->TxName->text().isEmpty());
        QCOMPARE(s->TxPurchaseKey->text(), QString("PK1"));
        QVERIFY(!s->EditMode());
        QCOMPARE(s->CmNew->text(), QString("New - F2"));
    }
};

QTEST_MAIN(tst_frmAntivirusMaster)
#include "tst_frmAntivirusMaster.moc"
