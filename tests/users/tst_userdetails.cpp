// User details: the two-page layout, which does nothing, and opening it from the menu.
#include "app/Session.h"
#include "platform/Geometry.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"
#include "users/frmUserDetails.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

using namespace orvane;
using namespace orvane::test;

class tst_userdetails : public QObject {
    Q_OBJECT

    TempSettings settings_;
    FakeDesktop* desktop_ = nullptr;
    frmMain* main_ = nullptr;

    frmUserDetails* openScreen() {
        main_->mnuCreateUser->trigger();
        return main_->find<frmUserDetails>();
    }
    // Everything the screen could have touched in the database.
    static QString databaseSnapshot() {
        return TestDb::scalar("select group_concat(concat_ws('|', user_id, user_name, "
                              "user_password, unit_code, modified_by, modified_date) order by "
                              "user_id) from tarovel.userdetails") +
               TestDb::scalar("select group_concat(concat(unit_code, user_id) order by "
                              "unit_code, user_id) from tarovel.unitaccess");
    }
    static bool listsEmpty(frmUserDetails* screen) {
        for (int r = 0; r < screen->GrUserDetails->rowCount(); ++r)
            for (int c = 0; c < screen->GrUserDetails->columnCount(); ++c)
                if (screen->GrUserDetails->item(r, c))
                    return false;
        return screen->LvAvailable->topLevelItemCount() == 0 &&
               screen->LvAssigned->topLevelItemCount() == 0;
    }

  private slots:
    void initTestCase() { TestDb::installSession(); }

    void init() {
        TestDb::loadFixture();
        desktop_ = new FakeDesktop;
        Session().CurrentUserId = "1";
        main_ = new frmMain;
        main_->show();
    }

    void cleanup() {
        delete main_;
        delete desktop_;
    }

