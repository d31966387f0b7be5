#include "antivirus/frmAntivirusMaster.h"

#include "antivirus/AntivirusRegister.h"
#include "app/ScreenGrowth.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <QKeyEvent>
#include <limits>

namespace orvane {

namespace {
const QString kNewCaption = QStringLiteral("New - F2");
const QString kSaveCaption = QStringLiteral("Save - F5");

QLabel* fieldLabel(const QString& caption, const char* name, int top, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    placeTwips(label, 120, top + 60, 1100, 195);
    return label;
}

QLineEdit* field(const char* name, int top, int width, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max()); // no length limit of its own
    placeTwips(box, 1260, top, width, 315);
    return box;
}

QPushButton* button(const QString& caption, const char* name, int left, int top, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    // Enter presses a focused button; no button is the screen's default.
    b->setAutoDefault(true);
    b->setDefault(false);
    placeTwips(b, left, top, 1125, 405);
    return b;
}
} // namespace

frmAntivirusMaster::frmAntivirusMaster(QWidget* parent) : QWidget(parent) {
    setObjectName("frmAntivirusMaster");
    setWindowTitle(" Antivirus Master");
    sizeTwips(this, 11550, 6375);
    QFont body("Arial");
    body.setPointSizeF(8.25);
    setFont(body);

    Label3 = new QLabel("Antivirus Master", this);
    Label3->setObjectName("Label3");
    placeTwips(Label3, 0, 0, 11535, 345);
    QFont title("Times New Roman");
    title.setPointSizeF(14.25);
    title.setBold(true);
    Label3->setFont(title);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setStyleSheet("color: rgb(0,0,128);");

    Label1 = fieldLabel("Code", "Label1", 510, this);
    TxCode = field("TxCode", 510, 1545, this);
    TxCode->setReadOnly(true);
    Label2 = fieldLabel("Name", "Label2", 840, this);
    TxName = field("TxName", 840, 9525, this);
    Label4 = fieldLabel("Purchase Key", "Label4", 1170, this);
    TxPurchaseKey = field("TxPurchaseKey", 1170, 9525, this);
    Label5 = fieldLabel("Install Key", "Label5", 1500, this);
    TxInstallKey = field("TxInstallKey", 1500, 9525, this);

    GrPosition = new FlexGrid(30, 5, this);
    GrPosition->setObjectName("GrPosition");
    placeTwips(GrPosition, 30, 1950, 11475, 3675);
    const int widths[] = {0, 1500, 2925, 2925, 2925};
    const char* headings[] = {"", "Code", "Name", "Purchase Key ", "Install Key"};
    for (int c = 0; c < 5; ++c) {
        GrPosition->setColWidth(c, widths[c]);
        GrPosition->setTextMatrix(0, c, headings[c]);
    }

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    placeTwips(Frame1, 30, 5640, 11475, 735);
    CmNew = button(kNewCaption, "CmNew", 120, 5880, this);
    CmEdit = button("Edit - F3", "CmEdit", 1245, 5880, this);
    CmCancel = button("Cancel - F8", "CmCancel", 9150, 5850, this);
    CmClose = button("Close - F9", "CmClose", 10290, 5850, this);

    // Tab order of the design: grid, name, code, buttons, then the two key fields.
    QWidget* order[] = {GrPosition, TxName,   TxCode,        CmNew,       CmEdit,
                        CmClose,    CmCancel, TxPurchaseKey, TxInstallKey};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    GrowWithWindow(this, GrPosition, {Frame1, CmNew, CmEdit, CmCancel, CmClose}, {Label3});

    // The focus given to the screen starts on the grid, first in the tab order.
    setFocusProxy(GrPosition);
    for (QLineEdit* box : {TxName, TxPurchaseKey, TxInstallKey}) {
        SelectAllOnFocus(box);
        box->installEventFilter(this);
    }
    connect(CmNew, &QPushButton::clicked, this, &frmAntivirusMaster::CmNew_Click);
    connect(CmEdit, &QPushButton::clicked, this, &frmAntivirusMaster::CmEdit_Click);
    connect(CmCancel, &QPushButton::clicked, this, &frmAntivirusMaster::CmCancel_Click);
    connect(CmClose, &QPushButton::clicked, this, &frmAntivirusMaster::CmClose_Click);
    connect(GrPosition, &QTableWidget::cellClicked, this, &frmAntivirusMaster::GrPosition_Click);
    InstallKeyPreview(this, [this](QKeyEvent* key) { return Form_KeyDown(key->key()); });
}

