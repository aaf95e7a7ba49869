// calendarfixture.h - records for the calendar's tests, written into the test's fresh store.
#pragma once

#include "cedbdatabase.h"
#include "filetime.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"
#include "testtime.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace calfix {

// A wall-clock time as a FILETIME (no zone conversion).
using zutest::wall;

// "yyyy-mm-dd hh:mm" of a FILETIME, as the tests compare them.
inline std::string dateOf(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return text;
}

inline std::string utf8(const CString& s)
{
    return QString::fromStdWString(s.str()).toStdString();
}

inline FILETIME utcOf(const FILETIME& local)
{
    FILETIME utc{};
    EXPECT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    return utc;
}

inline std::vector<BYTE> bitmapOf(const std::vector<int>& indexes)
{
    std::vector<BYTE> bitmap;
    for (int i : indexes)
        ZuBitmapSet(bitmap, i);
    return bitmap;
}

inline CEOID write(int selector, CCeDBRecord& record)
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, selector));
    const CEOID oid = db.WriteRecord(record, 0);
    EXPECT_NE(oid, 0u);
    return oid;
}

inline void addBlob(CCeDBRecord& record, WORD ident, const std::vector<BYTE>& bytes)
{
    CEBLOB blob;
    blob.dwCount = static_cast<DWORD>(bytes.size());
    blob.lpb = const_cast<BYTE*>(bytes.data());
    const CCeDBProp prop(blob, ident);
    record.AddProp(&prop);
}

inline std::vector<BYTE> blobOf(CRecurrencePattern& pattern)
{
    CEBLOB blob;
    EXPECT_TRUE(pattern.GetRecurPattern(&blob));
    std::vector<BYTE> bytes(blob.lpb, blob.lpb + blob.dwCount);
    LocalFree(blob.lpb);
    return bytes;
}

struct Appointment {
    const wchar_t* subject = L"회의";
    const wchar_t* location = nullptr;
    FILETIME start{};  // local wall clock (for a lunar one: the lunar date and the time)
    long minutes = 60;
    bool allDay = false;
    bool memorial = false;
    bool lunar = false;
    bool isPrivate = false;
    int busy = 2;
    std::vector<int> categories;
    std::optional<std::vector<BYTE>> recurrence;
};

inline CEOID add(const Appointment& a)
{
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(a.subject, ZUID_APT_SUBJECT),
        CCeDBProp(utcOf(a.start), ZUID_APT_START),
        CCeDBProp(LONG(a.minutes), ZUID_APT_DURATION),
        CCeDBProp(LONG(a.allDay ? ZU_APT_ALLDAY : ZU_APT_TIMED), ZUID_APT_TYPE),
        CCeDBProp(short(a.busy), ZUID_APT_BUSYSTATUS),
        CCeDBProp(short(a.isPrivate ? 1 : 0), ZUID_APT_PRIVATE),
        CCeDBProp(short(a.memorial ? 1 : 0), ZUID_APT_MEMORIAL),
        CCeDBProp(short(a.lunar ? 1 : 0), ZUID_APT_LUNAR),
        CCeDBProp(short(a.recurrence ? 1 : 0), ZUID_APT_RECURRING),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    if (a.location) {
        const CCeDBProp location(a.location, ZUID_APT_LOCATION);
        r.AddProp(&location);
    }
    if (!a.categories.empty())
        addBlob(r, ZUID_APT_CATEGORIES, bitmapOf(a.categories));
    if (a.recurrence)
        addBlob(r, ZUID_APT_RECURRENCE, *a.recurrence);
    return write(ZU_SEL_APPOINTMENTS, r);
}

struct Contact {
    const wchar_t* name = L"홍길동";
    std::optional<FILETIME> birthday;  // local date
    bool birthdayLunar = false;
    std::optional<FILETIME> anniversary;
    bool anniversaryLunar = false;
    std::vector<int> categories;
};

