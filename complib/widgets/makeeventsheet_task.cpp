// makeeventsheet_task.cpp - the task half of CMakeEventSheet: SaveTaskEvent.
//
// The task record is written straight into "Tasks Database". Its reminder is one notification
// (at the reminder date and time, ten minutes long) whose handle the record keeps in 0x0002; the
// record stores the reminder as a lead in minutes before its reference date (0x0003: 0 the start,
// 1 the due date): a reminder on or before the start counts from the start, a later one from the
// due date (a reminder after the due date gives a negative lead).
//
// Completing an occurrence of a task that still recurs splits it: the completed occurrence is
// written as a new, non-recurring record without a reminder, and the series moves on to its next
// occurrence (its dates, its reminder and, for a series that ends after a count, one taken from
// the count) and stays open with no progress. Completing the last occurrence completes the task
// and ends the series, without a copy.
//
// Everything a save writes - the reminder, the copy, the record and the category counts - lands
// in one store batch, or none of it.
#include "makeeventsheet.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "recurrencepattern.h"
#include "stringtable.h"
#include "tasksummary.h"
#include "usernotify.h"

#include <algorithm>
#include <vector>

namespace {

const wchar_t* const kNotSaved = L"할일을 저장하지 못했습니다.";
constexpr ULONGLONG kTicksPerMinute = 600000000ULL;
constexpr ULONGLONG kTicksPerDay = kTicksPerMinute * 1440;

bool hasAnyBit(const BYTE* bytes, size_t count)
{
    for (size_t i = 0; bytes && i < count; ++i)
        if (bytes[i])
            return true;
    return false;
}

// A bitmap without its trailing zero bytes: two bitmaps with the same bits compare equal.
std::vector<BYTE> trimmed(std::vector<BYTE> bytes)
{
    while (!bytes.empty() && bytes.back() == 0)
        bytes.pop_back();
    return bytes;
}

std::vector<BYTE> bytesOf(const CEBLOB& blob)
{
    return blob.lpb && blob.dwCount ? std::vector<BYTE>(blob.lpb, blob.lpb + blob.dwCount) : std::vector<BYTE>();
}

bool hasDate(const COleDateTime& d) { return d.GetStatus() == COleDateTime::valid; }

// A task date as stored: its day at 00:00, wall clock, or "no date".
FILETIME storedDay(const COleDateTime& d)
{
    FILETIME ft = ZuNoDate();
    if (hasDate(d))
        COleDateTime(d.GetYear(), d.GetMonth(), d.GetDay(), 0, 0, 0).GetAsFileTime(ft);
    return ft;
}

ULONGLONG ticks(const FILETIME& ft) { return ZuFileTimeToU64(ft); }
FILETIME fromTicks(ULONGLONG t) { return ZuU64ToFileTime(t); }

// The property list of a record, with the identifiers a write removes.
class Props {
public:
    void set(const CCeDBProp& prop)
    {
        for (CCeDBProp& p : m_props)
            if (p.GetPropId() == prop.GetPropId()) {
                p = prop;
                return;
            }
        m_props.push_back(prop);
        drop(m_removed, prop.GetPropId());
    }
    void remove(CEPROPID id)
    {
        std::erase_if(m_props, [id](const CCeDBProp& p) { return p.GetPropId() == id; });
        if (std::find(m_removed.begin(), m_removed.end(), id) == m_removed.end())
            m_removed.push_back(id);
    }
    // Writes into `oid` (0: a new record, which has nothing to remove). The id, 0 on failure.
    CEOID write(CCeDBDatabase& db, CEOID oid)
    {
        std::vector<CEPROPVAL> values;
        for (CCeDBProp& p : m_props) {
            CEPROPVAL v = p.AsPropVal();
            v.wFlags = 0;
            values.push_back(v);
        }
        if (oid) {
            for (CEPROPID id : m_removed) {
                CEPROPVAL gone{};
                gone.propid = id;
                gone.wFlags = CEDB_PROPDELETE;
                values.push_back(gone);
            }
        }
        return db.WriteProps(oid, values.data(), static_cast<WORD>(values.size()));
    }

private:
    static void drop(std::vector<CEPROPID>& ids, CEPROPID id) { std::erase(ids, id); }
    std::vector<CCeDBProp> m_props;
    std::vector<CEPROPID> m_removed;
};

}  // namespace

