#include "antivirus/frmAvUpdation.h"

#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"

#include <QKeyEvent>
#include <limits>

// The screen's controls, placed as designed, and their wiring.
namespace orvane {

namespace {

QFont timesBold(qreal points) {
    QFont font("Times New Roman");
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QLabel* rowLabel(const QString& caption, const char* name, int top, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    placeTwips(label, 270, top + 60, 1300, 195);
    return label;
}

QLineEdit* rowField(const char* name, int top, int width, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max()); // no length limit of its own
    placeTwips(box, 1590, top, width, 315);
    return box;
}

QPushButton* button(const QString& caption, const char* name, int left, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    // Enter presses a focused button; no button is the screen's default.
    b->setAutoDefault(true);
    b->setDefault(false);
    placeTwips(b, left, 270, 1155, 435);
    return b;
}
} // namespace

frmAvUpdation::frmAvUpdation(QWidget* parent) : QWidget(parent) {
    setObjectName("frmAvUpdation");
    setWindowTitle("Antivirus Updation Status");
    sizeTwips(this, 8055, 4020);
    QFont body("Arial");
    body.setPointSizeF(8.25);
    setFont(body);

    Label3 = new QLabel("Antivirus Updation Status", this);
    Label3->setObjectName("Label3");
    placeTwips(Label3, 0, 0, 8055, 345);
    Label3->setFont(timesBold(14.25));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setStyleSheet("color: rgb(0,0,128);");

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);
    placeTwips(Frame2, 0, 330, 8055, 2775);
    Label8 = rowLabel("Serial No", "Label8", 270, Frame2);
    TxCode = rowField("TxCode", 270, 1725, Frame2);
    TxCode->setReadOnly(true);
    TxCode->setFont(timesBold(8.25));
    LbUnit = new QLabel(Frame2);
    LbUnit->setObjectName("LbUnit");
    LbUnit->setFont(timesBold(9.75));
    placeTwips(LbUnit, 3690, 315, 255, 255);
    Label2 = rowLabel("IP Address", "Label2", 600, Frame2);
    TxIP = rowField("TxIP", 600, 6165, Frame2);
    Label6 = rowLabel("Operating System", "Label6", 930, Frame2);
    TxOS = rowField("TxOS", 930, 6165, Frame2);
    Label5 = rowLabel("User", "Label5", 1260, Frame2);
    TxUser = rowField("TxUser", 1260, 6165, Frame2);
    Label4 = rowLabel("Department", "Label4", 1590, Frame2);
    TxDepartment = rowField("TxDepartment", 1590, 6165, Frame2);
    Label7 = rowLabel("Liscence", "Label7", 1920, Frame2);
    TxRemarks = rowField("TxRemarks", 1920, 6165, Frame2);
    Label1 = rowLabel("Expiry Date", "Label1", 2250, Frame2);
    DTExpiry = new QDateEdit(QDate::currentDate(), Frame2);
    DTExpiry->setObjectName("DTExpiry");
    DTExpiry->setDisplayFormat(ShortDateFormat());
    DTExpiry->setCalendarPopup(true);
    // With the calendar drop-down, Qt 6.4 reads a click on the date text as the spin
    // "down" button and moves the date back a day; without spin buttons it does not.
    DTExpiry->setButtonSymbols(QAbstractSpinBox::NoButtons);
    placeTwips(DTExpiry, 1590, 2250, 1545, 315);
    LbExpiry = new QLabel(Frame2);
    LbExpiry->setObjectName("LbExpiry");
    LbExpiry->setFont(timesBold(11.25));
    LbExpiry->setAlignment(Qt::AlignCenter);
    LbExpiry->setStyleSheet("color: rgb(128,0,0);");
    placeTwips(LbExpiry, 3240, 2280, 4665, 255);

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    placeTwips(Frame1, 0, 3120, 8055, 855);
    CmNew = button("New - F2", "CmNew", 120, Frame1);
    CmEdit = button("Edit - F3", "CmEdit", 1275, Frame1);
    CmCancel = button("Cancel - F8", "CmCancel", 5550, Frame1);
    CmClose = button("Close - F9", "CmClose", 6705, Frame1);

    QWidget* order[] = {TxIP,  TxOS,   TxUser, TxDepartment, TxRemarks, DTExpiry,
                        CmNew, TxCode, CmEdit, CmClose,      CmCancel};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* box : {TxIP, TxOS, TxUser, TxDepartment, TxRemarks}) {
        SelectAllOnFocus(box);
        box->installEventFilter(this);
    }
    DTExpiry->installEventFilter(this);
    for (QWidget* inner : DTExpiry->findChildren<QWidget*>())
        inner->installEventFilter(this);
    connect(DTExpiry, &QDateEdit::dateChanged, this, &frmAvUpdation::DTExpiry_Change);
    connect(CmNew, &QPushButton::clicked, this, &frmAvUpdation::CmNew_Click);
    connect(CmEdit, &QPushButton::clicked, this, &frmAvUpdation::CmEdit_Click);
    connect(CmCancel, &QPushButton::clicked, this, &frmAvUpdation::CmCancel_Click);
    connect(CmClose, &QPushButton::clicked, this, &frmAvUpdation::CmClose_Click);
    InstallKeyPreview(this, [this](QKeyEvent* key) { return Form_KeyDown(key->key()); });

    // Until an opener runs New or View, the screen stands empty in browse state.
    ClearEntry();
    SetEntryMode(false);
}

} // namespace orvane
