#include "import/ImportColumns.h"

#include "app/mdlTarovel.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace orvane::importer {

namespace {

struct Alias {
    const char* heading;
    Field field;
};
const Alias kAliases[] = {
    {"ip", Field::Ip},           {"operating system", Field::Os}, {"os", Field::Os},
    {"user", Field::User},       {"dept", Field::Dept},           {"department", Field::Dept},
    {"exp date", Field::Expiry}, {"expiry", Field::Expiry},       {"expiry date", Field::Expiry},
    {"remarks", Field::Remarks}, {"licence", Field::Remarks},     {"license", Field::Remarks},
    {"serial no", Field::Key},   {"sys_id", Field::Key},
};

constexpr int kHeadingsSearch = 20;

// The display form (d or dd, then "-Mmm-yyyy" with an English month) read by hand: it is what
// the exported lists hold, and the locale's parser costs more than the rest of a row's check.
std::optional<QDate> displayForm(QStringView text) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if ((dash != 1 && dash != 2) || text.size() != dash + 9 || text[dash + 4] != QLatin1Char('-'))
        return std::nullopt;
    int day = 0, year = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i >= dash && i < dash + 5)
            continue;
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        int& part = i < dash ? day : year;
        part = part * 10 + (c - u'0');
    }
    for (int m = 0; m < 12; ++m) {
        if (text.mid(dash + 1, 3) != QLatin1String(kMonths[m]))
            continue;
        const QDate date(year, m + 1, day);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    return std::nullopt;
}

QDate fromSerial(const QString& text, const QDate& origin) {
    bool ok = false;
    const double serial = text.toDouble(&ok);
    // 1 is 1900-01-01 and 2958465 is 9999-12-31: nothing outside reads as a date.
    if (!ok || !std::isfinite(serial) || serial < 1 || serial > 2958465)
        return QDate();
    return origin.addDays(qint64(std::floor(serial)));
}

} // namespace

QString FieldName(Field field) {
    switch (field) {
    case Field::Ip:
        return QStringLiteral("IP");
    case Field::Os:
        return QStringLiteral("Operating System");
    case Field::User:
        return QStringLiteral("User");
    case Field::Dept:
        return QStringLiteral("Dept");
    case Field::Expiry:
        return QStringLiteral("Exp Date");
    case Field::Remarks:
        return QStringLiteral("Remarks");
    case Field::Key:
        return QStringLiteral("Serial No");
    }
    return QString();
}

std::optional<Field> FieldForHeading(const QString& heading) {
    // Every cell of every row is asked: no copy of the text.
    const QStringView wanted = QStringView(heading).trimmed();
    for (const Alias& alias : kAliases) {
        const QLatin1String name(alias.heading);
        if (wanted.size() == name.size() && wanted.compare(name, Qt::CaseInsensitive) == 0)
            return alias.field;
    }
    return std::nullopt;
}

bool IsHeadingsRow(const QStringList& cells) {
    int known = 0;
    for (const QString& cell : cells)
        if (FieldForHeading(cell) && ++known >= 2)
            return true;
    return false;
}

Headings FindHeadings(const SheetCells& sheet) {
    Headings headings;
    const int rows = std::min<int>(kHeadingsSearch, int(sheet.rows.size()));
    for (int r = 0; r < rows; ++r) {
        if (!IsHeadingsRow(sheet.rows[size_t(r)]))
            continue;
        headings.row = r;
        headings.titles = sheet.rows[size_t(r)];
        break;
    }
    if (headings.row < 0)
        return headings;
    // A column right of the last heading still counts when data stands in it.
    int width = int(headings.titles.size());
    for (size_t r = size_t(headings.row) + 1; r < sheet.rows.size(); ++r)
        width = std::max(width, int(sheet.rows[r].size()));
    while (headings.titles.size() < width)
        headings.titles.append(QString());
    headings.columns.resize(width);
    for (int c = 0; c < width; ++c) {
        const std::optional<Field> field = FieldForHeading(headings.titles[c]);
        if (field && ColumnOf(headings.columns, *field) < 0)
            headings.columns[c] = field;
    }
    if (ColumnOf(headings.columns, Field::Key) < 0) {
        // The lists' own key column is hidden: a hidden column whose heading names no field is
        // taken for it first.
        for (int c : sheet.hiddenColumns) {
            if (c < width && !FieldForHeading(headings.titles[c])) {
                headings.columns[c] = Field::Key;
                break;
            }
        }
    }
    if (ColumnOf(headings.columns, Field::Key) < 0) {
        for (int c = 1; c + 1 < width; ++c) {
            if (headings.titles[c].trimmed().isEmpty() && headings.columns[c - 1] &&
                headings.columns[c + 1]) {
                headings.columns[c] = Field::Key;
                break;
            }
        }
    }
    return headings;
}

