// Change password: checks, messages, the stored row and signing in afterwards.
#include "app/Session.h"
#include "platform/Geometry.h"
#include "platform/Settings.h"
#include "shell/LoginData.h"
#include "shell/frmChangePassword.h"
#include "shell/frmLogin.h"
#include "shell/frmMain.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

using namespace orvane;
using namespace orvane::test;

namespace {

const QString kDone = "Your password has been changed succssfully.   ";

// Types text key by key, non-Latin letters included (QTest::keyClicks keeps Latin-1 only).
void typeText(QWidget* box, const QString& text) {
    for (int i = 0; i < text.size();) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n;
    }
}

QString column(const char* name, int userId) {
    return TestDb::scalar(QString("select %1 from tarovel.userdetails where user_id=?").arg(name),
                          {userId});
}

QString longPassword() {
    QString text;
    while (text.size() < 1000)
        text += QStringLiteral("a'b\\c%d\"e_fé密ø;-- ");
    text.truncate(999);
    return text + 'z'; // no blank at the end, so all thousand survive the trim
}

} // namespace

class tst_changepassword : public QObject {
    Q_OBJECT

    TempSettings settings_;
    FakeDesktop* desktop_ = nullptr;
    frmMain* main_ = nullptr;

    frmChangePassword* openScreen() {
        main_->mnuChangePwd->trigger();
        main_->activateWindow();
        if (!QTest::qWaitForWindowActive(main_))
            return nullptr;
        return main_->find<frmChangePassword>();
    }
    static QPointer<QMdiSubWindow> frameOf(QWidget* screen) {
        return qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    }
    static void fill(frmChangePassword* screen, const QString& current, const QString& fresh,
                     const QString& confirm) {
        typeText(screen->TxCurPwd, current);
        typeText(screen->TxNewPwd, fresh);
        typeText(screen->TxConfirmPwd, confirm);
    }
    // Undoes what the failure test breaks.
    static void repairDatabase() {
        TestDb::exec("DROP TRIGGER IF EXISTS tarovel.freeze_passwords");
        if (TestDb::count("select count(*) from information_schema.tables where "
                          "table_schema='tarovel' and table_name='userdetails_away'") > 0)
            TestDb::exec("RENAME TABLE tarovel.userdetails_away TO tarovel.userdetails");
    }

  private slots:
    void initTestCase() { TestDb::installSession(); }

    void init() {
        TestDb::loadFixture();
        desktop_ = new FakeDesktop;
        Settings::write("SYS", "Login", "AUser", "mira");
        Session().CurrentUserId = "5";
        Session().CurrentUserName = "mira";
        Session().CurrentUnitCode = "U1";
        main_ = new frmMain;
        main_->show();
    }

    void cleanup() {
        delete std::exchange(main_, nullptr);
        delete desktop_;
        repairDatabase();
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("at"); // twips
        QTest::newRow("Label1") << "Label1"
                                << "User Name" << QRect(270, 330, 795, 195);
        QTest::newRow("LbUserName") << "LbUserName"
                                    << "mira" << QRect(1620, 330, 2940, 195);
        QTest::newRow("Label3") << "Label3"
                                << "Current Password" << QRect(270, 675, 1245, 195);
        QTest::newRow("Label4") << "Label4"
                                << "New Password" << QRect(270, 1035, 1065, 195);
        QTest::newRow("Label5") << "Label5"
                                << "Confirm Password" << QRect(270, 1395, 1260, 195);
        QTest::newRow("TxCurPwd") << "TxCurPwd"
                                  << "" << QRect(1620, 600, 2925, 330);
        QTest::newRow("TxNewPwd") << "TxNewPwd"
                                  << "" << QRect(1620, 960, 2925, 330);
        QTest::newRow("TxConfirmPwd") << "TxConfirmPwd"
                                      << "" << QRect(1620, 1320, 2925, 330);
        QTest::newRow("CmAccept") << "CmAccept"
                                  << "&Accept - F5" << QRect(1350, 1830, 1185, 375);
        QTest::newRow("CmClose") << "CmClose"
                                 << "Close - F9" << QRect(2535, 1830, 1185, 375);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, at);
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        QCOMPARE(screen->windowTitle(), QString("Change Password"));
        QCOMPARE(screen->size(), QSize(twips(4995), twips(2385)));
        QCOMPARE(QApplication::focusWidget(), screen->TxCurPwd);
        QVERIFY(!(frameOf(screen)->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(screen->LbUserName->font().family(), QString("Verdana"));
        QVERIFY(screen->LbUserName->font().bold());
        auto* control = screen->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->pos(), QPoint(twips(at.x()), twips(at.y())));
        // Caption labels size themselves to their text; everything else keeps its design size.
        if (name.startsWith("Label"))
            QVERIFY(control->geometry().right() < screen->TxCurPwd->x());
        else
            QCOMPARE(control->size(), QSize(twips(at.width()), twips(at.height())));
        QCOMPARE(control->property("text").toString(), text);
        if (auto* box = qobject_cast<QLineEdit*>(control))
            QCOMPARE(box->echoMode(), QLineEdit::Password);
    }

