// Sign-in against the user table: both paths, their messages, icons and the remembered name.
#include "app/Session.h"
#include "platform/Settings.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QtTest>

using namespace orvane;
using namespace orvane::test;

namespace {
frmMain* openMain() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMain*>(w); m && m->isVisible())
            return m;
    return nullptr;
}
} // namespace

class tst_login : public QObject {
    Q_OBJECT
    std::unique_ptr<TempSettings> settings_;

  private slots:
    void initTestCase() { TestDb::installSession(); }
    void init() {
        TestDb::loadFixture();
        settings_ = std::make_unique<TempSettings>();
        Session().CurrentUserId.clear();
        Session().CurrentUserName.clear();
        Session().SelectedSystemId.clear();
    }
    void cleanup() {
        if (frmMain* m = openMain())
            delete m;
        settings_.reset();
    }

    void signIn_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("passwordAfter");
        QTest::addColumn<QString>("remembered");
        const int info = int(MsgIcon::Information), crit = int(MsgIcon::Critical);
        QTest::newRow("chief ok") << "chief"
                                  << "topsecret"
                                  << "" << 0 << true << "topsecret"
                                  << "chief";
        QTest::newRow("chief blanks kept in name") << "  chief "
                                                   << " topsecret  "
                                                   << "" << 0 << true << " topsecret  "
                                                   << "  chief ";
        QTest::newRow("chief wrong password: info, box emptied")
            << "chief"
            << "TOPSECRET"
            << "Invalid Password.   " << info << false << ""
            << "";
        QTest::newRow("user ok") << "mira"
                                 << "pass5"
                                 << "" << 0 << true << "pass5"
                                 << "mira";
        QTest::newRow("user wrong password: critical, text stays")
            << "mira"
            << "nope"
            << "Invalid Password.   " << crit << false << "nope"
            << "";
        QTest::newRow("user denied") << "otto"
                                     << "pass6"
                                     << "Login Denied!.... Please Contact System Administrator.   "
                                     << crit << false << "pass6"
                                     << "";
        QTest::newRow("denied user with wrong password sees the password message")
            << "otto"
            << "bad"
            << "Invalid Password.   " << crit << false << "bad"
            << "";
        QTest::newRow("unknown name") << "nobody"
                                      << "x"
                                      << "Invalid User Name    " << info << false << "x"
                                      << "";
        QTest::newRow("empty name") << ""
                                    << ""
                                    << "Invalid User Name    " << info << false << ""
                                    << "";
        QTest::newRow("injection") << "' OR '1'='1"
                                   << "x"
                                   << "Invalid User Name    " << info << false << "x"
                                   << "";
        QTest::newRow("backslash") << "chief\\"
                                   << "x"
                                   << "Invalid User Name    " << info << false << "x"
                                   << "";
        QTest::newRow("10000 chars") << QString(10000, 'n') << "x"
                                     << "Invalid User Name    " << info << false << "x"
                                     << "";
    }
    void signIn() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(bool, signedIn);
        QFETCH(QString, passwordAfter);
        QFETCH(QString, remembered);
        FakeDesktop desktop;
        QPointer<frmLogin> login = new frmLogin;
        login->show();
        login->TxtUserName->setText(name);
        login->TxtPassword->setText(password);
        login->TxtPassword->setFocus();
        QTest::keyClick(login->TxtPassword, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (message.isEmpty()) {
            QVERIFY(desktop.shown.isEmpty());
        } else {
            QCOMPARE(desktop.texts(), QStringList{message});
            QCOMPARE(int(desktop.shown[0].icon), icon);
        }
        QCOMPARE(bool(openMain()), signedIn);
        QCOMPARE(login.isNull(), signedIn);
        if (!signedIn) {
            QCOMPARE(login->TxtPassword->text(), passwordAfter);
            QVERIFY(login->TxtPassword->hasFocus() || !login->isActiveWindow());
            delete login;
        } else {
            QCOMPARE(Session().CurrentUserName, name);
        }
        QCOMPARE(Settings::read("SYS", "Login", "AUser"), remembered);
    }

    // A NULL stored password matches nothing; only spaces count as blanks around a typed one.
    void passwordsThatNeverMatch_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("storeNull");
        QTest::newRow("first user, NULL, empty box") << "chief"
                                                     << "" << true;
        QTest::newRow("first user, NULL, blanks") << "chief"
                                                  << "   " << true;
        QTest::newRow("user, NULL, empty box") << "mira"
                                               << "" << true;
        QTest::newRow("tab is no blank") << "mira"
                                         << "\tpass5" << false;
        QTest::newRow("line break is no blank") << "mira"
                                                << "pass5\n"
                                                << false;
    }
    void passwordsThatNeverMatch() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, storeNull);
        if (storeNull)
            TestDb::exec("Update tarovel.userdetails set user_password=NULL where user_name=?",
                         {name});
        FakeDesktop desktop;
        frmLogin login;
        login.TxtUserName->setText(name);
        login.TxtPassword->setText(typed);
        login.CmOk_Click();
        QCOMPARE(desktop.texts(), QStringList{"Invalid Password.   "});
        QVERIFY(!openMain());
        QVERIFY(Session().CurrentUserId.isEmpty());
    }

    void passwordShowsStars() {
        frmLogin login;
        login.TxtPassword->setText("abc");
        QCOMPARE(login.TxtPassword->displayText(), QString("***"));
    }

    void deniedChiefIsRememberedAnyway() {
        TestDb::exec("Update tarovel.userdetails set user_login_sys=0 where user_id=1");
        FakeDesktop desktop;
        frmLogin login;
        login.TxtUserName->setText(" chief");
        login.TxtPassword->setText("topsecret");
        login.CmOk_Click();
        QCOMPARE(desktop.texts(),
                 QStringList{"Login Denied!.... Please Contact System Administrator.   "});
        QCOMPARE(int(desktop.shown[0].icon), int(MsgIcon::Critical));
        QCOMPARE(Settings::read("SYS", "Login", "AUser"), QString(" chief"));
        QCOMPARE(Session().CurrentUserId, QString("1"));
        QCOMPARE(Session().SelectedSystemId, QString("1"));
        QVERIFY(!openMain());
    }

    void sessionFilledFromTheRow() {
        FakeDesktop desktop;
        auto* login = new frmLogin;
        login->TxtUserName->setText("lena");
        login->TxtPassword->setText("pass8");
        login->CmOk_Click();
        QCOMPARE(Session().CurrentUserId, QString("8"));
        QCOMPARE(Session().SelectedSystemId, QString("0"));
        QVERIFY(openMain());
    }

    void rememberedNameAndFocus() {
        Settings::write("SYS", "Login", "AUser", " mira ");
        FakeDesktop desktop;
        auto* login = new frmLogin;
        login->show();
        QVERIFY(QTest::qWaitForWindowActive(login));
        QCOMPARE(login->TxtUserName->text(), QString(" mira "));
        QCOMPARE(QApplication::focusWidget(), login->TxtPassword);
        QTest::keyClicks(login->TxtPassword, "pass5");
        QTest::keyClick(login->TxtPassword, Qt::Key_Return);
        QVERIFY(desktop.shown.isEmpty());
        QVERIFY(openMain());
        QCOMPARE(openMain()->windowTitle(),
                 frmMain::CaptionFor(Session().CurrentUnitName, " mira "));
    }

    void tabOrderAndEnterInName() {
        FakeDesktop desktop;
        frmLogin login;
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        login.TxtPassword->setFocus();
        const QList<QWidget*> order{login.CmOk, login.CmExit, login.TxtUserName, login.TxtPassword};
        for (QWidget* expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        login.TxtUserName->setFocus();
        QTest::keyClick(login.TxtUserName, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), login.TxtPassword);
        QVERIFY(desktop.shown.isEmpty());
        QCOMPARE(login.TxtPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(login.windowTitle(), QString("Tarovel  (P) Ltd"));
    }

    void exitEndsTheProgram() {
        FakeDesktop desktop;
        frmLogin login;
        QTest::mouseClick(login.CmExit, Qt::LeftButton);
        QCOMPARE(desktop.ended, 1);
    }

    void databaseFailureKeepsTheScreen() {
        FakeDesktop desktop;
        frmLogin login;
        login.TxtUserName->setText("chief");
        login.TxtPassword->setText("topsecret");
        TestDb::exec("Rename table tarovel.userdetails to tarovel.userdetails_away");
        login.CmOk_Click();
        TestDb::exec("Rename table tarovel.userdetails_away to tarovel.userdetails");
        QCOMPARE(desktop.shown.size(), 1);
        QVERIFY(desktop.shown[0].text.contains("userdetails"));
        QVERIFY(!openMain());
        // Works again once the table is back.
        login.CmOk_Click();
        QCOMPARE(desktop.shown.size(), 1);
        QVERIFY(openMain());
    }
};

QTEST_MAIN(tst_login)
#include "tst_login.moc"
