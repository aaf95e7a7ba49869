// User notifications: set, replace, read back, clear; handles are never reused.
#include "testhome.h"
#include "lasterror.h"
#include "usernotify.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

SYSTEMTIME at(WORD y, WORD mo, WORD d, WORD h, WORD mi)
{
    SYSTEMTIME t;
    t.wYear = y;
    t.wMonth = mo;
    t.wDay = d;
    t.wHour = h;
    t.wMinute = mi;
    return t;
}

struct Read {
    std::vector<BYTE> buffer;
    CE_NOTIFICATION_INFO_HEADER* header() { return reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data()); }
};

bool readBack(HANDLE h, Read& r)
{
    DWORD need = 0;
    if (CeGetUserNotification(h, 0, &need, nullptr) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    r.buffer.assign(need, 0);
    return CeGetUserNotification(h, need, &need, r.buffer.data());
}

} // namespace

TEST(UserNotification, SetReadReplaceAndClear)
{
    ZuTestHome home;
    wchar_t app[] = L"ZuCalendar", args[] = L"-remind 12", title[] = L"ZuCalendar 알림", text[] = L"회의", sound[] = L"Alarm1.wav";
    CE_NOTIFICATION_TRIGGER trigger;
    trigger.dwSize = CE_NOTIFICATION_TRIGGER_SIZE;
    trigger.dwType = CNT_TIME;
    trigger.lpszApplication = app;
    trigger.lpszArguments = args;
    trigger.stStartTime = at(2004, 3, 5, 9, 5);
    trigger.stEndTime = at(2004, 3, 5, 9, 5);
    CE_USER_NOTIFICATION user;
    user.ActionFlags = PUN_DIALOG;
    user.pwszDialogTitle = title;
    user.pwszDialogText = text;
    user.pwszSound = sound;
    user.nMaxSound = 520;

    HANDLE h = CeSetUserNotificationEx(nullptr, &trigger, &user);
    ASSERT_NE(h, nullptr);
    Read r;
    ASSERT_TRUE(readBack(h, r));
    EXPECT_EQ(r.header()->hNotification, h);
    const CE_NOTIFICATION_TRIGGER* t = r.header()->pcent;
    EXPECT_EQ(t->dwSize, 52u);
    EXPECT_EQ(t->dwType, CNT_TIME);
    EXPECT_STREQ(t->lpszApplication, L"ZuCalendar");
    EXPECT_STREQ(t->lpszArguments, L"-remind 12");
    EXPECT_EQ(t->stStartTime.wMinute, 5);
    EXPECT_EQ(t->stStartTime.wYear, 2004);
    EXPECT_STREQ(r.header()->pceun->pwszDialogText, L"회의");
    EXPECT_EQ(r.header()->pceun->nMaxSound, 520u);

    // Replacing keeps the handle; a new one gets a fresh handle.
    trigger.stStartTime = at(2004, 3, 6, 8, 0);
    trigger.lpszArguments = nullptr;
    EXPECT_EQ(CeSetUserNotificationEx(h, &trigger, &user), h);
    ASSERT_TRUE(readBack(h, r));
    EXPECT_EQ(r.header()->pcent->stStartTime.wDay, 6);
    EXPECT_EQ(r.header()->pcent->lpszArguments, nullptr);

    ASSERT_TRUE(CeClearUserNotification(h));
    EXPECT_FALSE(CeClearUserNotification(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DWORD need = 0;
    BYTE small[8];
    EXPECT_FALSE(CeGetUserNotification(h, sizeof small, &need, small));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CeSetUserNotificationEx(h, &trigger, &user), nullptr);  // gone: cannot be replaced

    HANDLE next = CeSetUserNotificationEx(nullptr, &trigger, &user);
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, h);  // never reused
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, nullptr, &user), nullptr);
    EXPECT_FALSE(CeClearUserNotification(nullptr));
}
