// Appointments saved through the object model's stand-in: the record the calendar reads back,
// the reminder, the category counts, and changes and deletes that keep them true.
#include "calendarfixture.h"
#include "itemloader.h"
#include "notifyutil.h"
#include "poomapplication.h"
#include "testhome.h"
#include "usernotify.h"

#include <gtest/gtest.h>

using namespace calfix;

namespace {

DATE oleDate(int y, int m, int d, int h = 0, int mi = 0)
{
    return COleDateTime(y, m, d, h, mi, 0).m_dt;
}

CCeDBRecord readRecord(CEOID oid)
{
    CCeDBDatabase db;
    CCeDBRecord record;
    EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    EXPECT_TRUE(db.SeekToRecord(oid));
    EXPECT_TRUE(db.ReadCurrRecord(&record));
    return record;
}

// The appointment count (0x4005) of each category index.
std::map<int, long long> appointmentCounts()
{
    std::map<int, long long> counts;
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    CCeDBRecord r;
    db.SeekFirst();
    while (db.ReadCurrRecord(&r))
        counts[static_cast<int>(r.GetIdProp(ZUID_CAT_INDEX)->rawInt())] = r.GetIdProp(ZUID_CAT_APT_COUNT)->rawInt();
    return counts;
}

std::vector<CalendarItem> loadMonth(int y, int m)
{
    LoadRequest request;
    request.viewType = ZU_VIEW_MONTH;
    request.rangeStart = wall(y, m, 1);
    request.rangeEnd = ZuU64ToFileTime(ZuFileTimeToU64(m == 12 ? wall(y + 1, 1, 1) : wall(y, m + 1, 1)) - 1);
    CItemLoader loader;
    LoadResult result;
    std::atomic<bool> abort{false};
    EXPECT_TRUE(loader.Load(request, result, abort));
    return result.items;
}

class Poom : public ::testing::Test {
protected:
    void SetUp() override
    {
        addCategory(L"업무", 1);
        addCategory(L"가족", 4);
        addCategory(L"여행", 9);
        ASSERT_EQ(app.Logon(0), S_OK);
    }

    // A timed appointment with everything set.
    std::unique_ptr<CPoomAppointment> full()
    {
        std::unique_ptr<CPoomAppointment> item;
        EXPECT_EQ(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item), S_OK);
        item->put_Subject(L"팀 회의");
        item->put_Location(L"본사");
        item->put_Categories(L"업무, 가족, 없는분류");
        item->put_Start(oleDate(2026, 12, 10, 9, 30));
        item->put_Duration(90);
        item->put_BusyStatus(ZU_OL_TENTATIVE);
        item->put_Sensitivity(ZU_OL_PRIVATE);
        item->put_ReminderSet(-1);
        item->put_ReminderMinutesBeforeStart(15);
        const BYTE ink[] = {1, 2, 3};
        item->put_BodyInk(CEBLOB{3, const_cast<BYTE*>(ink)});
        CPoomRecipients* recipients = nullptr;
        item->get_Recipients(&recipients);
        CPoomRecipient* r = nullptr;
        recipients->Add(L"김철수", &r);
        r->put_Address(L"kim@example.com");
        recipients->Add(L"이영희", &r);
        r->put_Address(L"lee@example.com");
        return item;
    }

    ZuTestHome home;
    CPoomApplication app;
};

}  // namespace

TEST_F(Poom, SaveWritesTheRecordTheCalendarReads)
{
    auto item = full();
    ASSERT_EQ(item->Save(), S_OK);
    CEOID oid = 0;
    item->get_Oid(&oid);
    ASSERT_NE(oid, 0u);

    const CCeDBRecord r = readRecord(oid);
    EXPECT_EQ(utf8(r.GetIdProp(ZUID_APT_SUBJECT)->GetString()), "팀 회의");
    EXPECT_EQ(dateOf(r.GetIdProp(ZUID_APT_START)->GetFiletime()), "2026-12-10 00:30");  // UTC
    EXPECT_EQ(r.GetIdProp(ZUID_APT_DURATION)->rawInt(), 90);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_TYPE)->rawInt(), ZU_APT_TIMED);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_BUSYSTATUS)->rawInt(), 1);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_PRIVATE)->rawInt(), 1);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_REMINDER_SET)->rawInt(), 1);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_REMINDER_MINUTES)->rawInt(), 15);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_RECURRING)->rawInt(), 0);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_NOTE)->rawBytes(), (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(r.GetIdProp(ZUID_APT_CATEGORIES)->rawBytes(), bitmapOf({1, 4}));
    CCeDBProp attendees = *r.GetIdProp(ZUID_APT_ATTENDEES);
    const CAttendees list(attendees.GetBlob());
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(utf8(list[1].strAddress), "lee@example.com");
    // The reminder rings 15 minutes before the local start.
    SYSTEMTIME ring{};
    ASSERT_TRUE(GetUserNotificationTime(ZuLongToHandle(static_cast<LONG>(r.GetIdProp(ZUID_APT_NOTIFY)->rawInt())), &ring));
    EXPECT_EQ(ring.wHour * 60 + ring.wMinute, 9 * 60 + 15);
    EXPECT_EQ((appointmentCounts()), (std::map<int, long long>{{1, 1}, {4, 1}, {9, 0}}));

    const std::vector<CalendarItem> items = loadMonth(2026, 12);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(utf8(items[0].subject), "팀 회의 (본사)");
    EXPECT_EQ(dateOf(items[0].start), "2026-12-10 09:30");
    EXPECT_EQ(dateOf(items[0].end), "2026-12-10 11:00");
    EXPECT_EQ(items[0].status, 1);
}

