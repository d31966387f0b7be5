#include "sheet/SheetComponent.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane {

namespace {

// Draws the cell borders over what the standard delegate paints.
class BorderDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!paintOverflow(p, option, index))
            QStyledItemDelegate::paint(p, option, index);
        const auto* m = static_cast<const SheetModel*>(index.model());
        const CellStyle& s = m->style(m->styleIndex(index.row() + 1, index.column() + 1));
        if (!(s.borderLeft | s.borderRight | s.borderTop | s.borderBottom))
            return;
        const QRect r = option.rect;
        p->save();
        edge(p, s.borderLeft, s.borderLeftColour, r.topLeft(), r.bottomLeft());
        edge(p, s.borderRight, s.borderRightColour, r.topRight(), r.bottomRight());
        edge(p, s.borderTop, s.borderTopColour, r.topLeft(), r.topRight());
        edge(p, s.borderBottom, s.borderBottomColour, r.bottomLeft(), r.bottomRight());
        p->restore();
    }

  private:
    // As in a spreadsheet, a text too wide for its cell runs on over the empty cells to
    // its right instead of being cut (the report's title "TAROVEL" sits in a narrow column).
    bool paintOverflow(QPainter* p, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            return false;
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const int needed = opt.fontMetrics.horizontalAdvance(text) + 6;
        if (needed <= option.rect.width())
            return false;
        auto* view = qobject_cast<const QTableView*>(opt.widget);
        if (!view)
            return false;
        QRect wide = option.rect;
        const QAbstractItemModel* m = index.model();
        for (int c = index.column() + 1; wide.width() < needed && c < m->columnCount(); ++c) {
            if (!m->index(index.row(), c).data(Qt::DisplayRole).toString().isEmpty())
                break;
            if (!view->isColumnHidden(c))
                wide.setRight(wide.right() + view->columnWidth(c));
        }
        if (wide == option.rect)
            return false;
        // Background and selection only; the text is drawn below across the wider rect.
        opt.text.clear();
        const QStyle* style = view->style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, view);
        p->save();
        p->setClipRect(wide);
        p->setFont(opt.font);
        p->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                       : QPalette::Text));
        if (QVariant fg = index.data(Qt::ForegroundRole); fg.canConvert<QBrush>())
            p->setPen(fg.value<QBrush>().color());
        p->drawText(wide.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        p->restore();
        return true;
    }

    static void edge(QPainter* p, int style, quint32 colour, QPoint a, QPoint b) {
        if (!style)
            return;
        const QColor c = isAutoColour(colour) ? QColor(Qt::black)
                                              : QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF),
                                                       int(colour >> 16 & 0xFF));
        // .xls line styles: 2 medium, 5 thick, 6 double, 3/4/7.. dashed or dotted variants.
        const int width = style == 5 || style == 6 ? 3 : (style == 2 || style >= 8) ? 2 : 1;
        const Qt::PenStyle pen = style == 3 || style == 8   ? Qt::DashLine
                                 : style == 4 || style == 7 ? Qt::DotLine
                                 : style >= 9               ? Qt::DashDotLine
                                                            : Qt::SolidLine;
        p->setPen(QPen(c, width, pen, Qt::FlatCap));
        p->drawLine(a, b);
    }
};

// Sheets have no type-ahead: a typed letter never moves the active cell.
class SheetView : public QTableView {
  public:
    using QTableView::QTableView;
    void keyboardSearch(const QString&) override {}
};

} // namespace

SheetComponent::SheetComponent(QWidget* parent)
    : QWidget(parent), model_(new SheetModel(this)), view_(new SheetView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);

    // The character width of the sheet's default font sets the column-width unit.
    const QFontMetricsF fm(QFont(CellStyle{}.fontName, CellStyle{}.fontSize));
    if (fm.horizontalAdvance(QLatin1Char('0')) >= 1.0)
        charPixels_ = fm.horizontalAdvance(QLatin1Char('0'));

    view_->setModel(model_);
    view_->setItemDelegate(new BorderDelegate(view_));
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setWordWrap(false);
    view_->horizontalHeader()->setMinimumSectionSize(1);
    view_->horizontalHeader()->setDefaultSectionSize(columnPixels(SheetModel::DefaultColumnWidth));
    view_->verticalHeader()->setMinimumSectionSize(1);
    view_->verticalHeader()->setDefaultSectionSize(rowPixels(SheetModel::DefaultRowHeight));
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    connect(view_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { emit DblClick(i.row() + 1, i.column() + 1); });
    connect(model_, &SheetModel::columnWidthChanged, this, &SheetComponent::applyColumnWidth);
    connect(model_, &SheetModel::rowHeightChanged, this, &SheetComponent::applyRowHeight);
    connect(model_, &QAbstractItemModel::modelReset, this, &SheetComponent::applyAllSizes);
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                const auto& h = model_->customRowHeights();
                for (auto it = h.lower_bound(first + 1); it != h.end() && it->first <= last + 1;
                     ++it)
                    applyRowHeight(it->first);
            });
    setMaxCol(10);
    model_->flushChanges();
}

int SheetComponent::columnPixels(int width) const {
    return qRound(width * charPixels_ / 256.0);
}

void SheetComponent::applyColumnWidth(int col) {
    if (col < 1 || col > model_->columnCount())
        return;
    const int w = model_->columnWidth(col);
    view_->setColumnHidden(col - 1, w == 0);
    if (w > 0)
        view_->setColumnWidth(col - 1, std::max(1, columnPixels(w)));
}

