#pragma once
// The preview grid's rows: the file's row number, the status, and the row's values; changed
// fields of an update and the field an error is about are marked, with the reason as tooltip.
#include "import/ImportCheck.h"

#include <QAbstractTableModel>

namespace orvane::importer {

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;
    static constexpr int RowColumn = 0;
    static constexpr int StatusColumn = 1;
    static constexpr int FirstField = 2;

    void setRows(const CheckResult* result, const UnitSnapshot* unit);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const CheckResult* result_ = nullptr;
    const UnitSnapshot* unit_ = nullptr;
};

} // namespace orvane::importer