int CMakeEventSheet::SaveTaskEvent(CEOID& oid, CTaskSummary& summary, _CEBLOB& note, _CEBLOB& category)
{
    ZuStoreBatch batch;
    auto fail = [this] {
        MessageBox(this, kNotSaved, L"할일", MB_OK | MB_ICONERROR);
        return 0;
    };

    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_TASKS))
        return fail();
    CCeDBRecord stored;
    // A task that cannot be found or read any more is written as a new one.
    const bool read = oid && db.SeekToRecord(oid) && db.ReadCurrRecord(&stored);
    const std::vector<BYTE> storedCategories = read ? ZuRecordBytes(stored, ZUID_TASK_CATEGORIES) : std::vector<BYTE>();
    const bool storedNote = read && stored.GetIdProp(ZUID_TASK_NOTE);

    // The counts need the categories: when they cannot be read, nothing is saved (the page could
    // not show them either, so saving would clear them).
    const bool passedCategories = hasAnyBit(category.lpb, category.dwCount);
    if (passedCategories || hasAnyBit(storedCategories.data(), storedCategories.size())) {
        CCeDBDatabase categories;
        if (!GetDatabasePtr(&categories, ZU_SEL_CATEGORIES))
            return fail();
    }

    CString subject = summary.m_strSubject;
    if (subject.IsEmpty())
        subject = ZuLoadString(ZuStr::NoSubject, ZuModule::CompLib);
    const bool completed = summary.m_bCompleted;
    COleDateTime start = summary.m_dtStart, due = summary.m_dtDue, alarm = summary.m_dtAlarmDate;

    // The recurrence the task keeps.
    std::unique_ptr<CRecurrencePattern> pattern;
    if (summary.m_nOccurs > 0 && summary.GetRecurPatternPtr() && summary.GetRecurPatternPtr()->IsValid())
        pattern = std::make_unique<CRecurrencePattern>(*summary.GetRecurPatternPtr());
    const short storedComplete = [&]() -> short {
        const CCeDBProp* p = read ? stored.GetFullIdProp(ZUPID_TASK_COMPLETE) : nullptr;
        return p ? p->GetShort() : 0;
    }();
    const bool wasRecurring = read && ZuRecordInt(stored, ZUID_TASK_RECURRING) != 0;

    // Completing an occurrence: split it off while the series has a next one, else end it.
    bool split = false;
    bool reopened = false;
    if (completed && pattern && wasRecurring) {
        FILETIME first{}, next{};
        if (pattern->SeekFirstRecurTime(&first) && pattern->SeekNextRecurTime(&next)) {
            split = true;
            reopened = true;
        } else {
            pattern.reset();  // the last occurrence: the task is done
        }
        if (split) {
            const UINT endType = pattern->GetEndDateType();
            long count = 0;
            pattern->get_Occurrences(&count);
            if (!pattern->put_PatternStartDate(next))
                return fail();
            if (endType == 2 && (count <= 1 || !pattern->put_Occurrences(count - 1)))
                return fail();
            // The series moves by the step from this occurrence to the next: its dates and its
            // reminder alike.
            const ULONGLONG shift = ticks(next) - ticks(first);
            const COleDateTime nextDay(next);
            if (hasDate(start)) {
                const COleDateTimeSpan span = hasDate(due) ? due - start : COleDateTimeSpan();
                start = COleDateTime(nextDay.GetYear(), nextDay.GetMonth(), nextDay.GetDay(), 0, 0, 0);
                due = start + span;
            } else {
                due = COleDateTime(nextDay.GetYear(), nextDay.GetMonth(), nextDay.GetDay(), 0, 0, 0);
            }
            if (hasDate(alarm)) {
                FILETIME ft{};
                alarm.GetAsFileTime(ft);
                alarm = COleDateTime(fromTicks(ticks(ft) + shift / kTicksPerDay * kTicksPerDay));
            }
        }
    }
    CEBLOB patternBlob{};
    const bool recurs = pattern && pattern->GetRecurPattern(&patternBlob);
    const std::vector<BYTE> patternBytes = bytesOf(patternBlob);
    if (patternBlob.lpb)
        LocalFree(patternBlob.lpb);
    if (pattern && !recurs)
        return fail();

    // The category bitmap: one with the stored bits keeps the stored bytes.
    std::vector<BYTE> categoryBytes = bytesOf(category);
    if (read && trimmed(categoryBytes) == trimmed(storedCategories) && !storedCategories.empty())
        categoryBytes = storedCategories;
    const CEBLOB categoryBlob = ZuBlobOf(categoryBytes);

    Props props;
    props.set(CCeDBProp(short(completed && !reopened ? 1 : 0), ZUID_TASK_COMPLETE));
    if (!completed || reopened) {
        int percent = summary.m_nProgress * 10;
        if (summary.m_nStoredPercent >= 0 && summary.m_nStoredPercent / 10 == summary.m_nProgress)
            percent = summary.m_nStoredPercent;
        props.set(CCeDBProp(short(reopened ? 0 : percent), ZUID_TASK_PROGRESS));
    } else {
        props.remove(ZUPID_TASK_PROGRESS);  // a complete task carries its date in its place
    }
    FILETIME completedAt{};
    const bool stampCompletion = completed && storedComplete != 1;
    if (stampCompletion) {
        completedAt = ZuUtcNow();
        if (!reopened)
            props.set(CCeDBProp(completedAt, ZUID_TASK_COMPLETED_DATE));
    }
    if (!completed || reopened)
        props.remove(ZUPID_TASK_COMPLETED_DATE);
    const std::wstring subjectText = subject.str();
    props.set(CCeDBProp(subjectText.c_str(), ZUID_TASK_SUBJECT));
    props.set(CCeDBProp(storedDay(start), ZUID_TASK_START));
    props.set(CCeDBProp(storedDay(due), ZUID_TASK_DUE));
    props.set(CCeDBProp(LONG(std::clamp(summary.m_nImportance, 0, 2) + 1), ZUID_TASK_IMPORTANCE));
    props.set(CCeDBProp(short(summary.m_bPrivate ? 1 : 0), ZUID_TASK_PRIVATE));
    // Clearing every category removes the bitmap, so that it sticks.
    const bool keepsStored = read && !categoryBytes.empty() && categoryBytes == storedCategories;
    if (hasAnyBit(categoryBytes.data(), categoryBytes.size()) || keepsStored)
        props.set(CCeDBProp(categoryBlob, ZUID_TASK_CATEGORIES));
    else
        props.remove(ZUPID_TASK_CATEGORIES);
    // An emptied note clears the stored one.
    if (note.dwCount || storedNote)
        props.set(CCeDBProp(note.dwCount ? note : CEBLOB{0, nullptr}, ZUID_TASK_NOTE));
    props.set(CCeDBProp(short(0), ZUID_TASK_RESERVED));

    // The reminder: registered first so that its handle goes into the record; the batch takes
    // it back should anything after it fail.
    HANDLE previous = summary.GetUserNotificationHandle();
    HANDLE reminder = nullptr;
    short reference = 0;
    LONG lead = 0;
    const bool hasAlarm = hasDate(alarm) && (hasDate(start) || hasDate(due));
    if (hasAlarm) {
        const COleDateTime alarmDay(alarm.GetYear(), alarm.GetMonth(), alarm.GetDay(), 0, 0, 0);
        const bool fromStart = hasDate(start) && (alarmDay <= start || !hasDate(due));
        reference = fromStart ? 0 : 1;
        FILETIME refFt = storedDay(fromStart ? start : due), alarmFt{};
        alarmDay.GetAsFileTime(alarmFt);
        lead = static_cast<LONG>((static_cast<long long>(ticks(refFt)) - static_cast<long long>(ticks(alarmFt)))
            / static_cast<long long>(kTicksPerMinute));
        SYSTEMTIME ring{}, ends{};
        COleDateTime(alarm.GetYear(), alarm.GetMonth(), alarm.GetDay(), summary.m_dtAlarmTime.GetHour(),
            summary.m_dtAlarmTime.GetMinute(), 0)
            .GetAsSystemTime(ring);
        FILETIME ringFt{};
        SystemTimeToFileTime(&ring, &ringFt);
        const FILETIME endFt = fromTicks(ticks(ringFt) + 10 * kTicksPerMinute);
        FileTimeToSystemTime(&endFt, &ends);
        CString text = subject;
        if (hasDate(start)) {
            CString line;
            line.Format(L"\r\nStarts: %d-%d-%d", start.GetYear(), start.GetMonth(), start.GetDay());
            text += line;
        }
        if (hasDate(due)) {
            CString line;
            line.Format(L"\r\nEnd: %d-%d-%d", due.GetYear(), due.GetMonth(), due.GetDay());
            text += line;
        }
        std::wstring buffer = text.str();
        if (previous)
            reminder = AddUserNotification(previous, CNT_TIME, nullptr, nullptr, ring, ends, buffer.data());
        if (!reminder)  // none before, or it is gone: a new one
            reminder = AddUserNotification(nullptr, CNT_TIME, nullptr, nullptr, ring, ends, buffer.data());
        if (!reminder)
            return fail();
    } else if (previous) {
        DeleteUserNotification(previous, nullptr);
    }
    props.set(CCeDBProp(short(hasAlarm ? 1 : 0), ZUID_TASK_REMINDER_SET));
    props.set(CCeDBProp(ZuHandleToLong(reminder), ZUID_TASK_NOTIFY));
    props.set(CCeDBProp(reference, ZUID_TASK_REMINDER_FLAG));
    props.set(CCeDBProp(lead, ZUID_TASK_REMINDER_MINUTES));
    props.set(CCeDBProp(ZU_TASK_REMINDER_SOUND, ZUID_TASK_REMINDER_SOUND));
    props.set(CCeDBProp(ZU_TASK_REMINDER_OPTIONS, ZUID_TASK_REMINDER_OPTIONS));
    if (recurs)
        props.set(CCeDBProp(ZuBlobOf(patternBytes), ZUID_TASK_RECURRENCE));
    else
        props.remove(ZUPID_TASK_RECURRENCE);
    props.set(CCeDBProp(short(recurs ? 1 : 0), ZUID_TASK_RECURRING));

    auto addRefs = [&] { return !passedCategories || AddCategoryRefByBlob(&categoryBlob, ZUID_CAT_TASK_COUNT); };

    if (split) {
        // The completed occurrence: the task as it was completed, on its own, without reminder.
        Props copy = props;
        copy.set(CCeDBProp(short(1), ZUID_TASK_COMPLETE));
        copy.remove(ZUPID_TASK_PROGRESS);
        if (stampCompletion)
            copy.set(CCeDBProp(completedAt, ZUID_TASK_COMPLETED_DATE));
        copy.set(CCeDBProp(storedDay(summary.m_dtStart), ZUID_TASK_START));
        copy.set(CCeDBProp(storedDay(summary.m_dtDue), ZUID_TASK_DUE));
        copy.set(CCeDBProp(short(0), ZUID_TASK_REMINDER_SET));
        copy.set(CCeDBProp(LONG(0), ZUID_TASK_NOTIFY));
        copy.set(CCeDBProp(short(0), ZUID_TASK_REMINDER_FLAG));
        copy.set(CCeDBProp(LONG(0), ZUID_TASK_REMINDER_MINUTES));
        copy.remove(ZUPID_TASK_RECURRENCE);
        copy.set(CCeDBProp(short(0), ZUID_TASK_RECURRING));
        if (!note.dwCount)
            copy.remove(ZUPID_TASK_NOTE);
        if (!copy.write(db, 0) || !addRefs())
            return fail();
    }

    const CEOID written = props.write(db, read ? oid : 0);
    if (!written)
        return fail();
    if (read && !storedCategories.empty() && hasAnyBit(storedCategories.data(), storedCategories.size())) {
        const CEBLOB old = ZuBlobOf(storedCategories);
        if (!ReleaseCategoryRefByBlob(&old, ZUID_CAT_TASK_COUNT))
            return fail();
    }
    if (!addRefs())
        return fail();
    if (batch.ok() && !batch.Commit())
        return fail();
    oid = written;
    return 1;
}