void AssignField(ColumnMap& columns, int column, std::optional<Field> field) {
    if (column < 0 || column >= columns.size())
        return;
    if (field)
        for (auto& other : columns)
            if (other == field)
                other.reset();
    columns[column] = field;
}

int ColumnOf(const ColumnMap& columns, Field field) {
    for (int c = 0; c < columns.size(); ++c)
        if (columns[c] == field)
            return c;
    return -1;
}

std::optional<QDate> ReadDate(const QString& raw, DateOrder order, const QDate& serialOrigin) {
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return QDate();
    if (const std::optional<QDate> shown = displayForm(text))
        return shown;
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})"
                                                       "([ T]\\d{1,2}:\\d{2}(:\\d{2})?)?$"));
    static const QRegularExpression slashed(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d+)?$"));
    if (const auto m = iso.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    if (const auto m = slashed.match(text); m.hasMatch()) {
        const int a = m.captured(1).toInt(), b = m.captured(2).toInt();
        const int year = m.captured(3).toInt();
        QDate date;
        if (order == DateOrder::DayFirst)
            date = QDate(year, b, a);
        else if (order == DateOrder::MonthFirst)
            date = QDate(year, a, b);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    if (number.match(text).hasMatch()) {
        const QDate date = fromSerial(text, serialOrigin);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    // The display form, with English month names whatever the desktop's language.
    const QDate shown = QLocale::c().toDate(text, QStringLiteral("dd-MMM-yyyy"));
    if (shown.isValid())
        return shown;
    const QDate shortDay = QLocale::c().toDate(text, QStringLiteral("d-MMM-yyyy"));
    return shortDay.isValid() ? std::optional<QDate>(shortDay) : std::nullopt;
}

DateOrderChoice ChooseDateOrder(const SheetCells& sheet, int headingsRow, int dateColumn) {
    DateOrderChoice choice;
    if (dateColumn < 0 || headingsRow < 0)
        return choice;
    bool dayReadsAll = true, monthReadsAll = true, differ = false, anySlashed = false;
    int dayReads = 0, monthReads = 0;
    for (size_t r = size_t(headingsRow) + 1; r < sheet.rows.size(); ++r) {
        const QStringList& cells = sheet.rows[r];
        if (dateColumn >= cells.size() || !cells[dateColumn].contains(QLatin1Char('/')))
            continue;
        anySlashed = true;
        const auto day = ReadDate(cells[dateColumn], DateOrder::DayFirst, sheet.serialOrigin);
        const auto month = ReadDate(cells[dateColumn], DateOrder::MonthFirst, sheet.serialOrigin);
        dayReadsAll = dayReadsAll && day;
        monthReadsAll = monthReadsAll && month;
        dayReads += day ? 1 : 0;
        monthReads += month ? 1 : 0;
        if (day && month && *day != *month)
            differ = true;
    }
    if (!anySlashed)
        return choice;
    if (dayReadsAll)
        choice.suggested = DateOrder::DayFirst;
    else if (monthReadsAll)
        choice.suggested = DateOrder::MonthFirst;
    else // neither: the one that leaves fewer rows in error
        choice.suggested = monthReads > dayReads ? DateOrder::MonthFirst : DateOrder::DayFirst;
    choice.mustChoose = dayReadsAll && monthReadsAll && differ;
    if (choice.mustChoose)
        choice.suggested = DateOrder::Unset;
    return choice;
}

} // namespace orvane::importer
