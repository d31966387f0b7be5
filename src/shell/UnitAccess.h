#pragma once
// The granted units moved to app/, where the headless programs reach them too.
#include "app/UnitAccess.h"
