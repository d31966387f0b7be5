#include "lists/ReportSheet.h"

#include "lists/ActivationSheet.h"
#include "sheet/SheetComponent.h"

#include <limits>

namespace orvane::ReportSheet {

void WriteFrame(SheetComponent& sheet, const QString& unitName) {
    sheet.setFixedRows(HeaderRows);
    sheet.setMaxCol(ActivationSheet::Columns);
    sheet.clearRange(1, 1, sheet.maxRow(), sheet.maxCol(), 1);
    sheet.setMaxCol(10);
    sheet.setRowHeight(1, 500);
    sheet.setText(1, 1, "TAROVEL");
    ActivationSheet::SetTitleFont(sheet, 1, 1);
    sheet.setText(2, 1, unitName);
    ActivationSheet::SetColumnWidths(sheet, 12500);
    ActivationSheet::WriteHeadings(sheet, HeaderRows, "Sl No");
    ActivationSheet::FormatHeadingRow(sheet, HeaderRows);
    sheet.setShowGridLines(false);
    sheet.setShowRowColHeadings(false);
}

int WriteRows(SheetComponent& sheet, const std::vector<ActivationGroup>& groups, ExpiryTexts& dates,
              const std::function<void(int, const QString&)>& placed) {
    ActivationSheet::RowCursor at;
    WriteSomeRows(sheet, groups, dates, at, std::numeric_limits<int>::max(), placed);
    return at.row;
}

bool WriteSomeRows(SheetComponent& sheet, const std::vector<ActivationGroup>& groups,
                   ExpiryTexts& dates, ActivationSheet::RowCursor& at, int limit,
                   const std::function<void(int, const QString&)>& placed) {
    if (at.row == 0) {
        sheet.clearRange(FirstDataRow, 1, sheet.maxRow(), sheet.maxCol(), 1);
        sheet.setMaxCol(ActivationSheet::Columns);
        at.row = HeaderRows;
    }
    for (; at.group < groups.size(); ++at.group, at.record = 0, at.headed = false) {
        const ActivationGroup& group = groups[at.group];
        if (!at.headed) {
            // The first heading goes straight into the first data row.
            at.row = at.row == HeaderRows ? FirstDataRow : at.row + 2;
            sheet.setText(at.row, 2, group.unitName.value_or(QString()));
            ActivationSheet::SetUnitHeadingFont(sheet, at.row, 2);
            at.groupStart = at.row + 1;
            at.headed = true;
        }
        const int partStart = at.row + 1;
        for (; at.record < group.records.size() && limit > 0; ++at.record, --limit) {
            const ActivationRecord& record = group.records[at.record];
            ActivationSheet::WriteRecord(sheet, ++at.row, ++at.number, record, dates);
            if (placed)
                placed(at.row, record.unitCode);
        }
        ActivationSheet::SetRecordFont(sheet, partStart, at.row, ActivationSheet::Columns);
        if (at.record < group.records.size())
            return false;
        // The formatting selection ends on the whole group, as one pass leaves it.
        if (at.groupStart < partStart && at.groupStart <= at.row)
            sheet.setSelection(at.groupStart, 1, at.row, ActivationSheet::Columns);
    }
    return true;
}

} // namespace orvane::ReportSheet
