// calendaritem.h - what a load of the calendar produces: the ordered item list, its counts and the
// day layout of the day and week views, and the request a load works from.
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"

#include <array>
#include <vector>

// Sent to the view that asked for a load once its items are in the document (wParam 0). The
// document also sends it with wParam 0 or 1 to make a view redraw from the same items.
constexpr UINT WM_ITEMS_LOADED = WM_USER + 0x300;

// View types ("ViewType") and styles ("ViewStyle").
constexpr int ZU_VIEW_DAY = 0;
constexpr int ZU_VIEW_WEEK = 1;
constexpr int ZU_VIEW_MONTH = 2;
constexpr int ZU_VIEW_YEAR = 3;
constexpr int ZU_STYLE_LIST = 0;
constexpr int ZU_STYLE_GRAPHIC = 1;

// Content bits ("ViewContents").
constexpr DWORD ZU_SHOW_APPOINTMENTS = 1;
constexpr DWORD ZU_SHOW_ANNIVERSARIES = 2;  // memorial days, contacts' birthdays and anniversaries
constexpr DWORD ZU_SHOW_TASKS = 4;
constexpr DWORD ZU_SHOW_RECURRING = 8;      // expand recurring appointments and tasks
constexpr DWORD ZU_SHOW_ALL = 15;

// Category filter modes ("CatyType").
constexpr int ZU_CATY_ALL = 0;
constexpr int ZU_CATY_NONE = 1;     // only records without a category
constexpr int ZU_CATY_ONE = 2;
constexpr int ZU_CATY_SEVERAL = 4;

// Item kinds (the database selectors) and day classes.
constexpr int ZU_ITEM_APPOINTMENT = 1;
constexpr int ZU_ITEM_CONTACT_DAY = 2;
constexpr int ZU_ITEM_TASK = 4;
constexpr int ZU_DAY_TIMED = 0;
constexpr int ZU_DAY_ALLDAY = 1;       // all-day appointments and tasks
constexpr int ZU_DAY_ANNIVERSARY = 2;  // memorial days, birthdays, contacts' anniversaries

struct CalendarItem {
    int kind = 0;
    CEOID oid = 0;
    FILETIME start{};  // local; a task without a start has the no-date value
    FILETIME end{};    // local, exclusive for appointments; a task's due date (or no date)
    int dayClass = 0;
    CString subject;
    CString timeText;
    int status = 0;    // appointments: busy status; tasks: percent done
    int priority = 0;  // tasks: 3 - importance, 4 - importance for an occurrence
};

struct ItemCounts {
    int total = 0;
    int reserved = 0;            // always 0
    int timed = 0;               // leading timed appointments
    int firstAnniversary = 0;    // index of the first day-class-2 appointment (or the count)
    int beforeTasks = 0;         // items before the tasks
};

struct DayColumnEntry {
    int item = 0;     // index into the item list
    int overlap = 0;  // most appointments sharing an hour with this one that day
    int column = 0;   // left for the views
};

// Day and week types only: one column per day of the range and the appointments per hour.
struct DayLayout {
    std::array<std::vector<DayColumnEntry>, 7> columns;
    std::array<std::array<BYTE, 24>, 7> occupancy{};
};

// Everything a load reads, copied when the load starts.
struct LoadRequest {
    int viewType = ZU_VIEW_DAY;
    DWORD contents = ZU_SHOW_ALL;
    int catyType = ZU_CATY_ALL;
    std::vector<int> chosenIndexes;  // category indexes for modes 2 and 4
    FILETIME rangeStart{};           // local
    FILETIME rangeEnd{};             // local, inclusive (one tick before the next day)
    bool showPrivate = true;
};

struct LoadResult {
    std::vector<CalendarItem> items;
    ItemCounts counts;
    DayLayout layout;
    // Not empty when the store could not be read: the load then has no items, and this says why.
    CString failure;
};
