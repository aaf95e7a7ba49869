// resource.h - the calendar program's resource ids: commands, controls, bitmaps, menus and
// strings. The texts of the shared strings (65008 to 65101) are in ZuUtils' table (stringtable.h);
// the bitmaps are Qt resources ":/calendar/<id>" (ZuLoadBitmap).
#pragma once

#include "wintypes.h"

// Commands. The document handles navigation, the view buttons, the content toggles, the category
// menu, the options and the contacts program; the active view handles the record commands.
constexpr UINT ZU_CMD_DATE_CHANGED = 107;       // the date control's date changed
constexpr UINT ZU_CMD_CATEGORY_NONE = 300;      // "그룹 없음"
constexpr UINT ZU_CMD_CATEGORY_FIRST = 301;     // the listed categories, 301 to 307
constexpr UINT ZU_CMD_CATEGORY_LAST = 307;
constexpr UINT ZU_CMD_CATEGORY_SEVERAL = 308;   // "다중선택..."
constexpr UINT ZU_CMD_CATEGORY_ALL = 309;       // "모든 그룹"
constexpr UINT ZU_CMD_CATEGORY_BUTTON = 1000;   // the content bar's category button
constexpr UINT ZU_CMD_SHOW_APPOINTMENTS = 32772; // content toggles: appointments, anniversaries,
constexpr UINT ZU_CMD_SHOW_ANNIVERSARIES = 32773; // tasks, recurrence
constexpr UINT ZU_CMD_SHOW_TASKS = 32774;
constexpr UINT ZU_CMD_SHOW_RECURRING = 32775;
constexpr UINT ZU_CMD_PREV = 32777;             // navigation bar: previous, the date, next
constexpr UINT ZU_CMD_NAV_DATE = 32778;
constexpr UINT ZU_CMD_NEXT = 32779;
constexpr UINT ZU_CMD_OPTIONS = 32780;          // "설     정"
constexpr UINT ZU_CMD_NEW_APPOINTMENT_ALT = 32781; // as 32807, without a menu entry
constexpr UINT ZU_CMD_CONTACTS = 32790;         // "주 소 록"
constexpr UINT ZU_CMD_VIEW_DAY = 32793;         // view type buttons: day, week, month (year has
constexpr UINT ZU_CMD_VIEW_WEEK = 32794;        // no button)
constexpr UINT ZU_CMD_VIEW_MONTH = 32795;
constexpr UINT ZU_CMD_VIEW_YEAR = 32796;
constexpr UINT ZU_CMD_STYLE = 32797;            // list / graphic style
constexpr UINT ZU_CMD_NEW_APPOINTMENT = 32807;  // "새 일   정"
constexpr UINT ZU_CMD_NEW_ANNIVERSARY = 32808;  // "새 기념일"
constexpr UINT ZU_CMD_NEW_TASK = 32809;         // "새 할   일"
constexpr UINT ZU_CMD_CUT = 32810;              // "잘라내기"
constexpr UINT ZU_CMD_COPY = 32811;             // "복사하기"
constexpr UINT ZU_CMD_PASTE = 32812;            // "붙이기"
constexpr UINT ZU_CMD_DELETE = 32813;           // "이벤트 지우기"
constexpr UINT ZU_CMD_TO_DAY_VIEW = 32817;      // "일간보기로 전환"
constexpr UINT ZU_CMD_EXIT = 32826;             // "종료하기"

// Controls and child windows.
constexpr UINT ZU_IDC_DAY_VIEW = 1;
constexpr UINT ZU_IDC_WEEK_VIEW = 2;
constexpr UINT ZU_IDC_MONTH_VIEW = 4;
constexpr UINT ZU_IDC_DATE = 107;               // the navigation bar's date control
constexpr UINT ZU_IDC_NAVIGATION_BAR = 1004;
constexpr UINT ZU_IDC_NOTIFY_LABEL = 1009;
constexpr UINT ZU_IDC_LEFT_SCROLL = 1013;
constexpr UINT ZU_IDC_CONTENT_BAR = 0xE800;

// Menus and tool bars.
constexpr UINT ZU_IDR_MENUBAR = 128;            // "추가" and "도구"
constexpr UINT ZU_IDR_NAVIGATION = 149;         // previous, date, next
constexpr UINT ZU_IDR_CONTEXT = 173;            // "Context0", "Context1", "Context2"

// Bitmaps: a button's two states are id (off) and id + 1 (on, or current).
constexpr UINT ZU_IDB_ITEMS8 = 129;             // 8 wide: appointment, anniversary, task
constexpr UINT ZU_IDB_CLOSE_BOX = 131;
constexpr UINT ZU_IDB_ITEMS16 = 152;            // 16 wide: the state images
constexpr UINT ZU_IDB_WEEK_MARKER = 167;
constexpr UINT ZU_IDB_MENU_BUTTONS = 174;
constexpr UINT ZU_IDB_DAY_BUTTON = 175;         // 176 current
constexpr UINT ZU_IDB_WEEK_BUTTON = 178;        // 179 current
constexpr UINT ZU_IDB_MONTH_BUTTON = 180;       // 181 current
constexpr UINT ZU_IDB_STYLE_GRAPHIC = 182;
constexpr UINT ZU_IDB_STYLE_LIST = 183;
constexpr UINT ZU_IDB_APPOINTMENTS = 186;       // 187 on
constexpr UINT ZU_IDB_ANNIVERSARIES = 188;      // 189 on
constexpr UINT ZU_IDB_TASKS = 190;              // 191 on
constexpr UINT ZU_IDB_RECURRING = 192;          // 193 on
constexpr UINT ZU_IDB_PREV = 194;
constexpr UINT ZU_IDB_NEXT = 195;
constexpr UINT ZU_IDB_WEEKDAY_HEADER = 200;
constexpr UINT ZU_IDB_DAY_HEADER = 210;
constexpr UINT ZU_IDB_CONTACTS = 218;           // 219 the first state

// Strings of the program's own.
constexpr UINT ZU_IDS_DOC_TEMPLATE = 128;
constexpr UINT ZU_IDS_SHOW = 65008;             // "Show", the category button's first text
constexpr UINT ZU_IDS_TOOLTIP = 32818;          // "도구"
constexpr UINT ZU_IDS_NO_DAY_ITEMS = 65098;     // "당일 일정이 없습니다."
constexpr UINT ZU_IDS_DAY_POPUP = 65099;        // "%d월 %d일 [음 %d.%d] %s"
constexpr UINT ZU_IDS_DAY_POPUP_HOLIDAY = 65100; // "%d월 %d일 [음 %d.%d] %s %s"
