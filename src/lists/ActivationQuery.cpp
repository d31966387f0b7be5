#include "lists/ActivationQuery.h"

#include "app/mdlTarovel.h"

namespace orvane {

namespace {

// One "or" over the five free-text columns; the same pattern fills all five places.
const QString kSearchColumns = QStringLiteral(
    "(sys_ip like ? or sys_os like ? or sys_user like ? or sys_dept like ? or sys_remarks like ?)");

void addSearch(Statement& st, const QString& searchText) {
    const QString pattern = ActivationQuery::ContainsPattern(searchText);
    for (int i = 0; i < 5; ++i)
        st.params << pattern;
}

int requireColumn(const Recordset& rs, const char* name) {
    const int index = rs.fieldIndex(QLatin1String(name));
    if (index < 0)
        throw DbError(QStringLiteral("Item cannot be found in the collection: %1").arg(name));
    return index;
}

// "yyyy-mm-dd" as the server sends a DATE; anything else is no date. (QDate::fromString with
// a format costs more than the rest of a row.)
QDate parseStoredDate(const QString& s) {
    if (s.size() != 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-'))
        return QDate();
    auto number = [&s](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t ch = s[i].unicode();
            if (ch < u'0' || ch > u'9')
                return -1;
            n = n * 10 + (ch - u'0');
        }
        return n;
    };
    const int y = number(0, 4), m = number(5, 2), d = number(8, 2);
    return y < 0 || m < 0 || d < 0 ? QDate() : QDate(y, m, d);
}

// The columns the sheets show: the audit stamps stay on the server, which keeps a refill
// on every keystroke cheap.
const QString kSelect = QStringLiteral("Select unit_code,sys_id,sys_ip,sys_os,sys_user,sys_dept,"
                                       "exp_date,sys_remarks From hr0910.hr_av_activation ");

} // namespace

QString ActivationQuery::ContainsPattern(const QString& typed) {
    QString escaped = typed;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

Statement ActivationQuery::Report(const ReportFilter& filter) {
    Statement st;
    if (filter.searchText.isEmpty()) {
        st.sql = kSelect + QStringLiteral("where 1=1 ");
    } else {
        st.sql = kSelect + QStringLiteral("where ") + kSearchColumns;
        addSearch(st, filter.searchText);
    }
    // A box holding only blanks still filters, by the empty code.
    if (!filter.unitCode.isEmpty()) {
        st.sql += QStringLiteral(" and unit_code=?");
        st.params << TrimBlanks(filter.unitCode);
    }
    if (filter.expiry != ExpiryFilter::None) {
        st.sql += QStringLiteral(" and exp_date<=?");
        const QDate day =
            filter.expiry == ExpiryFilter::OnOrBefore ? filter.onOrBefore : filter.today;
        st.params << QueryDate(day);
    }
    st.sql += QStringLiteral(" order by unit_code,exp_date ");
    return st;
}

Statement ActivationQuery::List(const QString& searchText, const QString& unitCode) {
    Statement st;
    if (searchText.isEmpty()) {
        st.sql = kSelect + QStringLiteral("where unit_code=?");
    } else {
        st.sql = kSelect + QStringLiteral("where ") + kSearchColumns +
                 QStringLiteral(" and unit_code=?");
        addSearch(st, searchText);
    }
    st.params << unitCode;
    st.sql += QStringLiteral(" order by sys_id");
    return st;
}

Statement ActivationQuery::ReportUnits(const QString& userId) {
    return {QStringLiteral("Select unitaccess.unit_code,unit_name from tarovel.unitmaster inner "
                           "join tarovel.unitaccess on unitaccess.unit_code=unitmaster.unit_code "
                           "where unitaccess.user_id=? and unit_app_circ=0  order by "
                           "unit_priority"),
            {userId}};
}

ActivationColumns::ActivationColumns(const Recordset& rs)
    : unitCode(requireColumn(rs, "unit_code")), sysId(requireColumn(rs, "sys_id")),
      ip(requireColumn(rs, "sys_ip")), os(requireColumn(rs, "sys_os")),
      user(requireColumn(rs, "sys_user")), dept(requireColumn(rs, "sys_dept")),
      expDate(requireColumn(rs, "exp_date")), remarks(requireColumn(rs, "sys_remarks")) {}

QString ExpiryTexts::text(const QString& stored) {
    if (stored.isEmpty())
        return QString();
    auto it = made_.constFind(stored);
    if (it != made_.constEnd())
        return it.value();
    const QDate date = parseStoredDate(stored);
    const QString shown = date.isValid() ? DisplayDate(date) : QString();
    made_.insert(stored, shown);
    return shown;
}

} // namespace orvane