void SheetComponent::applyRowHeight(int row) {
    if (row < 1 || row > model_->rowCount())
        return;
    const int h = model_->rowHeight(row);
    view_->setRowHidden(row - 1, h == 0);
    if (h > 0)
        view_->setRowHeight(row - 1, std::max(1, rowPixels(h)));
}

void SheetComponent::applyAllSizes() {
    for (int c = 1; c <= model_->columnCount(); ++c)
        applyColumnWidth(c);
    for (const auto& [row, twips] : model_->customRowHeights()) {
        if (row > model_->rowCount())
            break;
        applyRowHeight(row);
    }
}

void SheetComponent::setSelection(int row1, int col1, int row2, int col2) {
    selRow1_ = std::min(row1, row2), selRow2_ = std::max(row1, row2);
    selCol1_ = std::min(col1, col2), selCol2_ = std::max(col1, col2);
}

QRect SheetComponent::selectionRange() const {
    return QRect(QPoint(selCol1_, selRow1_), QPoint(selCol2_, selRow2_));
}

void SheetComponent::setFont(const QString& name, int size, bool bold, bool italic, bool underline,
                             bool strikeout, int colour, bool outline, bool shadow) {
    model_->changeStyle(selRow1_, selCol1_, selRow2_, selCol2_, [&](CellStyle& s) {
        s.fontName = name;
        s.fontSize = size;
        s.bold = bold;
        s.italic = italic;
        s.underline = underline;
        s.strikeout = strikeout;
        s.fontColour = quint32(colour);
        s.outline = outline;
        s.shadow = shadow;
    });
}

void SheetComponent::setBorder(int outline, int left, int right, int top, int bottom, int shade,
                               int outlineColour, int leftColour, int rightColour, int topColour,
                               int bottomColour) {
    Q_UNUSED(shade)
    auto styleOf = [](int v) { return quint8(std::clamp(v, 0, 13)); };
    model_->changeStyle(selRow1_, selCol1_, selRow2_, selCol2_, [&](CellStyle& s) {
        if (left >= 0)
            s.borderLeft = styleOf(left), s.borderLeftColour = quint32(leftColour);
        if (right >= 0)
            s.borderRight = styleOf(right), s.borderRightColour = quint32(rightColour);
        if (top >= 0)
            s.borderTop = styleOf(top), s.borderTopColour = quint32(topColour);
        if (bottom >= 0)
            s.borderBottom = styleOf(bottom), s.borderBottomColour = quint32(bottomColour);
    });
    if (outline <= 0)
        return;
    const quint8 o = styleOf(outline);
    const quint32 oc = quint32(outlineColour);
    model_->changeStyle(selRow1_, selCol1_, selRow2_, selCol1_,
                        [&](CellStyle& s) { s.borderLeft = o, s.borderLeftColour = oc; });
    model_->changeStyle(selRow1_, selCol2_, selRow2_, selCol2_,
                        [&](CellStyle& s) { s.borderRight = o, s.borderRightColour = oc; });
    model_->changeStyle(selRow1_, selCol1_, selRow1_, selCol2_,
                        [&](CellStyle& s) { s.borderTop = o, s.borderTopColour = oc; });
    model_->changeStyle(selRow2_, selCol1_, selRow2_, selCol2_,
                        [&](CellStyle& s) { s.borderBottom = o, s.borderBottomColour = oc; });
}

void SheetComponent::setPattern(int pattern, int foreground, int background) {
    model_->changeStyle(selRow1_, selCol1_, selRow2_, selCol2_, [&](CellStyle& s) {
        s.pattern = quint8(std::clamp(pattern, 0, 18));
        s.patternFg = quint32(foreground);
        s.patternBg = quint32(background);
    });
}

void SheetComponent::clearRange(int row1, int col1, int row2, int col2, int code) {
    const ClearWhat what = code == 2   ? ClearWhat::Formats
                           : code == 3 ? ClearWhat::Values
                                       : ClearWhat::All;
    model_->clear(row1, col1, row2, col2, what);
}

int SheetComponent::activeRow() const {
    const QModelIndex i = view_->currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

int SheetComponent::activeCol() const {
    const QModelIndex i = view_->currentIndex();
    return i.isValid() ? i.column() + 1 : 1;
}

void SheetComponent::setActiveCell(int row, int col) {
    model_->flushChanges();
    view_->setCurrentIndex(model_->index(row - 1, col - 1));
}

void SheetComponent::setTopRow(int row) {
    row = std::max(row, 1);
    // As in a spreadsheet the sheet goes on below its last row, so any row can be the top one:
    // keep a screenful of rows after it.
    const int screenful = view_->viewport()->height() / rowPixels(SheetModel::DefaultRowHeight) + 1;
    model_->setMinimumRows(std::max(fixedRows_, row - 1 + screenful));
    model_->flushChanges();
    view_->doItemsLayout(); // the scroll range must know about rows added in this event
    view_->verticalScrollBar()->setValue(row - 1);
}

int SheetComponent::topRow() const {
    return view_->verticalScrollBar()->value() + 1;
}

void SheetComponent::setFixedRows(int rows) {
    fixedRows_ = std::max(0, rows);
    model_->setMinimumRows(fixedRows_);
}

void SheetComponent::setShowGridLines(bool on) {
    view_->setShowGrid(on);
}
bool SheetComponent::showGridLines() const {
    return view_->showGrid();
}

void SheetComponent::setShowRowColHeadings(bool on) {
    view_->horizontalHeader()->setVisible(on);
    view_->verticalHeader()->setVisible(on);
}

bool SheetComponent::showRowColHeadings() const {
    return !view_->horizontalHeader()->isHidden();
}

} // namespace orvane