void frmAntivirusMaster::Form_Load() {
    CenterForm(this);
    TxCode->setEnabled(false);
    TxName->setEnabled(false);
    SetEntryMode(false);
    FillGrid();
    GrPosition->setFocus();
}

bool frmAntivirusMaster::Form_KeyDown(int keyCode) {
    // Each key runs its button's action, enabled or not.
    switch (keyCode) {
    case Qt::Key_F2:
    case Qt::Key_F5:
        CmNew_Click();
        return true;
    case Qt::Key_F3:
        CmEdit_Click();
        return true;
    case Qt::Key_F8:
        CmCancel_Click();
        return true;
    case Qt::Key_F9:
        CmClose_Click();
        return true;
    default:
        return false;
    }
}

bool frmAntivirusMaster::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == TxName)
                TxName_KeyPress(13);
            else if (watched == TxPurchaseKey)
                TxPurchaseKey_KeyPress(13);
            else if (watched == TxInstallKey)
                TxInstallKey_KeyPress(13);
            else
                return QWidget::eventFilter(watched, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAntivirusMaster::TxName_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        TxPurchaseKey->setFocus();
}

void frmAntivirusMaster::TxPurchaseKey_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        TxInstallKey->setFocus();
}

void frmAntivirusMaster::TxInstallKey_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        CmNew->setFocus();
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

void frmAntivirusMaster::SetEntryMode(bool on) {
    TxCode->setEnabled(on);
    TxName->setEnabled(on);
    CmEdit->setEnabled(!on);
    CmClose->setEnabled(!on);
    CmCancel->setEnabled(on);
    if (on) {
        CmNew->setText(kSaveCaption);
    } else {
        CmNew->setText(kNewCaption);
        EditMode = false;
    }
}

void frmAntivirusMaster::ClearEntry() {
    TxCode->clear();
    TxName->clear();
}

void frmAntivirusMaster::CmNew_Click() {
    if (CmNew->text() == kNewCaption) {
        SetEntryMode(true);
        ClearEntry();
        try {
            TxCode->setText(ReadNumberSetup(AntivirusRegister::CounterKey));
        } catch (const DbError& error) {
            MsgBox(error.description());
        }
        TxName->setFocus();
        CmNew->setText(kSaveCaption);
        FillGrid();
        return;
    }
    // A name of blanks would be stored as an empty name: refused on both saves.
    if (TrimBlanks(TxName->text()).isEmpty()) {
        MsgBox("Please Enter the Position.   ");
        TxName->setFocus();
        return;
    }
    if (EditMode) {
        if (!SaveEditedAntivirus())
            return;
        EditMode = false;
    } else {
        if (!SaveNewAntivirus())
            return;
    }
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
    EditMode = true;
    loadGridRow(GrPosition->Row());
    EditName = TxName->text();
    SetEntryMode(true);
}

void frmAntivirusMaster::GrPosition_Click() {
    if (EditMode)
        loadGridRow(GrPosition->Row());
}

bool frmAntivirusMaster::SaveNewAntivirus() {
    AntivirusRegister products;
    try {
        if (products.NameExists(TxName->text())) {
            MsgBox("The Same Entry Already Exists.   ");
            TxName->setFocus();
            return false;
        }
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
    const QString shown = TxCode->text();
    NewRecordSave save;
    try {
        save = products.InsertNew(shown, TxName->text(), TxPurchaseKey->text(),
                                  TxInstallKey->text(), Session().CurrentUserId);
    } catch (const DbError& error) {
        MsgBox(error.description());
        return false;
    }
    if (!save.saved) {
        MsgBox("There is no code for the new entry, so it was not saved.   \r\n"
               "Contact System Administrator.   ");
        return false;
    }
    if (save.codeMoved) {
        TxCode->setText(save.code);
        MsgBox("Code " + TrimBlanks(shown) +
               " was taken by another entry meanwhile.   \r\n"
               "This entry was saved with code " +
               TrimBlanks(save.code) + ".   ");
    }
    return true;
}

bool frmAntivirusMaster::SaveEditedAntivirus() {
    AntivirusRegister products;
    qint64 rows = 0;
    try {
        if (products.NameTakenByOther(EditName, TxName->text())) {
            MsgBox("Antivirus Already Exists.   ");
            return false;
        }
        rows = products.UpdateExisting(TxCode->text(), TxName->text(), TxPurchaseKey->text(),
                                       TxInstallKey->text(), Session().CurrentUserId);
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
    CmNew->setText(kNewCaption);
}

void frmAntivirusMaster::CmClose_Click() {
    UnloadScreen(this);
}

} // namespace orvane
