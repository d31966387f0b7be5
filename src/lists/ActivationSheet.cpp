#include "lists/ActivationSheet.h"

#include "sheet/SheetComponent.h"

namespace orvane::ActivationSheet {

namespace {
constexpr int kBlack = 0;
constexpr int kNavy = 8388608;       // red 0, green 0, blue 128
constexpr int kDarkRed = 192;        // red 192
constexpr int kLightGrey = 12632256; // 192, 192, 192
} // namespace

void SetColumnWidths(SheetComponent& sheet, int remarksWidth) {
    const int widths[Columns] = {1500, 7000, 5800, 5000, 5500, 2500, 0, remarksWidth};
    for (int c = 1; c <= Columns; ++c)
        sheet.setColWidth(c, widths[c - 1]);
}

void WriteHeadings(SheetComponent& sheet, int row, const QString& firstHeading) {
    const QString headings[Columns] = {firstHeading, "IP",       "Operating System ", "User",
                                       "Dept",       "Exp Date", QString(),           "Remarks"};
    for (int c = 1; c <= Columns; ++c)
        if (c != KeyColumn)
            sheet.setText(row, c, headings[c - 1]);
}

void FormatHeadingRow(SheetComponent& sheet, int row) {
    sheet.setSelection(row, 1, row, sheet.maxCol());
    sheet.setBorder(1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1);
    sheet.setFont("ARIAL", 8, true, false, false, false, kBlack, false, false);
    sheet.setPattern(1, kLightGrey, kLightGrey);
}

void SetTitleFont(SheetComponent& sheet, int row, int col) {
    sheet.setSelection(row, col, row, col);
    sheet.setFont("Book Antiqua", 14, true, false, false, false, kNavy, false, false);
}

void SetUnitHeadingFont(SheetComponent& sheet, int row, int col) {
    sheet.setSelection(row, col, row, col);
    sheet.setFont("Times New Roman", 10, true, false, false, false, kDarkRed, false, false);
}

void SetRecordFont(SheetComponent& sheet, int firstRow, int lastRow, int lastCol) {
    if (lastRow < firstRow)
        return;
    sheet.setSelection(firstRow, 1, lastRow, lastCol);
    sheet.setFont("ARIAL", 8, false, false, false, false, kBlack, false, false);
}

void WriteRecord(SheetComponent& sheet, int row, int number, const ActivationRecord& record,
                 ExpiryTexts& dates) {
    sheet.setText(row, 1, QString::number(number));
    sheet.setText(row, 2, record.ip);
    sheet.setText(row, 3, record.os);
    sheet.setText(row, 4, record.user);
    sheet.setText(row, 5, record.dept);
    sheet.setText(row, 6, dates.text(record.expDate));
    sheet.setText(row, 7, record.sysId);
    sheet.setText(row, 8, record.remarks);
}

} // namespace orvane::ActivationSheet
