// calendarview.h - what the main frame asks of each of its views, beside what the document sends
// them (WM_ITEMS_LOADED).
#pragma once

#include "wintypes.h"

class ICalendarView {
public:
    virtual ~ICalendarView() = default;
    // Once, after the frame made the view and the document's settings are read.
    virtual void OnInitialUpdate() {}
    // A command the frame routes to the active view first (new, cut, copy, paste, delete, the
    // switch to the day view, the label's click); false hands it on to the document.
    virtual bool OnViewCommand(UINT id) = 0;
};
