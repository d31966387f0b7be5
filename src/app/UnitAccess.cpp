#include "app/UnitAccess.h"

namespace orvane {

QVector<UnitRow> GrantedUnits(Connection& connection, const QString& userId) {
    // The access table keeps the user id as text, so it is compared as text.
    Recordset rs =
        connection.query("Select unitaccess.unit_code,unit_name from tarovel.unitmaster inner join "
                         "tarovel.unitaccess on unitaccess.unit_code=unitmaster.unit_code where "
                         "unitaccess.user_id=? and unit_app_acc=0 order by unit_priority",
                         {userId});
    QVector<UnitRow> units;
    while (!rs.eof()) {
        units.append({rs.field("Unit_Code"), rs.field("unit_name")});
        rs.moveNext();
    }
    return units;
}

} // namespace orvane
