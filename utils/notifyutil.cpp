#include "notifyutil.h"

#include "lasterror.h"
#include "messagebox.h"
#include "usernotify.h"

#include <cwchar>
#include <memory>
#include <new>

namespace {

constexpr DWORD kReadBufferSize = 8192;

// The sound buffer of a calendar reminder: 260 UTF-16 characters, 520 bytes as the handheld
// counts them (the size field speaks UTF-16 bytes, whatever wchar_t is here).
constexpr size_t kSoundChars = 260;
constexpr DWORD kSoundBytes = kSoundChars * 2;

enum class ReadResult { Ok, Gone, Failed, NoMemory };

std::unique_ptr<BYTE[]> allocate(DWORD bytes)
{
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bytes]());
    if (!buffer)
        MessageBox(nullptr, L"Out of memory", L"ZuTask", MB_OK);
    return buffer;
}

// Reads the notification into a zero-filled buffer of 8192 bytes, once more with the size the
// platform asks for when that is too small.
ReadResult readNotification(HANDLE notification, std::unique_ptr<BYTE[]>& buffer)
{
    DWORD size = kReadBufferSize;
    for (int attempt = 0; attempt < 2; ++attempt) {
        buffer = allocate(size);
        if (!buffer)
            return ReadResult::NoMemory;
        DWORD needed = 0;
        if (CeGetUserNotification(notification, size, &needed, buffer.get()))
            return ReadResult::Ok;
        buffer.reset();
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_PARAMETER)
            return ReadResult::Gone;
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= size)
            return ReadResult::Failed;
        size = needed;
    }
    return ReadResult::Failed;
}

const CE_NOTIFICATION_TRIGGER* triggerOf(const std::unique_ptr<BYTE[]>& buffer)
{
    return reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.get())->pcent;
}

} // namespace

HANDLE AddUserNotification(HANDLE notification, DWORD type, wchar_t* application, wchar_t* arguments,
    SYSTEMTIME start, SYSTEMTIME end, wchar_t* text)
{
    wchar_t title[] = L"ZuCalendar 알림";
    wchar_t sound[kSoundChars] = L"Alarm1.wav";

    CE_NOTIFICATION_TRIGGER trigger;
    trigger.dwSize = CE_NOTIFICATION_TRIGGER_SIZE;
    trigger.dwType = type;
    trigger.lpszApplication = application;
    trigger.lpszArguments = arguments;
    trigger.stStartTime = start;
    trigger.stEndTime = end;

    CE_USER_NOTIFICATION user;
    user.ActionFlags = PUN_DIALOG;
    user.pwszDialogTitle = title;
    user.pwszDialogText = text ? text : title;
    user.pwszSound = sound;
    user.nMaxSound = kSoundBytes;
    return CeSetUserNotificationEx(notification, &trigger, &user);
}

HANDLE AddUserNotification1(SYSTEMTIME start, SYSTEMTIME end, wchar_t* text)
{
    wchar_t tasks[] = L"TASKS";
    wchar_t sound[] = L"alarm1.wav";

    CE_NOTIFICATION_TRIGGER trigger;
    trigger.dwSize = CE_NOTIFICATION_TRIGGER_SIZE;
    trigger.dwType = CNT_PERIOD;
    trigger.lpszApplication = tasks;
    trigger.lpszArguments = nullptr;
    trigger.stStartTime = start;
    trigger.stEndTime = end;

    CE_USER_NOTIFICATION user;
    user.ActionFlags = PUN_DIALOG;
    user.pwszDialogTitle = tasks;
    user.pwszDialogText = text;
    user.pwszSound = sound;
    user.nMaxSound = 22;  // UTF-16 bytes of "alarm1.wav" with its terminator
    return CeSetUserNotificationEx(nullptr, &trigger, &user);
}

int GetUserNotificationTime(HANDLE notification, SYSTEMTIME* start)
{
    if (!notification || !start)
        return 0;
    std::unique_ptr<BYTE[]> buffer;
    if (readNotification(notification, buffer) != ReadResult::Ok)
        return 0;
    const CE_NOTIFICATION_TRIGGER* trigger = triggerOf(buffer);
    if (!trigger)
        return 0;
    *start = trigger->stStartTime;
    return 1;
}

int DeleteUserNotification(HANDLE notification, const wchar_t* application)
{
    if (!notification)
        return 0;
    std::unique_ptr<BYTE[]> buffer;
    switch (readNotification(notification, buffer)) {
    case ReadResult::NoMemory:
        return 0;
    case ReadResult::Gone:
    case ReadResult::Failed:
        return 1;  // nothing left to remove, or nothing known about it
    case ReadResult::Ok:
        break;
    }
    const CE_NOTIFICATION_TRIGGER* trigger = triggerOf(buffer);
    const wchar_t* owner = trigger ? trigger->lpszApplication : nullptr;
    if (!application || (owner && std::wcscmp(application, owner) == 0))
        CeClearUserNotification(notification);
    return 1;
}
