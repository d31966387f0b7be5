#pragma once
// The statements of the workstation list and the cross-unit report, and the reading of their
// rows into the texts the sheets show. Every typed value travels as a bound parameter; the
// statement text keeps the meaning of the screens' filters.
#include "platform/Database.h"

#include <QDate>
#include <QHash>
#include <QString>

namespace orvane {

enum class ExpiryFilter { None, Expired, OnOrBefore };

struct ReportFilter {
    QString searchText; // as typed: not trimmed, % and _ are wildcards
    QString unitCode;   // the unit box as it stands; trimmed for the statement
    ExpiryFilter expiry = ExpiryFilter::None;
    QDate onOrBefore; // the date of "Expiring on or before"
    QDate today;      // the day "Expired Only" compares with
};

class ActivationQuery {
  public:
    // The LIKE pattern that finds the typed text anywhere in a column. % and _ keep their
    // wildcard meaning; a backslash stands for itself (the server would read it as the
    // pattern's escape character otherwise).
    static QString ContainsPattern(const QString& typed);

    // All units (or the one in the unit box), search text over five columns, expiry on or
    // before a day (inclusive), grouped by unit and ordered by expiry date.
    static Statement Report(const ReportFilter& filter);
    // The records of one unit, optionally narrowed by the search text, in serial order.
    static Statement List(const QString& searchText, const QString& unitCode);
    // The units the report's unit box offers a user: code and name, in priority order.
    static Statement ReportUnits(const QString& userId);
};

// Column positions of an activation result, resolved once per refill instead of by name for
// every field of every row.
struct ActivationColumns {
    explicit ActivationColumns(const Recordset& rs);
    int unitCode, sysId, ip, os, user, dept, expDate, remarks;
};

// Turns the stored expiry date ("yyyy-mm-dd") into the sheets' "dd-MMM-yyyy". NULL or a date
// the server could not give shows as empty text. Remembers the texts it made (a pure
// formatting memo, no data): a report holds few distinct dates over many rows.
class ExpiryTexts {
  public:
    QString text(const QString& stored);

  private:
    QHash<QString, QString> made_;
};

} // namespace orvane
