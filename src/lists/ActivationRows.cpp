#include "lists/ActivationRows.h"

#include "app/mdlTarovel.h"

namespace orvane {

std::vector<ActivationRecord> ActivationRows::read(const Statement& st) {
    std::vector<ActivationRecord> records;
    Recordset rs = connection_.query(st.sql, st.params);
    if (rs.bof())
        return records;
    const ActivationColumns cols(rs);
    for (; !rs.eof(); rs.moveNext()) {
        records.push_back({rs.field(cols.unitCode), rs.field(cols.sysId), rs.field(cols.ip),
                           rs.field(cols.os), rs.field(cols.user), rs.field(cols.dept),
                           rs.field(cols.remarks), rs.field(cols.expDate)});
    }
    rs.close();
    return records;
}

std::vector<ActivationRecord> ActivationRows::List(const QString& searchText,
                                                   const QString& unitCode) {
    return read(ActivationQuery::List(searchText, unitCode));
}

std::vector<ActivationGroup> ActivationRows::Report(const ReportFilter& filter) {
    std::vector<ActivationGroup> groups;
    for (ActivationRecord& record : read(ActivationQuery::Report(filter))) {
        if (groups.empty() || groups.back().unitCode != record.unitCode)
            groups.push_back({record.unitCode, FindUnitName(connection_, record.unitCode), {}});
        groups.back().records.push_back(std::move(record));
    }
    return groups;
}

DbJob<std::vector<ActivationGroup>> ActivationRows::ListJob(const QString& searchText,
                                                            const QString& unitCode) {
    return [searchText, unitCode](Connection& c) {
        return std::vector<ActivationGroup>{
            {unitCode, unitCode, ActivationRows(c).List(searchText, unitCode)}};
    };
}

DbJob<std::vector<ActivationGroup>> ActivationRows::ReportJob(const ReportFilter& filter) {
    return [filter](Connection& c) { return ActivationRows(c).Report(filter); };
}

} // namespace orvane
