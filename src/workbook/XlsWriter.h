#pragma once
// Writes one sheet as an Excel 97-2003 workbook: BIFF8 records in the "Workbook" stream of a
// compound document. No widget code: it reads the cells, styles, widths and heights of a
// SheetModel and nothing else, so it can be tested and timed on its own.
#include "workbook/WorkbookFile.h"

#include <QByteArray>
#include <QString>

namespace orvane {

class SheetModel;

using XlsWriteError = WorkbookWriteError;
using XlsSheetOptions = SheetOptions;

class XlsWriter {
  public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    static constexpr int MaxTextLength = 32767; // characters per cell

    explicit XlsWriter(const SheetModel& sheet, XlsSheetOptions options = {});

    // The complete BIFF8 stream. Throws XlsWriteError when the sheet does not fit the format
    // (more than 65,536 rows or 256 columns, or a text over 32,767 characters).
    QByteArray workbookStream() const;

    // Writes the workbook through ReplaceFile, so a failure never harms an existing file.
    // Throws XlsWriteError with the reason; nothing is written when the sheet does not fit.
    void write(const QString& path) const;

  private:
    const SheetModel& sheet_;
    XlsSheetOptions options_;
};

} // namespace orvane
