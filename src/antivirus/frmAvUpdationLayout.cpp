#include "antivirus/frmAvUpdation.h"

#include "app/KeyMap.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"

// The screen's controls, placed as designed, and their wiring.
namespace orvane {

namespace {

QFont timesBold(qreal points) {
    QFont font("Times New Roman");
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}
} // namespace

frmAvUpdation::frmAvUpdation(QWidget* parent)
    : EntryScreen("Antivirus Updation Status", 8055, 4020, parent) {
    setObjectName("frmAvUpdation");
    Label3 = titleLabel("Antivirus Updation Status", 8055);
    placeRows({270, 1300, 1590, 1155, 435});

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);
    placeTwips(Frame2, 0, 330, 8055, 2775);
    boxRow(Label8, TxCode, "Serial No", "Label8", "TxCode", 270, 1725, Frame2);
    TxCode->setReadOnly(true);
    TxCode->setFont(timesBold(8.25));
    LbUnit = new QLabel(Frame2);
    LbUnit->setObjectName("LbUnit");
    LbUnit->setFont(timesBold(9.75));
    placeTwips(LbUnit, 3690, 315, 255, 255);
    boxRow(Label2, TxIP, "IP Address", "Label2", "TxIP", 600, 6165, Frame2);
    boxRow(Label6, TxOS, "Operating System", "Label6", "TxOS", 930, 6165, Frame2);
    boxRow(Label5, TxUser, "User", "Label5", "TxUser", 1260, 6165, Frame2);
    boxRow(Label4, TxDepartment, "Department", "Label4", "TxDepartment", 1590, 6165, Frame2);
    boxRow(Label7, TxRemarks, "Liscence", "Label7", "TxRemarks", 1920, 6165, Frame2);
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

    placeTwips(Frame1, 0, 3120, 8055, 855);
    CmNew = rowButton("New - F2", "CmNew", 120, 270, Frame1);
    CmEdit = rowButton("Edit - F3", "CmEdit", 1275, 270, Frame1);
    CmCancel = rowButton("Cancel - F8", "CmCancel", 5550, 270, Frame1);
    CmClose = rowButton("Close - F9", "CmClose", 6705, 270, Frame1);

    QWidget* order[] = {TxIP,  TxOS,   TxUser, TxDepartment, TxRemarks, DTExpiry,
                        CmNew, TxCode, CmEdit, CmClose,      CmCancel};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* box : {TxIP, TxOS, TxUser, TxDepartment, TxRemarks})
        SelectAllOnFocus(box);
    OnMousePress(DTExpiry, [this] { DTExpiry_Click(); });
    connect(DTExpiry, &QDateEdit::dateChanged, this, &frmAvUpdation::DTExpiry_Change);

    declareEntry({TxCode, TxIP, TxUser, TxOS, TxDepartment, TxRemarks, DTExpiry});
    Keys->enterChain({TxIP, TxOS, TxUser, TxDepartment, TxRemarks, DTExpiry, CmNew});
    Keys->controlKey(TxRemarks, Qt::Key_F1, [this] { TxRemarks_KeyDown(112); });

    // Until an opener runs New or View, the screen stands empty in browse state.
    ClearEntry();
    SetEntryMode(false);
}

} // namespace orvane
