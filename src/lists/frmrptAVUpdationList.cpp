#include "lists/frmrptAVUpdationList.h"

#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "lists/ActivationQuery.h"
#include "lists/ActivationSheet.h"
#include "lookup/HelpResults.h"
#include "lookup/frmListView.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <QKeyEvent>
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

    SelectAllOnFocus(TxUnitCode);
    TxUnitCode->installEventFilter(this);
    connect(ChExpired, &QRadioButton::clicked, this, &frmrptAVUpdationList::ChExpired_Click);
    connect(ChkDate, &QRadioButton::clicked, this, &frmrptAVUpdationList::ChkDate_Click);
}

void frmrptAVUpdationList::Form_Load() {
    CenterForm(this);
    Fbook->setFixedRows(HeaderRows);
    Fbook->setMaxCol(ActivationSheet::Columns);
    Fbook->clearRange(1, 1, Fbook->maxRow(), Fbook->maxCol(), 1);
    Fbook->setMaxCol(10);
    Fbook->setRowHeight(1, 500);
    Fbook->setText(1, 1, "TAROVEL");
    ActivationSheet::SetTitleFont(*Fbook, 1, 1);
    try {
        Fbook->setText(2, 1, GetUnitName(Session().CurrentUnitCode));
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
    ActivationSheet::SetColumnWidths(*Fbook, 12500);
    ActivationSheet::WriteHeadings(*Fbook, HeaderRows, "Sl No");
    DtFrom->setEnabled(false);
    DtFrom->setDate(QDate::currentDate());
    ActivationSheet::FormatHeadingRow(*Fbook, HeaderRows);
    Fbook->setShowGridLines(false);
    Fbook->setShowRowColHeadings(false);
    Fbook->setFocus();
}

void frmrptAVUpdationList::FillReport() {
    try {
        fill();
    } catch (const DbError& error) {
        ReportRefillError(error.description(), FirstDataRow);
    }
}

void frmrptAVUpdationList::fill() {
    Fbook->clearRange(FirstDataRow, 1, Fbook->maxRow(), Fbook->maxCol(), 1);
    ForgetRowUnits();
    Fbook->setMaxCol(ActivationSheet::Columns);
    int row = HeaderRows;
    int number = 0;
    QString previousUnit;

    ReportFilter filter;
    filter.searchText = TxSearch->text();
    filter.unitCode = TxUnitCode->text();
    filter.expiry = ChkDate->isChecked()     ? ExpiryFilter::OnOrBefore
                    : ChExpired->isChecked() ? ExpiryFilter::Expired
                                             : ExpiryFilter::None;
    filter.onOrBefore = DtFrom->date();
    filter.today = QDate::currentDate();
    const Statement st = ActivationQuery::Report(filter);

    Recordset rs = Session().SharedConnection().query(st.sql, st.params);
    if (rs.bof())
        return;
    const ActivationColumns cols(rs);
    int groupStart = row + 1;
    for (; !rs.eof(); rs.moveNext()) {
        const QString unit = rs.field(cols.unitCode);
        if (unit != previousUnit) {
            ActivationSheet::SetRecordFont(*Fbook, groupStart, row, ActivationSheet::Columns);
            // One empty row between unit groups; the first heading goes straight into row 5.
            row = row == HeaderRows ? FirstDataRow : row + 2;
            previousUnit = unit;
            Fbook->setText(row, 2, GetUnitName(unit));
            ActivationSheet::SetUnitHeadingFont(*Fbook, row, 2);
            groupStart = row + 1;
        }
        ++row;
        ++number;
        ActivationSheet::WriteRecord(*Fbook, row, number, rs, cols, dates_);
        RememberRowUnit(row, unit);
    }
    ActivationSheet::SetRecordFont(*Fbook, groupStart, row, ActivationSheet::Columns);
    rs.close();
}

bool frmrptAVUpdationList::PreviewKey(int keyCode) {
    const bool inUnitBox = TxUnitCode->hasFocus();
    const bool handled = Form_KeyDown(keyCode);
    // The unit box's own key handler still runs after a screen key, unless that closed it.
    if (handled && inUnitBox && keyCode != Qt::Key_F9 && keyCode != Qt::Key_Escape)
        TxUnitCode_KeyDown(keyCode);
    return handled;
}

bool frmrptAVUpdationList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxUnitCode && event->type() == QEvent::KeyPress) {
        TxUnitCode_KeyDown(static_cast<QKeyEvent*>(event)->key());
        return false; // the key goes on into the box
    }
    return ActivationListScreen::eventFilter(watched, event);
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
    }
    FillReport();
}

void frmrptAVUpdationList::unitLookup() {
    QString query = "Select unitaccess.unit_code,unit_name from tarovel.unitmaster inner join "
                    "tarovel.unitaccess on unitaccess.unit_code=unitmaster.unit_code where "
                    "unitaccess.user_id='" +
                    QString(Session().CurrentUserId).replace('\'', "''") +
                    "' and unit_app_circ=0  order by unit_priority";
    qint16 fields = 2;
    QString caption = "Unit Help";
    qint32 width = 4000, codeWidth = 0, nameWidth = 4000, none = 0;
    QString codeHeading = "Unit Code", nameHeading = "Unit Name";
    qint32 w3 = none, w4 = none, w5 = none, w6 = none, w7 = none, w8 = none, w9 = none, w10 = none;
    QString h3, h4, h5, h6, h7, h8, h9, h10;
    frmListView::ShowForm(query, fields, caption, width, codeWidth, codeHeading, nameWidth,
                          nameHeading, w3, h3, w4, h4, w5, h5, w6, h6, w7, h7, w8, h8, w9, h9, w10,
                          h10);
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
