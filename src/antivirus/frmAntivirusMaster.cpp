#include "antivirus/frmAntivirusMaster.h"

#include "antivirus/AntivirusRegister.h"
#include "antivirus/SaveJobs.h"
#include "app/KeyMap.h"
#include "app/ScreenBusy.h"
#include "app/ScreenGrowth.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <limits>

namespace orvane {

frmAntivirusMaster::frmAntivirusMaster(QWidget* parent)
    : EntryScreen(" Antivirus Master", 11550, 6375, parent) {
    setObjectName("frmAntivirusMaster");
    Label3 = titleLabel("Antivirus Master", 11535);
    placeRows({120, 1100, 1260, 1125, 405});

    boxRow(Label1, TxCode, "Code", "Label1", "TxCode", 510, 1545, this);
    TxCode->setReadOnly(true);
    boxRow(Label2, TxName, "Name", "Label2", "TxName", 840, 9525, this);
    boxRow(Label4, TxPurchaseKey, "Purchase Key", "Label4", "TxPurchaseKey", 1170, 9525, this);
    boxRow(Label5, TxInstallKey, "Install Key", "Label5", "TxInstallKey", 1500, 9525, this);

    GrPosition = new FlexGrid(30, 5, this);
    GrPosition->setObjectName("GrPosition");
    placeTwips(GrPosition, 30, 1950, 11475, 3675);
    const int widths[] = {0, 1500, 2925, 2925, 2925};
    const char* headings[] = {"", "Code", "Name", "Purchase Key ", "Install Key"};
    for (int c = 0; c < 5; ++c) {
        GrPosition->setColWidth(c, widths[c]);
        GrPosition->setTextMatrix(0, c, headings[c]);
    }

    placeTwips(Frame1, 30, 5640, 11475, 735);
    CmNew = rowButton(EntryStates::NewCaption, "CmNew", 120, 5880, this);
    CmEdit = rowButton("Edit - F3", "CmEdit", 1245, 5880, this);
    CmCancel = rowButton("Cancel - F8", "CmCancel", 9150, 5850, this);
    CmClose = rowButton("Close - F9", "CmClose", 10290, 5850, this);

    // Tab order of the design: grid, name, code, buttons, then the two key fields.
    QWidget* order[] = {GrPosition, TxName,   TxCode,        CmNew,       CmEdit,
                        CmClose,    CmCancel, TxPurchaseKey, TxInstallKey};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    GrowWithWindow(this, GrPosition, {Frame1, CmNew, CmEdit, CmCancel, CmClose}, {Label3});

    // The focus given to the screen starts on the grid, first in the tab order.
    setFocusProxy(GrPosition);
    for (QLineEdit* box : {TxName, TxPurchaseKey, TxInstallKey})
        SelectAllOnFocus(box);
    connect(GrPosition, &QTableWidget::cellClicked, this, &frmAntivirusMaster::GrPosition_Click);

    // The purchase and install keys stay open in every state, as designed.
    declareEntry({TxCode, TxName});
    Keys->enterChain({TxName, TxPurchaseKey, TxInstallKey, CmNew});
}

void frmAntivirusMaster::Form_Load() {
    CenterForm(this);
    SetEntryMode(false);
    FillGrid();
    GrPosition->setFocus();
}

void frmAntivirusMaster::FillGrid() {
    QVector<AntivirusRow> rows;
    try {
        rows = AntivirusRegister().Rows();
    } catch (const DbError& error) {
        // The grid keeps what it showed; the screen stays usable.
        MsgBox(error.description());
        return;
    }
    const int keep = GrPosition->Row();
    GrPosition->setRows(1);
    GrPosition->setRows(30);
    int row = 0;
    for (const AntivirusRow& product : rows) {
        ++row;
        if (row >= GrPosition->Rows())
            GrPosition->setRows(GrPosition->Rows() + 10);
        GrPosition->setTextMatrix(row, 1, product.code);
        GrPosition->setTextMatrix(row, 2, product.name);
        GrPosition->setTextMatrix(row, 3, product.purchaseKey);
        GrPosition->setTextMatrix(row, 4, product.installKey);
    }
    // The row the user was on stays current, so Edit takes the same row as before.
    GrPosition->setCurrent(keep >= 1 && keep < GrPosition->Rows() ? keep : 1, 1);
}

void frmAntivirusMaster::ClearEntry() {
    TxCode->clear();
    TxName->clear();
}

void frmAntivirusMaster::CmNew_Click() {
    if (entry_.browsing()) {
        SetEntryMode(true);
        ClearEntry();
        try {
            TxCode->setText(ReadNumberSetup(AntivirusRegister::CounterKey));
        } catch (const DbError& error) {
            MsgBox(error.description());
        }
        TxName->setFocus();
        FillGrid();
        return;
    }
    // A name of blanks would be stored as an empty name: refused on both saves.
    if (TrimBlanks(TxName->text()).isEmpty()) {
        MsgBox("Please Enter the Position.   ");
        TxName->setFocus();
        return;
    }
    if (!(EditMode() ? SaveEditedAntivirus() : SaveNewAntivirus()))
        return;
    SetEntryMode(false);
    FillGrid();
}

void frmAntivirusMaster::loadGridRow(int row) {
    if (row < 1 || GrPosition->TextMatrix(row, 1).isEmpty())
        return;
    TxCode->setText(GrPosition->TextMatrix(row, 1));
    TxName->setText(GrPosition->TextMatrix(row, 2));
    TxPurchaseKey->setText(GrPosition->TextMatrix(row, 3));
    TxInstallKey->setText(GrPosition->TextMatrix(row, 4));
}

void frmAntivirusMaster::CmEdit_Click() {
    loadGridRow(GrPosition->Row());
    EditName = TxName->text();
    entry_.enter(EntryState::EditEntry);
}

void frmAntivirusMaster::GrPosition_Click() {
    if (EditMode())
        loadGridRow(GrPosition->Row());
}

bool frmAntivirusMaster::SaveNewAntivirus() {
    const QString shown = TxCode->text();
    const QString user = Session().CurrentUserId;
    const AntivirusRow typed{shown, TxName->text(), TxPurchaseKey->text(), TxInstallKey->text()};
    NewEntryOutcome outcome;
    try {
        outcome = AwaitBusy(this, NewProductJob(shown, typed, user));
    } catch (const DbError& error) { // the save's connection could not be opened
        outcome.result = NewEntryOutcome::Result::Failed;
        outcome.error = error;
    }
    if (outcome.result == NewEntryOutcome::Result::NameTaken) {
        MsgBox("The Same Entry Already Exists.   ");
        TxName->setFocus();
        return false;
    }
    return ShowNewEntry(outcome, shown, {"code", "Code", "code"},
                        [this](const QString& stored) { TxCode->setText(stored); });
}

bool frmAntivirusMaster::SaveEditedAntivirus() {
    const AntivirusRow typed{TxCode->text(), TxName->text(), TxPurchaseKey->text(),
                             TxInstallKey->text()};
    qint64 rows = 0;
    try {
        rows = AwaitBusy(this, EditedProductJob(EditName, typed, Session().CurrentUserId));
        if (rows == ProductNameTaken) {
            MsgBox("Antivirus Already Exists.   ");
            return false;
        }
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
    if (rows == 0) {
        MsgBox("Nothing was saved: no product has the code \"" + TrimBlanks(TxCode->text()) +
               "\".   ");
        return false;
    }
    return true;
}

void frmAntivirusMaster::CmCancel_Click() {
    ClearEntry();
    SetEntryMode(false);
}

} // namespace orvane