    void accept_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("focus"); // empty: the screen has closed
        const QString mismatch = "Password not matching.   ";
        const QString invalid = "Invalid Password.  ";
        QTest::newRow("success") << "pass5"
                                 << "fresh7"
                                 << "fresh7" << kDone << "fresh7"
                                 << "";
        QTest::newRow("mismatch") << "pass5"
                                  << "abc"
                                  << "abd" << mismatch << "pass5"
                                  << "TxConfirmPwd";
        QTest::newRow("mismatch in case only") << "pass5"
                                               << "Secret"
                                               << "secret" << mismatch << "pass5"
                                               << "TxConfirmPwd";
        QTest::newRow("mismatch before the current password") << "wrong"
                                                              << "abc"
                                                              << "xyz" << mismatch << "pass5"
                                                              << "TxConfirmPwd";
        QTest::newRow("wrong current password") << "pass6"
                                                << "new1"
                                                << "new1" << invalid << "pass5"
                                                << "TxCurPwd";
        QTest::newRow("current password in another case") << "PASS5"
                                                          << "new1"
                                                          << "new1" << invalid << "pass5"
                                                          << "TxCurPwd";
        QTest::newRow("blanks trimmed") << "  pass5 "
                                        << "  new one  "
                                        << "new one" << kDone << "new one"
                                        << "";
        QTest::newRow("both empty") << "pass5"
                                    << ""
                                    << "" << kDone << ""
                                    << "";
        QTest::newRow("blanks only") << "pass5"
                                     << "   "
                                     << "" << kDone << ""
                                     << "";
    }
    void accept() {
        QFETCH(QString, current);
        QFETCH(QString, fresh);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QFETCH(QString, focus);
        TestDb::exec("update tarovel.userdetails set modified_by=1, modified_date='2001/01/01' "
                     "where user_id=8");
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        fill(screen, current, fresh, confirm);
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
        QTest::mouseClick(screen->CmAccept, Qt::LeftButton);
        const QDateTime after = QDateTime::currentDateTime();
        QCOMPARE(desktop_->texts(), QStringList{message});
        QCOMPARE(desktop_->shown[0].icon, MsgIcon::Information);
        QCOMPARE(column("user_password", 5), stored);
        // Nobody else's row moves.
        QCOMPARE(column("concat(user_password,modified_by,modified_date)", 8),
                 QString("pass812001/01/01"));
        if (focus.isEmpty()) {
            QTRY_VERIFY(frame.isNull());
            QCOMPARE(column("modified_by", 5), QString("5"));
            const QDateTime stamp = QDateTime::fromString(
                column("concat(modified_date,' ',modified_time)", 5), "yyyy/MM/dd HH:mm:ss");
            QVERIFY2(stamp >= before && stamp <= after, qPrintable(stamp.toString()));
        } else {
            QVERIFY(frame->isVisible());
            QCOMPARE(QApplication::focusWidget(), screen->findChild<QWidget*>(focus));
            QVERIFY(column("modified_by", 5).isEmpty());
        }
    }

    void enterChainThenAccept() {
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        const QList<QWidget*> chain{screen->TxCurPwd, screen->TxNewPwd, screen->TxConfirmPwd,
                                    screen->CmAccept};
        const QStringList typed{"pass5", "chain1", "chain1"};
        for (int i = 0; i < typed.size(); ++i) {
            typeText(chain[i], typed[i]);
            QTest::keyClick(chain[i], i == 1 ? Qt::Key_Enter : Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), chain[i + 1]);
        }
        // The last box only hands over to Accept.
        QVERIFY(desktop_->shown.isEmpty());
        QCOMPARE(column("user_password", 5), QString("pass5"));
        QTest::keyClick(screen->CmAccept, Qt::Key_Return);
        QCOMPARE(desktop_->texts(), QStringList{kDone});
        QCOMPARE(column("user_password", 5), QString("chain1"));
        QTRY_VERIFY(frame.isNull());
    }

    void keysAndClose_data() {
        QTest::addColumn<int>("key"); // 0: click Close
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("stored");
        QTest::newRow("F5 in the new box") << int(Qt::Key_F5) << "TxNewPwd"
                                           << "keyed5";
        QTest::newRow("F5 on Close") << int(Qt::Key_F5) << "CmClose"
                                     << "keyed5";
        QTest::newRow("F9 in the current box") << int(Qt::Key_F9) << "TxCurPwd"
                                               << "pass5";
        QTest::newRow("F9 on Accept") << int(Qt::Key_F9) << "CmAccept"
                                      << "pass5";
        QTest::newRow("Close clicked") << 0 << "CmClose"
                                       << "pass5";
    }
    void keysAndClose() {
        QFETCH(int, key);
        QFETCH(QString, target);
        QFETCH(QString, stored);
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        fill(screen, "pass5", "keyed5", "keyed5");
        if (key)
            QTest::keyClick(screen->findChild<QWidget*>(target), Qt::Key(key));
        else
            QTest::mouseClick(screen->CmClose, Qt::LeftButton);
        QCOMPARE(desktop_->texts(), stored == "pass5" ? QStringList{} : QStringList{kDone});
        QCOMPARE(column("user_password", 5), stored);
        QTRY_VERIFY(frame.isNull());
    }

    // The row is found through the remembered name, the user id and the current unit; when
    // that finds or changes nothing the change is refused instead of reported as done.
    void refusedWithoutTheUsersRow_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<bool>("found"); // the read finds the row, the update does not
        QTest::newRow("current unit is not the row's unit") << "U2"
                                                            << "mira" << false;
        QTest::newRow("remembered name of another user") << "U1"
                                                         << "lena" << false;
        QTest::newRow("remembered name with a leading blank") << "U1"
                                                              << " mira" << true;
    }
    void refusedWithoutTheUsersRow() {
        QFETCH(QString, unit);
        QFETCH(QString, remembered);
        QFETCH(bool, found);
        Session().CurrentUnitCode = unit;
        Settings::write("SYS", "Login", "AUser", remembered);
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        fill(screen, "pass5", "blocked1", "blocked1");
        QTest::mouseClick(screen->CmAccept, Qt::LeftButton);
        const PasswordOwner owner{remembered, "5", unit};
        const QString expected = found ? NothingWrittenMessage(owner) : NoUserRowMessage(owner);
        QCOMPARE(desktop_->texts(), QStringList{expected});
        QVERIFY(expected.contains("not changed") && expected.contains(unit));
        QCOMPARE(column("concat(user_password,'/',coalesce(modified_by,'-'))", 5),
                 QString("pass5/-"));
        QCOMPARE(column("user_password", 8), QString("pass8"));
        QVERIFY(frameOf(screen)->isVisible());
        QVERIFY(!Session().SharedConnection().inTransaction());
    }

    // An update that leaves every value as it was still finds the row, whatever the driver
    // reports as rows affected.
    void storeCountsMatchedRows() {
        PasswordStore store(Session().SharedConnection());
        const PasswordOwner owner{"mira", "5", "U1"};
        const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
        QCOMPARE(store.savePassword(owner, "pass5", when), qint64(1));
        QCOMPARE(store.savePassword(owner, "pass5", when), qint64(1));
        QCOMPARE(column("concat(modified_date,' ',modified_time)", 5),
                 QString("2026/03/04 05:06:07"));
        QCOMPARE(store.savePassword({"mira", "5", "U2"}, "x", when), qint64(0));
        QCOMPARE(store.savePassword({"mira", "five", "U1"}, "x", when), qint64(0));
        QCOMPARE(store.currentPassword({"mira", "five", "U1"}), std::nullopt);
        QCOMPARE(store.currentPassword(owner), std::optional<NullableText>(QString("pass5")));
    }

    void nullStoredPasswordNeverMatches_data() {
        QTest::addColumn<QString>("current");
        QTest::newRow("empty box") << "";
        QTest::newRow("blanks") << "   ";
    }
    void nullStoredPasswordNeverMatches() {
        QFETCH(QString, current);
        TestDb::exec("update tarovel.userdetails set user_password=NULL where user_id=5");
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        fill(screen, current, "new1", "new1");
        QTest::mouseClick(screen->CmAccept, Qt::LeftButton);
        QCOMPARE(desktop_->texts(), QStringList{"Invalid Password.  "});
        QCOMPARE(TestDb::count("select count(*) from tarovel.userdetails where user_id=5 and "
                               "user_password is null"),
                 1);
    }

    void awkwardPasswordsStoredAndSignIn_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("quotes") << "it's \"mine\"'";
        QTest::newRow("backslashes") << "C:\\new\\pw\\";
        QTest::newRow("percent and underscore") << "100%_sure%";
        QTest::newRow("statement-like") << "x' OR '1'='1'; --";
        QTest::newRow("non-Latin letters") << QString::fromUtf8("пароль密码ΚΩΔ𝄞é");
        QTest::newRow("1,000 characters") << longPassword();
    }
    void awkwardPasswordsStoredAndSignIn() {
        QFETCH(QString, password);
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        fill(screen, "pass5", "  " + password + " ", password + "  ");
        QTest::keyClick(screen->TxConfirmPwd, Qt::Key_F5);
        QCOMPARE(desktop_->texts(), QStringList{kDone});
        QCOMPARE(column("user_password", 5), password);

        // Sign in afresh with the new password, through the login screen.
        delete std::exchange(main_, nullptr);
        desktop_->clear();
        Session().CurrentUserId.clear();
        QPointer<frmLogin> login = new frmLogin;
        login->show();
        QCOMPARE(login->TxtUserName->text(), QString("mira"));
        typeText(login->TxtPassword, password);
        QTest::keyClick(login->TxtPassword, Qt::Key_Return);
        QCOMPARE(desktop_->texts(), QStringList{});
        QCOMPARE(Session().CurrentUserId, QString("5"));
        main_ = frmMain::instance();
        QVERIFY(main_);
        QTRY_VERIFY(login.isNull());
        QCOMPARE(FindUser("mira")->password, NullableText(password));
    }

    void databaseFailure_data() {
        QTest::addColumn<QString>("breakSql");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("reading the row")
            << "RENAME TABLE tarovel.userdetails TO tarovel.userdetails_away"
            << "tarovel.userdetails' doesn't exist";
        QTest::newRow("writing the row")
            << "CREATE TRIGGER tarovel.freeze_passwords BEFORE UPDATE ON tarovel.userdetails "
               "FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Passwords are frozen'"
            << "Passwords are frozen";
    }
    void databaseFailure() {
        QFETCH(QString, breakSql);
        QFETCH(QString, expectedText);
        frmChangePassword* screen = openScreen();
        QVERIFY(screen);
        QPointer<QMdiSubWindow> frame = frameOf(screen);
        fill(screen, "pass5", "broken1", "broken1");
        TestDb::exec(breakSql);
        QTest::mouseClick(screen->CmAccept, Qt::LeftButton);
        QCOMPARE(desktop_->shown.size(), 1);
        QVERIFY2(desktop_->shown[0].text.contains(expectedText), qPrintable(desktop_->texts()[0]));
        QVERIFY(frame->isVisible());
        QVERIFY(!Session().SharedConnection().inTransaction());
        repairDatabase();
        QCOMPARE(column("concat(user_password,'/',coalesce(modified_by,'-'))", 5),
                 QString("pass5/-"));

        // Once the server is well again the same screen completes the change.
        desktop_->clear();
        QTest::mouseClick(screen->CmAccept, Qt::LeftButton);
        QCOMPARE(desktop_->texts(), QStringList{kDone});
        QCOMPARE(column("user_password", 5), QString("broken1"));
        QTRY_VERIFY(frame.isNull());
    }
};

QTEST_MAIN(tst_changepassword)
#include "tst_changepassword.moc"