inline CEOID add(const Contact& c)
{
    CCeDBRecord r;
    const CCeDBProp name(c.name, ZUID_CON_FILE_AS);
    r.AddProp(&name);
    if (c.birthday) {
        const CCeDBProp date(utcOf(*c.birthday), ZUID_CON_BIRTHDAY);
        const CCeDBProp lunar(short(c.birthdayLunar ? 1 : 0), ZUID_CON_BIRTHDAY_LUNAR);
        r.AddProp(&date);
        r.AddProp(&lunar);
    }
    if (c.anniversary) {
        const CCeDBProp date(utcOf(*c.anniversary), ZUID_CON_ANNIVERSARY);
        const CCeDBProp lunar(short(c.anniversaryLunar ? 1 : 0), ZUID_CON_ANNIVERSARY_LUNAR);
        r.AddProp(&date);
        r.AddProp(&lunar);
    }
    if (!c.categories.empty())
        addBlob(r, ZUID_CON_CATEGORIES, bitmapOf(c.categories));
    return write(ZU_SEL_CONTACTS, r);
}

struct Task {
    const wchar_t* subject = L"보고서";
    std::optional<FILETIME> start;  // wall clock; none = no date
    std::optional<FILETIME> due;
    int importance = 1;
    int progress = 0;
    bool isPrivate = false;
    std::vector<int> categories;
    std::optional<std::vector<BYTE>> recurrence;
};

inline CEOID add(const Task& t)
{
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(t.subject, ZUID_TASK_SUBJECT),
        CCeDBProp(t.start ? *t.start : ZuNoDate(), ZUID_TASK_START),
        CCeDBProp(t.due ? *t.due : ZuNoDate(), ZUID_TASK_DUE),
        CCeDBProp(LONG(t.importance), ZUID_TASK_IMPORTANCE),
        CCeDBProp(short(t.progress), ZUID_TASK_PROGRESS),
        CCeDBProp(short(t.isPrivate ? 1 : 0), ZUID_TASK_PRIVATE),
        CCeDBProp(short(t.recurrence ? 1 : 0), ZUID_TASK_RECURRING),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    if (!t.categories.empty())
        addBlob(r, ZUID_TASK_CATEGORIES, bitmapOf(t.categories));
    if (t.recurrence)
        addBlob(r, ZUID_TASK_RECURRENCE, *t.recurrence);
    return write(ZU_SEL_TASKS, r);
}

inline CEOID addCategory(const wchar_t* name, int index)
{
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(name, ZUID_CAT_NAME),
        CCeDBProp(short(index), ZUID_CAT_INDEX),
        CCeDBProp(short(1), ZUID_CAT_IN_USE),
        CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT),
        CCeDBProp(short(0), ZUID_CAT_APT_COUNT),
        CCeDBProp(short(0), ZUID_CAT_TASK_COUNT),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    return write(ZU_SEL_CATEGORIES, r);
}

// A recurrence BLOB: `type` with its fields, starting on the wall-clock date `start`, with an
// appointment's start time and duration (minutes); no end unless `occurrences` is given.
struct Pattern {
    long type = 0;
    long interval = 1;
    long mask = 0;
    long dayOfMonth = 0;
    long instance = 0;
    long monthOfYear = 0;
    FILETIME start{};
    long startTime = 540;
    long duration = 60;
    long occurrences = 0;
    UINT kind = 1;
};

inline std::vector<BYTE> blob(const Pattern& p)
{
    CRecurrencePattern pattern(p.kind);
    EXPECT_TRUE(pattern.put_RecurrenceType(p.type));
    EXPECT_TRUE(pattern.put_PatternStartDate(p.start));
    if (p.mask) {
        EXPECT_TRUE(pattern.put_DayOfWeekMask(p.mask));
    }
    EXPECT_TRUE(pattern.put_Interval(p.interval));
    if (p.dayOfMonth) {
        EXPECT_TRUE(pattern.put_DayOfMonth(p.dayOfMonth));
    }
    if (p.instance) {
        EXPECT_TRUE(pattern.put_Instance(p.instance));
    }
    if (p.monthOfYear) {
        EXPECT_TRUE(pattern.put_MonthOfYear(p.monthOfYear));
    }
    if (p.kind == 1) {
        pattern.put_StartTime(p.startTime);
        EXPECT_TRUE(pattern.put_Duration(p.duration));
    }
    if (p.occurrences) {
        EXPECT_TRUE(pattern.put_Occurrences(p.occurrences));
    } else {
        EXPECT_TRUE(pattern.put_NoEndDate(1));
    }
    return blobOf(pattern);
}

}  // namespace calfix
