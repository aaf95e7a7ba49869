// zucaloption.h - option records, the options dialog and the password prompt.
#pragma once

#include "wintypes.h"

// The version of the options library, as MAKELONG(minor, major).
DWORD ZuCalOptionVersion();
