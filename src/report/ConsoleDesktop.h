#pragma once
// The console desktop moved to app/: orvane-import writes its messages the same way.
#include "app/ConsoleDesktop.h"

namespace orvane::report {
using orvane::ConsoleDesktop;
}
