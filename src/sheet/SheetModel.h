#pragma once
// The cells of one worksheet: text plus a shared style per cell, column widths and row heights
// in the units an .xls workbook stores (1/256 of a character width, twips). Rows and columns
// are counted from 1 in this interface.
//
// The report refills tens of thousands of rows on every keystroke, so cells live densely in one
// vector (row-major, stride = column count), styles are interned in a table and every cell
// carries only a style index. Views are told about changes once per event-loop pass
// (flushChanges), not once per cell.
#include <QAbstractTableModel>
#include <QFont>
#include <QList>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace orvane {

// Colours are 32-bit values with blue in bits 16-23, green 8-15 and red 0-7. A value with any
// of the top eight bits set (for example -1) means "automatic".
constexpr quint32 AutoColour = 0xFFFFFFFFu;
inline bool isAutoColour(quint32 c) {
    return (c & 0xFF000000u) != 0;
}

struct CellStyle {
    QString fontName = QStringLiteral("Arial");
    int fontSize = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool outline = false;
    bool shadow = false;
    quint32 fontColour = 0; // black
    // Line styles as .xls numbers them: 0 none, 1 thin, 2 medium, 3 dashed, 4 dotted, 5 thick,
    // 6 double, 7 hair, 8..13 the medium/dash variants.
    quint8 borderLeft = 0;
    quint8 borderRight = 0;
    quint8 borderTop = 0;
    quint8 borderBottom = 0;
    quint32 borderLeftColour = AutoColour;
    quint32 borderRightColour = AutoColour;
    quint32 borderTopColour = AutoColour;
    quint32 borderBottomColour = AutoColour;
    // Fill pattern as .xls numbers it: 0 none, 1 solid, 2..18 the hatch patterns.
    quint8 pattern = 0;
    quint32 patternFg = AutoColour;
    quint32 patternBg = AutoColour;

    bool operator==(const CellStyle& o) const;
    bool operator!=(const CellStyle& o) const { return !(*this == o); }
};
size_t qHash(const CellStyle& s, size_t seed = 0) noexcept;

enum class ClearWhat { All, Formats, Values };

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int DefaultColumnWidth = 2340; // 8.43 characters, as a new .xls sheet
    static constexpr int DefaultRowHeight = 255;    // twips (12.75 pt)

    explicit SheetModel(QObject* parent = nullptr);

    // QAbstractTableModel: the view sees the rows that hold text or formatting (at least
    // minimumRows()) once the pending changes have been flushed.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    int columns() const { return cols_; }
    void setColumns(int n); // cells right of the new last column are dropped
    // Rows holding text or a non-default format (trailing empty rows do not count).
    int usedRows() const { return rows_; }
    int minimumRows() const { return minRows_; }
    void setMinimumRows(int n);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    int styleIndex(int row, int col) const;
    const CellStyle& style(int index) const { return styles_[size_t(index)]; }
    int styleCount() const { return int(styles_.size()); }
    int internStyle(const CellStyle& s);
    // Rewrites the style of every cell in the range; `change` runs once per distinct style.
    void changeStyle(int r1, int c1, int r2, int c2, const std::function<void(CellStyle&)>& change);
    void clear(int r1, int c1, int r2, int c2, ClearWhat what);

    int columnWidth(int col) const;
    void setColumnWidth(int col, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    const std::map<int, int>& customRowHeights() const { return rowHeights_; }

    QFont fontFor(int styleIndex) const;

    // A copy of the cells, styles and sizes with no view attached, which a writer on another
    // thread may read while this sheet goes on changing.
    std::unique_ptr<SheetModel> snapshot() const;

  public slots:
    // Publishes row/column count and content changes to attached views.
    void flushChanges();

  signals:
    void rowHeightChanged(int row);
    void columnWidthChanged(int col);

  private:
    struct Cell {
        QString text;
        int style = 0;
    };
    Cell* cellAt(int row, int col); // grows the row area; row/col 1-based and valid
    const Cell* findCell(int row, int col) const;
    void ensureRows(int rows);
    void trimTrailingRows();
    void markDirty(int r1, int c1, int r2, int c2);
    int shownRowTarget() const { return std::max(rows_, minRows_); }

    // Implicitly shared, so that an export's snapshot is taken without copying every cell on
    // the UI thread; the sheet's next write detaches it.
    QList<Cell> cells_;
    int rows_ = 0;
    int cols_ = 0;
    int minRows_ = 0;
    std::vector<CellStyle> styles_;
    QHash<CellStyle, int> styleIds_;
    mutable std::vector<QFont> fontCache_; // built on first paint only
    mutable std::vector<bool> fontBuilt_;
    std::vector<int> widths_; // never shrinks, so a narrowed-then-widened sheet keeps widths
    std::map<int, int> rowHeights_;

    // What the views have been told so far.
    int shownRows_ = 0;
    int shownCols_ = 0;
    bool flushQueued_ = false;
    int dirtyR1_ = -1, dirtyC1_ = 0, dirtyR2_ = -1, dirtyC2_ = 0;
};

} // namespace orvane
