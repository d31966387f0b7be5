#pragma once
// Real spreadsheet files for the import tests, made in the test by libxlsxwriter, openpyxl,
// LibreOffice or the program's own writers.
#include "import/SheetCells.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <functional>
#include <vector>
#include <xlsxwriter.h>

namespace importfiles {

using Rows = std::vector<QStringList>;

inline void writeRows(lxw_worksheet* sheet, const Rows& rows, int firstRow = 0) {
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isEmpty())
                worksheet_write_string(sheet, lxw_row_t(firstRow + r), lxw_col_t(c),
                                       rows[r][c].toUtf8().constData(), nullptr);
}

// An .xlsx whose first sheet holds `rows`; `extra` may add formulas, merges and sheets.
inline void xlsx(const QString& path, const Rows& rows,
                 const std::function<void(lxw_workbook*, lxw_worksheet*)>& extra = {}) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    writeRows(sheet, rows);
    if (extra)
        extra(book, sheet);
    workbook_close(book);
}

inline void bytes(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a snippet with Debian's python3 (the one python3-openpyxl serves) with the arguments as
// sys.argv[1:]; its exit status.
inline int python(const QString& code, const QStringList& args = {}) {
    return QProcess::execute("/usr/bin/python3", QStringList{"-c", code} + args);
}

// Converts with LibreOffice into `folder`; false when it is not installed.
inline bool soffice(const QString& file, const QString& type, const QString& folder) {
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        return false;
    QProcess p;
    p.start("soffice", {"--headless", "-env:UserInstallation=file://" + folder + "/lo",
                        "--convert-to", type, "--outdir", folder, file});
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

inline QString cell(const orvane::importer::SheetCells& cells, int row, int col) {
    return size_t(row) < cells.rows.size() ? cells.rows[size_t(row)].value(col) : QString();
}

} // namespace importfiles
