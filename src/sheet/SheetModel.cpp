#include "sheet/SheetModel.h"

#include <QBrush>
#include <QColor>
#include <QMetaObject>
#include <algorithm>

namespace orvane {

namespace {

// Columns are never allowed to grow past what a user could scroll through sensibly; .xls itself
// stops at 256 and the writer refuses more.
constexpr int MaxColumns = 16384;

QColor toQColor(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QString columnLetters(int col) { // 1 -> A, 27 -> AA
    QString s;
    for (; col > 0; col = (col - 1) / 26)
        s.prepend(QChar('A' + (col - 1) % 26));
    return s;
}

} // namespace

bool CellStyle::operator==(const CellStyle& o) const {
    return fontSize == o.fontSize && bold == o.bold && italic == o.italic &&
           underline == o.underline && strikeout == o.strikeout && outline == o.outline &&
           shadow == o.shadow && fontColour == o.fontColour && borderLeft == o.borderLeft &&
           borderRight == o.borderRight && borderTop == o.borderTop &&
           borderBottom == o.borderBottom && borderLeftColour == o.borderLeftColour &&
           borderRightColour == o.borderRightColour && borderTopColour == o.borderTopColour &&
           borderBottomColour == o.borderBottomColour && pattern == o.pattern &&
           patternFg == o.patternFg && patternBg == o.patternBg && fontName == o.fontName;
}

size_t qHash(const CellStyle& s, size_t seed) noexcept {
    const quint32 flags = quint32(s.bold) | quint32(s.italic) << 1 | quint32(s.underline) << 2 |
                          quint32(s.strikeout) << 3 | quint32(s.outline) << 4 |
                          quint32(s.shadow) << 5 | quint32(s.pattern) << 8 |
                          quint32(s.borderLeft) << 16 | quint32(s.borderRight) << 20 |
                          quint32(s.borderTop) << 24 | quint32(s.borderBottom) << 28;
    return qHashMulti(seed, s.fontName, s.fontSize, flags, s.fontColour, s.borderLeftColour,
                      s.borderRightColour, s.borderTopColour, s.borderBottomColour, s.patternFg,
                      s.patternBg);
}

SheetModel::SheetModel(QObject* parent) : QAbstractTableModel(parent) {
    internStyle(CellStyle{}); // index 0: the sheet's default format
}

std::unique_ptr<SheetModel> SheetModel::snapshot() const {
    auto copy = std::make_unique<SheetModel>();
    copy->cells_ = cells_;
    copy->rows_ = rows_;
    copy->cols_ = cols_;
    copy->minRows_ = minRows_;
    copy->styles_ = styles_;
    copy->styleIds_ = styleIds_;
    copy->widths_ = widths_;
    copy->rowHeights_ = rowHeights_;
    copy->shownRows_ = shownRowTarget();
    copy->shownCols_ = cols_;
    return copy;
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownCols_;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    const Cell* c = findCell(index.row() + 1, index.column() + 1);
    const int si = c ? c->style : 0;
    switch (role) {
    case Qt::DisplayRole:
        return c ? QVariant(c->text) : QVariant();
    case Qt::FontRole:
        return fontFor(si); // style 0 too: the sheet's default font, not the widget's
    case Qt::ForegroundRole: {
        const quint32 col = styles_[size_t(si)].fontColour;
        return isAutoColour(col) ? QVariant() : QVariant(QBrush(toQColor(col)));
    }
    case Qt::BackgroundRole: {
        const CellStyle& s = styles_[size_t(si)];
        if (s.pattern == 0)
            return {};
        const QColor fg = isAutoColour(s.patternFg) ? QColor(Qt::black) : toQColor(s.patternFg);
        return QBrush(fg, s.pattern == 1 ? Qt::SolidPattern : Qt::Dense4Pattern);
    }
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignBottom);
    default:
        return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    return o == Qt::Horizontal ? columnLetters(section + 1) : QString::number(section + 1);
}

void SheetModel::setColumns(int n) {
    n = std::clamp(n, 0, MaxColumns);
    if (n == cols_)
        return;
    QList<Cell> moved(qsizetype(rows_) * n);
    const int keep = std::min(n, cols_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < keep; ++c)
            moved[qsizetype(r) * n + c] = std::move(cells_[qsizetype(r) * cols_ + c]);
    cells_ = std::move(moved);
    cols_ = n;
    if (int(widths_.size()) < n)
        widths_.resize(size_t(n), DefaultColumnWidth);
    trimTrailingRows();
    markDirty(1, 1, 1, 1);
}

void SheetModel::setMinimumRows(int n) {
    minRows_ = std::max(0, n);
    markDirty(1, 1, 1, 1);
}

const SheetModel::Cell* SheetModel::findCell(int row, int col) const {
    if (row < 1 || col < 1 || row > rows_ || col > cols_)
        return nullptr;
    return &cells_[qsizetype(row - 1) * cols_ + (col - 1)];
}

SheetModel::Cell* SheetModel::cellAt(int row, int col) {
    if (row > rows_)
        ensureRows(row);
    return &cells_[qsizetype(row - 1) * cols_ + (col - 1)];
}

void SheetModel::ensureRows(int rows) {
    cells_.resize(qsizetype(rows) * cols_);
    rows_ = rows;
}

void SheetModel::trimTrailingRows() {
    if (cols_ == 0) {
        rows_ = 0;
        cells_.clear();
        return;
    }
    int r = rows_;
    for (; r > 0; --r) {
        const Cell* row = &std::as_const(cells_)[qsizetype(r - 1) * cols_]; // reads: no detach
        if (std::any_of(row, row + cols_,
                        [](const Cell& c) { return c.style || !c.text.isEmpty(); }))
            break;
    }
    if (r != rows_) {
        rows_ = r;
        cells_.resize(qsizetype(rows_) * cols_);
    }
}

QString SheetModel::text(int row, int col) const {
    const Cell* c = findCell(row, col);
    return c ? c->text : QString();
}

void SheetModel::setText(int row, int col, const QString& text) {
    if (row < 1 || col < 1)
        return;
    if (col > cols_) {
        if (text.isEmpty() || col > MaxColumns)
            return;
        setColumns(col);
    }
    if (text.isEmpty()) {
        Cell* c = row <= rows_ ? cellAt(row, col) : nullptr;
        if (!c || c->text.isNull())
            return;
        c->text = QString();
        if (row == rows_ && c->style == 0)
            trimTrailingRows();
    } else {
        cellAt(row, col)->text = text;
    }
    markDirty(row, col, row, col);
}

int SheetModel::styleIndex(int row, int col) const {
    const Cell* c = findCell(row, col);
    return c ? c->style : 0;
}

int SheetModel::internStyle(const CellStyle& s) {
    const auto it = styleIds_.constFind(s);
    if (it != styleIds_.constEnd())
        return it.value();
    const int id = int(styles_.size());
    styles_.push_back(s);
    styleIds_.insert(s, id);
    return id;
}

void SheetModel::changeStyle(int r1, int c1, int r2, int c2,
                             const std::function<void(CellStyle&)>& change) {
    r1 = std::max(r1, 1);
    c1 = std::max(c1, 1);
    c2 = std::min(c2, cols_);
    if (r2 < r1 || c2 < c1)
        return;
    // Most ranges hold one or two distinct styles: remember each old -> new mapping.
    std::vector<std::pair<int, int>> memo;
    auto mapped = [&](int old) {
        for (const auto& [from, to] : memo)
            if (from == old)
                return to;
        CellStyle s = styles_[size_t(old)];
        change(s);
        const int id = internStyle(s);
        memo.emplace_back(old, id);
        return id;
    };
    if (r2 > rows_) {
        if (mapped(0) != 0)
            ensureRows(r2);
        else
            r2 = rows_;
    }
    for (int r = r1; r <= r2; ++r) {
        Cell* row = &cells_[qsizetype(r - 1) * cols_];
        for (int c = c1; c <= c2; ++c)
            row[c - 1].style = mapped(row[c - 1].style);
    }
    if (r2 == rows_)
        trimTrailingRows();
    markDirty(r1, c1, r2, c2);
}

void SheetModel::clear(int r1, int c1, int r2, int c2, ClearWhat what) {
    r1 = std::max(r1, 1);
    c1 = std::max(c1, 1);
    r2 = std::min(r2, rows_);
    c2 = std::min(c2, cols_);
    if (r2 < r1 || c2 < c1)
        return;
    if (what == ClearWhat::All && c1 == 1 && c2 == cols_ && r2 == rows_) {
        // Emptying everything below a row (the refill case): drop the rows in one go.
        ensureRows(r1 - 1);
    } else {
        for (int r = r1; r <= r2; ++r) {
            Cell* row = &cells_[qsizetype(r - 1) * cols_];
            for (int c = c1; c <= c2; ++c) {
                if (what != ClearWhat::Values)
                    row[c - 1].style = 0;
                if (what != ClearWhat::Formats)
                    row[c - 1].text = QString();
            }
        }
    }
    trimTrailingRows();
    markDirty(r1, c1, r2, c2);
}

int SheetModel::columnWidth(int col) const {
    return col >= 1 && col <= int(widths_.size()) ? widths_[size_t(col - 1)] : DefaultColumnWidth;
}

void SheetModel::setColumnWidth(int col, int width) {
    if (col < 1 || col > MaxColumns)
        return;
    if (int(widths_.size()) < col)
        widths_.resize(size_t(col), DefaultColumnWidth);
    widths_[size_t(col - 1)] = std::max(0, width);
    emit columnWidthChanged(col);
}

int SheetModel::rowHeight(int row) const {
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? DefaultRowHeight : it->second;
}

void SheetModel::setRowHeight(int row, int twips) {
    if (row < 1)
        return;
    if (twips < 0 || twips == DefaultRowHeight)
        rowHeights_.erase(row);
    else
        rowHeights_[row] = twips;
    emit rowHeightChanged(row);
}

QFont SheetModel::fontFor(int styleIndex) const {
    if (fontCache_.size() < styles_.size()) {
        fontCache_.resize(styles_.size());
        fontBuilt_.resize(styles_.size(), false);
    }
    QFont& f = fontCache_[size_t(styleIndex)];
    if (!fontBuilt_[size_t(styleIndex)]) {
        fontBuilt_[size_t(styleIndex)] = true;
        const CellStyle& s = styles_[size_t(styleIndex)];
        f = QFont(s.fontName, std::max(1, s.fontSize));
        f.setBold(s.bold);
        f.setItalic(s.italic);
        f.setUnderline(s.underline);
        f.setStrikeOut(s.strikeout);
    }
    return f;
}

void SheetModel::markDirty(int r1, int c1, int r2, int c2) {
    if (dirtyR1_ < 0) {
        dirtyR1_ = r1 - 1, dirtyC1_ = c1 - 1, dirtyR2_ = r2 - 1, dirtyC2_ = c2 - 1;
    } else {
        dirtyR1_ = std::min(dirtyR1_, r1 - 1);
        dirtyC1_ = std::min(dirtyC1_, c1 - 1);
        dirtyR2_ = std::max(dirtyR2_, r2 - 1);
        dirtyC2_ = std::max(dirtyC2_, c2 - 1);
    }
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &SheetModel::flushChanges, Qt::QueuedConnection);
    }
}

void SheetModel::flushChanges() {
    flushQueued_ = false;
    const int target = shownRowTarget();
    if (shownCols_ != cols_) {
        beginResetModel();
        shownCols_ = cols_;
        shownRows_ = target;
        endResetModel();
        dirtyR1_ = -1;
        return;
    }
    if (target > shownRows_) {
        beginInsertRows({}, shownRows_, target - 1);
        shownRows_ = target;
        endInsertRows();
    } else if (target < shownRows_) {
        beginRemoveRows({}, target, shownRows_ - 1);
        shownRows_ = target;
        endRemoveRows();
    }
    const int r2 = std::min(dirtyR2_, shownRows_ - 1);
    const int c2 = std::min(dirtyC2_, shownCols_ - 1);
    if (dirtyR1_ >= 0 && dirtyR1_ <= r2 && dirtyC1_ <= c2)
        emit dataChanged(index(dirtyR1_, dirtyC1_), index(r2, c2));
    dirtyR1_ = -1;
}

} // namespace orvane
