#include "import/SheetCells.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace orvane::importer {

void CellSink::checkRow(qint64 row) {
    if (row >= control_.limits.maxRows)
        throw ImportFileError(TooManyRowsMessage(control_.limits.maxRows));
    if (row > highest_) {
        highest_ = row;
        // Often enough to answer a cancel at once, seldom enough to cost nothing.
        if ((row & 1023) == 0) {
            if (control_.cancelled())
                throw ImportCancelled();
            if (control_.progress)
                control_.progress(row, 0);
        }
    }
}

void CellSink::put(qint64 row, qint64 col, const QString& text) {
    if (row < 0 || col < 0)
        return;
    checkRow(row);
    if (col >= control_.limits.maxColumns || text.isEmpty())
        return;
    if (cells_.rows.size() <= size_t(row))
        cells_.rows.resize(size_t(row) + 1);
    QStringList& cells = cells_.rows[size_t(row)];
    while (cells.size() <= col)
        cells.append(QString());
    cells[int(col)] = text;
}

void CellSink::hideColumn(qint64 col) {
    std::vector<int>& hidden = cells_.hiddenColumns;
    if (col >= 0 && col < control_.limits.maxColumns &&
        std::find(hidden.begin(), hidden.end(), int(col)) == hidden.end())
        hidden.push_back(int(col));
}

const QString* CellSink::at(qint64 row, qint64 col) const {
    if (row < 0 || col < 0 || size_t(row) >= cells_.rows.size())
        return nullptr;
    const QStringList& cells = cells_.rows[size_t(row)];
    return col < cells.size() ? &cells[int(col)] : nullptr;
}

QString NumberText(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qlonglong(value));
    return QString::number(value, 'g', 15);
}

QString TooManyRowsMessage(int limit) {
    return QStringLiteral("The sheet has more than %1 rows. Nothing was imported: split the file "
                          "and import the parts one by one.")
        .arg(QLocale(QLocale::English).toString(limit));
}

} // namespace orvane::importer
