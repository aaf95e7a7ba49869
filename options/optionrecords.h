// optionrecords.h - the suite's user options, the programs' window registration and the message
// that tells a running program that one of its options changed.
//
// Options live in the registry under HKEY_CURRENT_USER "Software\Tandemoor\Pims" (keys
// "General", "Contact", "Calendar", "Task", "Memo"). Nothing is cached: every call reads the
// registry afresh. Booleans are stored as the strings "TRUE" and "FALSE"; a boolean is true only
// when its string is exactly "TRUE" (so "true", "1" or a missing value read as false, and reading
// never writes a boolean). The week-view hours are REG_DWORD values written back with their
// defaults (6 and 24) when missing.
//
// The password is kept in "strSecurityValue" only as a salted slow hash (optionstore.h): it
// cannot be read back, and no record hands it out.
//
// Window registration: each program stores its main window handle (programwindow.h) as "dwHWND"
// under its own name. Option messages go only to registered handles that answer as live windows
// of the suite (IsWindow); a stale handle left by a program that was killed, or a handle that some
// other program answers for, receives nothing.
//
// All calls run on the calling program's user-interface thread.
#pragma once

#include "cstring.h"
#include "programwindow.h"
#include "wintypes.h"

// Sent to a running program's main window after one of its options was stored: wParam is the
// option code below, lParam the new value. Sent (the save waits for the window to handle it, up
// to ZU_SEND_MESSAGE_TIMEOUT_MS; a window that does not answer in time gets nothing more from the
// same save).
constexpr UINT WM_OPTION_CHANGED = WM_USER + 3100;
static_assert(WM_OPTION_CHANGED == 0x101C);

// Option codes (wParam of WM_OPTION_CHANGED) and who receives them. lParam is 0 or 1 except for
// OPTCODE_WEEKVIEW_HOURS: MAKELONG(start hour, end hour).
constexpr WPARAM OPTCODE_LEFT_SCROLL = 2;            // calendar window, then contacts window
constexpr WPARAM OPTCODE_CONTACT_QUICKSEARCH = 17;   // contacts window
constexpr WPARAM OPTCODE_CONTACT_BIGFONT = 18;       // contacts window
constexpr WPARAM OPTCODE_CONTACT_MULTILINE = 19;     // contacts window
constexpr WPARAM OPTCODE_CONTACT_NAMEONLY = 20;      // contacts window
constexpr WPARAM OPTCODE_CALENDAR_PRIVATE = 33;      // calendar window
constexpr WPARAM OPTCODE_CALENDAR_BIGFONT = 34;      // calendar window
constexpr WPARAM OPTCODE_WEEKVIEW_HOURS = 37;        // calendar window
constexpr WPARAM OPTCODE_TASK_STATUSBAR = 52;        // calendar window (it shows the tasks)

// Option records, returned by value. The first integer of the calendar, task and contacts
// records is reserved: the library never sets it (it stays 0).
struct _tabGeneralOpt {
    BOOL bSecurityFlag = FALSE;
    // "NO" while bSecurityFlag is FALSE, otherwise empty: never the password or its hash (the
    // options library checks and sets the password itself, COptionStore::CheckPassword).
    CString strSecurityValue;
    BOOL bLeftScrollFlag = FALSE;
};

struct _tabCalendarOpt {
    int nReserved = 0;
    BOOL bPrivateFlag = FALSE;
    BOOL bBigFontFlag = FALSE;
    // Hours shown by the week view. Always 0 <= start < end <= 24: a stored pair outside that
    // (which would break the week view's hour grid) reads as 6 and 24, and the registry is left
    // as it is.
    int nWvStartTime = 6;
    int nWvEndTime = 24;
};

struct _tabTaskOpt {
    int nReserved = 0;
    BOOL bPrivateFlag = FALSE;
    BOOL bBigFontFlag = FALSE;
    BOOL bSETimeViewFlag = FALSE;
    BOOL bStatusBarFlag = FALSE;
};

struct _tabContactOpt {
    int nReserved = 0;
    BOOL bBigFontFlag = FALSE;
    BOOL bShowQuickSearchBar = FALSE;
    BOOL bShowMultiLine = FALSE;
    BOOL bShowNameOnly = FALSE;
};

_tabGeneralOpt GetGeneralOpt();
_tabCalendarOpt GetCalendarOpt();
_tabTaskOpt GetTaskOpt();
_tabContactOpt GetContactOpt();

// Publishes a program's main window as "dwHWND" under the key named `app` ("Contact",
// "Calendar", "Task" or "Memo", any letter case):
// - hwnd a live window (IsWindow): written under that key (nothing is written for any other
//   name, "General" included) and TRUE;
// - hwnd 0: 0 is written under that key and FALSE (a program clears its entry at exit);
// - any other handle: nothing is written, FALSE.
BOOL WriteRegistryHWND(HWND hwnd, CString app);

// TRUE when the handle stored under "Contact", "Calendar", "Task" or "Memo" belongs to a live
// window of the suite other than this program's own registered main window. The password prompt
// lets the user in without asking when this is TRUE; stale and foreign handles do not count.
BOOL IsAnotherSuiteProgramRunning();
