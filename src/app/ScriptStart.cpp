#include "app/ScriptStart.h"

#include "app/Startup.h"
#include "app/mdlTarovel.h"
#include "platform/Settings.h"

namespace orvane {

QString OpenScriptConnection(const std::optional<QString>& server) {
    SetShortDateFormat();
    Session().ReleaseVersion = kReleaseVersion;
    const QString address = server.value_or(Settings::read("Tarovel", "ServerIp", "ServerIP"));
    Connection& connection = Session().SharedConnection();
    connection.setTimeout(120);
    connection.open(ConnectionText(address));
    return QString(ReleaseRefusal(connection)).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace orvane
