// usernotify.h - the platform's user notifications (reminders), kept in `pim.db`.
//
// A notification is a trigger (type, event, application, arguments, start and end time) and a
// user notification (action flags, dialog title and text, sound). Handles are numbers handed out
// once and never reused. This layer stores them; showing a reminder when its time comes is the
// job of the reminder service, which reads them back from here.
#pragma once

#include "wintypes.h"

// Trigger types.
constexpr DWORD CNT_EVENT = 1;
constexpr DWORD CNT_TIME = 2;
constexpr DWORD CNT_PERIOD = 3;
constexpr DWORD CNT_CLASSICTIME = 4;

// Action flags.
constexpr DWORD PUN_LED = 1;
constexpr DWORD PUN_VIBRATE = 2;
constexpr DWORD PUN_DIALOG = 4;
constexpr DWORD PUN_SOUND = 8;
constexpr DWORD PUN_REPEAT = 16;

// The trigger record. dwSize holds 52, the size of the record on the handheld.
struct CE_NOTIFICATION_TRIGGER {
    DWORD dwSize = 0;
    DWORD dwType = 0;
    DWORD dwEvent = 0;
    wchar_t* lpszApplication = nullptr;
    wchar_t* lpszArguments = nullptr;
    SYSTEMTIME stStartTime;
    SYSTEMTIME stEndTime;
};
constexpr DWORD CE_NOTIFICATION_TRIGGER_SIZE = 52;

struct CE_USER_NOTIFICATION {
    DWORD ActionFlags = 0;
    wchar_t* pwszDialogTitle = nullptr;
    wchar_t* pwszDialogText = nullptr;
    wchar_t* pwszSound = nullptr;
    DWORD nMaxSound = 0;
    DWORD dwReserved = 0;
};

// What CeGetUserNotification writes at the start of the caller's buffer; the two records and
// their strings follow it in the same buffer.
struct CE_NOTIFICATION_INFO_HEADER {
    HANDLE hNotification = nullptr;
    DWORD dwStatus = 0;
    CE_NOTIFICATION_TRIGGER* pcent = nullptr;
    CE_USER_NOTIFICATION* pceun = nullptr;
};

// Sets a notification: a null handle creates one, an existing handle replaces that one (a
// handle that does not exist fails). Returns the handle, null on failure (last error set).
HANDLE CeSetUserNotificationEx(HANDLE notification, const CE_NOTIFICATION_TRIGGER* trigger,
    const CE_USER_NOTIFICATION* user);
// Reads a notification into the buffer. When the buffer is too small, fails with
// ERROR_INSUFFICIENT_BUFFER and sets *bytesNeeded; a handle that does not exist fails with
// ERROR_INVALID_PARAMETER.
BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, DWORD* bytesNeeded, BYTE* buffer);
// Removes a notification; fails with ERROR_INVALID_PARAMETER when it does not exist.
BOOL CeClearUserNotification(HANDLE notification);

// Handles as stored in records (I4) and back.
inline LONG ZuHandleToLong(HANDLE h) { return static_cast<LONG>(reinterpret_cast<std::intptr_t>(h)); }
inline HANDLE ZuLongToHandle(LONG v) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<DWORD>(v))); }
