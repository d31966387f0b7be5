#include "workbook/SheetFile.h"

#include "workbook/XlsxWriter.h"

namespace orvane {

void WriteSheetFile(const SheetComponent& sheet, const QString& path, int fileType) {
    SheetOptions options;
    options.showGridLines = sheet.showGridLines();
    options.showHeadings = sheet.showRowColHeadings();
    switch (fileType) {
    case SheetComponent::XlsFileType:
        XlsWriter(*sheet.sheetModel(), options).write(path);
        return;
    case SheetComponent::XlsxFileType:
        XlsxWriter(*sheet.sheetModel(), options).write(path);
        return;
    default:
        throw WorkbookWriteError(
            QStringLiteral("File type %1 cannot be written: only type 4, the Excel 97-2003 "
                           "workbook (.xls), and type 51, the Excel workbook (.xlsx), are "
                           "supported.")
                .arg(fileType)
                .toStdString());
    }
}

} // namespace orvane
