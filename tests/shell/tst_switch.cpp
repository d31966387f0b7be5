// Unit switch: the granted units, the confirmation and the caption afterwards.
#include "app/Session.h"
#include "platform/Geometry.h"
#include "shell/frmMain.h"
#include "shell/frmSwitch.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

using namespace orvane;
using namespace orvane::test;

class tst_switch : public QObject {
    Q_OBJECT

    TempSettings settings_;
    FakeDesktop* desktop_ = nullptr;
    frmMain* main_ = nullptr;

    frmSwitch* openSwitch(const QString& userId = "1") {
        Session().CurrentUserId = userId;
        main_->mnuChangeUnit->trigger();
        return main_->find<frmSwitch>();
    }
    static QPointer<QMdiSubWindow> frameOf(QWidget* screen) {
        return qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    }
    static QStringList gridCodes(frmSwitch* screen) {
        QStringList codes;
        for (int r = 0; r < screen->GrUnit->rowCount(); ++r)
            if (!screen->unitCodeAt(r).isEmpty())
                codes << screen->unitCodeAt(r);
        return codes;
    }
    void setUnit(const QString& code, const QString& name) {
        Session().CurrentUnitCode = code;
        Session().CurrentUnitName = name;
        main_->RefreshCaption();
    }

  private slots:
    void initTestCase() { TestDb::installSession(); }

    void init() {
        TestDb::loadFixture();
        desktop_ = new FakeDesktop;
        main_ = new frmMain;
        main_->show();
        Session().CurrentUserName = "chief";
        setUnit("U2", "Second Unit");
    }

    void cleanup() {
        delete main_;
        delete desktop_;
        if (TestDb::count("select count(*) from information_schema.tables where "
                          "table_schema='tarovel' and table_name='unitaccess_away'") > 0)
            TestDb::exec("RENAME TABLE tarovel.unitaccess_away TO tarovel.unitaccess");
    }

