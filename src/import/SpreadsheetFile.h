#pragma once
// The one door to the readers: a spreadsheet file (or its bytes) in, the cells of its first
// visible sheet out. The file's content must be what its name says; damaged files, zip
// bombs, empty files and files another program holds locked are refused with a message.
#include "import/SheetCells.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvane::importer {

// The filter of the open dialog.
inline const QString kSpreadsheetFilter = QStringLiteral("Spreadsheets (*.xlsx *.ods *.csv *.xls)");

// The kind a file name says, by its ending; nothing for any other ending.
std::optional<FileKind> KindOfName(const QString& path);

// Throws ImportFileError (with the text for the user) or ImportCancelled.
SheetCells ReadSpreadsheetFile(const QString& path, const ReadControl& control);
// The same for bytes that a file named as `named` holds (the fuzzing target's door).
SheetCells ReadSpreadsheetBytes(const QByteArray& bytes, FileKind named,
                                const ReadControl& control);

} // namespace orvane::importer
