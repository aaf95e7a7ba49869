// optionsscreens.h - the options dialog's pages for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The options dialog on each of its pages: general with the password controls shown,
// calendar, contacts ("options-general", "options-calendar", "options-contacts"). Writes nothing
// to the registry.
void ZuShootOptionsScreens(const QString& folder, const ZuScreenSaver& save);
