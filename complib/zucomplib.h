// zucomplib.h - the record dialogs shared by the calendar and the contacts book.
#pragma once

#include "wintypes.h"

// The version of the dialog library, as MAKELONG(minor, major).
DWORD ZuCompLibVersion();
