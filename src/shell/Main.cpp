#include "shell/Main.h"

#include "app/Startup.h"
#include "app/mdlTarovel.h"
#include "platform/Messages.h"
#include "platform/Settings.h"
#include "shell/frmSplash.h"

namespace orvane {

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
        const QString refusal = ReleaseRefusal(connection);
        if (!refusal.isEmpty()) {
            MsgBox(refusal);
            Desktop::current().openUrl(UpdatePageFor(session.ServerAddress));
            Desktop::current().endProgram();
            return false;
        }
        MakeWorkstationUnitCurrent(connection);
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
