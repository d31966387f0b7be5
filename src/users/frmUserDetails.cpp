#include "users/frmUserDetails.h"

#include "app/Screens.h"

#include "platform/Geometry.h"

#include <QHeaderView>
#include <QStyle>
#include <QTabBar>

namespace orvane {

namespace {

// The layout places page controls relative to the whole tab control; the pages here start
// below its strip of tabs and inside its border.
QPoint pageOrigin(QTabWidget* tabs) {
    const int border = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    return QPoint(border, tabs->tabBar()->sizeHint().height() + border);
}

void onPage(QWidget* w, QPoint origin, int left, int top, int width, int height) {
    placeTwips(w, left, top, width, height);
    w->move(w->pos() - origin);
}

QTreeWidget* unitList(QWidget* parent, const char* name, const QString& heading) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(1);
    list->setHeaderLabels({heading});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

frmUserDetails::frmUserDetails(QWidget* parent) : QWidget(parent), SSTab(new QTabWidget(this)) {
    setObjectName("frmUserDetails");
    setWindowTitle("User Details");
    sizeTwips(this, 8580, 6375);
    QFont screenFont("Arial");
    screenFont.setPointSizeF(8.25);
    setFont(screenFont);

    SSTab->setObjectName("SSTab");
    placeTwips(SSTab, 0, 0, 9015, 5595);
    QFont tabFont("Times New Roman");
    tabFont.setBold(true);
    SSTab->setFont(tabFont);
    auto* details = new QWidget;
    auto* permissions = new QWidget;
    // Only the tab captions take the tab control's font; the pages keep the screen's.
    QFont plain = screenFont;
    plain.setWeight(QFont::Normal);
    details->setFont(plain);
    permissions->setFont(plain);
    SSTab->addTab(details, "User Details");
    SSTab->addTab(permissions, "Permissions");
    const QPoint origin = pageOrigin(SSTab);

    // Page 1: the user and the grid of the user's entries.
    Label3 = new QLabel("User Group", details);
    TxUserGroup = new QLineEdit(details);
    Label1 = new QLabel("User Name", details);
    TxUserName = new QLineEdit(details);
    Label2 = new QLabel("Password", details);
    TxPwd = new QLineEdit(details);
    const struct {
        QLabel* label;
        const char* labelName;
        QLineEdit* box;
        const char* boxName;
        int top;
    } rows[] = {{Label3, "Label3", TxUserGroup, "TxUserGroup", 510},
                {Label1, "Label1", TxUserName, "TxUserName", 840},
                {Label2, "Label2", TxPwd, "TxPwd", 1170}};
    for (const auto& row : rows) {
        row.label->setObjectName(row.labelName);
        onPage(row.label, origin, 240, row.top + 60, 1200, 195);
        row.box->setObjectName(row.boxName);
        onPage(row.box, origin, 1560, row.top, 6045, 315);
    }
    for (QLineEdit* box : {TxUserGroup, TxUserName, TxPwd})
        LiftLengthLimit(box);
    TxUserGroup->setReadOnly(true);
    TxPwd->setEchoMode(QLineEdit::Password);

    GrUserDetails = new QTableWidget(19, 4, details);
    GrUserDetails->setObjectName("GrUserDetails");
    onPage(GrUserDetails, origin, 45, 1620, 8565, 3945);
    // One heading row above nineteen empty ones.
    GrUserDetails->setHorizontalHeaderLabels({QString(), QString(), QString(), QString()});
    GrUserDetails->verticalHeader()->hide();
    GrUserDetails->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GrUserDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Page 2: the units a user may work in.
    ImageList1 = {style()->standardIcon(QStyle::SP_DriveNetIcon),
                  style()->standardIcon(QStyle::SP_DirHomeIcon)};
    LvAvailable = unitList(permissions, "LvAvailable", "Available Units");
    onPage(LvAvailable, origin, 75, 390, 3945, 5175);
    LvAssigned = unitList(permissions, "LvAssigned", "Assigned Units");
    onPage(LvAssigned, origin, 4635, 390, 3945, 5175);
    CmAllow = new QPushButton(permissions);
    CmAllow->setObjectName("CmAllow");
    CmAllow->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    onPage(CmAllow, origin, 4035, 1770, 585, 615);
    CmDisallow = new QPushButton(permissions);
    CmDisallow->setObjectName("CmDisallow");
    CmDisallow->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    onPage(CmDisallow, origin, 4035, 2520, 585, 615);
    for (QPushButton* picture : {CmAllow, CmDisallow})
        picture->setIconSize(QSize(twips(585) - 12, twips(615) - 12));

    // Bottom panel with the function buttons.
    Panel = new QFrame(this);
    Panel->setObjectName("Panel");
    Panel->setFrameShape(QFrame::StyledPanel);
    placeTwips(Panel, 0, 5640, 8580, 735);
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
    } buttons[] = {{&CmNew, "CmNew", "New - F2"},
                   {&CmEdit, "CmEdit", "Edit - F3"},
                   {&CmDisable, "CmDisable", "Disable - F4"},
                   {&CmCancel, "CmCancel", "Cancel - F8"},
                   {&CmClose, "CmClose", "Close - F9"}};
    int left = 2730;
    for (const auto& b : buttons) {
        *b.button = new QPushButton(b.caption, Panel);
        (*b.button)->setObjectName(b.name);
        placeTwips(*b.button, left, 165, 1125, 405);
        left += 1125;
    }

    setTabOrder(TxUserGroup, TxUserName);
    setTabOrder(TxUserName, TxPwd);
    setFocusProxy(TxUserName);
}

} // namespace orvane
