#include "import/XlsRead.h"

#include <QFile>
#include <freexl.h>

namespace orvane::importer {

namespace {

struct Workbook {
    const void* handle = nullptr;
    ~Workbook() {
        if (handle)
            freexl_close(handle);
    }
};

QString unreadable() {
    return QStringLiteral("The file is damaged or no Excel 97-2003 workbook (.xls). "
                          "Nothing was imported.");
}

} // namespace

SheetCells ReadXlsFile(const QString& path, const ReadControl& control) {
    Workbook book;
    const QByteArray name = QFile::encodeName(path);
    if (freexl_open(name.constData(), &book.handle) != FREEXL_OK)
        throw ImportFileError(unreadable());
    unsigned int info = 0;
    if (freexl_get_info(book.handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        throw ImportFileError(
            QStringLiteral("The workbook is protected by a password. Nothing was imported."));
    unsigned int sheets = 0;
    if (freexl_get_info(book.handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        throw ImportFileError(unreadable());
    if (freexl_select_active_worksheet(book.handle, 0) != FREEXL_OK)
        throw ImportFileError(unreadable());
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(book.handle, &rows, &columns) != FREEXL_OK)
        throw ImportFileError(unreadable());

    SheetCells cells;
    CellSink sink(cells, control);
    for (unsigned int r = 0; r < rows; ++r) {
        sink.checkRow(r);
        for (unsigned short c = 0; c < columns && int(c) < control.limits.maxColumns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.handle, r, c, &value) != FREEXL_OK)
                throw ImportFileError(unreadable());
            switch (value.type) {
            case FREEXL_CELL_INT:
                sink.put(r, c, QString::number(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                sink.put(r, c, NumberText(value.value.double_value));
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_TIME:
                sink.put(r, c, QString::fromUtf8(value.value.text_value));
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                sink.put(r, c, QString::fromUtf8(value.value.text_value).left(10));
                break;
            default:
                break;
            }
        }
    }
    return cells;
}

} // namespace orvane::importer
