#include "shell/frmLogin.h"

#include "app/KeyMap.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "platform/Settings.h"
#include "shell/LoginData.h"
#include "shell/frmMain.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace orvane {

frmLogin::frmLogin(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Label1(new QLabel("User Name", this)), TxtUserName(new QLineEdit(this)),
      Label2(new QLabel("Password", this)), TxtPassword(new QLineEdit(this)),
      CmOk(new QPushButton("&OK", this)), CmExit(new QPushButton("E&xit", this)),
      Image1(new QLabel(this)) {
    setObjectName("frmLogin");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Tarovel  (P) Ltd");
    sizeTwips(this, 4485, 1740);
    Label1->setObjectName("Label1");
    placeTwips(Label1, 270, 240, 795, 195);
    TxtUserName->setObjectName("TxtUserName");
    placeTwips(TxtUserName, 1320, 180, 2685, 315);
    Label2->setObjectName("Label2");
    placeTwips(Label2, 270, 600, 690, 195);
    TxtPassword->setObjectName("TxtPassword");
    TxtPassword->setEchoMode(QLineEdit::Password);
    // The sign-in box masks with "*", not the desktop's bullet.
    TxtPassword->setStyleSheet("lineedit-password-character: 42");
    placeTwips(TxtPassword, 1320, 540, 2685, 315);
    CmOk->setObjectName("CmOk");
    placeTwips(CmOk, 1350, 1065, 1335, 375);
    CmExit->setObjectName("CmExit");
    placeTwips(CmExit, 2700, 1065, 1335, 375);
    Image1->setObjectName("Image1");
    placeTwips(Image1, 300, 960, 480, 480);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(twips(480)));
    Image1->setFocusPolicy(Qt::NoFocus);
    for (QLabel* label : {Label1, Label2})
        label->adjustSize();

    setTabOrder(TxtPassword, CmOk);
    setTabOrder(CmOk, CmExit);
    setTabOrder(CmExit, TxtUserName);
    LiftLengthLimit(TxtUserName);
    LiftLengthLimit(TxtPassword);
    SelectAllOnFocus(TxtUserName);
    SelectAllOnFocus(TxtPassword);
    (new KeyMap(this))->enterChain({TxtUserName, TxtPassword}).enter(TxtPassword, [this] {
        CmOk->setFocus();
        CmOk_Click();
    });
    connect(CmOk, &QPushButton::clicked, this, &frmLogin::CmOk_Click);
    connect(CmExit, &QPushButton::clicked, this, &frmLogin::CmExit_Click);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    Form_Load();
    TxtPassword->setFocus();
}

void frmLogin::Form_Load() {
    TxtUserName->setText(Settings::read("SYS", "Login", "AUser"));
}

void frmLogin::CmOk_Click() {
    std::optional<UserRow> user;
    try {
        user = FindUser(TrimBlanks(TxtUserName->text()));
    } catch (const DbError& error) {
        // The screen stays for another try once the server is back.
        MsgBox(error.description(), MsgIcon::Critical);
        TxtPassword->setFocus();
        return;
    }
    if (!user) {
        MsgBox("Invalid User Name    ");
        TxtPassword->setFocus();
        return;
    }
    const QString typed = TrimBlanks(TxtPassword->text());
    bool isNumber = false;
    const bool firstUser = user->userId.toLongLong(&isNumber) == 1 && isNumber;
    if (firstUser) {
        if (!PasswordMatches(user->password, typed)) {
            MsgBox("Invalid Password.   ");
            TxtPassword->clear();
            TxtPassword->setFocus();
            return;
        }
        signedIn(TxtUserName->text(), *user);
        if (TrimBlanks(user->loginSys) != "1") {
            MsgBox("Login Denied!.... Please Contact System Administrator.   ", MsgIcon::Critical);
            return;
        }
    } else {
        if (!PasswordMatches(user->password, typed)) {
            MsgBox("Invalid Password.   ", MsgIcon::Critical);
            TxtPassword->setFocus();
            return;
        }
        if (TrimBlanks(user->loginSys) != "1") {
            MsgBox("Login Denied!.... Please Contact System Administrator.   ", MsgIcon::Critical);
            return;
        }
        signedIn(TxtUserName->text(), *user);
    }
    auto* main = new frmMain();
    main->show();
    close();
}

void frmLogin::signedIn(const QString& typedName, const UserRow& user) {
    Settings::write("SYS", "Login", "AUser", typedName);
    Session().CurrentUserName = typedName;
    Session().CurrentUserId = user.userId;
    Session().SelectedSystemId = user.admin;
}

void frmLogin::CmExit_Click() {
    Desktop::current().endProgram();
}

} // namespace orvane
