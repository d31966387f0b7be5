#pragma once
// Writes one sheet as an Excel workbook (.xlsx) with libxlsxwriter: the same cells, fonts,
// borders, fills, column widths, row heights and display switches as the .xls writer, without
// its limit of 65,536 rows. Rows go out one by one (the library's constant-memory mode), so a
// large sheet costs no more memory than a small one beyond the sheet itself.
#include "workbook/WorkbookFile.h"

#include <QString>

namespace orvane {

class SheetModel;

class XlsxWriter {
  public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxTextLength = 32767; // characters per cell

    explicit XlsxWriter(const SheetModel& sheet, SheetOptions options = {});

    // Writes the workbook through ReplaceFile, so a failure never harms an existing file.
    // Throws WorkbookWriteError with the reason; a sheet over the format's limits is refused
    // before any file is touched. Column widths are kept to the pixel, as Excel stores them.
    void write(const QString& path) const;

  private:
    QString check() const;
    QString writeBook(const QString& file) const;

    const SheetModel& sheet_;
    SheetOptions options_;
};

} // namespace orvane
