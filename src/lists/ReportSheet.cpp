#include "lists/ReportSheet.h"

#include "lists/ActivationSheet.h"
#include "sheet/SheetComponent.h"

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
    sheet.clearRange(FirstDataRow, 1, sheet.maxRow(), sheet.maxCol(), 1);
    sheet.setMaxCol(ActivationSheet::Columns);
    int row = HeaderRows;
    int number = 0;
    for (const ActivationGroup& group : groups) {
        // The first heading goes straight into the first data row.
        row = row == HeaderRows ? FirstDataRow : row + 2;
        sheet.setText(row, 2, group.unitName.value_or(QString()));
        ActivationSheet::SetUnitHeadingFont(sheet, row, 2);
        const int groupStart = row + 1;
        for (const ActivationRecord& record : group.records) {
            ++row;
            ++number;
            ActivationSheet::WriteRecord(sheet, row, number, record, dates);
            if (placed)
                placed(row, record.unitCode);
        }
        ActivationSheet::SetRecordFont(sheet, groupStart, row, ActivationSheet::Columns);
    }
    return row;
}

} // namespace orvane::ReportSheet
