#include "lookup/PickListRows.h"

namespace orvane {

PickListRows ReadPickListRows(Connection& connection, const Statement& lookup) {
    PickListRows result;
    Recordset rs = connection.query(lookup.sql, lookup.params);
    result.fieldCount = rs.fieldCount();
    for (; !rs.eof(); rs.moveNext()) {
        QStringList row;
        for (int k = 0; k < result.fieldCount; ++k)
            row << rs.field(k);
        result.rows.push_back(std::move(row));
    }
    rs.close();
    return result;
}

DbJob<PickListRows> PickListJob(const Statement& lookup) {
    return [lookup](Connection& c) { return ReadPickListRows(c, lookup); };
}

} // namespace orvane
