// The "VPN CHECK" screen with a test echo that sends nothing: layout, lines, colours,
// scrolling, the 1000-line rule, skipped branches and the one-time rights message.
#include "fake_echo.h"

#include "netmon/frmPing.h"
#include "platform/Geometry.h"
#include "platform/Settings.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace orvane;

namespace {

constexpr int kWait = 20000; // generous: only reached when something is wrong

// The screen reads its table from a private settings folder holding loopback branches,
// and pings through the test echo; the timer is stopped so that only the test drives.
struct Screen {
    test::TempSettings settings;
    test::TempStateHome state; // the screen logs every answer
    std::shared_ptr<FakeEcho> echo = FakeEcho::create();
    std::unique_ptr<frmPing> form;

    explicit Screen(bool stopTimer = true) {
        for (const Branch& b : loopbackBranches()) {
            const int n = b.address.section('.', 3).toInt();
            Settings::write("Tarovel", "Branches", QStringLiteral("Name%1").arg(n), b.name);
            Settings::write("Tarovel", "Branches", QStringLiteral("Address%1").arg(n), b.address);
        }
        form = std::make_unique<frmPing>();
        form->monitor().setEcho(echo->service());
        if (stopTimer)
            form->Timer1->stop();
    }
    ~Screen() {
        echo->release();
        if (form->monitor().echoing()) {
            QSignalSpy finished(&form->monitor(), &PingMonitor::settled);
            finished.wait(kWait);
        }
    }
    QListWidget* list(int n) const {
        return form->findChild<QListWidget*>(QStringLiteral("LstBranch%1").arg(n));
    }
    bool pass() {
        QSignalSpy finished(&form->monitor(), &PingMonitor::settled);
        form->Timer1_Timer();
        return finished.wait(kWait);
    }
    static QColor textColour(QListWidget* list) { return list->palette().color(QPalette::Text); }
};

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

} // namespace

class TestFrmPing : public QObject {
    Q_OBJECT

