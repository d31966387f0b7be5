#include "lookup/frmListView.h"

#include "app/DataWorker.h"
#include "app/KeyMap.h"
#include "app/ScreenHost.h"
#include "app/Screens.h"
#include "app/mdlTarovel.h"
#include "lookup/HelpResults.h"
#include "platform/Geometry.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>

namespace orvane {

namespace {
frmListView*& openList() {
    static frmListView* list = nullptr;
    return list;
}
} // namespace

frmListView::frmListView(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      GrHelp(new FlexGrid(100, 11, this)), TxtSearch(new QLineEdit(this)) {
    setObjectName("frmListView");
    sizeTwips(this, 4620, 5010);

    GrHelp->setObjectName("GrHelp");
    placeTwips(GrHelp, 0, 30, 4635, 4665);
    QFont font("Tahoma");
    font.setPointSizeF(8.25);
    GrHelp->setFont(font);
    QPalette grid = GrHelp->palette();
    grid.setColor(QPalette::Base, Qt::white);
    grid.setColor(QPalette::Text, QColor(0, 0, 0));
    grid.setColor(QPalette::Highlight, QColor(10, 36, 106)); // active title
    grid.setColor(QPalette::HighlightedText, Qt::white);
    GrHelp->setPalette(grid);
    GrHelp->setStyleSheet("QTableView { gridline-color: rgb(192,192,192); }"
                          "QHeaderView::section { background-color: rgb(128,128,128);"
                          " color: white; border: 1px solid rgb(192,192,192); }");

    TxtSearch->setObjectName("TxtSearch");
    placeTwips(TxtSearch, 0, 4710, 4605, 285);
    QPalette search = TxtSearch->palette();
    search.setColor(QPalette::Base, QColor(128, 64, 64));
    search.setColor(QPalette::Text, Qt::white);
    TxtSearch->setPalette(search);

    // Search box first, so the user can type at once.
    setTabOrder(TxtSearch, GrHelp);
    LiftLengthLimit(TxtSearch);
    SelectAllOnFocus(TxtSearch);
    connect(TxtSearch, &QLineEdit::textChanged, this, &frmListView::TxtSearch_Change);
    connect(GrHelp, &QTableWidget::currentCellChanged, this, &frmListView::GrHelp_RowColChange);
    connect(GrHelp, &FlexGrid::DblClick, this, &frmListView::GrHelp_DblClick);
    // Escape is a pick, wherever the focus is; Enter picks the search row from the box and
    // the current row from the grid.
    (new KeyMap(this))
        ->screenKey(Qt::Key_Escape, [this] { pickAndClose(true); })
        .controlKey(TxtSearch, Qt::Key_Down, [this] { GrHelp->setFocus(); })
        .enter(TxtSearch, [this] { pickAndClose(true); })
        .enter(GrHelp, [this] { pickAndClose(false); });
}

frmListView::~frmListView() {
    if (openList() == this)
        openList() = nullptr;
}

frmListView* frmListView::current() {
    return openList();
}

void frmListView::Form_Load() {
    SearchRow = 1;
}

void frmListView::ShowForm(QString& HelpQry, qint16& DisplayFields, QString& HelpText,
                           qint32& FormWidth, qint32& Icol, QString& IcolText, qint32& IICol,
                           QString& IIColText, qint32& IIICol, QString& IIIColText, qint32& IVCol,
                           QString& IVColText, qint32& VCol, QString& VColText, qint32& VICol,
                           QString& VIColText, qint32& VIICol, QString& VIIColText, qint32& VIIICol,
                           QString& VIIIColText, qint32& IXCol, QString& IXColText, qint32& XCol,
                           QString& XColText) {
    PickListLayout layout;
    layout.displayFields = DisplayFields;
    layout.caption = HelpText;
    layout.formWidth = FormWidth;
    layout.widths = {Icol, IICol, IIICol, IVCol, VCol, VICol, VIICol, VIIICol, IXCol, XCol};
    layout.headings = {IcolText,  IIColText,  IIIColText,  IVColText, VColText,
                       VIColText, VIIColText, VIIIColText, IXColText, XColText};
    Show(Statement{HelpQry, {}}, layout);
}

void frmListView::Show(const Statement& lookup, const PickListLayout& layout) {
    // The look-up runs on the data worker; the window answers meanwhile.
    const PickListRows rows = DataWorker::await(PickListJob(lookup));
    if (rows.rows.empty())
        return;
    QWidget* owner = QApplication::activeWindow();
    if (!owner && CurrentScreenHost())
        owner = CurrentScreenHost()->ownerWindow();
    QPointer<frmListView> form = new frmListView(owner);
    form->Form_Load();
    form->setWindowTitle(layout.caption);
    form->setFixedWidth(twips(layout.formWidth));
    const int gridWidth = layout.formWidth - 80;
    placeTwips(form->GrHelp, 0, 30, gridWidth, 4665);
    placeTwips(form->TxtSearch, 0, 4710, gridWidth, 285);

    FlexGrid* grid = form->GrHelp;
    grid->setColWidth(0, 0);
    for (int c = 1; c <= 10; ++c) {
        const qint32 width = layout.widths[c - 1];
        grid->setColWidth(c, c == 2 && width >= 1 ? width - 450 : width);
        grid->setTextMatrix(0, c, layout.headings[c - 1]);
    }
    grid->setColAlignment(2, Qt::AlignLeft | Qt::AlignVCenter);
    grid->setColAlignment(3, Qt::AlignLeft | Qt::AlignVCenter);

    form->fill(rows, layout.displayFields);
    openList() = form;
    form->TxtSearch->setFocus();
    form->exec();
    if (form)
        delete form.data();
}

void frmListView::fill(const PickListRows& rows, int displayFields) {
    filling_ = true;
    int n = 0;
    for (const QStringList& fields : rows.rows) {
        ++n;
        if (n >= GrHelp->Rows() - 1)
            GrHelp->setRows(GrHelp->Rows() + 10);
        GrHelp->setTextMatrix(n, 1, fields[0]);
        for (int k = 2; k <= 10 && k <= rows.fieldCount; ++k)
            if (displayFields > k - 1)
                GrHelp->setTextMatrix(n, k, fields[k - 1]);
    }
    // The grid starts on its first data row, as the design's grid does.
    GrHelp->setCurrent(1, 1);
    if (n > 15)
        GrHelp->setTopRow(n - 15);
    filling_ = false;
}

void frmListView::TxtSearch_Change() {
    const QString s = TxtSearch->text();
    const int m = s.length();
    if (m == 0) {
        GrHelp->setTopRow(1);
        GrHelp->setCurrent(1, 0);
        HelpResult1.clear();
        HelpResult2.clear();
        return;
    }
    const QString wanted = s.toUpper();
    for (SearchRow = 1; SearchRow <= GrHelp->Rows() - 1; ++SearchRow) {
        // Column 1 empty marks the end of the records.
        if (GrHelp->TextMatrix(SearchRow, 1).isEmpty())
            return;
        if (GrHelp->TextMatrix(SearchRow, 2).left(m).toUpper() == wanted) {
            GrHelp->setTopRow(SearchRow);
            GrHelp->setCurrent(SearchRow, 0);
            for (int i = 1; i <= 3; ++i)
                HelpResult(i) = GrHelp->TextMatrix(SearchRow, i);
            for (int i = 4; i <= 7; ++i)
                HelpResult(i) = GrHelp->TextMatrix(GrHelp->Row(), i);
            return;
        }
    }
}

void frmListView::GrHelp_RowColChange() {
    if (!filling_)
        pickByCurrentRow();
}

void frmListView::GrHelp_DblClick() {
    pickAndClose(false);
}

void frmListView::pickBySearchRow() {
    for (int i = 1; i <= 3; ++i)
        HelpResult(i) = GrHelp->TextMatrix(SearchRow, i);
    for (int i = 4; i <= 7; ++i)
        HelpResult(i) = GrHelp->TextMatrix(GrHelp->Row(), i);
}

void frmListView::pickByCurrentRow() {
    const int row = GrHelp->Row();
    for (int i = 1; i <= 7; ++i)
        HelpResult(i) = row >= 1 ? GrHelp->TextMatrix(row, i) : QString();
}

void frmListView::pickAndClose(bool bySearchRow) {
    if (bySearchRow)
        pickBySearchRow();
    else
        pickByCurrentRow();
    accept();
}

} // namespace orvane
