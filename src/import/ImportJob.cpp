#include "import/ImportJob.h"

#include "import/SpreadsheetFile.h"

namespace orvane::importer {

ImportPreview PreviewFile(const QString& path, const UnitSnapshot& unit, IpConflict ipConflict,
                          DateOrder dates, const ReadControl& control) {
    ImportPreview preview;
    auto sheet = std::make_shared<SheetCells>(ReadSpreadsheetFile(path, control));
    preview.sheet = sheet;
    preview.headings = FindHeadings(*sheet);
    if (preview.headings.row < 0)
        throw ImportFileError(QStringLiteral(
            "No headings row was found in the first 20 rows: one row must name at least two of "
            "IP, Operating System, User, Dept, Exp Date and Remarks. Nothing was imported."));
    preview.setup.headingsRow = preview.headings.row;
    preview.setup.columns = preview.headings.columns;
    preview.setup.ipConflict = ipConflict;
    preview.dates = ChooseDateOrder(*sheet, preview.headings.row,
                                    ColumnOf(preview.headings.columns, Field::Expiry));
    preview.setup.dates = dates != DateOrder::Unset ? dates : preview.dates.suggested;
    preview.result = CheckRows(*sheet, preview.setup, unit, control.progress, control.cancel);
    return preview;
}

QString SetupProblem(const ImportPreview& preview) {
    if (ColumnOf(preview.setup.columns, Field::Ip) < 0)
        return QStringLiteral("Choose the column that holds the IP.");
    if (preview.dates.mustChoose && preview.setup.dates == DateOrder::Unset)
        return QStringLiteral("Choose how the dates with slashes read: day first (dd/mm/yyyy) or "
                              "month first (mm/dd/yyyy).");
    return QString();
}

} // namespace orvane::importer