TEST_F(Poom, RecurringAndAllDayItemsExpandInTheCalendar)
{
    std::unique_ptr<CPoomAppointment> item;
    ASSERT_EQ(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item), S_OK);
    item->put_Subject(L"주간회의");
    item->put_Start(oleDate(2026, 11, 2, 10));
    item->put_Duration(30);
    CRecurrencePattern* pattern = nullptr;
    ASSERT_EQ(item->GetRecurrencePattern(&pattern), S_OK);
    pattern->put_RecurrenceType(1);
    pattern->put_Interval(1);
    pattern->put_DayOfWeekMask(2 | 8);
    pattern->put_PatternStartDate(wall(2026, 11, 2));
    pattern->put_Occurrences(10);
    ASSERT_EQ(item->Save(), S_OK);

    std::unique_ptr<CPoomAppointment> holiday;
    ASSERT_EQ(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &holiday), S_OK);
    holiday->put_Subject(L"휴가");
    holiday->put_Start(oleDate(2026, 12, 3));
    holiday->put_Duration(2 * 1440);
    holiday->put_AllDayEvent(1);
    ASSERT_EQ(holiday->Save(), S_OK);

    // Mondays and Wednesdays from 2 November: the tenth and last is Wednesday 2 December.
    const std::vector<CalendarItem> items = loadMonth(2026, 12);
    std::vector<std::string> starts;
    for (const CalendarItem& i : items)
        starts.push_back(dateOf(i.start) + " " + utf8(i.subject));
    EXPECT_EQ(starts, (std::vector<std::string>{"2026-12-02 10:00 주간회의", "2026-12-03 00:00 휴가"}));
    EXPECT_EQ(utf8(items[1].timeText), "12/3 - 12/4 [ 종일일정 ]");
}

TEST_F(Poom, ChangesAndDeletesKeepCountsAndRemindersTrue)
{
    auto item = full();
    ASSERT_EQ(item->Save(), S_OK);
    CEOID oid = 0;
    item->get_Oid(&oid);
    // A memorial mark written beside the object model survives a later save.
    {
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBProp mark(short(1), ZUID_APT_MEMORIAL);
        CEPROPVAL value = mark.AsPropVal();
        ASSERT_NE(db.WriteProps(oid, &value, 1), 0u);
    }
    const LONG firstReminder = static_cast<LONG>(readRecord(oid).GetIdProp(ZUID_APT_NOTIFY)->rawInt());

    std::unique_ptr<CPoomAppointment> changed;
    ASSERT_EQ(app.GetItemFromOid(oid, &changed), S_OK);
    CString categories;
    changed->get_Categories(&categories);
    EXPECT_EQ(utf8(categories), "업무, 가족");
    changed->put_Categories(L"가족, 여행");
    changed->put_ReminderSet(0);
    CPoomRecipients* recipients = nullptr;
    changed->get_Recipients(&recipients);
    long count = 0;
    recipients->get_Count(&count);
    EXPECT_EQ(count, 2);
    while (count > 0)
        recipients->Remove(count--);
    ASSERT_EQ(changed->Save(), S_OK);

    const CCeDBRecord r = readRecord(oid);
    EXPECT_EQ((appointmentCounts()), (std::map<int, long long>{{1, 0}, {4, 1}, {9, 1}}));
    EXPECT_EQ(r.GetIdProp(ZUID_APT_NOTIFY)->rawInt(), 0);
    SYSTEMTIME ring{};
    EXPECT_FALSE(GetUserNotificationTime(ZuLongToHandle(firstReminder), &ring));
    EXPECT_EQ(r.GetIdProp(ZUID_APT_ATTENDEES), nullptr);
    ASSERT_NE(r.GetIdProp(ZUID_APT_MEMORIAL), nullptr);
    EXPECT_EQ(r.GetIdProp(ZUID_APT_MEMORIAL)->rawInt(), 1);

    ASSERT_EQ(changed->Delete(), S_OK);
    EXPECT_EQ((appointmentCounts()), (std::map<int, long long>{{1, 0}, {4, 0}, {9, 0}}));
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    EXPECT_EQ(db.GetRecordCount(), 0u);
    EXPECT_EQ(changed->Delete(), E_FAIL);
}