    void layout() {
        frmSwitch* screen = openSwitch();
        QCOMPARE(screen->windowTitle(), QString("Change Unit"));
        QCOMPARE(screen->size(), QSize(twips(2550), twips(4680)));
        QCOMPARE(screen->GrUnit->geometry(), QRect(twips(30), twips(60), twips(2505), twips(4155)));
        QCOMPARE(screen->CmSwitch->geometry(),
                 QRect(twips(30), twips(4260), twips(2505), twips(405)));
        QCOMPARE(screen->CmSwitch->text(), QString("Switch"));
        QCOMPARE(screen->GrUnit->columnCount(), 3);
        QVERIFY(screen->GrUnit->isColumnHidden(0) && screen->GrUnit->isColumnHidden(2));
        QCOMPARE(screen->GrUnit->columnWidth(1), twips(2450));
        QCOMPARE(screen->GrUnit->font().family(), QString("Times New Roman"));
        QVERIFY(screen->GrUnit->font().bold());
        QCOMPARE(screen->GrUnit->font().pointSizeF(), 8.25);
        QCOMPARE(screen->GrUnit->currentRow(), 0);
        QVERIFY(!(frameOf(screen)->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void listsGrantedOpenUnits_data() {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("appAcc"); // of U3, granted to user 1 only
        QTest::addColumn<int>("appCirc");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("acc 1 left out") << "1" << 1 << 1 << QStringList{"U1", "U2"};
        QTest::newRow("acc 0 listed") << "1" << 0 << 0 << QStringList{"U1", "U2", "U3"};
        QTest::newRow("acc 0, circ 1 listed") << "1" << 0 << 1 << QStringList{"U1", "U2", "U3"};
        QTest::newRow("acc 2 left out") << "1" << 2 << 0 << QStringList{"U1", "U2"};
        QTest::newRow("acc -1 left out") << "1" << -1 << 0 << QStringList{"U1", "U2"};
        QTest::newRow("lena: own grant only") << "8" << 0 << 0 << QStringList{"U2"};
        QTest::newRow("otto: no grant") << "6" << 0 << 0 << QStringList{};
    }
    void listsGrantedOpenUnits() {
        QFETCH(QString, userId);
        QFETCH(int, appAcc);
        QFETCH(int, appCirc);
        QFETCH(QStringList, codes);
        TestDb::exec("update tarovel.unitmaster set unit_app_acc=?, unit_app_circ=? where "
                     "unit_code='U3'",
                     {appAcc, appCirc});
        frmSwitch* screen = openSwitch(userId);
        QCOMPARE(gridCodes(screen), codes);
        QCOMPARE(screen->GrUnit->rowCount(), 9);
    }

    void gridGrowsPastNine_data() {
        QTest::addColumn<int>("units");
        for (int n : {0, 1, 9, 10, 14})
            QTest::addRow("%d units", n) << n;
    }
    void gridGrowsPastNine() {
        QFETCH(int, units);
        // Inserted in one order, ranked in the reverse one: the grid must follow the rank.
        QStringList expected;
        for (int i = 0; i < units; ++i) {
            const QString code = QString("T%1").arg(i, 2, 10, QChar('0'));
            TestDb::exec("insert into tarovel.unitmaster (unit_code, unit_name, unit_priority) "
                         "values (?, ?, ?)",
                         {code, "Unit " + code, 100 - i});
            TestDb::exec("insert into tarovel.unitaccess values (?, '9')", {code});
            expected.prepend(code);
        }
        frmSwitch* screen = openSwitch("9");
        QCOMPARE(screen->GrUnit->rowCount(), qMax(9, units));
        QCOMPARE(gridCodes(screen), expected);
        for (int r = 0; r < screen->GrUnit->rowCount(); ++r)
            QCOMPARE(screen->unitNameAt(r), r < units ? "Unit " + expected[r] : QString());
    }

    void switches_data() {
        QTest::addColumn<QString>("startUnit");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("name");
        // Row 0 is current at once: Enter offers the unit with the lowest priority.
        QTest::newRow("Return at once") << "U2"
                                        << "Return"
                                        << "U1"
                                        << "First Unit";
        QTest::newRow("keypad Enter at once") << "U2"
                                              << "Enter"
                                              << "U1"
                                              << "First Unit";
        QTest::newRow("same unit again") << "U1"
                                         << "Return"
                                         << "U1"
                                         << "First Unit";
        QTest::newRow("double-click") << "U1"
                                      << "double-click"
                                      << "U2"
                                      << "Second Unit";
        QTest::newRow("Down, double-click below the rows") << "U1"
                                                           << "Down empty double-click"
                                                           << "U2"
                                                           << "Second Unit";
        QTest::newRow("typing moves no row") << "U2"
                                             << "typed Return"
                                             << "U1"
                                             << "First Unit";
        QTest::newRow("Down, Return") << "U1"
                                      << "Down Return"
                                      << "U2"
                                      << "Second Unit";
        QTest::newRow("Down, Switch") << "U1"
                                      << "Down button"
                                      << "U2"
                                      << "Second Unit";
    }
    void switches() {
        QFETCH(QString, startUnit);
        QFETCH(QString, how);
        QFETCH(QString, unit);
        QFETCH(QString, name);
        setUnit(startUnit, TestDb::scalar("select unit_name from tarovel.unitmaster where "
                                          "unit_code=?",
                                          {startUnit}));
        frmSwitch* screen = openSwitch();
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        QWidget* grid = screen->GrUnit;
        if (how == "double-click") {
            // A real double-click arrives as a click followed by the double-click event.
            const QPoint at = screen->GrUnit->visualItemRect(screen->GrUnit->item(1, 1)).center();
            QTest::mouseClick(screen->GrUnit->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(screen->GrUnit->viewport(), Qt::LeftButton, {}, at);
        } else if (how == "Down empty double-click") {
            QTest::keyClick(grid, Qt::Key_Down);
            QWidget* viewport = screen->GrUnit->viewport();
            QTest::mouseDClick(viewport, Qt::LeftButton, {},
                               QPoint(viewport->width() - 3, viewport->height() - 3));
        } else {
            if (how.startsWith("typed"))
                QTest::keyClicks(grid, "Second");
            if (how.startsWith("Down"))
                QTest::keyClick(grid, Qt::Key_Down);
            if (how.endsWith("button"))
                QTest::mouseClick(screen->CmSwitch, Qt::LeftButton);
            else
                QTest::keyClick(grid, how.endsWith("Enter") ? Qt::Key_Enter : Qt::Key_Return);
        }
        QCOMPARE(desktop_->shown.size(), 1);
        QCOMPARE(desktop_->shown[0].text, QString("Do you want to change the unit... "));
        QCOMPARE(desktop_->shown[0].icon, MsgIcon::Information);
        QCOMPARE(desktop_->shown[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(Session().CurrentUnitCode, unit);
        QCOMPARE(Session().CurrentUnitName, name);
        // The caption is rebuilt exactly as at load.
        QCOMPARE(main_->windowTitle(), "Orvane     Tarovel (Pvt.) LTD     " + name +
                                           QString(47, ' ') + "[Current User : chief ]");
        QTRY_VERIFY(frame.isNull());
    }

    void leavesWithoutChange_data() {
        QTest::addColumn<bool>("cancelFirst");
        QTest::addColumn<QString>("leave"); // Escape on a control, or the close box
        QTest::newRow("Cancel, then Escape in the grid") << true << "GrUnit";
        QTest::newRow("Cancel, then Escape on Switch") << true << "CmSwitch";
        QTest::newRow("close box") << false << "";
    }
    void leavesWithoutChange() {
        QFETCH(bool, cancelFirst);
        QFETCH(QString, leave);
        const QString caption = main_->windowTitle();
        frmSwitch* screen = openSwitch();
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        if (cancelFirst) {
            desktop_->answers.enqueue(MsgAnswer::Cancel);
            QTest::keyClick(screen->GrUnit, Qt::Key_Return);
            QCOMPARE(desktop_->texts(), QStringList{"Do you want to change the unit... "});
            QVERIFY(frame->isVisible());
            QCOMPARE(Session().CurrentUnitCode, QString("U2"));
            QCOMPARE(main_->windowTitle(), caption);
        }
        if (leave.isEmpty())
            frame->close();
        else
            QTest::keyClick(screen->findChild<QWidget*>(leave), Qt::Key_Escape);
        QTRY_VERIFY(frame.isNull());
        QCOMPARE(desktop_->shown.size(), cancelFirst ? 1 : 0);
        QCOMPARE(Session().CurrentUnitCode, QString("U2"));
        QCOMPARE(Session().CurrentUnitName, QString("Second Unit"));
        QCOMPARE(main_->windowTitle(), caption);
    }

    void emptyRowDoesNothing_data() {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("row");
        QTest::newRow("no granted unit") << "6" << 0;
        QTest::newRow("row past the last unit") << "8" << 4;
    }
    void emptyRowDoesNothing() {
        QFETCH(QString, userId);
        QFETCH(int, row);
        frmSwitch* screen = openSwitch(userId);
        screen->GrUnit->setCurrentCell(row, 1);
        QTest::keyClick(screen->GrUnit, Qt::Key_Return);
        QTest::mouseClick(screen->CmSwitch, Qt::LeftButton);
        QVERIFY(desktop_->shown.isEmpty());
        QCOMPARE(Session().CurrentUnitCode, QString("U2"));
        QVERIFY(frameOf(screen)->isVisible());
    }

    void secondChangeUnitRefused() {
        frmSwitch* screen = openSwitch();
        main_->mnuChangeUnit->trigger();
        QCOMPARE(desktop_->texts(), QStringList{"Close All forms and try again!!!!"});
        QCOMPARE(main_->loadedWindowCount(), 2);
        QCOMPARE(main_->find<frmSwitch>(), screen);
    }

    void readFailureShowsDatabaseText() {
        TestDb::exec("RENAME TABLE tarovel.unitaccess TO tarovel.unitaccess_away");
        frmSwitch* screen = openSwitch();
        QCOMPARE(desktop_->shown.size(), 1);
        QVERIFY2(desktop_->shown[0].text.contains("unitaccess"), qPrintable(desktop_->texts()[0]));
        QVERIFY(gridCodes(screen).isEmpty());
        QTest::keyClick(screen->GrUnit, Qt::Key_Return);
        QCOMPARE(desktop_->shown.size(), 1);
        QCOMPARE(Session().CurrentUnitCode, QString("U2"));
    }
};

QTEST_MAIN(tst_switch)
#include "tst_switch.moc"
