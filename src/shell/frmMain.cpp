#include "shell/frmMain.h"

#include "antivirus/frmAntivirusMaster.h"
#include "app/ScreenGrowth.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "import/frmImportWorkstations.h"
#include "lists/frmAVList.h"
#include "lists/frmrptAVUpdationList.h"
#include "netmon/frmPing.h"
#include "overview/ExpiryStatus.h"
#include "overview/frmExpiryOverview.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "shell/WindowPlace.h"
#include "shell/frmChangePassword.h"
#include "shell/frmSwitch.h"
#include "users/frmUserDetails.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QStatusBar>

namespace orvane {

namespace {
// Alt alone reaches the menu bar, so every screen opens from the keyboard while the
// captions stay as designed (no mnemonic letters).
class AltKeyMenuStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QPointer<frmMain>& current() {
    static QPointer<frmMain> window;
    return window;
}
} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)) {
    current() = this;
    RegisterScreenHost(this);
    setObjectName("frmMain");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Orvane Department");
    area_->setObjectName("MDIClient");
    area_->setBackground(QColor(128, 128, 128));
    setCentralWidget(area_);
    buildMenus();
    ExpiryCount = new ExpiryStatus(this);
    statusBar()->addWidget(ExpiryCount);
    resize(twips(12555),
           twips(8130) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    KeepWindowPlace(this);
    MDIForm_Load();
}

frmMain::~frmMain() {
    UnregisterScreenHost(this);
}

frmMain* frmMain::instance() {
    return current().data();
}

void frmMain::buildMenus() {
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       void (frmMain::*slot)()) {
        QAction* action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(name);
        if (slot)
            connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto* menuStyle = new AltKeyMenuStyle;
    menuStyle->setParent(menuBar());
    menuBar()->setStyle(menuStyle);
    mnuMasters_ = menuBar()->addMenu("Master");
    mnuMasters_->setObjectName("mnuMasters");
    mnuAntivirusActivation = item(mnuMasters_, "mnuAntivirusActivation", "Antivrus Activation",
                                  &frmMain::mnuAntivirusActivation_Click);
    mnuAVMaster = item(mnuMasters_, "mnuAVMaster", "Antivirus Master", &frmMain::mnuAVMaster_Click);
    mnuImportWorkstations = item(mnuMasters_, "mnuImportWorkstations", "Import Workstations...",
                                 &frmMain::mnuImportWorkstations_Click);
    // The designed report first, then the screens added to it.
    mnuReportsMenu_ = menuBar()->addMenu("Reports");
    mnuReportsMenu_->setObjectName("mnuReportsMenu");
    mnuReports =
        item(mnuReportsMenu_, "mnuReports", "Antivirus Updation List", &frmMain::mnuReports_Click);
    mnuExpiryOverview = item(mnuReportsMenu_, "mnuExpiryOverview", "Expiry Overview",
                             &frmMain::mnuExpiryOverview_Click);
    mnuTools_ = menuBar()->addMenu("Tools");
    mnuTools_->setObjectName("mnuTools");
    mnuVPNCHK = item(mnuTools_, "mnuVPNCHK", "VPN Check", &frmMain::mnuVPNCHK_Click);
    mnuUpdateSoftware =
        item(mnuTools_, "mnuUpdateSoftware", "Update Software", &frmMain::mnuUpdateSoftware_Click);
    mnuChangePwd = item(mnuTools_, "mnuChangePwd", "Change Password", &frmMain::mnuChangePwd_Click);
    mnuChangeUnit = item(mnuTools_, "mnuChangeUnit", "Change Unit", &frmMain::mnuChangeUnit_Click);
    mnuChangeUnit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* dash = mnuTools_->addSeparator();
    dash->setObjectName("mnuDash");
    mnuUserGroups = item(mnuTools_, "mnuUserGroups", "User Groups", nullptr);
    mnuCreateUser = item(mnuTools_, "mnuCreateUser", "Create User", &frmMain::mnuCreateUser_Click);
}

QString frmMain::CaptionFor(const QString& unitName, const QString& userName) {
    return QStringLiteral("Orvane     Tarovel (Pvt.) LTD ") + QString(4, ' ') + unitName +
           QString(47, ' ') + QStringLiteral("[Current User : ") + userName + QStringLiteral(" ]");
}

void frmMain::RefreshCaption() {
    setWindowTitle(CaptionFor(Session().CurrentUnitName, Session().CurrentUserName));
}

void frmMain::MDIForm_Load() {
    RefreshCaption();
}

QList<QWidget*> frmMain::screens() const {
    QList<QWidget*> open;
    for (QMdiSubWindow* frame : area_->subWindowList())
        open << frame->widget();
    return open;
}

void frmMain::adopt(QWidget* screen) {
    QMdiSubWindow* frame = area_->addSubWindow(screen, FrameFlagsFor(screen));
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(windowIcon());
    FitFrameToScreen(frame);
}

void frmMain::present(QWidget* screen) {
    auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    if (frame && !frame->isVisible())
        frame->show();
    bringForward(frame);
}

void frmMain::bringForward(QMdiSubWindow* frame) {
    if (!frame)
        return;
    if (frame->isMinimized())
        frame->showNormal();
    area_->setActiveSubWindow(frame);
    frame->raise();
}

int frmMain::loadedWindowCount() const {
    return 1 + area_->subWindowList().size();
}

void frmMain::mnuAntivirusActivation_Click() {
    Show<frmAVList>();
}
void frmMain::mnuAVMaster_Click() {
    Show<frmAntivirusMaster>();
}
void frmMain::mnuImportWorkstations_Click() {
    Show<frmImportWorkstations>();
}
void frmMain::mnuReports_Click() {
    Show<frmrptAVUpdationList>();
}
void frmMain::mnuExpiryOverview_Click() {
    Show<frmExpiryOverview>();
}
void frmMain::mnuVPNCHK_Click() {
    Show<frmPing>();
}
void frmMain::mnuChangePwd_Click() {
    Show<frmChangePassword>();
}
void frmMain::mnuCreateUser_Click() {
    Show<frmUserDetails>();
}

void frmMain::mnuChangeUnit_Click() {
    if (loadedWindowCount() > 1) {
        MsgBox("Close All forms and try again!!!!");
        return;
    }
    Show<frmSwitch>();
}

void frmMain::mnuUpdateSoftware_Click() {
    Desktop::current().openUrl(UpdatePageFor(Session().ServerAddress));
    Desktop::current().endProgram();
}

} // namespace orvane
