#include "shell/frmChangePassword.h"

#include "app/KeyMap.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "platform/Settings.h"

#include <QMdiSubWindow>

namespace orvane {

frmChangePassword::frmChangePassword(QWidget* parent)
    : QWidget(parent), Label1(new QLabel("User Name", this)), LbUserName(new QLabel(this)),
      Label3(new QLabel("Current Password", this)), Label4(new QLabel("New Password", this)),
      Label5(new QLabel("Confirm Password", this)), TxCurPwd(new QLineEdit(this)),
      TxNewPwd(new QLineEdit(this)), TxConfirmPwd(new QLineEdit(this)),
      CmAccept(new QPushButton("&Accept - F5", this)),
      CmClose(new QPushButton("Close - F9", this)) {
    setObjectName("frmChangePassword");
    setWindowTitle("Change Password");
    // A fixed dialog frame without control box: the screen closes through its buttons.
    SetFrameButtons(this, FrameButtons::None);
    sizeTwips(this, 4995, 2385);
    // The layout was measured in an 8-point sans serif; Arial's metric twin keeps it fitting.
    QFont screenFont("Arial");
    screenFont.setPointSizeF(8.25);
    setFont(screenFont);

    const struct {
        QWidget* widget;
        const char* name;
        int left, top, width, height;
    } layout[] = {
        {Label1, "Label1", 270, 330, 795, 195},
        {LbUserName, "LbUserName", 1620, 330, 2940, 195},
        {Label3, "Label3", 270, 675, 1245, 195},
        {Label4, "Label4", 270, 1035, 1065, 195},
        {Label5, "Label5", 270, 1395, 1260, 195},
        {TxCurPwd, "TxCurPwd", 1620, 600, 2925, 330},
        {TxNewPwd, "TxNewPwd", 1620, 960, 2925, 330},
        {TxConfirmPwd, "TxConfirmPwd", 1620, 1320, 2925, 330},
        {CmAccept, "CmAccept", 1350, 1830, 1185, 375},
        {CmClose, "CmClose", 2535, 1830, 1185, 375},
    };
    for (const auto& c : layout) {
        c.widget->setObjectName(c.name);
        placeTwips(c.widget, c.left, c.top, c.width, c.height);
    }

    // Labels take the width of their caption, as the design's autosized labels did.
    for (QLabel* label : {Label1, Label3, Label4, Label5})
        label->adjustSize();

    QFont nameFont("Verdana");
    nameFont.setPointSizeF(8.25);
    nameFont.setBold(true);
    LbUserName->setFont(nameFont);

    QFont boxFont = font();
    boxFont.setPointSizeF(8.25);
    boxFont.setBold(true);
    for (QLineEdit* box : {TxCurPwd, TxNewPwd, TxConfirmPwd}) {
        // The toolkit draws its own dots; no symbol font is needed.
        box->setEchoMode(QLineEdit::Password);
        box->setFont(boxFont);
        SelectAllOnFocus(box);
        LiftLengthLimit(box);
    }
    // A focused button presses on Enter, as the chain of boxes expects.
    CmAccept->setAutoDefault(true);
    CmClose->setAutoDefault(true);

    setTabOrder(TxCurPwd, TxNewPwd);
    setTabOrder(TxNewPwd, TxConfirmPwd);
    setTabOrder(TxConfirmPwd, CmAccept);
    setTabOrder(CmAccept, CmClose);
    setFocusProxy(TxCurPwd);

    connect(CmAccept, &QPushButton::clicked, this, &frmChangePassword::CmAccept_Click);
    connect(CmClose, &QPushButton::clicked, this, &frmChangePassword::CmClose_Click);
    // Only plain F5 and F9; the last box's Enter only moves to Accept, a second one presses it.
    (new KeyMap(this))
        ->screenKey(
            Qt::Key_F5, [this] { CmAccept_Click(); }, KeyMap::Held::Nothing)
        .screenKey(
            Qt::Key_F9, [this] { CmClose_Click(); }, KeyMap::Held::Nothing)
        .enterChain({TxCurPwd, TxNewPwd, TxConfirmPwd, CmAccept});
}

void frmChangePassword::Form_Load() {
    LbUserName->setText(Settings::read("SYS", "Login", "AUser"));
    CenterForm(this);
}

PasswordOwner frmChangePassword::owner() const {
    return {LbUserName->text(), Session().CurrentUserId, Session().CurrentUnitCode};
}

void frmChangePassword::CmAccept_Click() {
    if (TrimBlanks(TxNewPwd->text()) != TrimBlanks(TxConfirmPwd->text())) {
        MsgBox("Password not matching.   ");
        TxConfirmPwd->setFocus();
        return;
    }
    std::optional<NullableText> stored;
    try {
        stored = PasswordStore().currentPassword(owner());
    } catch (const DbError& error) {
        MsgBox(error.description(), MsgIcon::Critical);
        return;
    }
    if (!stored) {
        // Without the user's row the current password cannot be checked; refuse.
        MsgBox(NoUserRowMessage(owner()), MsgIcon::Exclamation);
        TxCurPwd->setFocus();
        return;
    }
    if (!PasswordMatches(*stored, TrimBlanks(TxCurPwd->text()))) {
        MsgBox("Invalid Password.  ");
        TxCurPwd->setFocus();
        return;
    }
    if (!SavePassword())
        return;
    MsgBox("Your password has been changed succssfully.   ");
    UnloadScreen(this);
}

bool frmChangePassword::SavePassword() {
    try {
        const qint64 rows = PasswordStore().savePassword(owner(), TrimBlanks(TxNewPwd->text()),
                                                         QDateTime::currentDateTime());
        if (rows == 0) {
            MsgBox(NothingWrittenMessage(owner()), MsgIcon::Exclamation);
            return false;
        }
        return true;
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
}

void frmChangePassword::CmClose_Click() {
    UnloadScreen(this);
}

} // namespace orvane
