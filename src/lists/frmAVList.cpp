#include "lists/frmAVList.h"

#include "app/ScreenGrowth.h"
#include "app/mdlTarovel.h"
#include "lists/ActivationSheet.h"
#include "platform/Geometry.h"

namespace orvane {

namespace {
QFont timesBold() {
    QFont f("Times New Roman");
    f.setPointSizeF(14.25);
    f.setBold(true);
    return f;
}
} // namespace

frmAVList::frmAVList(QWidget* parent) : ActivationListScreen(parent) {
    setObjectName("frmAVList");
    sizeTwips(this, 11535, 6315);

    Label3 = new QLabel(Caption, this);
    Label3->setObjectName("Label3");
    Label3->setFont(timesBold());
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setStyleSheet("color: rgb(0,0,128);");
    placeTwips(Label3, 0, 0, 11805, 345);

    placeTwips(Fbook, 0, 390, 11535, 4665);
    Label1 = new QLabel("Search System", this);
    Label1->setObjectName("Label1");
    Label1->move(twips(390), twips(5190));
    Label1->adjustSize();
    placeTwips(TxSearch, 1590, 5130, 3885, 315);
    LbUnit = new QLabel(this);
    LbUnit->setObjectName("LbUnit");
    LbUnit->setFont(timesBold());
    placeTwips(LbUnit, 5790, 5130, 0, 330);
    placeTwips(CmSearch, 9840, 5100, 1665, 375);

    QWidget* order[] = {Fbook, Command2, CmNew, CmView, CmClose, CmExport, TxSearch, CmSearch};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    GrowWithWindow(this, Fbook, {Label1, TxSearch, LbUnit, CmSearch, Frame1}, {Label3});
}

void frmAVList::Form_Load() {
    CenterForm(this);
    Fbook->setFixedRows(HeaderRows);
    Fbook->setMaxCol(ActivationSheet::Columns);
    ActivationSheet::SetColumnWidths(*Fbook, 5000);
    ActivationSheet::WriteHeadings(*Fbook, HeaderRows, "Code");
    // The label keeps the unit of the opening; every refill reads the current unit anew.
    LbUnit->setText(Session().CurrentUnitName);
    LbUnit->resize(LbUnit->sizeHint().width(), LbUnit->height());
    ActivationSheet::FormatHeadingRow(*Fbook, HeaderRows);
    Fbook->setShowGridLines(false);
    Fbook->setShowRowColHeadings(false);
    Fbook->setFocus();
}

void frmAVList::FillList() {
    Refill();
}

ActivationListScreen::RowsJob frmAVList::RowsQuery() {
    // Read on the UI thread now: the worker sees the filters as they were when asked.
    return ActivationRows::ListJob(TxSearch->text(), Session().CurrentUnitCode);
}

bool frmAVList::ShowRows(const std::vector<ActivationGroup>& groups, ActivationSheet::RowCursor& at,
                         int limit) {
    if (at.row == 0) {
        Fbook->clearRange(FirstDataRow, 1, Fbook->maxRow(), Fbook->maxCol(), 1);
        ForgetRowUnits();
        at.row = HeaderRows;
    }
    const auto& records = groups.front().records;
    const int partStart = at.row + 1;
    for (; at.record < records.size() && limit > 0; ++at.record, --limit) {
        ++at.row;
        ActivationSheet::WriteRecord(*Fbook, at.row, at.row - HeaderRows, records[at.record],
                                     dates_);
        RememberRowUnit(at.row, records[at.record].unitCode);
    }
    ActivationSheet::SetRecordFont(*Fbook, partStart, at.row, Fbook->maxCol());
    if (at.record < records.size())
        return false;
    // The formatting selection ends on every record row, as one pass leaves it.
    if (!records.empty())
        Fbook->setSelection(FirstDataRow, 1, at.row, Fbook->maxCol());
    showLastRows(at.row);
    return true;
}

void frmAVList::RefillFailed(const QString& description) {
    ReportRefillError(description, FirstDataRow);
    showLastRows(HeaderRows);
}

void frmAVList::showLastRows(int lastRow) {
    Fbook->setTopRow(lastRow < RowsInView ? 1 : lastRow - (RowsInView - 1));
}

} // namespace orvane
