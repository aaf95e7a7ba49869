// boardscreens.h - the view board for the screenshots program.
#pragma once

#include "calendarscreens.h"

// The board of a weekly appointment with attendees, a category and a handwritten note
// ("view-board"), and of a task with dates, a reminder and a category ("view-board-task").
void ZuShootBoardScreens(const QString& folder, const ZuScreenSaver& save);
