// aptmscreens.h - the appointment editor for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The editor on a stored appointment: its summary page ("editor-appointment") and its attendee
// tab ("editor-attendees"); a new anniversary with the lunar box ticked ("editor-anniversary").
void ZuShootAptmScreens(const QString& folder, const ZuScreenSaver& save);
