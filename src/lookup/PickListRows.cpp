#include "lookup/PickListRows.h"

#include "app/Session.h"

namespace orvane {

PickListRows ReadPickListRows(const Statement& lookup) {
    PickListRows result;
    Recordset rs = Session().SharedConnection().query(lookup.sql, lookup.params);
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

} // namespace orvane
