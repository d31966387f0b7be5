#include "lookup/FlexGrid.h"

#include "platform/Geometry.h"

#include <QHeaderView>
#include <QScrollBar>

namespace orvane {

FlexGrid::FlexGrid(int rows, int cols, QWidget* parent)
    : QTableWidget(qMax(0, rows - 1), cols, parent), widths_(cols, 0),
      alignments_(cols, Qt::AlignLeft | Qt::AlignVCenter) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(twips(240));
    verticalHeader()->setDefaultSectionSize(twips(240));
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setFixedHeight(twips(255));
    horizontalHeader()->setMinimumSectionSize(0);
    setGridStyle(Qt::SolidLine);
    for (int c = 0; c < cols; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
}

void FlexGrid::setRows(int rows) {
    setRowCount(qMax(0, rows - 1));
}

QString FlexGrid::TextMatrix(int row, int col) const {
    if (col < 0 || col >= columnCount())
        return QString();
    if (row == 0) {
        const QTableWidgetItem* heading = horizontalHeaderItem(col);
        return heading ? heading->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, col);
    return cell ? cell->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (col < 0 || col >= columnCount() || row < 0 || row >= Rows())
        return;
    if (row == 0) {
        horizontalHeaderItem(col)->setText(text);
        return;
    }
    QTableWidgetItem* cell = item(row - 1, col);
    if (!cell) {
        cell = new QTableWidgetItem();
        cell->setTextAlignment(alignments_[col]);
        setItem(row - 1, col, cell);
    }
    cell->setText(text);
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    if (col >= 0 && col < columnCount())
        alignments_[col] = alignment;
}

int FlexGrid::ColWidth(int col) const {
    return widths_.value(col);
}

void FlexGrid::setColWidth(int col, int widthTwips) {
    if (col < 0 || col >= columnCount())
        return;
    widths_[col] = qMax(0, widthTwips);
    setColumnHidden(col, widths_[col] == 0);
    if (widths_[col] > 0)
        setColumnWidth(col, twips(widths_[col]));
}

void FlexGrid::setCurrent(int row, int col) {
    if (row < 1 || row >= Rows())
        return;
    // A hidden current column would stop the arrow keys; the row is what counts.
    col = qBound(0, col, columnCount() - 1);
    int visible = col;
    while (visible < columnCount() && isColumnHidden(visible))
        ++visible;
    if (visible < columnCount())
        col = visible;
    setCurrentCell(row - 1, col);
}

int FlexGrid::TopRow() const {
    if (pendingTop_ > 0)
        return pendingTop_;
    return verticalScrollBar()->value() + 1;
}

void FlexGrid::setTopRow(int row) {
    pendingTop_ = qMax(1, row);
    // Before the grid is laid out the scroll range is not known yet; showEvent applies it.
    if (isVisible())
        applyTopRow();
}

void FlexGrid::showEvent(QShowEvent* event) {
    QTableWidget::showEvent(event);
    if (pendingTop_ > 0)
        applyTopRow();
}

void FlexGrid::applyTopRow() {
    updateGeometries();
    verticalScrollBar()->setValue(pendingTop_ - 1);
    pendingTop_ = 0;
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    emit DblClick();
}

} // namespace orvane
