// notifyutil.h - reminders through the platform's user-notification service.
//
// A reminder is one notification record (platform/usernotify.h): a dialog with a title, a text
// and a sound, and a trigger with an application, arguments and a start and end time. The
// calendar's reminders use AddUserNotification; task reminders of the "TASKS" application use
// AddUserNotification1. All return 0 (or a null handle) on failure; none throws.
#pragma once

#include "wintypes.h"

// Sets a reminder: notification 0 creates a new one, an existing handle replaces that one.
// Dialog title "ZuCalendar 알림", dialog text = text (the title again when text is null), sound
// "Alarm1.wav" (buffer 520), trigger of the given type (CNT_TIME, CNT_PERIOD, ...) for the
// application and arguments, from start to end. Returns the platform's handle, 0 on failure.
HANDLE AddUserNotification(HANDLE notification, DWORD type, wchar_t* application, wchar_t* arguments,
    SYSTEMTIME start, SYSTEMTIME end, wchar_t* text);

// Creates a new "TASKS" reminder: title "TASKS", the text, sound "alarm1.wav" (buffer 22), a
// period trigger (CNT_PERIOD) for application "TASKS" without arguments. Returns the handle.
HANDLE AddUserNotification1(SYSTEMTIME start, SYSTEMTIME end, wchar_t* text);

// Copies the trigger's start time of the notification into *start. Returns 1, or 0 for a null
// handle or output, a notification that cannot be read, or when memory runs out.
int GetUserNotificationTime(HANDLE notification, SYSTEMTIME* start);

// Removes the notification when application is null or equals the trigger's application (a
// different application leaves it in place). Returns 1, also for a notification that no longer
// exists; 0 only for a null handle or when memory runs out.
int DeleteUserNotification(HANDLE notification, const wchar_t* application);
