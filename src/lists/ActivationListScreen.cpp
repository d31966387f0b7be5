#include "lists/ActivationListScreen.h"

#include "antivirus/frmAvUpdation.h"
#include "app/KeyMap.h"
#include "app/Screens.h"
#include "lists/ActivationSheet.h"
#include "lists/ExportSheet.h"
#include "platform/Database.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <limits>

namespace orvane {

namespace {
QPushButton* commandButton(const QString& caption, const char* name, int left, QWidget* frame) {
    QPushButton* b = CommandButton(caption, name, frame);
    placeTwips(b, left, 270, 1185, 375);
    return b;
}
} // namespace

ActivationListScreen::ActivationListScreen(QWidget* parent) : QWidget(parent) {
    setWindowTitle(Caption);
    // The design's small sans-serif: option captions such as "Expiring on or before" fit.
    QFont body("Arial");
    body.setPointSizeF(8.25);
    setFont(body);
    Fbook = new SheetComponent(this);
    Fbook->setObjectName("Fbook");
    Fbook->view()->setObjectName("FbookView");
    TxSearch = new QLineEdit(this);
    TxSearch->setObjectName("TxSearch");
    TxSearch->setMaxLength(std::numeric_limits<int>::max());
    CmSearch = new QPushButton("Search", this);
    CmSearch->setObjectName("CmSearch");
    CmSearch->setAutoDefault(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::Box);
    placeTwips(Frame1, 0, 5520, 11535, 795);
    CmNew = commandButton("New - F2", "CmNew", 2550, Frame1);
    Command2 = commandButton("Delete - F6", "Command2", 3735, Frame1);
    Command2->setEnabled(false); // the design has no delete: shown greyed
    CmExport = commandButton("Export - F11", "CmExport", 4920, Frame1);
    CmView = commandButton("View - F3", "CmView", 6105, Frame1);
    CmClose = commandButton("Close - F9", "CmClose", 7290, Frame1);

    // The sheet holds the focus whenever the screen is given it.
    setFocusProxy(Fbook);
    SelectAllOnFocus(TxSearch);

    connect(CmNew, &QPushButton::clicked, this, &ActivationListScreen::CmNew_Click);
    connect(CmView, &QPushButton::clicked, this, &ActivationListScreen::CmView_Click);
    connect(Command2, &QPushButton::clicked, this, &ActivationListScreen::Command2_Click);
    connect(CmClose, &QPushButton::clicked, this, &ActivationListScreen::CmClose_Click);
    connect(CmExport, &QPushButton::clicked, this, &ActivationListScreen::CmExport_Click);
    connect(CmSearch, &QPushButton::clicked, this, &ActivationListScreen::CmSearch_Click);
    connect(Fbook, &SheetComponent::DblClick, this, &ActivationListScreen::Fbook_DblClick);
    connect(TxSearch, &QLineEdit::textChanged, this, &ActivationListScreen::TxSearch_Change);
    Keys = new KeyMap(this);
    // Each key runs its button's action, enabled or not; F6 has none (no delete).
    Keys->screenKey(Qt::Key_F2, [this] { CmNew_Click(); })
        .screenKey(Qt::Key_F3, [this] { CmView_Click(); })
        .screenKey(Qt::Key_F5, [this] { Refill(); })
        .screenKey(Qt::Key_F9, [this] { CmClose_Click(); })
        .screenKey(Qt::Key_Escape, [this] { CmClose_Click(); })
        .screenKey(Qt::Key_F11, [this] { CmExport_Click(); })
        .enter(TxSearch, [this] { TxSearch_KeyPress(13); });
}

void ActivationListScreen::TxSearch_Change() {
    RequestRefill();
}

void ActivationListScreen::RequestRefill() {
    const quint64 request = line_.next();
    requested_ = request;
    DataWorker::post<std::vector<ActivationGroup>>(
        this, RowsQuery(),
        [this, request](JobResult<std::vector<ActivationGroup>> result) {
            answered(request, std::move(result));
        },
        &line_, request);
}

void ActivationListScreen::answered(quint64 request,
                                    JobResult<std::vector<ActivationGroup>> result) {
    shown_ = request;
    ++shownCount_;
    auto replaced = std::move(shownRows_);
    const quint64 layout = ++layout_;
    laying_ = false;
    if (result.error) {
        RefillFailed(result.error->description());
    } else {
        shownRows_ = std::make_shared<std::vector<ActivationGroup>>(std::move(*result.value));
        laying_ = true;
        layOut(layout, {});
    }
    DataWorker::release(std::move(replaced));
}

void ActivationListScreen::layOut(quint64 layout, ActivationSheet::RowCursor at) {
    if (layout != layout_)
        return;
    if (!line_.current(shown_)) {
        // Typing has asked for newer rows: they replace these anyway.
        laying_ = false;
        return;
    }
    const bool done = ShowRows(*shownRows_, at, ActivationSheet::RowsPerPass);
    if (layout != layout_) // a message box of the layout let a newer answer in
        return;
    if (done) {
        laying_ = false;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, layout, at] { layOut(layout, at); }, Qt::QueuedConnection);
}

bool ActivationListScreen::Refill() {
    RequestRefill();
    return WaitForRefill();
}

bool ActivationListScreen::WaitForRefill() {
    QPointer<ActivationListScreen> self(this);
    DataWorker::waitUntil([&self] { return !self || !self->RefillRunning(); });
    return self && !IsUnloaded(this);
}

void ActivationListScreen::TxSearch_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        Refill();
}

void ActivationListScreen::CmSearch_Click() {
    if (BusyPointerShown())
        return;
    BusyPointer busy;
    Refill();
}

void ActivationListScreen::CmNew_Click() {
    try {
        frmAvUpdation::OpenForNew();
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
}

void ActivationListScreen::CmView_Click() {
    if (WaitForRefill())
        OpenRecordOfRow(Fbook->activeRow());
}

void ActivationListScreen::Fbook_DblClick(int row, int col) {
    Q_UNUSED(col)
    OpenRecordOfRow(row);
}

void ActivationListScreen::OpenRecordOfRow(int row) {
    if (Fbook->text(row, ActivationSheet::IpColumn).isEmpty())
        return;
    try {
        frmAvUpdation::OpenForView(Fbook->text(row, ActivationSheet::KeyColumn),
                                   row < int(rowUnits_.size()) ? rowUnits_[size_t(row)]
                                                               : QString());
    } catch (const DbError& error) {
        MsgBox(error.description());
    }
}

void ActivationListScreen::Command2_Click() {}

void ActivationListScreen::CmClose_Click() {
    UnloadScreen(this);
}

void ActivationListScreen::CmExport_Click() {
    if (WaitForRefill())
        ExportSheet(*Fbook, Caption);
}

void ActivationListScreen::ReportRefillError(const QString& description, int firstDataRow) {
    // Half a result would pass for the whole list: keep the header rows only.
    Fbook->clearRange(firstDataRow, 1, Fbook->maxRow(), Fbook->maxCol(), 1);
    ForgetRowUnits();
    MsgBox(description);
}

} // namespace orvane
