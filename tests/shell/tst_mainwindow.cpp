// The frame window: caption, menu tree, the change-unit guard, update, open-once screens.
#include "antivirus/frmAntivirusMaster.h"
#include "app/Session.h"
#include "netmon/frmPing.h"
#include "platform/Settings.h"
#include "shell/frmChangePassword.h"
#include "shell/frmMain.h"
#include "shell/frmSwitch.h"
#include "support/TestSupport.h"
#include "users/frmUserDetails.h"

#include <QMenuBar>
#include <QPointer>
#include <QStyleOptionTitleBar>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

// A stand-in work screen that counts its loads.
class frmProbe : public QWidget {
    Q_OBJECT
  public:
    int loads = 0;
    QString content;
  public slots:
    void Form_Load() { ++loads; }
};

// Where the frame's style draws the close box of a title bar with every button.
static QPoint closeBoxCentre(QMdiSubWindow* frame) {
    QStyleOptionTitleBar option;
    option.initFrom(frame);
    option.titleBarFlags = Qt::SubWindow | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint;
    option.subControls = QStyle::SC_All;
    const int border =
        frame->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
    const int height = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, frame);
    option.rect = QRect(border, border, frame->width() - 2 * border, height - border);
    return frame->style()
        ->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton, frame)
        .center();
}

