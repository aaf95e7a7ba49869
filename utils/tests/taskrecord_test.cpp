// The record of a new task: its property list in the task editor's order, for an open task with
// nothing optional and for a complete one with categories and a recurrence.
#include "taskrecord.h"

#include "filetime.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CEPROPID> idsOf(const CCeDBRecord& record)
{
    std::vector<CEPROPID> ids;
    for (const CCeDBProp& prop : record.props())
        ids.push_back(prop.GetPropId());
    return ids;
}

TEST(TaskRecord, OpenTaskHasItsProgressAndNoOptionalProperties)
{
    ZuTask task;
    task.subject = L"보고서";
    task.percent = 40;
    task.importance = 1;
    const CCeDBRecord record = ZuTaskRecord(task);
    const std::vector<CEPROPID> expected = {ZUPID_TASK_COMPLETE, ZUPID_TASK_PROGRESS, ZUPID_TASK_SUBJECT,
        ZUPID_TASK_START, ZUPID_TASK_DUE, ZUPID_TASK_IMPORTANCE, ZUPID_TASK_PRIVATE, ZUPID_TASK_RESERVED,
        ZUPID_TASK_REMINDER_SET, ZUPID_TASK_NOTIFY, ZUPID_TASK_REMINDER_FLAG, ZUPID_TASK_REMINDER_MINUTES,
        ZUPID_TASK_REMINDER_SOUND, ZUPID_TASK_REMINDER_OPTIONS, ZUPID_TASK_RECURRING};
    EXPECT_EQ(idsOf(record), expected);
    EXPECT_EQ(record.GetFullIdProp(ZUPID_TASK_COMPLETE)->GetShort(), 0);
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_PROGRESS)->GetShort(), 40);
    EXPECT_TRUE(ZuIsNoDate(record.GetIdProp(ZUID_TASK_START)->GetFiletime()));
    EXPECT_TRUE(ZuIsNoDate(record.GetIdProp(ZUID_TASK_DUE)->GetFiletime()));
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_IMPORTANCE)->GetLong(), 1);
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_REMINDER_OPTIONS)->GetLong(), ZU_TASK_REMINDER_OPTIONS);
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_RECURRING)->GetShort(), 0);
}

TEST(TaskRecord, CompleteTaskHasItsDateAndCategoriesAndRecurrenceWhenGiven)
{
    ZuTask task;
    task.subject = L"주간 보고";
    task.complete = true;
    task.percent = 40;  // not written once complete
    task.completed = ZuU64ToFileTime(0x01DB000000000000ull);
    task.isPrivate = true;
    task.categories = {0x05};
    task.recurrence = {1, 2, 3, 4};
    CCeDBRecord record = ZuTaskRecord(task);
    const std::vector<CEPROPID> expected = {ZUPID_TASK_COMPLETE, ZUPID_TASK_COMPLETED_DATE, ZUPID_TASK_SUBJECT,
        ZUPID_TASK_START, ZUPID_TASK_DUE, ZUPID_TASK_IMPORTANCE, ZUPID_TASK_PRIVATE, ZUPID_TASK_CATEGORIES,
        ZUPID_TASK_RESERVED, ZUPID_TASK_REMINDER_SET, ZUPID_TASK_NOTIFY, ZUPID_TASK_REMINDER_FLAG,
        ZUPID_TASK_REMINDER_MINUTES, ZUPID_TASK_REMINDER_SOUND, ZUPID_TASK_REMINDER_OPTIONS, ZUPID_TASK_RECURRENCE,
        ZUPID_TASK_RECURRING};
    EXPECT_EQ(idsOf(record), expected);
    EXPECT_EQ(record.GetFullIdProp(ZUPID_TASK_COMPLETE)->GetShort(), 1);
    EXPECT_EQ(ZuFileTimeToU64(record.GetFullIdProp(ZUPID_TASK_COMPLETED_DATE)->GetFiletime()), 0x01DB000000000000ull);
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_PRIVATE)->GetShort(), 1);
    const CEBLOB pattern = record.GetIdProp(ZUID_TASK_RECURRENCE)->GetBlob();
    EXPECT_EQ(std::vector<BYTE>(pattern.lpb, pattern.lpb + pattern.dwCount), task.recurrence);
    EXPECT_EQ(record.GetIdProp(ZUID_TASK_RECURRING)->GetShort(), 1);
}

}  // namespace
