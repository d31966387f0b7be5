#pragma once
// The check of an import, as a plain function: the sheet, the user's choices and what the unit
// holds go in, every row's outcome comes out. It touches no database and no widget, so it may
// run on a worker thread.
#include "antivirus/ActivationRegister.h"
#include "import/ImportColumns.h"

#include <QHash>
#include <array>

namespace orvane::importer {

// What the unit holds when the import starts (WorkstationImport reads it).
struct UnitSnapshot {
    QString unitCode;
    QHash<QString, SystemRecord> bySerial;   // the unit's records by serial
    QHash<QString, QStringList> serialsByIp; // upper-cased IP to the serials holding it
    // Every unit's name, upper-cased, to its code: unit headings of a report export.
    QHash<QString, QString> unitByName;
    // The most characters and bytes each field's column takes.
    std::array<qint64, kFieldCount> maxChars{}, maxBytes{};
};

enum class RowStatus { New, Update, Unchanged, Error, OtherUnit };
// What to do with a new row whose IP another record of the unit already has.
enum class IpConflict { Skip, UpdateThatRecord };

struct CheckSetup {
    int headingsRow = -1;
    ColumnMap columns;
    DateOrder dates = DateOrder::Unset;
    IpConflict ipConflict = IpConflict::Skip;
};

struct CheckedRow {
    int fileRow = 0; // 1 for the file's first row
    RowStatus status = RowStatus::New;
    // The row's values as the file gives them (the preview shows these).
    std::array<QString, kFieldCount> values;
    // What is stored: an insert's cleaned values, or an update's record with the changes.
    SystemRecord record;
    // Update: the fields that differ from the stored record (bit per Field).
    unsigned changed = 0;
    QString reason;
    int reasonField = -1; // the Field the reason is about; -1 for the whole row
};

struct ImportCounts {
    int created = 0, updates = 0, unchanged = 0, errors = 0, otherUnit = 0;
};

struct CheckResult {
    std::vector<CheckedRow> rows;
    ImportCounts counts;
};

// Throws ImportCancelled when told to stop.
CheckResult CheckRows(const SheetCells& sheet, const CheckSetup& setup, const UnitSnapshot& unit,
                      const Progress& progress = {}, const std::atomic_bool* cancel = nullptr);

// "n new, n updates, n unchanged, n errors" (and the rows of other units when there are any).
QString CountLine(const ImportCounts& counts);
QString StatusText(RowStatus status);

// The rows not imported as CSV: their row in the file, the reason, and the file's values.
QByteArray ErrorRowsCsv(const CheckResult& result);

} // namespace orvane::importer