  private slots:
    void screen() {
        Screen s;
        QCOMPARE(s.form->windowTitle(), QStringLiteral("VPN CHECK"));
        QCOMPARE(s.form->size(), QSize(twips(10440), twips(9300)));
        QTimer* timer = s.form->findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 500);
        Screen running(false);
        QVERIFY(running.form->Timer1->isActive());
        for (int n = 1; n <= 9; ++n) {
            QListWidget* list = s.list(n);
            QVERIFY(list);
            QCOMPARE(list->count(), 0);
            QCOMPARE(Screen::textColour(list), kGreen);
            QCOMPARE(list->palette().color(QPalette::Base), QColor(Qt::black));
        }
    }

    // List n, the label above it, and its place in twips.
    void layout_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("label");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        const int table[9][3] = {{2, 90, 300},    {1, 6960, 3390}, {7, 3600, 6480},
                                 {4, 3510, 3390}, {8, 60, 3420},   {3, 3510, 300},
                                 {5, 6960, 330},  {6, 7020, 6480}, {9, 60, 6450}};
        for (int i = 0; i < 9; ++i)
            QTest::addRow("LstBranch%d", i + 1)
                << i + 1 << table[i][0] << table[i][1] << table[i][2];
    }
    void layout() {
        QFETCH(int, list);
        QFETCH(int, label);
        QFETCH(int, left);
        QFETCH(int, top);
        Screen s;
        QListWidget* box = s.list(list);
        QCOMPARE(box->geometry(), QRect(twips(left), twips(top), twips(3375), twips(2790)));
        auto* caption = s.form->findChild<QLabel*>(QStringLiteral("Label%1").arg(label));
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral("SITE %1").arg(list)); // branch name, capitals
        QCOMPARE(caption->font().family(), QStringLiteral("Times New Roman"));
        QVERIFY(caption->font().bold());
        QCOMPARE(caption->font().pointSizeF(), 8.25);
        QCOMPARE(caption->height(), twips(195));
        // Above its list, about 240 twips, roughly centred.
        const int gap = box->y() - caption->y();
        QVERIFY2(gap >= twips(180) && gap <= twips(300), qPrintable(QString::number(gap)));
        QVERIFY(qAbs(caption->geometry().center().x() - box->geometry().center().x()) <= 2);
    }

    // Whole-list colour follows the latest answer, both ways.
    void linesAndColours() {
        Screen s;
        QVERIFY(s.pass());
        s.echo->answer("127.0.0.3", 11010, 0);
        s.echo->answer("127.0.0.8", 0, 12);
        QVERIFY(s.pass());
        QCOMPARE(s.list(3)->item(1)->text(),
                 QStringLiteral("Ping: 127.0.0.3 Request Timed Out 0 ms"));
        QCOMPARE(s.list(8)->item(1)->text(), QStringLiteral("Ping: 127.0.0.8 Success! 12 ms"));
        QCOMPARE(Screen::textColour(s.list(3)), kRed);
        QCOMPARE(Screen::textColour(s.list(8)), kGreen);
        s.echo->answer("127.0.0.3", 0, 2);
        s.echo->answer("127.0.0.8", 11003, 4);
        QVERIFY(s.pass());
        QCOMPARE(Screen::textColour(s.list(3)), kGreen);
        QCOMPARE(Screen::textColour(s.list(8)), kRed);
        QCOMPARE(s.list(8)->item(2)->text(),
                 QStringLiteral("Ping: 127.0.0.8 Destination Host Unreachable 4 ms"));
        for (int n = 1; n <= 9; ++n) {
            QCOMPARE(s.list(n)->count(), 3);
            QCOMPARE(s.list(n)->item(0)->text(),
                     QStringLiteral("Ping: 127.0.0.%1 Success! 1 ms").arg(n));
        }
    }

    // The newest line is brought to the top as far as the list scrolls.
    void scrollsToNewest() {
        Screen s;
        s.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.form.get()));
        for (int i = 0; i < 40; ++i)
            QVERIFY(s.pass());
        QListWidget* list = s.list(6);
        QCoreApplication::processEvents();
        QScrollBar* bar = list->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(39)).center()));
    }

    void thousandLineRule() {
        Screen s;
        for (int i = 0; i < 999; ++i)
            QVERIFY(s.pass());
        QCOMPARE(s.list(1)->count(), 999);
        QCOMPARE(s.list(9)->count(), 999);
        QVERIFY(s.pass());
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(s.list(n)->count(), 0);
        QVERIFY(s.pass());
        QCOMPARE(s.list(5)->count(), 1);
    }

    void skippedBranchUnchanged() {
        Screen s;
        s.echo->answer("127.0.0.4", 11010, 0);
        QVERIFY(s.pass());
        s.echo->failStartup("127.0.0.4");
        s.echo->answer("127.0.0.4", 0, 1);
        QVERIFY(s.pass());
        QCOMPARE(s.list(4)->count(), 1);
        QCOMPARE(Screen::textColour(s.list(4)), kRed);
        QCOMPARE(s.list(5)->count(), 2);
    }

    // Without the right to send ICMP the lines say so, and the screen says why, once.
    void rightsMessage_data() {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("messages");
        QTest::newRow("no ICMP right") << "ICMP is not permitted: grant it." << 1;
        QTest::newRow("echo not sent for another reason") << QString() << 0;
    }
    void rightsMessage() {
        QFETCH(QString, problem);
        QFETCH(int, messages);
        test::FakeDesktop desktop;
        Screen s;
        for (int n = 1; n <= 9; ++n)
            s.echo->answer(QStringLiteral("127.0.0.%1").arg(n), -1, 0);
        s.echo->setPermissionProblem(problem);
        for (int i = 0; i < 3; ++i)
            QVERIFY(s.pass());
        QCOMPARE(desktop.shown.size(), messages);
        if (messages)
            QCOMPARE(desktop.shown.first().text, problem);
        QCOMPARE(s.list(2)->item(2)->text(),
                 QStringLiteral("Ping: 127.0.0.2 Unknown Response 0 ms"));
        QCOMPARE(Screen::textColour(s.list(2)), kRed);
    }

    // Left alone, the timer keeps passes coming.
    void timerDrivesPasses() {
        Screen s(false);
        QTRY_VERIFY_WITH_TIMEOUT(s.list(1)->count() >= 2, kWait);
        QVERIFY(s.echo->notLoopback().isEmpty());
    }

    void closeStopsPinging() {
        Screen s(false);
        s.form->show();
        QVERIFY(s.form->close());
        QVERIFY(!s.form->Timer1->isActive());
        s.form->show(); // a screen kept and shown again carries on
        QVERIFY(s.form->Timer1->isActive());
    }

    void centredInMainWindow() {
        QMdiArea area;
        area.resize(1200, 900);
        area.show();
        Screen s; // goes before the area, taking the screen out of its frame
        QMdiSubWindow* frame = area.addSubWindow(s.form.get());
        frame->show();
        QCoreApplication::processEvents();
        const QPoint centre = frame->geometry().center();
        const QPoint middle = area.viewport()->rect().center();
        QVERIFY2((centre - middle).manhattanLength() <= 3,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }
};

QTEST_MAIN(TestFrmPing)
#include "tst_frmping.moc"
