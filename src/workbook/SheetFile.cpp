#include "workbook/SheetFile.h"

#include "workbook/XlsxWriter.h"

namespace orvane {

SheetOptions OptionsOf(const SheetComponent& sheet) {
    SheetOptions options;
    options.showGridLines = sheet.showGridLines();
    options.showHeadings = sheet.showRowColHeadings();
    return options;
}

void WriteSheetFile(const SheetComponent& sheet, const QString& path, int fileType) {
    WriteSheetFile(*sheet.sheetModel(), OptionsOf(sheet), path, fileType);
}

void WriteSheetFile(const SheetModel& cells, const SheetOptions& options, const QString& path,
                    int fileType) {
    switch (fileType) {
    case SheetComponent::XlsFileType:
        XlsWriter(cells, options).write(path);
        return;
    case SheetComponent::XlsxFileType:
        XlsxWriter(cells, options).write(path);
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
