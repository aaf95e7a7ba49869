// taskscreens.h - the task editor for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The editor on a stored task with its progress, reminder and recurrence: its summary page
// ("editor-task").
void ZuShootTaskScreens(const QString& folder, const ZuScreenSaver& save);
