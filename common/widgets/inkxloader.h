// inkxloader.h - the one place that loads the ink note library ("inkx") and makes its windows.
//
// The library is looked for in the folder this library (ZuCommonLib) was loaded from, by name,
// at the first call; once loaded it stays loaded for the life of the program. Without it, or
// with ZUPIMS_INKX=none in the environment (read at every call, so tests can switch it), there
// is no ink window: callers show no note and pass the stored note through unchanged.
#pragma once

#include "inkmessages.h"

class QWidget;

// Whether ink windows can be made now (the library loaded and its entry points found).
bool ZuInkXAvailable();
// The library's initialisation, FALSE without the library.
BOOL ZuInitInkX();
// A new, visible ink window ("InkX", title "INKX") in the parent; null without the library.
QWidget* ZuCreateInkWindow(QWidget* parent, bool bordered = false);
