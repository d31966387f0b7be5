// Resizing: the data screens grow with their frame and never shrink below their design, the
// entry screens keep fixed frames, and the main window comes back where it was closed.
#include "antivirus/frmAvUpdation.h"
#include "netmon/PingMonitor.h"
#include "netmon/fake_echo.h"
#include "netmon/frmPing.h"
#include "platform/Settings.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {

QRect inScreen(QWidget* w, QWidget* screen) {
    return QRect(w->mapTo(screen, QPoint(0, 0)), w->size());
}

QSize viewportOf(QWidget* data) {
    auto* area = qobject_cast<QAbstractScrollArea*>(data);
    return area ? area->viewport()->size() : data->size();
}

} // namespace

class tst_screengrowth : public QObject {
    Q_OBJECT

    // A signed-in main window; the ping monitor only ever reaches the test echo.
    struct Desk {
        TempSettings settings;
        TempStateHome state;
        FakeDesktop desktop;
        std::shared_ptr<FakeEcho> echo = FakeEcho::create();
        std::unique_ptr<frmMain> main;

        Desk() {
            TestDb::startSession("1", "U1", "First Unit");
            for (int i = 1; i <= 9; ++i)
                Settings::write("Tarovel", "Branches", QString("Address%1").arg(i),
                                QString("127.0.0.%1").arg(i + 1));
            main = std::make_unique<frmMain>();
            main->resize(1400, 1100);
            main->show();
        }
        ~Desk() { echo->release(); }
        QMdiSubWindow* open(const QString& item) {
            main->findChild<QAction*>(item)->trigger();
            if (frmPing* ping = main->find<frmPing>()) {
                ping->Timer1->stop();
                ping->monitor().setEcho(echo->service());
            }
            return main->area()->activeSubWindow();
        }
    };

