#include "shell/frmSwitch.h"

#include "app/KeyMap.h"
#include "app/Screens.h"
#include "app/SessionNotices.h"
#include "app/mdlTarovel.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"
#include "shell/UnitAccess.h"
#include "shell/frmMain.h"

#include <QHeaderView>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <functional>

namespace orvane {

namespace {
constexpr int kInitialRows = 9;

// The unit grid has no type-ahead, and any double-click inside it acts on the current row.
class UnitGrid : public QTableWidget {
  public:
    UnitGrid(std::function<void()> doubleClicked, QWidget* parent)
        : QTableWidget(kInitialRows, 3, parent), doubleClicked_(std::move(doubleClicked)) {}
    void keyboardSearch(const QString&) override {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTableWidget::mouseDoubleClickEvent(event);
        doubleClicked_();
    }

  private:
    std::function<void()> doubleClicked_;
};
} // namespace

frmSwitch::frmSwitch(QWidget* parent)
    : QWidget(parent), GrUnit(new UnitGrid([this] { GrUnit_DblClick(); }, this)),
      CmSwitch(new QPushButton("Switch", this)) {
    setObjectName("frmSwitch");
    setWindowTitle("Change Unit");
    SetFrameButtons(this, FrameButtons::CloseOnly);
    sizeTwips(this, 2550, 4680);

    GrUnit->setObjectName("GrUnit");
    placeTwips(GrUnit, 30, 60, 2505, 4155);
    QFont gridFont("Times New Roman");
    gridFont.setPointSizeF(8.25);
    gridFont.setBold(true);
    GrUnit->setFont(gridFont);
    // No fixed rows or columns: the grid is a plain list of cells.
    GrUnit->horizontalHeader()->hide();
    GrUnit->verticalHeader()->hide();
    GrUnit->verticalHeader()->setMinimumSectionSize(1);
    GrUnit->verticalHeader()->setDefaultSectionSize(QFontMetrics(gridFont).height() + 4);
    GrUnit->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrUnit->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrUnit->setSelectionMode(QAbstractItemView::SingleSelection);
    GrUnit->setTabKeyNavigation(false);
    GrUnit->setWordWrap(false);

    CmSwitch->setObjectName("CmSwitch");
    placeTwips(CmSwitch, 30, 4260, 2505, 405);
    CmSwitch->setAutoDefault(true);

    setTabOrder(GrUnit, CmSwitch);
    // Whoever focuses the screen lands in the grid.
    setFocusProxy(GrUnit);

    connect(CmSwitch, &QPushButton::clicked, this, &frmSwitch::CmSwitch_Click);
    (new KeyMap(this))
        ->screenKey(Qt::Key_Escape, [this] { UnloadScreen(this); })
        .enter(GrUnit, [this] { GrUnit_KeyPress(13); });
}

void frmSwitch::Form_Load() {
    CenterForm(this);
    GrUnit->setColumnWidth(0, 0);
    GrUnit->setColumnWidth(1, twips(2450));
    GrUnit->setColumnWidth(2, 0);
    // Zero-width columns still take a grid line; hiding them keeps the code out of sight.
    GrUnit->setColumnHidden(0, true);
    GrUnit->setColumnHidden(2, true);

    QVector<UnitRow> units;
    try {
        units = GrantedUnits(Session().CurrentUserId);
    } catch (const DbError& error) {
        MsgBox(error.description(), MsgIcon::Critical);
    }
    int r = 0;
    for (const UnitRow& unit : units) {
        if (r >= GrUnit->rowCount())
            GrUnit->setRowCount(GrUnit->rowCount() + 1);
        setCell(r, 0, unit.code);
        setCell(r, 1, unit.name);
        ++r;
    }
    GrUnit->setCurrentCell(0, 1);
}

QString frmSwitch::cellText(int row, int column) const {
    const QTableWidgetItem* item = GrUnit->item(row, column);
    return item ? item->text() : QString();
}

void frmSwitch::setCell(int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    GrUnit->setItem(row, column, item);
}

QString frmSwitch::unitCodeAt(int row) const {
    return cellText(row, 0);
}
QString frmSwitch::unitNameAt(int row) const {
    return cellText(row, 1);
}

void frmSwitch::CmSwitch_Click() {
    const int row = GrUnit->currentRow();
    const QString code = unitCodeAt(row);
    if (code.isEmpty())
        return;
    if (MsgBox("Do you want to change the unit... ", MsgIcon::Information, MsgButtons::OkCancel) !=
        MsgAnswer::Ok)
        return;
    Session().CurrentUnitCode = code;
    Session().CurrentUnitName = unitNameAt(row);
    if (frmMain* main = frmMain::instance())
        main->RefreshCaption();
    AnnounceUnitSwitched();
    UnloadScreen(this);
}

void frmSwitch::GrUnit_DblClick() {
    CmSwitch_Click();
}

void frmSwitch::GrUnit_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        CmSwitch_Click();
}

void frmSwitch::paintEvent(QPaintEvent*) {
    // The screen's background picture: a quiet two-tone wash behind the grid.
    QPainter painter(this);
    QLinearGradient wash(0, 0, 0, height());
    wash.setColorAt(0, QColor(214, 226, 240));
    wash.setColorAt(1, QColor(120, 150, 190));
    painter.fillRect(rect(), wash);
}

} // namespace orvane