TEST_F(Poom, AFailedSaveWritesNothingAndReportsIt)
{
    auto item = full();
    CRecurrencePattern* pattern = nullptr;
    item->GetRecurrencePattern(&pattern);
    pattern->put_RecurrenceType(0);
    pattern->put_Interval(1);
    pattern->put_PatternStartDate(wall(2026, 12, 10));
    pattern->put_PatternEndDate(wall(2026, 12, 1));  // ends before it starts: cannot be stored
    EXPECT_EQ(item->Save(), E_FAIL);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    EXPECT_EQ(db.GetRecordCount(), 0u);
    EXPECT_EQ((appointmentCounts()), (std::map<int, long long>{{1, 0}, {4, 0}, {9, 0}}));
    EXPECT_EQ(item->put_Start(-1e12), E_FAIL);
    EXPECT_EQ(item->put_Duration(-5), E_FAIL);

    std::unique_ptr<CPoomAppointment> missing;
    EXPECT_EQ(app.GetItemFromOid(12345, &missing), E_FAIL);
    CPoomApplication loggedOff;
    EXPECT_EQ(loggedOff.CreateItem(ZU_OL_APPOINTMENT_ITEM, &missing), E_FAIL);
}

// The skipped dates belong to the pattern: the calendar passes them by, a save that changes the
// pattern keeps only those it still has, and any other save keeps them all.
TEST_F(Poom, SkippedDatesFollowThePattern)
{
    const auto day = [](int d) { return ZuFileTimeToU64(wall(2026, 12, d)); };
    std::unique_ptr<CPoomAppointment> item;
    ASSERT_EQ(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item), S_OK);
    item->put_Subject(L"매일");
    item->put_Start(oleDate(2026, 12, 1, 9));
    item->put_Duration(30);
    CRecurrencePattern* pattern = nullptr;
    ASSERT_EQ(item->GetRecurrencePattern(&pattern), S_OK);
    pattern->put_RecurrenceType(0);
    pattern->put_Interval(1);
    pattern->put_PatternStartDate(wall(2026, 12, 1));
    pattern->put_Occurrences(10);
    item->put_SkippedDates({day(3), day(8), day(20)});  // the 20th is no occurrence
    ASSERT_EQ(item->Save(), S_OK);
    CEOID oid = 0;
    item->get_Oid(&oid);
    EXPECT_EQ(ZuSkippedDatesFromBytes(readRecord(oid).GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()),
        (ZuSkippedDates{day(3), day(8)}));
    const auto shownDays = [] {
        std::vector<int> days;
        for (const CalendarItem& i : loadMonth(2026, 12))
            days.push_back(std::stoi(dateOf(i.start).substr(8, 2)));
        return days;
    };
    EXPECT_EQ(shownDays(), (std::vector<int>{1, 2, 4, 5, 6, 7, 9, 10}));

    // Another subject and another time of day: the dates stay.
    std::unique_ptr<CPoomAppointment> loaded;
    ASSERT_EQ(app.GetItemFromOid(oid, &loaded), S_OK);
    loaded->put_Subject(L"매일 (변경)");
    loaded->put_Start(oleDate(2026, 12, 1, 11));
    ASSERT_EQ(loaded->Save(), S_OK);
    EXPECT_EQ(ZuSkippedDatesFromBytes(readRecord(oid).GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()),
        (ZuSkippedDates{day(3), day(8)}));

    // Every other day from the 2nd: the 8th is still an occurrence, the 3rd no longer.
    ASSERT_EQ(app.GetItemFromOid(oid, &loaded), S_OK);
    ASSERT_EQ(loaded->GetRecurrencePattern(&pattern), S_OK);
    pattern->put_Interval(2);
    pattern->put_PatternStartDate(wall(2026, 12, 2));
    ASSERT_EQ(loaded->Save(), S_OK);
    EXPECT_EQ(ZuSkippedDatesFromBytes(readRecord(oid).GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes()),
        (ZuSkippedDates{day(8)}));

    // No longer recurring: the dates go with the pattern.
    ASSERT_EQ(app.GetItemFromOid(oid, &loaded), S_OK);
    loaded->ClearRecurrencePattern();
    ASSERT_EQ(loaded->Save(), S_OK);
    EXPECT_EQ(readRecord(oid).GetIdProp(ZUID_APT_SKIPPED_DATES), nullptr);
}
