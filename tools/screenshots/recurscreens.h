// recurscreens.h - the recurrence wizard's steps for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The wizard on an appointment: the weekly details, the monthly and yearly ones, and the range
// step ending after a count ("recur-wizard", "recur-wizard-monthly", "recur-wizard-yearly",
// "recur-wizard-range").
void ZuShootRecurScreens(const QString& folder, const ZuScreenSaver& save);
