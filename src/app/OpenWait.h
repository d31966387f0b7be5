#pragma once
// Opening the session's connection without freezing the window. The driver's open blocks for
// as long as the server takes to answer (up to the login time-out), so it runs on a thread of
// its own while the UI thread goes on processing events: windows keep painting and can be
// moved. The input of every window is held meanwhile, since the screens' handlers would need
// the very connection being opened. What the open came to is met on the UI thread, as before.
//
// The handle is made on that thread and used afterwards on the UI thread, never by both at
// once: the driver (MariaDB Connector/ODBC, unixODBC with Threading=0) allows a connection to
// move between threads as long as its calls do not overlap.
#include <functional>

namespace orvane {

// A Connection::OpenWait. Off the UI thread, or without a widget application, it runs `open`
// where it is.
void OpenWhileAnswering(const std::function<void()>& open);

} // namespace orvane
