#include "lists/frmrptAVUpdationList.h"

#include "app/KeyMap.h"
#include "app/ScreenGrowth.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "lists/ActivationSheet.h"
#include "lists/ReportSheet.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <limits>

namespace orvane {

namespace {
QRadioButton* option(const QString& caption, const char* name, QWidget* frame) {
    auto* o = new QRadioButton(caption, frame);
    o->setObjectName(name);
    return o;
}
} // namespace

frmrptAVUpdationList::frmrptAVUpdationList(QWidget* parent) : ActivationListScreen(parent) {
    setObjectName("frmrptAVUpdationList");
    sizeTwips(this, 11535, 6315);
    placeTwips(Fbook, 30, 60, 11505, 4545);
    placeTwips(TxSearch, 30, 4740, 2745, 315);
    placeTwips(CmSearch, 2820, 4710, 1005, 375);

    Label1 = new QLabel("Unit", this);
    Label1->setObjectName("Label1");
    Label1->move(twips(4020), twips(4800));
    Label1->adjustSize();
    TxUnitCode = new QLineEdit(this);
    TxUnitCode->setObjectName("TxUnitCode");
    TxUnitCode->setMaxLength(std::numeric_limits<int>::max());
    placeTwips(TxUnitCode, 4350, 4755, 975, 285);
    TxUnitName = new QLineEdit(this);
    TxUnitName->setObjectName("TxUnitName");
    TxUnitName->setMaxLength(std::numeric_limits<int>::max());
    placeTwips(TxUnitName, 5370, 4755, 2115, 285);

    Frame2 = new QFrame(this);
    Frame2->setObjectName("Frame2");
    Frame2->setFrameShape(QFrame::Box);
    placeTwips(Frame2, 7800, 4620, 3735, 855);
    ChkDate = option("Expiring on or before", "ChkDate", Frame2);
    placeTwips(ChkDate, 180, 150, 1905, 345);
    DtFrom = new QDateEdit(Frame2);
    DtFrom->setObjectName("DtFrom");
    DtFrom->setCalendarPopup(true);
    DtFrom->setDisplayFormat(ShortDateFormat());
    placeTwips(DtFrom, 2190, 150, 1455, 315);
    ChExpired = option("Expired Only", "ChExpired", Frame2);
    placeTwips(ChExpired, 210, 480, 1455, 315);

    QWidget* order[] = {Fbook,    Command2, CmNew,      CmView,     CmClose, CmExport, TxSearch,
                        CmSearch, DtFrom,   TxUnitName, TxUnitCode, ChkDate, ChExpired};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    GrowWithWindow(this, Fbook,
                   {TxSearch, CmSearch, Label1, TxUnitCode, TxUnitName, Frame2, Frame1});

    SelectAllOnFocus(TxUnitCode);
    // The box's own handler sees every key, screen keys too, before the box does.
    Keys->keyDown(TxUnitCode, [this](int key) { TxUnitCode_KeyDown(key); });
    connect(ChExpired, &QRadioButton::clicked, this, &frmrptAVUpdationList::ChExpired_Click);
    connect(ChkDate, &QRadioButton::clicked, this, &frmrptAVUpdationList::ChkDate_Click);
}

void frmrptAVUpdationList::Form_Load() {
    CenterForm(this);
    QString unitName;
    try {
        unitName = GetUnitName(Session().CurrentUnitCode);
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
    ReportSheet::WriteFrame(*Fbook, unitName);
    DtFrom->setEnabled(false);
    DtFrom->setDate(QDate::currentDate());
    Fbook->setFocus();
}

void frmrptAVUpdationList::FillReport() {
    Refill();
}

ActivationListScreen::RowsJob frmrptAVUpdationList::RowsQuery() {
    // Read on the UI thread now: the worker sees the filters as they were when asked.
    ReportFilter filter;
    filter.searchText = TxSearch->text();
    filter.unitCode = TxUnitCode->text();
    filter.expiry = ChkDate->isChecked()     ? ExpiryFilter::OnOrBefore
                    : ChExpired->isChecked() ? ExpiryFilter::Expired
                                             : ExpiryFilter::None;
    filter.onOrBefore = DtFrom->date();
    filter.today = QDate::currentDate();
    return ActivationRows::ReportJob(filter);
}

bool frmrptAVUpdationList::ShowRows(const std::vector<ActivationGroup>& groups,
                                    ActivationSheet::RowCursor& at, int limit) {
    if (at.row == 0) {
        ForgetRowUnits();
        Fbook->setMaxCol(ActivationSheet::Columns);
        for (const ActivationGroup& group : groups)
            if (!group.unitName)
                ReportMissingUnit();
    }
    return ReportSheet::WriteSomeRows(
        *Fbook, groups, dates_, at, limit,
        [this](int row, const QString& unit) { RememberRowUnit(row, unit); });
}

void frmrptAVUpdationList::RefillFailed(const QString& description) {
    // The sheet narrows to its columns before a refill, so a failed one clears those.
    ForgetRowUnits();
    Fbook->setMaxCol(ActivationSheet::Columns);
    ReportRefillError(description, FirstDataRow);
}

void frmrptAVUpdationList::TxUnitCode_KeyDown(int keyCode) {
    if (keyCode == Qt::Key_F1) {
        try {
            unitLookup();
        } catch (const DbError& error) {
            MsgBox(error.description());
        }
    } else if (keyCode == Qt::Key_Delete) {
        TxUnitCode->clear();
        TxUnitName->clear();
    } else {
        RequestRefill(); // typing never waits for the rows
        return;
    }
    FillReport();
}

void frmrptAVUpdationList::unitLookup() {
    PickListLayout layout;
    layout.caption = "Unit Help";
    layout.formWidth = 4000;
    layout.widths[1] = 4000;
    layout.headings[0] = "Unit Code";
    layout.headings[1] = "Unit Name";
    frmListView::Show(ActivationQuery::ReportUnits(Session().CurrentUserId), layout);
    TxUnitCode->setText(HelpResult1);
    TxUnitName->setText(HelpResult2);
    HelpResult1.clear();
    HelpResult2.clear();
}

void frmrptAVUpdationList::ChExpired_Click() {
    DtFrom->setEnabled(false);
    FillReport();
}

void frmrptAVUpdationList::ChkDate_Click() {
    DtFrom->setEnabled(ChkDate->isChecked());
    FillReport();
}

} // namespace orvane
