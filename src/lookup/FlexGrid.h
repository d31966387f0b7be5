#pragma once
// A text grid addressed like the design's flexible grid: row 0 is the fixed heading row
// (drawn as the header), data rows start at 1, widths are in twips, width 0 hides a column.
#include <QTableWidget>

namespace orvane {

class FlexGrid : public QTableWidget {
    Q_OBJECT
  public:
    FlexGrid(int rows, int cols, QWidget* parent = nullptr);

    // Rows in all, the heading row included.
    int Rows() const { return rowCount() + 1; }
    void setRows(int rows);
    int Cols() const { return columnCount(); }

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    void setColAlignment(int col, Qt::Alignment alignment);

    int ColWidth(int col) const; // twips as set; 0 when hidden
    void setColWidth(int col, int widthTwips);

    // Current data row (1-based); 0 when there is none.
    int Row() const { return currentRow() + 1; }
    int Col() const { return currentColumn(); }
    void setCurrent(int row, int col);

    // First data row in view (1-based).
    int TopRow() const;
    void setTopRow(int row);

    // The designed grids have no type-ahead: a typed letter never moves the current row.
    void keyboardSearch(const QString&) override {}

  signals:
    // A double-click anywhere inside the grid, on a cell or on its empty area.
    void DblClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void applyTopRow();
    QVector<int> widths_;
    QVector<Qt::Alignment> alignments_;
    int pendingTop_ = 0;
};

} // namespace orvane