  private slots:
    void dataScreensGrow_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("data");
        QTest::addColumn<QSize>("designed");
        QTest::addColumn<QSize>("growth");       // of each data widget's viewport, at least
        QTest::addColumn<QStringList>("labels"); // above each data widget
        QTest::newRow("report") << "mnuReports" << QStringList{"Fbook"} << QSize(769, 421)
                                << QSize(200, 150) << QStringList();
        QTest::newRow("expiry overview") << "mnuExpiryOverview" << QStringList{"ChOverview"}
                                         << QSize(769, 421) << QSize(200, 150) << QStringList();
        QTest::newRow("activation list") << "mnuAntivirusActivation" << QStringList{"Fbook"}
                                         << QSize(769, 421) << QSize(200, 150) << QStringList();
        QTest::newRow("antivirus master") << "mnuAVMaster" << QStringList{"GrPosition"}
                                          << QSize(770, 425) << QSize(200, 150) << QStringList();
        QStringList lists;
        for (int n = 1; n <= 9; ++n)
            lists << QString("LstBranch%1").arg(n);
        // The design numbers the labels apart from the lists.
        const QStringList labels{"Label2", "Label1", "Label7", "Label4", "Label8",
                                 "Label3", "Label5", "Label6", "Label9"};
        QTest::newRow("ping monitor")
            << "mnuVPNCHK" << lists << QSize(696, 620) << QSize(66, 50) << labels;
    }
    void dataScreensGrow() {
        QFETCH(QString, item);
        QFETCH(QStringList, data);
        QFETCH(QSize, designed);
        QFETCH(QSize, growth);
        QFETCH(QStringList, labels);
        Desk desk;
        QMdiSubWindow* frame = desk.open(item);
        QWidget* screen = frame->widget();
        QCOMPARE(screen->size(), designed);
        QList<QWidget*> parts;
        QList<QSize> before;
        for (const QString& name : data) {
            parts << screen->findChild<QWidget*>(name);
            QVERIFY2(parts.last(), qPrintable(name));
            before << viewportOf(parts.last());
        }
        const QSize designedFrame = frame->size();

        frame->resize(designedFrame + QSize(200, 150));
        QCoreApplication::processEvents();
        QCOMPARE(screen->size(), designed + QSize(200, 150));
        int dataBottom = 0;
        for (int i = 0; i < parts.size(); ++i) {
            const QSize grown = viewportOf(parts[i]) - before[i];
            QVERIFY2(grown.width() >= growth.width() && grown.height() >= growth.height(),
                     qPrintable(data[i]));
            QVERIFY(screen->rect().contains(inScreen(parts[i], screen)));
            dataBottom = std::max(dataBottom, inScreen(parts[i], screen).bottom());
            if (!labels.isEmpty()) {
                const QRect label = inScreen(screen->findChild<QWidget*>(labels[i]), screen);
                const QRect list = inScreen(parts[i], screen);
                QVERIFY2(label.bottom() < list.top() && list.top() - label.bottom() < 20,
                         qPrintable(labels[i]));
                QCOMPARE(label.width(), list.width());
            }
        }
        for (QPushButton* button : screen->findChildren<QPushButton*>()) {
            const QRect place = inScreen(button, screen);
            QVERIFY2(screen->rect().contains(place), qPrintable(button->objectName()));
            QVERIFY2(place.top() > dataBottom, qPrintable(button->objectName()));
        }
        // The monitor's lists share the space without overlapping.
        for (int n = 0; n < parts.size(); ++n)
            for (int m = n + 1; m < parts.size(); ++m)
                QVERIFY(!inScreen(parts[n], screen).intersects(inScreen(parts[m], screen)));

        frame->resize(100, 100);
        QCoreApplication::processEvents();
        QCOMPARE(screen->size(), designed);
        QCOMPARE(viewportOf(parts[0]), before[0]);
    }

    void maximisedByTitleBarDoubleClick_data() {
        QTest::addColumn<int>("use"); // the menu bar's Minimise, Restore, Close; -1 the frame icon
        QTest::addColumn<QString>("after");
        QTest::newRow("frame menu Restore") << -2 << "normal";
        QTest::newRow("frame icon double-click") << -1 << "normal";
        QTest::newRow("minimise button") << 0 << "minimised";
        QTest::newRow("restore button") << 1 << "normal";
        QTest::newRow("close button") << 2 << "closed";
    }
    void maximisedByTitleBarDoubleClick() {
        QFETCH(int, use);
        QFETCH(QString, after);
        Desk desk;
        QPointer<QMdiSubWindow> frame = desk.open("mnuReports");
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QTest::mouseDClick(frame, Qt::LeftButton, {},
                           QPoint(frame->width() / 2, frame->widget()->y() / 2));
        QCoreApplication::processEvents();
        QVERIFY(frame->isMaximized());
        QCOMPARE(frame->widget()->size(), desk.main->area()->viewport()->size());
        // An entry screen opened meanwhile keeps its own frame and title bar.
        QMdiSubWindow* entry = desk.open("mnuChangePwd");
        QVERIFY(!entry->isMaximized());
        QVERIFY(frame->isMaximized());
        // The title bar has gone into the menu bar: the frame menu with its icon on the left,
        // Minimise, Restore and Close on the right.
        QWidget* icon = desk.main->menuBar()->cornerWidget(Qt::TopLeftCorner);
        QWidget* controls = desk.main->menuBar()->cornerWidget(Qt::TopRightCorner);
        QVERIFY(icon && icon->isVisible() && !icon->size().isEmpty());
        QVERIFY(controls && controls->isVisible());
        if (use >= 0) {
            const QPoint centre(controls->width() * (2 * use + 1) / 6, controls->height() / 2);
            QTest::mouseClick(controls, Qt::LeftButton, {}, centre);
        } else if (use == -1) {
            QTest::mouseDClick(icon, Qt::LeftButton);
        } else {
            QAction* restore = frame->systemMenu()->actions().value(0);
            QCOMPARE(restore->text(), QString("&Restore"));
            restore->trigger();
        }
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(frame.isNull(), after == "closed");
        if (after == "closed")
            return;
        QVERIFY(!frame->isMaximized());
        QCOMPARE(frame->isMinimized(), after == "minimised");
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        if (after == "normal")
            QCOMPARE(frame->widget()->size(), QSize(769, 421));
    }

    void entryScreensStayFixed_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("change password") << "mnuChangePwd";
        QTest::newRow("unit switch") << "mnuChangeUnit";
        QTest::newRow("create user") << "mnuCreateUser";
        QTest::newRow("activation screen") << "";
    }
    void entryScreensStayFixed() {
        QFETCH(QString, item);
        Desk desk;
        QMdiSubWindow* frame =
            item.isEmpty()
                ? qobject_cast<QMdiSubWindow*>(desk.main->Show<frmAvUpdation>()->parentWidget())
                : desk.open(item);
        const QSize designed = frame->size();
        QCOMPARE(frame->minimumSize(), designed);
        QCOMPARE(frame->maximumSize(), designed);
        frame->resize(designed + QSize(200, 150));
        QCOMPARE(frame->size(), designed);
    }

    // The offscreen platform's one screen is 800 by 800 pixels; the title bar takes 24.
    void mainWindowPlaceIsKept_data() {
        QTest::addColumn<QRect>("closed");
        QTest::addColumn<QRect>("opened");
        QTest::newRow("as closed") << QRect(40, 30, 700, 500) << QRect(40, 30, 700, 500);
        QTest::newRow("huge size") << QRect(30, 40, 21000, 15700) << QRect(0, 24, 800, 776);
        QTest::newRow("off the left edge") << QRect(-550, 100, 600, 400) << QRect(0, 100, 600, 400);
    }
    void mainWindowPlaceIsKept() {
        QFETCH(QRect, closed);
        QFETCH(QRect, opened);
        TempSettings settings;
        FakeDesktop desktop;
        QSize designed;
        {
            auto* main = new frmMain; // deletes itself on close
            designed = main->size();
            main->show();
            main->setGeometry(closed);
            main->close();
        }
        QVERIFY(!Settings::read("SYS", "MainWindow", "Geometry").isEmpty());
        QCOMPARE(designed.width(), 837); // a first run keeps the design
        frmMain again;
        QCOMPARE(again.geometry(), opened);
    }
};

QTEST_MAIN(tst_screengrowth)
#include "tst_screengrowth.moc"
