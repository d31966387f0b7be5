#pragma once
// The spreadsheet sheet of the list screens: a table view over a SheetModel with the operations
// the screens and the export need. Rows and columns count from 1; column widths are in 1/256 of
// a character width and row heights in twips, the units an .xls workbook stores.
//
// Choices of this component:
// - maxRow() is the number of rows holding text or formatting, but at least fixedRows().
// - maxCol() is the column count: 10 for a new sheet; lowering it drops the cells to the right
//   (widths are kept), writing text beyond it raises it.
// - setTopRow() may scroll past the last row: as in a spreadsheet, empty rows follow.
// - setFixedRows(n) keeps rows 1..n in the sheet even while they are empty; they scroll with
//   the rest (no frozen pane).
// - The formatting selection is what setSelection() set last (A1 at first); the user's clicks
//   move the active cell only. The sheet is read-only for the user.
// - clearRange codes: 1 text and formats, 2 formats only, 3 text only (others as 1).
// - Border styles and fill patterns are .xls numbers (1 thin, 2 medium, ...; fill 1 solid). A
//   negative border style leaves that edge as it is; an outline style above 0 is drawn around
//   the selection after the per-cell edges. The shade flag is accepted and has no effect.
// - Colours: 0x00BBGGRR; a negative value means automatic (black lines, no colour).
// - File types 4 (Excel 97-2003 .xls) and 51 (Excel workbook .xlsx, the number Excel's own
//   SaveAs gives that format) are what WriteSheetFile (workbook/SheetFile.h) writes.
#include "sheet/SheetModel.h"

#include <QTableView>
#include <QWidget>

namespace orvane {

class SheetComponent : public QWidget {
    Q_OBJECT
  public:
    static constexpr int XlsFileType = 4;
    static constexpr int XlsxFileType = 51;

    explicit SheetComponent(QWidget* parent = nullptr);

    SheetModel* sheetModel() const { return model_; }
    QTableView* view() const { return view_; }

    QString text(int row, int col) const { return model_->text(row, col); }
    void setText(int row, int col, const QString& text) { model_->setText(row, col, text); }

    void setSelection(int row1, int col1, int row2, int col2);
    QRect selectionRange() const; // x = first column, y = first row (1-based)

    using QWidget::setFont;
    void setFont(const QString& name, int size, bool bold, bool italic, bool underline,
                 bool strikeout, int colour, bool outline, bool shadow);
    void setBorder(int outline, int left, int right, int top, int bottom, int shade,
                   int outlineColour, int leftColour, int rightColour, int topColour,
                   int bottomColour);
    void setPattern(int pattern, int foreground, int background);
    void clearRange(int row1, int col1, int row2, int col2, int code);

    void setColWidth(int col, int width) { model_->setColumnWidth(col, width); }
    int colWidth(int col) const { return model_->columnWidth(col); }
    void setRowHeight(int row, int twips) { model_->setRowHeight(row, twips); }
    int rowHeight(int row) const { return model_->rowHeight(row); }

    int maxCol() const { return model_->columns(); }
    void setMaxCol(int columns) { model_->setColumns(columns); }
    int maxRow() const { return std::max(model_->usedRows(), fixedRows_); }

    int activeRow() const;
    int activeCol() const;
    void setActiveCell(int row, int col);
    void setTopRow(int row);
    int topRow() const;

    void setFixedRows(int rows);
    int fixedRows() const { return fixedRows_; }
    void setShowGridLines(bool on);
    bool showGridLines() const;
    void setShowRowColHeadings(bool on);
    bool showRowColHeadings() const;

    // Pixel sizes the view uses for the stored units.
    int columnPixels(int width) const;
    static int rowPixels(int twips) { return (twips + 7) / 15; }

  signals:
    void DblClick(int row, int col);

  private:
    void applyColumnWidth(int col);
    void applyRowHeight(int row);
    void applyAllSizes();

    SheetModel* model_;
    QTableView* view_;
    int fixedRows_ = 0;
    int selRow1_ = 1, selCol1_ = 1, selRow2_ = 1, selCol2_ = 1;
    double charPixels_ = 7.0;
};

} // namespace orvane