    void shellMenuItemsEnabled() {
        for (QAction* item : {main_->mnuChangeUnit, main_->mnuChangePwd, main_->mnuCreateUser})
            QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page"); // -1: the bottom panel
        QTest::newRow("Label3") << "Label3"
                                << "User Group" << 0;
        QTest::newRow("Label1") << "Label1"
                                << "User Name" << 0;
        QTest::newRow("Label2") << "Label2"
                                << "Password" << 0;
        QTest::newRow("TxUserGroup") << "TxUserGroup"
                                     << "" << 0;
        QTest::newRow("TxUserName") << "TxUserName"
                                    << "" << 0;
        QTest::newRow("TxPwd") << "TxPwd"
                               << "" << 0;
        QTest::newRow("GrUserDetails") << "GrUserDetails"
                                       << "" << 0;
        QTest::newRow("LvAvailable") << "LvAvailable"
                                     << "" << 1;
        QTest::newRow("CmAllow") << "CmAllow"
                                 << "" << 1;
        QTest::newRow("CmDisallow") << "CmDisallow"
                                    << "" << 1;
        QTest::newRow("LvAssigned") << "LvAssigned"
                                    << "" << 1;
        QTest::newRow("CmNew") << "CmNew"
                               << "New - F2" << -1;
        QTest::newRow("CmEdit") << "CmEdit"
                                << "Edit - F3" << -1;
        QTest::newRow("CmDisable") << "CmDisable"
                                   << "Disable - F4" << -1;
        QTest::newRow("CmCancel") << "CmCancel"
                                  << "Cancel - F8" << -1;
        QTest::newRow("CmClose") << "CmClose"
                                 << "Close - F9" << -1;
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, page);
        frmUserDetails* screen = openScreen();
        QCOMPARE(screen->windowTitle(), QString("User Details"));
        QCOMPARE(screen->size(), QSize(twips(8580), twips(6375)));
        QCOMPARE(screen->SSTab->size(), QSize(twips(9015), twips(5595)));
        QCOMPARE(screen->SSTab->count(), 2);
        QCOMPARE(screen->SSTab->tabText(0), QString("User Details"));
        QCOMPARE(screen->SSTab->tabText(1), QString("Permissions"));
        QVERIFY(screen->SSTab->font().bold());
        auto* control = screen->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->property("text").toString(), text);
        QCOMPARE(control->parentWidget(),
                 page < 0 ? static_cast<QWidget*>(screen->Panel) : screen->SSTab->widget(page));
        if (page < 0)
            QCOMPARE(control->size(), QSize(twips(1125), twips(405)));
        QVERIFY(listsEmpty(screen));
    }

    void details() {
        frmUserDetails* screen = openScreen();
        QVERIFY(screen->TxUserGroup->isReadOnly());
        QCOMPARE(screen->TxPwd->echoMode(), QLineEdit::Password);
        QCOMPARE(screen->GrUserDetails->columnCount(), 4);
        QCOMPARE(screen->GrUserDetails->rowCount(), 19); // below its heading row
        QCOMPARE(screen->LvAvailable->headerItem()->text(0), QString("Available Units"));
        QCOMPARE(screen->LvAssigned->headerItem()->text(0), QString("Assigned Units"));
        // The picture buttons stand between the lists; the function buttons left to right.
        QVERIFY(screen->LvAvailable->geometry().right() < screen->CmAllow->x());
        QVERIFY(screen->CmAllow->geometry().right() < screen->LvAssigned->x());
        QVERIFY(screen->CmAllow->y() < screen->CmDisallow->y());
        const QList<QPushButton*> row{screen->CmNew, screen->CmEdit, screen->CmDisable,
                                      screen->CmCancel, screen->CmClose};
        for (int i = 1; i < row.size(); ++i)
            QVERIFY(row[i]->x() > row[i - 1]->geometry().right());
        QVERIFY(row.last()->geometry().right() < screen->Panel->width());
    }

    void deadKeysAndButtons_data() {
        QTest::addColumn<int>("key"); // 0: click the button instead
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("page");
        for (int key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
            QTest::addRow("F%d", key - Qt::Key_F1 + 1) << key << "" << key % 2;
        for (const char* button :
             {"CmNew", "CmEdit", "CmDisable", "CmCancel", "CmClose", "CmAllow", "CmDisallow"})
            QTest::addRow("%s", button) << 0 << button << 1;
    }
    void deadKeysAndButtons() {
        QFETCH(int, key);
        QFETCH(QString, button);
        QFETCH(int, page);
        const QString before = databaseSnapshot();
        frmUserDetails* screen = openScreen();
        QPointer<QMdiSubWindow> frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
        QTest::keyClicks(screen->TxUserName, "newcomer");
        QTest::keyClicks(screen->TxPwd, "secret");
        screen->SSTab->setCurrentIndex(page);
        if (key) {
            for (QWidget* target : {static_cast<QWidget*>(screen->TxUserName),
                                    screen->SSTab->currentWidget(), static_cast<QWidget*>(screen)})
                QTest::keyClick(target, Qt::Key(key));
        } else {
            QTest::mouseClick(screen->findChild<QPushButton*>(button), Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(main_->loadedWindowCount(), 2);
        QCOMPARE(screen->TxUserName->text() + "/" + screen->TxPwd->text(),
                 QString("newcomer/secret"));
        QCOMPARE(screen->SSTab->currentIndex(), page);
        QVERIFY(listsEmpty(screen));
        QVERIFY(desktop_->shown.isEmpty());
        QCOMPARE(databaseSnapshot(), before);
    }

    void closeBoxCloses() {
        frmUserDetails* screen = openScreen();
        QTest::keyClicks(screen->TxUserName, "gone");
        QPointer<QMdiSubWindow> frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
        frame->close();
        QTRY_VERIFY(frame.isNull());
        QCOMPARE(main_->loadedWindowCount(), 1);
        QVERIFY(openScreen()->TxUserName->text().isEmpty());
    }

    void createUserAgainBringsSameScreenForward() {
        frmUserDetails* screen = openScreen();
        QTest::keyClicks(screen->TxUserName, "kept");
        screen->SSTab->setCurrentIndex(1);
        auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
        main_->mnuChangePwd->trigger();
        QVERIFY(main_->area()->activeSubWindow() != frame);
        main_->mnuCreateUser->trigger();
        QCOMPARE(main_->find<frmUserDetails>(), screen);
        QCOMPARE(main_->area()->activeSubWindow(), frame);
        QCOMPARE(main_->loadedWindowCount(), 3);
        QCOMPARE(screen->TxUserName->text(), QString("kept"));
        QCOMPARE(screen->SSTab->currentIndex(), 1);
    }
};

QTEST_MAIN(tst_userdetails)
#include "tst_userdetails.moc"
