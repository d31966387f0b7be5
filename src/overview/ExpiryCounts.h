#pragma once
// How many workstations expire when: per unit the user may report on (the overview's bars)
// and for one unit (the main window's count). Each is one grouped statement over the
// activation register; values go in and plain counts come out, so the statements can run on
// a worker with a connection of its own.
#include "platform/Database.h"

#include <QDate>
#include <QString>
#include <array>
#include <vector>

namespace orvane {

// The segments of a unit's bar, in the order they stack. Expired counts today, as the
// report's "Expired Only" does; each later band starts the day after the previous one ends.
enum class ExpiryBand { Expired, Within30, Within90, Later, NoDate };
constexpr int kExpiryBandCount = 5;
constexpr std::array<ExpiryBand, kExpiryBandCount> kExpiryBands = {
    ExpiryBand::Expired, ExpiryBand::Within30, ExpiryBand::Within90, ExpiryBand::Later,
    ExpiryBand::NoDate};

struct ExpiryTally {
    std::array<int, kExpiryBandCount> counts{};
    int operator[](ExpiryBand band) const { return counts[static_cast<int>(band)]; }
    int total() const;
};

struct UnitExpiry {
    QString unitCode;
    QString unitName;
    ExpiryTally tally;
};

class ExpiryCounts {
  public:
    explicit ExpiryCounts(Connection& connection) : connection_(connection) {}

    // Every unit the report's unit look-up offers the user, in its order, with the counts of
    // its workstations on `today`; a unit without workstations counts zero everywhere.
    std::vector<UnitExpiry> Overview(const QString& userId, const QDate& today);
    // One unit's counts on `today`.
    ExpiryTally ForUnit(const QString& unitCode, const QDate& today);

    static Statement OverviewStatement(const QString& userId, const QDate& today);
    static Statement UnitStatement(const QString& unitCode, const QDate& today);

    // The band's name as the legend and the tooltips give it.
    static QString BandName(ExpiryBand band);
    // The last day inside the band (the report's "on or before" date); invalid for the
    // bands without an end.
    static QDate LastDayOf(ExpiryBand band, const QDate& today);

  private:
    Connection& connection_;
};

// "HR: 3 expired, 12 within 30 days"
QString ExpiryStatusText(const QString& unitCode, const ExpiryTally& tally);
// "40 workstations: 3 expired, 12 within 30 days, 9 within 90 days, 15 later, 1 without a date"
QString ExpiryTotalText(const std::vector<UnitExpiry>& units);

} // namespace orvane
