#pragma once
// The process-wide context every screen shares.
#include "platform/Database.h"

#include <QString>
#include <memory>

namespace orvane {

struct SessionContext {
    QString CurrentUnitCode;
    QString CurrentUnitName;
    QString CurrentUserId;
    QString CurrentUserName;
    QString SelectedSystemId;
    // The unit of the record chosen in a list: serial numbers repeat across units.
    QString SelectedSystemUnit;
    QString ServerAddress;
    QString ReleaseVersion;
    bool Connected = false;

    // Created on first use; lives for the whole run. Its opens and reopens keep the windows
    // answering (app/OpenWait.h).
    Connection& SharedConnection();
    bool hasConnection() const { return connection_ != nullptr; }
    // Tests open their own connection and hand it over; its reopens keep the windows answering.
    void setConnection(std::unique_ptr<Connection> connection);
    // Back to the empty start state (tests).
    void reset();

  private:
    std::unique_ptr<Connection> connection_;
};

SessionContext& Session();

} // namespace orvane
