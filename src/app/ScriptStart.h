#pragma once
// The start of a program for scripts (orvane-report, orvane-import): the settings' server (or
// the one given), the shared connection opened with the login time-out, and the release check.
#include "platform/Database.h"

#include <QString>
#include <optional>

namespace orvane {

// Opens the session's shared connection. Returns the release check's refusal text (empty when
// the release is ours). Throws DbError when the server cannot be reached.
QString OpenScriptConnection(const std::optional<QString>& server);

} // namespace orvane
