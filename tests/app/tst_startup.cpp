// Start-up: the connection text, the failure messages, the release check and the unit.
#include "app/mdlTarovel.h"
#include "platform/Settings.h"
#include "shell/Main.h"
#include "shell/frmSplash.h"
#include "support/HeldServer.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {
const QString kLocal = "DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=3306; "
                       "USER=root;PASSWORD=7341;OPTION=3;Database=hr0910";

int splashCount() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmSplash*>(w))
            ++n;
    return n;
}
void closeSplashes() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<frmSplash*>(w)) {
            s->Timer1->stop();
            delete s;
        }
}
} // namespace

class tst_startup : public QObject {
    Q_OBJECT
    bool localServer() const { return TestDb::port() == 3306; }

  private slots:
    void init() {
        TestDb::loadFixture();
        Session().reset();
        Session().setConnection(nullptr);
    }
    void cleanup() { closeSplashes(); }

    void connectionText_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inHouse");
        QTest::newRow("local") << "127.0.0.1" << kLocal << true;
        QTest::newRow("local with blank")
            << "127.0.0.1 "
            << "DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1 ;PORT=3306; "
               "USER=quorvex;PASSWORD=amberlantern;OPTION=3;Database=hr0910"
            << false;
        QTest::newRow("localhost") << "localhost"
                                   << "DRIVER={MySQL ODBC 3.51 Driver};SERVER=localhost;PORT=3306; "
                                      "USER=quorvex;PASSWORD=amberlantern;OPTION=3;Database=hr0910"
                                   << false;
        QTest::newRow("absent") << ""
                                << "DRIVER={MySQL ODBC 3.51 Driver};SERVER=;PORT=3306; "
                                   "USER=quorvex;PASSWORD=amberlantern;OPTION=3;Database=hr0910"
                                << false;
        QTest::newRow("in-house server")
            << "192.168.0.4"
            << "DRIVER={MySQL ODBC 3.51 Driver};SERVER=192.168.0.4;PORT=3306; "
               "USER=quorvex;PASSWORD=amberlantern;OPTION=3;Database=hr0910"
            << true;
        QTest::newRow("second in-house") << "192.168.0.5" << QString() << true;
    }
    void connectionText() {
        QFETCH(QString, address);
        QFETCH(QString, text);
        QFETCH(bool, inHouse);
        if (!text.isEmpty())
            QCOMPARE(ConnectionText(address), text);
        QCOMPARE(IsInHouseServer(address), inHouse);
        TempSettings settings;
        Settings::write("Tarovel", "Update", "InHousePage", "file:///inhouse");
        Settings::write("Tarovel", "Update", "PublicPage", "file:///public");
        QCOMPARE(UpdatePageFor(address), QString(inHouse ? "file:///inhouse" : "file:///public"));
    }

    void refusedServerEndsWithTheConnectMessage() {
        TempSettings settings;
        // Nothing listens there: the private server binds 127.0.0.1 only.
        Settings::write("Tarovel", "ServerIp", "ServerIP", "127.0.0.2");
        FakeDesktop desktop;
        QVERIFY(!Main());
        QCOMPARE(desktop.texts(),
                 QStringList{"Connecting to the server failed.. Please Try again.. "});
        QCOMPARE(desktop.ended, 1);
        QVERIFY(!Session().Connected);
        QCOMPARE(splashCount(), 0);
        QCOMPARE(Session().ServerAddress, QString("127.0.0.2"));
    }

    void aHeldOpenKeepsTheEventsFlowing() {
        // A loopback address of this test server's own, so parallel runs never share it.
        HeldServer held(QString("127.0.0.%1").arg(10 + TestDb::port() % 200), 3306);
        QVERIFY2(held.listening(), "127.0.0.x:3306 is taken");
        TempSettings settings;
        Settings::write("Tarovel", "ServerIp", "ServerIP", held.address());
        FakeDesktop desktop;
        // Only a timer that keeps firing while the open waits lets the server go.
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 20)
                held.release();
        });
        timer.start(5);
        QVERIFY(!Main());
        QVERIFY2(ticks >= 20, qPrintable(QString("%1 ticks while the open waited").arg(ticks)));
        QCOMPARE(desktop.texts(),
                 QStringList{"Connecting to the server failed.. Please Try again.. "});
        QCOMPARE(desktop.ended, 1);
        QCOMPARE(splashCount(), 0);
    }

    void releaseCheck_data() {
        QTest::addColumn<QStringList>("versions"); // "<null>" stands for NULL
        QTest::addColumn<bool>("runs");
        QTest::newRow("equal") << QStringList{"V0.6"} << true;
        QTest::newRow("case differs") << QStringList{"v0.6"} << false;
        QTest::newRow("newer") << QStringList{"V0.7"} << false;
        QTest::newRow("no row") << QStringList{} << true;
        QTest::newRow("null") << QStringList{"<null>"} << true;
        QTest::newRow("first of several equal") << QStringList{"V0.6", "V0.9"} << true;
        QTest::newRow("first of several differs") << QStringList{"V0.9", "V0.6"} << false;
    }
    void releaseCheck() {
        if (!localServer())
            QSKIP("the local connection text names port 3306");
        QFETCH(QStringList, versions);
        QFETCH(bool, runs);
        TestDb::exec("Delete from tarovel.versionmaster");
        for (const QString& v : versions)
            TestDb::exec(
                "Insert into tarovel.versionmaster(pack_code, version_code) Values('sys', ?)",
                {v == "<null>" ? QVariant() : QVariant(v)});
        TempSettings settings;
        Settings::write("Tarovel", "ServerIp", "ServerIP", "127.0.0.1");
        Settings::write("Tarovel", "Update", "InHousePage", "file:///inhouse");
        Settings::write("Tarovel", "Update", "PublicPage", "file:///public");
        FakeDesktop desktop;
        QCOMPARE(Main(), runs);
        QVERIFY(Session().Connected);
        QCOMPARE(Session().SharedConnection().connectionText(), kLocal);
        if (runs) {
            QVERIFY(desktop.shown.isEmpty());
            QCOMPARE(splashCount(), 1);
            QCOMPARE(desktop.ended, 0);
        } else {
            QCOMPARE(desktop.texts(),
                     QStringList{"Accounts Software Updated \r\nYou are running Version [V0.6]."
                                 "\r\nLatest Update is available at 'file:///public'."});
            QCOMPARE(desktop.opened, QStringList{"file:///inhouse"});
            QCOMPARE(desktop.ended, 1);
            QCOMPARE(splashCount(), 0);
        }
    }

    void workstationUnit_data() {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("configured") << "U2"
                                    << "U2"
                                    << "Second Unit";
        QTest::newRow("absent: first by priority") << ""
                                                   << "U1"
                                                   << "First Unit";
    }
    void workstationUnit() {
        if (!localServer())
            QSKIP("the local connection text names port 3306");
        QFETCH(QString, configured);
        QFETCH(QString, code);
        QFETCH(QString, name);
        TempSettings settings;
        Settings::write("Tarovel", "ServerIp", "ServerIP", "127.0.0.1");
        if (!configured.isEmpty())
            Settings::write("Tarovel", "Workstation", "UnitCode", configured);
        FakeDesktop desktop;
        QVERIFY(Main());
        QCOMPARE(Session().CurrentUnitCode, code);
        QCOMPARE(Session().CurrentUnitName, name);
        QCOMPARE(Session().ReleaseVersion, QString("V0.6"));
    }

    void failureAfterConnectingHasItsOwnMessage() {
        if (!localServer())
            QSKIP("the local connection text names port 3306");
        TestDb::exec("Rename table tarovel.versionmaster to tarovel.versionmaster_away");
        TempSettings settings;
        Settings::write("Tarovel", "ServerIp", "ServerIP", "127.0.0.1");
        FakeDesktop desktop;
        const bool ran = Main();
        TestDb::exec("Rename table tarovel.versionmaster_away to tarovel.versionmaster");
        QVERIFY(!ran);
        QCOMPARE(desktop.shown.size(), 1);
        QVERIFY(desktop.shown[0].text.contains("versionmaster"));
        QVERIFY(!desktop.shown[0].text.startsWith("Connecting to the server failed"));
        QCOMPARE(desktop.ended, 1);
    }

    void splashHandsOverOnTheTwentiethTick() {
        frmSplash* splash = new frmSplash;
        splash->Timer1->stop();
        QPointer<frmSplash> alive(splash);
        for (int tick = 1; tick < 20; ++tick) {
            splash->Timer1_Timer();
            QVERIFY2(alive, qPrintable(QString("closed at tick %1").arg(tick)));
        }
        TempSettings settings;
        splash->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alive);
        QWidget* login = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmLogin" && w->isVisible())
                login = w;
        QVERIFY(login);
        delete login;
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
