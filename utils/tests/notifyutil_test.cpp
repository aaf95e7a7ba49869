#include "notifyutil.h"

#include "lasterror.h"
#include "messagebox.h"
#include "testhome.h"
#include "usernotify.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Out of memory on request: the next nothrow array allocation of the armed size fails. Everything
// else goes to the ordinary allocation, so the ordinary delete[] matches it.
static std::atomic<std::size_t> g_failAllocationOf{0};

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    std::size_t armed = size;
    if (size && g_failAllocationOf.compare_exchange_strong(armed, 0))
        return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

SYSTEMTIME at(WORD y, WORD mo, WORD d, WORD h, WORD mi)
{
    SYSTEMTIME st;
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    return st;
}

bool same(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour
        && a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

std::wstring str(const wchar_t* s)
{
    return s ? std::wstring(s) : std::wstring(L"<null>");
}

// A notification as the platform keeps it.
struct Stored {
    std::vector<BYTE> bytes;
    const CE_NOTIFICATION_TRIGGER& trigger() const
    {
        return *reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(bytes.data())->pcent;
    }
    const CE_USER_NOTIFICATION& user() const
    {
        return *reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(bytes.data())->pceun;
    }
};

std::unique_ptr<Stored> readBack(HANDLE h)
{
    DWORD needed = 0;
    if (CeGetUserNotification(h, 0, &needed, nullptr) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return nullptr;
    auto out = std::make_unique<Stored>();
    out->bytes.resize(needed);
    if (!CeGetUserNotification(h, needed, &needed, out->bytes.data()))
        return nullptr;
    return out;
}

class NotifyTest : public ::testing::Test {
protected:
    NotifyTest()
    {
        m_oldBox = ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT) {
            boxes.push_back(text + L"|" + caption);
            return IDOK;
        });
    }
    ~NotifyTest() override
    {
        ZuSetMessageBoxHandler(m_oldBox);
        g_failAllocationOf = 0;
    }

    ZuTestHome home;
    std::vector<CString> boxes;
    wchar_t app[16] = L"ZuCalendar.exe";
    wchar_t args[16] = L"-remind 42";
    SYSTEMTIME start = at(2004, 3, 5, 9, 5), end = at(2004, 3, 5, 10, 0);

private:
    ZuMessageBoxHandler m_oldBox;
};

TEST_F(NotifyTest, CalendarReminderRecords)
{
    wchar_t text[] = L"팀 회의";
    HANDLE h = AddUserNotification(nullptr, CNT_TIME, app, args, start, end, text);
    ASSERT_NE(h, nullptr);
    const auto stored = readBack(h);
    ASSERT_TRUE(stored);
    const CE_NOTIFICATION_TRIGGER& t = stored->trigger();
    const CE_USER_NOTIFICATION& u = stored->user();
    EXPECT_EQ(t.dwSize, 52u);
    EXPECT_EQ(t.dwType, CNT_TIME);
    EXPECT_EQ(str(t.lpszApplication), L"ZuCalendar.exe");
    EXPECT_EQ(str(t.lpszArguments), L"-remind 42");
    EXPECT_TRUE(same(t.stStartTime, start));
    EXPECT_TRUE(same(t.stEndTime, end));
    EXPECT_EQ(u.ActionFlags, PUN_DIALOG);
    EXPECT_EQ(str(u.pwszDialogTitle), L"ZuCalendar 알림");
    EXPECT_EQ(str(u.pwszDialogText), L"팀 회의");
    EXPECT_EQ(str(u.pwszSound), L"Alarm1.wav");
    EXPECT_EQ(u.nMaxSound, 520u);

    // Without a text the dialog shows the title; the same handle is replaced, not added to.
    HANDLE again = AddUserNotification(h, CNT_PERIOD, app, nullptr, end, end, nullptr);
    EXPECT_EQ(again, h);
    const auto replaced = readBack(h);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->trigger().dwType, CNT_PERIOD);
    EXPECT_EQ(str(replaced->trigger().lpszArguments), L"<null>");
    EXPECT_TRUE(same(replaced->trigger().stStartTime, end));
    EXPECT_EQ(str(replaced->user().pwszDialogText), L"ZuCalendar 알림");

    // Replacing a notification that is gone fails.
    ASSERT_TRUE(CeClearUserNotification(h));
    EXPECT_EQ(AddUserNotification(h, CNT_TIME, app, args, start, end, text), nullptr);
}

