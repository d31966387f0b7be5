#include "import/PreviewModel.h"

#include "app/mdlTarovel.h"

#include <QBrush>
#include <QColor>

namespace orvane::importer {

namespace {

QString storedText(const SystemRecord& record, Field field) {
    switch (field) {
    case Field::Ip:
        return record.ip;
    case Field::Os:
        return record.os;
    case Field::User:
        return record.user;
    case Field::Dept:
        return record.dept;
    case Field::Expiry:
        return record.expiry.isValid() ? DisplayDate(record.expiry) : QString();
    case Field::Remarks:
        return record.remarks;
    case Field::Key:
        return record.sysId;
    }
    return QString();
}

} // namespace

void PreviewModel::setRows(const CheckResult* result, const UnitSnapshot* unit) {
    beginResetModel();
    result_ = result;
    unit_ = unit;
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : int(result_->rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstField + kFieldCount;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == RowColumn)
        return QStringLiteral("Row");
    if (section == StatusColumn)
        return QStringLiteral("Status");
    return FieldName(Field(section - FirstField));
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!result_ || !index.isValid() || size_t(index.row()) >= result_->rows.size())
        return QVariant();
    const CheckedRow& row = result_->rows[size_t(index.row())];
    const int column = index.column();
    const int field = column - FirstField;
    const bool failed = row.status == RowStatus::Error || row.status == RowStatus::OtherUnit;
    const bool changed =
        field >= 0 && row.status == RowStatus::Update && (row.changed >> field) & 1;
    switch (role) {
    case Qt::DisplayRole:
        if (column == RowColumn)
            return row.fileRow;
        if (column == StatusColumn)
            return failed ? StatusText(row.status) + QStringLiteral(": ") + row.reason
                          : StatusText(row.status);
        return row.values[size_t(field)];
    case Qt::ToolTipRole:
        if (failed && (column == StatusColumn || field == row.reasonField || row.reasonField < 0))
            return row.reason;
        if (changed && unit_) {
            const SystemRecord stored = unit_->bySerial.value(row.record.sysId);
            return QStringLiteral("was: %1").arg(storedText(stored, Field(field)));
        }
        return QVariant();
    case Qt::BackgroundRole:
        if (failed && (column == StatusColumn || field == row.reasonField))
            return QBrush(QColor(255, 205, 205));
        if (changed)
            return QBrush(QColor(255, 240, 160));
        return QVariant();
    default:
        return QVariant();
    }
}

} // namespace orvane::importer
