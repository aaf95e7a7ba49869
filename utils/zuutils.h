// zuutils.h - the public header of the suite's utility functions.
#pragma once

#include "wintypes.h"

// The version of the utility library, as MAKELONG(minor, major).
DWORD ZuUtilsVersion();
