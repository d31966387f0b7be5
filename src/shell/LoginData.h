#pragma once
// The sign-in data moved to app/, where the headless programs reach it too.
#include "app/LoginData.h"
