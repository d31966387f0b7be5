#pragma once
// Start-up and the small routines every screen shares.
#include "app/Session.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

class QLineEdit;
class QWidget;

namespace orvane {

inline const QString kReleaseVersion = QStringLiteral("V0.6");
inline const QString kTitle = QStringLiteral("Orvane");

// The program's own short-date picture for dates shown without a pattern.
void SetShortDateFormat();
QString ShortDateFormat();
QString ShortDate(const QDate& date);

// Formatting rule for stamps and query dates.
QString StampDate(const QDate& date);   // yyyy/mm/dd
QString StampTime(const QTime& time);   // HH:mm:ss
QString QueryDate(const QDate& date);   // yyyy-mm-dd
QString DisplayDate(const QDate& date); // dd-MMM-yyyy

// Connection text for a server address; verbatim templates.
QString ConnectionText(const QString& serverAddress);
bool IsInHouseServer(const QString& serverAddress);
QString InHouseUpdatePage();
QString PublicUpdatePage();
// The in-house page for in-house servers, else the public one.
QString UpdatePageFor(const QString& serverAddress);

void SelectAllText(QLineEdit* box);
// Centres a child screen in the main window's client area.
void CenterForm(QWidget* screen);

// The text without leading and trailing blanks: spaces only, as the stored values and SQL's
// TRIM see them (tabs and other white space stay).
QString TrimBlanks(const QString& text);

// Counter value, or empty text after a message when the row is missing.
QString ReadNumberSetup(const QString& key);
QString NextCode(const QString& code);
// Unit name, or empty text after a message when the unit is missing.
QString GetUnitName(const QString& unitCode);

// The query parts of the two look-ups above: nothing when the row is missing, no message.
std::optional<QString> FindNumberSetup(Connection& connection, const QString& key);
std::optional<QString> FindUnitName(Connection& connection, const QString& unitCode);
// The message of a unit missing from the unit master.
void ReportMissingUnit();

} // namespace orvane
