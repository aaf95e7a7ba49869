#include "taskrecord.h"

#include "pimstore.h"

CCeDBRecord ZuTaskRecord(const ZuTask& task)
{
    CCeDBRecord record;
    const auto add = [&record](const CCeDBProp& prop) { record.AddProp(&prop); };
    add(CCeDBProp(short(task.complete ? 1 : 0), ZUID_TASK_COMPLETE));
    if (!task.complete)
        add(CCeDBProp(task.percent, ZUID_TASK_PROGRESS));
    else
        add(CCeDBProp(task.completed, ZUID_TASK_COMPLETED_DATE));
    add(CCeDBProp(task.subject.c_str(), ZUID_TASK_SUBJECT));
    add(CCeDBProp(task.start, ZUID_TASK_START));
    add(CCeDBProp(task.due, ZUID_TASK_DUE));
    add(CCeDBProp(task.importance, ZUID_TASK_IMPORTANCE));
    add(CCeDBProp(short(task.isPrivate ? 1 : 0), ZUID_TASK_PRIVATE));
    if (!task.categories.empty())
        add(CCeDBProp(ZuBlobOf(task.categories), ZUID_TASK_CATEGORIES));
    add(CCeDBProp(short(0), ZUID_TASK_RESERVED));
    add(CCeDBProp(short(0), ZUID_TASK_REMINDER_SET));
    add(CCeDBProp(LONG(0), ZUID_TASK_NOTIFY));
    add(CCeDBProp(short(0), ZUID_TASK_REMINDER_FLAG));
    add(CCeDBProp(LONG(0), ZUID_TASK_REMINDER_MINUTES));
    add(CCeDBProp(ZU_TASK_REMINDER_SOUND, ZUID_TASK_REMINDER_SOUND));
    add(CCeDBProp(ZU_TASK_REMINDER_OPTIONS, ZUID_TASK_REMINDER_OPTIONS));
    if (!task.recurrence.empty())
        add(CCeDBProp(ZuBlobOf(task.recurrence), ZUID_TASK_RECURRENCE));
    add(CCeDBProp(short(task.recurrence.empty() ? 0 : 1), ZUID_TASK_RECURRING));
    return record;
}
