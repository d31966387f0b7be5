#pragma once
// Which file column holds which field: the headings a file may use for each, the headings row,
// and the dates the date column may hold.
#include "import/SheetCells.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace orvane::importer {

enum class Field { Ip, Os, User, Dept, Expiry, Remarks, Key };
constexpr int kFieldCount = 7;

// The name a field shows in the mapping combos and the preview.
QString FieldName(Field field);
// The field a heading names (case and surrounding blanks do not matter); nothing for others.
std::optional<Field> FieldForHeading(const QString& heading);

// True when the cells name at least two known fields.
bool IsHeadingsRow(const QStringList& cells);

// A file column's field; nothing: the column is ignored.
using ColumnMap = QVector<std::optional<Field>>;

struct Headings {
    int row = -1; // index into the sheet's rows; -1: none within the first 20
    QStringList titles;
    ColumnMap columns;
};

// The first row of the first 20 that is a headings row, with each column's field. Without a
// heading that names the serial key, the first hidden column whose heading names no field is
// the key, else an empty heading between two headings (both as the lists export their key).
Headings FindHeadings(const SheetCells& sheet);

// Gives `field` to column `column` and takes it from any other column.
void AssignField(ColumnMap& columns, int column, std::optional<Field> field);
int ColumnOf(const ColumnMap& columns, Field field);

// How dates with slashes read.
enum class DateOrder { Unset, DayFirst, MonthFirst };

// A date cell: the display form (dd-MMM-yyyy), yyyy-mm-dd and serial numbers always; dd/mm/yyyy
// or mm/dd/yyyy by `order`. Empty text is a valid null date; nothing: the text is no date.
std::optional<QDate> ReadDate(const QString& text, DateOrder order, const QDate& serialOrigin);

struct DateOrderChoice {
    DateOrder suggested = DateOrder::Unset;
    // Both orders read every date of the file and read some of them differently.
    bool mustChoose = false;
};
// The first order that reads every date of the column below the headings (where neither does,
// the one that reads more of them).
DateOrderChoice ChooseDateOrder(const SheetCells& sheet, int headingsRow, int dateColumn);

} // namespace orvane::importer