TEST_F(NotifyTest, TaskReminderRecordsAreAlwaysNew)
{
    wchar_t text[] = L"보고서 제출";
    HANDLE first = AddUserNotification1(start, end, text);
    HANDLE second = AddUserNotification1(start, end, text);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    const auto stored = readBack(first);
    ASSERT_TRUE(stored);
    const CE_NOTIFICATION_TRIGGER& t = stored->trigger();
    const CE_USER_NOTIFICATION& u = stored->user();
    EXPECT_EQ(t.dwSize, 52u);
    EXPECT_EQ(t.dwType, CNT_PERIOD);
    EXPECT_EQ(str(t.lpszApplication), L"TASKS");
    EXPECT_EQ(str(t.lpszArguments), L"<null>");
    EXPECT_TRUE(same(t.stStartTime, start));
    EXPECT_TRUE(same(t.stEndTime, end));
    EXPECT_EQ(u.ActionFlags, PUN_DIALOG);
    EXPECT_EQ(str(u.pwszDialogTitle), L"TASKS");
    EXPECT_EQ(str(u.pwszDialogText), L"보고서 제출");
    EXPECT_EQ(str(u.pwszSound), L"alarm1.wav");
    EXPECT_EQ(u.nMaxSound, 22u);
}

TEST_F(NotifyTest, TimeRoundTripsAndFailsForMissingNotifications)
{
    HANDLE h = AddUserNotification(nullptr, CNT_TIME, app, args, start, end, nullptr);
    ASSERT_NE(h, nullptr);
    SYSTEMTIME got;
    ASSERT_EQ(GetUserNotificationTime(h, &got), 1);
    EXPECT_TRUE(same(got, start));

    EXPECT_EQ(GetUserNotificationTime(nullptr, &got), 0);
    EXPECT_EQ(GetUserNotificationTime(h, nullptr), 0);
    ASSERT_TRUE(CeClearUserNotification(h));
    EXPECT_EQ(GetUserNotificationTime(h, &got), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NotifyTest, TimeOfANotificationLargerThanTheFirstBuffer)
{
    // 3000 characters of text need more than the first 8192 bytes.
    std::wstring text(3000, L'가');
    const SYSTEMTIME later = at(2010, 12, 31, 23, 59);
    HANDLE h = AddUserNotification(nullptr, CNT_TIME, app, args, later, later, text.data());
    ASSERT_NE(h, nullptr);
    SYSTEMTIME got;
    ASSERT_EQ(GetUserNotificationTime(h, &got), 1);
    EXPECT_TRUE(same(got, later));
    EXPECT_EQ(DeleteUserNotification(h, L"ZuCalendar.exe"), 1);
    EXPECT_FALSE(readBack(h));
}

TEST_F(NotifyTest, DeleteRemovesOnlyTheNamedApplicationsNotification)
{
    HANDLE calendar = AddUserNotification(nullptr, CNT_TIME, app, args, start, end, nullptr);
    HANDLE task = AddUserNotification1(start, end, nullptr);
    ASSERT_NE(calendar, nullptr);
    ASSERT_NE(task, nullptr);

    EXPECT_EQ(DeleteUserNotification(calendar, L"TASKS"), 1);
    EXPECT_EQ(DeleteUserNotification(calendar, L"zucalendar.exe"), 1);  // names compare exactly
    EXPECT_TRUE(readBack(calendar));

    EXPECT_EQ(DeleteUserNotification(task, L"TASKS"), 1);
    EXPECT_FALSE(readBack(task));
    EXPECT_EQ(DeleteUserNotification(calendar, nullptr), 1);
    EXPECT_FALSE(readBack(calendar));

    // Gone already: counts as deleted. No handle: fails.
    EXPECT_EQ(DeleteUserNotification(calendar, nullptr), 1);
    EXPECT_EQ(DeleteUserNotification(nullptr, nullptr), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NotifyTest, OutOfMemoryIsShownAndFails)
{
    HANDLE h = AddUserNotification1(start, end, nullptr);
    ASSERT_NE(h, nullptr);
    SYSTEMTIME got;
    g_failAllocationOf = 8192;
    EXPECT_EQ(GetUserNotificationTime(h, &got), 0);
    g_failAllocationOf = 8192;
    EXPECT_EQ(DeleteUserNotification(h, nullptr), 0);
    EXPECT_EQ(boxes, (std::vector<CString>{L"Out of memory|ZuTask", L"Out of memory|ZuTask"}));
    EXPECT_TRUE(readBack(h));  // still there
}

} // namespace
