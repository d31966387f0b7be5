#include "app/mdlTarovel.h"
#include "platform/Messages.h"
#include "platform/Settings.h"
#include "shell/frmSplash.h"

namespace orvane {

namespace {

// The workstation's unit: Tarovel.ini [Workstation] UnitCode, else the first unit.
void MakeWorkstationUnitCurrent() {
    const QString configured = Settings::read("Tarovel", "Workstation", "UnitCode");
    Recordset rs =
        configured.isEmpty()
            ? Session().SharedConnection().query(
                  "Select unit_code,unit_name from tarovel.unitmaster order by unit_priority")
            : Session().SharedConnection().query(
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

// True when the published release equals ours (or none is published).
bool ReleaseAccepted() {
    Recordset rs = Session().SharedConnection().query(
        "Select * from tarovel.versionmaster where pack_code='sys'");
    if (rs.eof())
        return true;
    const bool accepted =
        rs.isNull("version_code") || rs.field("version_code") == Session().ReleaseVersion;
    if (!accepted) {
        MsgBox("Accounts Software Updated \r\nYou are running Version [" +
               Session().ReleaseVersion + "].\r\nLatest Update is available at '" +
               PublicUpdatePage() + "'.");
    }
    rs.close();
    return accepted;
}

} // namespace

bool Main() {
    SetShortDateFormat();
    SessionContext& session = Session();
    session.ReleaseVersion = kReleaseVersion;
    try {
        Connection& connection = session.SharedConnection();
        connection.setTimeout(120);
        session.ServerAddress = Settings::read("Tarovel", "ServerIp", "ServerIP");
        connection.open(ConnectionText(session.ServerAddress));
        session.Connected = true;
        if (!ReleaseAccepted()) {
            Desktop::current().openUrl(UpdatePageFor(session.ServerAddress));
            Desktop::current().endProgram();
            return false;
        }
        MakeWorkstationUnitCurrent();
    } catch (const DbError& error) {
        if (!session.Connected)
            MsgBox("Connecting to the server failed.. Please Try again.. ");
        else
            MsgBox("Start-up could not read the company database:\r\n" + error.description() +
                   "\r\nThe program will close.");
        Desktop::current().endProgram();
        return false;
    }
    auto* splash = new frmSplash();
    splash->show();
    return true;
}

} // namespace orvane
