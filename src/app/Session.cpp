#include "app/Session.h"

#include "app/OpenWait.h"

namespace orvane {

Connection& SessionContext::SharedConnection() {
    if (!connection_) {
        connection_ = std::make_unique<Connection>();
        connection_->setTimeout(120);
        connection_->setOpenWait(OpenWhileAnswering);
    }
    return *connection_;
}

void SessionContext::setConnection(std::unique_ptr<Connection> connection) {
    connection_ = std::move(connection);
    if (connection_)
        connection_->setOpenWait(OpenWhileAnswering);
}

void SessionContext::reset() {
    auto connection = std::move(connection_);
    *this = SessionContext();
    connection_ = std::move(connection);
}

SessionContext& Session() {
    static SessionContext session;
    return session;
}

} // namespace orvane
