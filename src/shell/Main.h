#pragma once
// Start-up: the connection, the release check, the workstation's unit, then the splash.

namespace orvane {

// Runs start-up up to showing the splash. False: the program is to end.
bool Main();

} // namespace orvane
