#include "overview/ExpiryCounts.h"

#include "app/mdlTarovel.h"

namespace orvane {

namespace {

// The five counts over activation rows. Six day parameters: today, today, day 30, day 30,
// day 90, day 90.
const QString kBandCounts =
    QStringLiteral("count(case when exp_date<=? then 1 end) expired,"
                   "count(case when exp_date>? and exp_date<=? then 1 end) within30,"
                   "count(case when exp_date>? and exp_date<=? then 1 end) within90,"
                   "count(case when exp_date>? then 1 end) later,"
                   "count(case when exp_date is null then 1 end) nodate ");

Params bandDays(const QDate& today) {
    const QString day0 = QueryDate(today);
    const QString day30 = QueryDate(today.addDays(30));
    const QString day90 = QueryDate(today.addDays(90));
    return {day0, day0, day30, day30, day90, day90};
}

ExpiryTally readTally(const Recordset& rs, int first) {
    ExpiryTally tally;
    for (int i = 0; i < kExpiryBandCount; ++i)
        tally.counts[i] = rs.field(first + i).toInt();
    return tally;
}

} // namespace

int ExpiryTally::total() const {
    int sum = 0;
    for (int n : counts)
        sum += n;
    return sum;
}

Statement ExpiryCounts::OverviewStatement(const QString& userId, const QDate& today) {
    // The register counted per unit in one pass, then laid beside the units of the report's
    // look-up (granted, open to the report); counting the register first takes about half
    // the time of counting through the join.
    Statement st{QStringLiteral("Select m.unit_code,m.unit_name,coalesce(c.expired,0),"
                                "coalesce(c.within30,0),coalesce(c.within90,0),"
                                "coalesce(c.later,0),coalesce(c.nodate,0) "
                                "from tarovel.unitmaster m inner join tarovel.unitaccess x on "
                                "x.unit_code=m.unit_code left join (Select unit_code,") +
                     kBandCounts +
                     QStringLiteral("from hr0910.hr_av_activation group by unit_code) c on "
                                    "c.unit_code=m.unit_code where x.user_id=? and "
                                    "m.unit_app_circ=0 order by m.unit_priority,m.unit_code"),
                 bandDays(today)};
    st.params << userId;
    return st;
}

Statement ExpiryCounts::UnitStatement(const QString& unitCode, const QDate& today) {
    Statement st{QStringLiteral("Select ") + kBandCounts +
                     QStringLiteral("from hr0910.hr_av_activation where unit_code=?"),
                 bandDays(today)};
    st.params << unitCode;
    return st;
}

std::vector<UnitExpiry> ExpiryCounts::Overview(const QString& userId, const QDate& today) {
    const Statement st = OverviewStatement(userId, today);
    Recordset rs = connection_.query(st.sql, st.params);
    std::vector<UnitExpiry> units;
    while (!rs.eof()) {
        units.push_back({rs.field(0), rs.field(1), readTally(rs, 2)});
        rs.moveNext();
    }
    return units;
}

ExpiryTally ExpiryCounts::ForUnit(const QString& unitCode, const QDate& today) {
    const Statement st = UnitStatement(unitCode, today);
    Recordset rs = connection_.query(st.sql, st.params);
    return rs.eof() ? ExpiryTally() : readTally(rs, 0);
}

QString ExpiryCounts::BandName(ExpiryBand band) {
    switch (band) {
    case ExpiryBand::Expired:
        return QStringLiteral("Expired");
    case ExpiryBand::Within30:
        return QStringLiteral("Within 30 days");
    case ExpiryBand::Within90:
        return QStringLiteral("Within 90 days");
    case ExpiryBand::Later:
        return QStringLiteral("Later");
    case ExpiryBand::NoDate:
        break;
    }
    return QStringLiteral("No expiry date");
}

QDate ExpiryCounts::LastDayOf(ExpiryBand band, const QDate& today) {
    switch (band) {
    case ExpiryBand::Expired:
        return today;
    case ExpiryBand::Within30:
        return today.addDays(30);
    case ExpiryBand::Within90:
        return today.addDays(90);
    default:
        return QDate();
    }
}

QString ExpiryStatusText(const QString& unitCode, const ExpiryTally& tally) {
    return QStringLiteral("%1: %2 expired, %3 within 30 days")
        .arg(unitCode)
        .arg(tally[ExpiryBand::Expired])
        .arg(tally[ExpiryBand::Within30]);
}

QString ExpiryTotalText(const std::vector<UnitExpiry>& units) {
    ExpiryTally sum;
    for (const UnitExpiry& unit : units)
        for (int i = 0; i < kExpiryBandCount; ++i)
            sum.counts[i] += unit.tally.counts[i];
    return QStringLiteral("%1 workstations: %2 expired, %3 within 30 days, %4 within 90 days, "
                          "%5 later, %6 without a date")
        .arg(sum.total())
        .arg(sum[ExpiryBand::Expired])
        .arg(sum[ExpiryBand::Within30])
        .arg(sum[ExpiryBand::Within90])
        .arg(sum[ExpiryBand::Later])
        .arg(sum[ExpiryBand::NoDate]);
}

} // namespace orvane