class tst_mainwindow : public QObject {
    Q_OBJECT
  private slots:
    void caption_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("caption");
        QTest::newRow("normal") << "First Unit"
                                << "mira"
                                << "Orvane     Tarovel (Pvt.) LTD     First Unit" +
                                       QString(47, ' ') + "[Current User : mira ]";
        QTest::newRow("empty parts")
            << ""
            << ""
            << "Orvane     Tarovel (Pvt.) LTD     " + QString(47, ' ') + "[Current User :  ]";
        QTest::newRow("blanks kept")
            << "U"
            << " a "
            << "Orvane     Tarovel (Pvt.) LTD     U" + QString(47, ' ') + "[Current User :  a  ]";
    }
    void caption() {
        QFETCH(QString, unit);
        QFETCH(QString, user);
        QFETCH(QString, caption);
        Session().CurrentUnitName = unit;
        Session().CurrentUserName = user;
        frmMain main;
        QCOMPARE(main.windowTitle(), caption);
        QCOMPARE(frmMain::instance(), &main);
    }

    void menuTree() {
        frmMain main;
        QStringList bar;
        for (QAction* a : main.menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"Master", "Reports", "Tools"}));
        auto texts = [](QMenu* m) {
            QStringList list;
            for (QAction* a : m->actions())
                list << (a->isSeparator() ? "-" : a->text());
            return list;
        };
        QCOMPARE(
            texts(main.findChild<QMenu*>("mnuMasters")),
            QStringList({"Antivrus Activation", "Antivirus Master", "Import Workstations..."}));
        QCOMPARE(texts(main.findChild<QMenu*>("mnuReportsMenu")),
                 QStringList({"Antivirus Updation List", "Expiry Overview"}));
        QCOMPARE(texts(main.findChild<QMenu*>("mnuTools")),
                 QStringList({"VPN Check", "Update Software", "Change Password", "Change Unit", "-",
                              "User Groups", "Create User"}));
        QCOMPARE(main.mnuChangeUnit->shortcut(), QKeySequence("Ctrl+N"));
        for (const char* name : {"mnuAntivirusActivation", "mnuAVMaster", "mnuReports", "mnuVPNCHK",
                                 "mnuUpdateSoftware", "mnuChangePwd", "mnuChangeUnit",
                                 "mnuUserGroups", "mnuCreateUser"})
            QVERIFY2(main.findChild<QAction*>(name), name);
    }

    void userGroupsDoesNothing() {
        FakeDesktop desktop;
        frmMain main;
        main.mnuUserGroups->trigger();
        QVERIFY(desktop.shown.isEmpty());
        QCOMPARE(desktop.ended, 0);
        QCOMPARE(main.loadedWindowCount(), 1);
    }

    void changeUnitRefusedWhileAScreenIsOpen_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("normal") << false;
        QTest::newRow("minimised") << true;
    }
    void changeUnitRefusedWhileAScreenIsOpen() {
        QFETCH(bool, minimised);
        FakeDesktop desktop;
        frmMain main;
        main.show();
        frmProbe* probe = main.Show<frmProbe>();
        if (minimised)
            qobject_cast<QMdiSubWindow*>(probe->parentWidget())->showMinimized();
        main.mnuChangeUnit_Click();
        QCOMPARE(desktop.texts(), QStringList{"Close All forms and try again!!!!"});
        QCOMPARE(main.loadedWindowCount(), 2);
    }

    void updateSoftware_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("page");
        QTest::newRow("local is in-house") << "127.0.0.1"
                                           << "file:///in";
        QTest::newRow("in-house 4") << "192.168.0.4"
                                    << "file:///in";
        QTest::newRow("in-house 5") << "192.168.0.5"
                                    << "file:///in";
        QTest::newRow("localhost is public") << "localhost"
                                             << "file:///pub";
        QTest::newRow("blank after is public") << "127.0.0.1 "
                                               << "file:///pub";
    }
    void updateSoftware() {
        QFETCH(QString, server);
        QFETCH(QString, page);
        TempSettings settings;
        Settings::write("Tarovel", "Update", "InHousePage", "file:///in");
        Settings::write("Tarovel", "Update", "PublicPage", "file:///pub");
        Session().ServerAddress = server;
        FakeDesktop desktop;
        frmMain main;
        main.mnuUpdateSoftware->trigger();
        QCOMPARE(desktop.opened, QStringList{page});
        QCOMPARE(desktop.ended, 1);
        QVERIFY(desktop.shown.isEmpty());
    }

    void menuItemsOpenTheirScreenOnce_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("minimise");
        QTest::newRow("antivirus master") << "mnuAVMaster"
                                          << "frmAntivirusMaster" << true << true;
        QTest::newRow("activation list") << "mnuAntivirusActivation"
                                         << "frmAVList" << true << true;
        QTest::newRow("report") << "mnuReports"
                                << "frmrptAVUpdationList" << true << true;
        QTest::newRow("vpn check") << "mnuVPNCHK"
                                   << "frmPing" << true << true;
        QTest::newRow("change password") << "mnuChangePwd"
                                         << "frmChangePassword" << false << false;
        QTest::newRow("import workstations") << "mnuImportWorkstations"
                                             << "frmImportWorkstations" << true << true;
        QTest::newRow("create user") << "mnuCreateUser"
                                     << "frmUserDetails" << true << true;
        QTest::newRow("change unit") << "mnuChangeUnit"
                                     << "frmSwitch" << true << false;
    }
    void menuItemsOpenTheirScreenOnce() {
        QFETCH(QString, item);
        QFETCH(QString, screen);
        QFETCH(bool, closeBox);
        QFETCH(bool, minimise);
        TestDb::startSession("1", "U1");
        TempSettings settings;
        TempStateHome state; // the monitor logs its answers
        // The monitor must only ever reach loopback addresses here.
        for (int i = 1; i <= 9; ++i)
            Settings::write("Tarovel", "Branches", QString("Address%1").arg(i),
                            QString("127.0.0.%1").arg(i + 1));
        FakeDesktop desktop;
        frmMain main;
        main.resize(1200, 900);
        main.show();
        QAction* action = main.findChild<QAction*>(item);
        QVERIFY(action && action->isEnabled());
        action->trigger();
        QCOMPARE(main.area()->subWindowList().size(), 1);
        QWidget* first = main.area()->activeSubWindow()->widget();
        QCOMPARE(QString(first->metaObject()->className()).section("::", -1), screen);
        if (item != "mnuChangeUnit") {
            action->trigger();
            QCOMPARE(main.area()->subWindowList().size(), 1);
            QCOMPARE(main.area()->activeSubWindow()->widget(), first);
        }
        QVERIFY(desktop.shown.isEmpty());

        QMdiSubWindow* frame = main.area()->activeSubWindow();
        // The frame's style draws title-bar buttons only with the system-menu hint.
        QCOMPARE(bool(frame->windowFlags() & Qt::WindowSystemMenuHint), closeBox);
        QCOMPARE(bool(frame->windowFlags() & Qt::WindowMinimizeButtonHint), minimise);
        QCOMPARE(bool(frame->windowFlags() & Qt::WindowMaximizeButtonHint), false);
        // A click on the close box runs the screen's own close path and releases it.
        QPointer<QWidget> open(first);
        // The frame picks the button under the pointer when the pointer moves over it.
        const QPoint box = closeBoxCentre(frame);
        QMouseEvent move(QEvent::MouseMove, box, frame->mapToGlobal(box), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame, &move);
        QTest::mouseClick(frame, Qt::LeftButton, {}, box);
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(open.isNull(), closeBox);
        QCOMPARE(main.area()->subWindowList().size(), closeBox ? 0 : 1);
    }

    void screensOpenOnceAndComeForwardUnchanged() {
        frmMain main;
        main.show();
        frmProbe* first = main.Show<frmProbe>();
        QCOMPARE(first->loads, 1);
        first->content = "typed";
        auto* other = new QWidget;
        main.area()->addSubWindow(other)->show();
        main.area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(other->parentWidget()));
        frmProbe* again = main.Show<frmProbe>();
        QCOMPARE(again, first);
        QCOMPARE(again->loads, 1);
        QCOMPARE(again->content, QString("typed"));
        QCOMPARE(main.area()->activeSubWindow()->widget(), first);
        QCOMPARE(main.loadedWindowCount(), 3);
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
