#include "app/Startup.h"

#include "app/mdlTarovel.h"
#include "platform/Settings.h"

namespace orvane {

QString ReleaseRefusal(Connection& connection) {
    Recordset rs = connection.query("Select * from tarovel.versionmaster where pack_code='sys'");
    if (rs.eof())
        return QString();
    const bool accepted =
        rs.isNull("version_code") || rs.field("version_code") == Session().ReleaseVersion;
    rs.close();
    if (accepted)
        return QString();
    return "Accounts Software Updated \r\nYou are running Version [" + Session().ReleaseVersion +
           "].\r\nLatest Update is available at '" + PublicUpdatePage() + "'.";
}

void MakeWorkstationUnitCurrent(Connection& connection) {
    const QString configured = Settings::read("Tarovel", "Workstation", "UnitCode");
    Recordset rs =
        configured.isEmpty()
            ? connection.query(
                  "Select unit_code,unit_name from tarovel.unitmaster order by unit_priority")
            : connection.query(
                  "Select unit_code,unit_name from tarovel.unitmaster Where unit_code=?",
                  {configured});
    if (rs.eof()) {
        Session().CurrentUnitCode = configured;
        Session().CurrentUnitName.clear();
        return;
    }
    Session().CurrentUnitCode = rs.field("unit_code");
    Session().CurrentUnitName = rs.field("unit_name");
    rs.close();
}

} // namespace orvane
