// benchstore.h - the benchmarks' full store: 10,000 single appointments over five years (some
// all-day, lunar or private), 500 recurring appointments of every kind, 2,000 contacts with
// birthdays (a tenth lunar) and anniversaries, and 1,000 tasks (some recurring, some without
// dates), written with a fixed seed.
//
// It is built once per process in a temporary data folder (a few seconds), or in
// $ZUPIMS_BENCH_STORE when that names a folder, which is then kept and used again; ZUPIMS_HOME
// points at it from then on.
#pragma once

#include "cedbdatabase.h"
#include "filetime.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"
#include "testtime.h"

#include <QTemporaryDir>

#include <cstdlib>
#include <random>
#include <vector>

namespace zubench {

using zutest::wall;

inline FILETIME utc(const FILETIME& local)
{
    FILETIME out{};
    LocalFileTimeToFileTime(&local, &out);
    return out;
}

inline void addBlob(CCeDBRecord& r, WORD ident, const std::vector<BYTE>& bytes)
{
    CEBLOB blob{static_cast<DWORD>(bytes.size()), const_cast<BYTE*>(bytes.data())};
    const CCeDBProp prop(blob, ident);
    r.AddProp(&prop);
}

inline std::vector<BYTE> patternBlob(std::mt19937& rng, FILETIME start, UINT kind)
{
    CRecurrencePattern p(kind);
    const long type = std::vector<long>{0, 1, 2, 3, 5, 6}[rng() % 6];
    p.put_RecurrenceType(type);
    p.put_PatternStartDate(start);
    SYSTEMTIME st{};
    FileTimeToSystemTime(&start, &st);
    switch (type) {
    case 0: p.put_Interval(1 + long(rng() % 3)); break;
    case 1: p.put_DayOfWeekMask(1L << (rng() % 7) | 1L << (rng() % 7)); p.put_Interval(1 + long(rng() % 2)); break;
    case 2: p.put_DayOfMonth(st.wDay); p.put_Interval(1); break;
    case 3: p.put_DayOfWeekMask(1L << (rng() % 7)); p.put_Instance(1 + long(rng() % 5)); p.put_Interval(1); break;
    case 5: p.put_MonthOfYear(st.wMonth); p.put_DayOfMonth(st.wDay); p.put_Interval(1); break;
    default: p.put_MonthOfYear(st.wMonth); p.put_DayOfWeekMask(1L << (rng() % 7)); p.put_Instance(1 + long(rng() % 5)); p.put_Interval(1); break;
    }
    if (kind == 1) {
        p.put_StartTime(60 * long(8 + rng() % 10));
        p.put_Duration(60);
    }
    if (rng() % 2)
        p.put_Occurrences(20 + long(rng() % 200));
    else
        p.put_NoEndDate(1);
    CEBLOB blob;
    if (!p.GetRecurPattern(&blob))
        return {};
    std::vector<BYTE> bytes(blob.lpb, blob.lpb + blob.dwCount);
    LocalFree(blob.lpb);
    return bytes;
}

class ZuBenchStore {
public:
    ZuBenchStore()
    {
        const char* keep = std::getenv("ZUPIMS_BENCH_STORE");
        ::setenv("ZUPIMS_HOME", keep && *keep ? keep : m_dir.path().toLocal8Bit().constData(), 1);
        std::mt19937 rng(20261210);
        CCeDBDatabase apt, con, task;
        GetDatabasePtr(&apt, ZU_SEL_APPOINTMENTS);
        GetDatabasePtr(&con, ZU_SEL_CONTACTS);
        GetDatabasePtr(&task, ZU_SEL_TASKS);
        if (apt.GetRecordCount() >= 10500)
            return;  // a kept store from an earlier run
        for (int i = 0; i < 10000; ++i) {
            const int y = 2024 + int(rng() % 5), m = 1 + int(rng() % 12), d = 1 + int(rng() % 28);
            const bool allDay = rng() % 10 == 0, lunar = rng() % 20 == 0, priv = rng() % 15 == 0;
            CCeDBRecord r;
            const CCeDBProp props[] = {
                CCeDBProp(L"회의 약속", ZUID_APT_SUBJECT),
                CCeDBProp(utc(wall(y, m, d, allDay ? 0 : 8 + int(rng() % 10))), ZUID_APT_START),
                CCeDBProp(LONG(allDay ? 1440 : 30 + 30 * int(rng() % 4)), ZUID_APT_DURATION),
                CCeDBProp(LONG(allDay ? ZU_APT_ALLDAY : ZU_APT_TIMED), ZUID_APT_TYPE),
                CCeDBProp(short(2), ZUID_APT_BUSYSTATUS),
                CCeDBProp(short(priv), ZUID_APT_PRIVATE),
                CCeDBProp(short(lunar), ZUID_APT_LUNAR),
                CCeDBProp(short(0), ZUID_APT_RECURRING),
                CCeDBProp(L"본사 회의실", ZUID_APT_LOCATION),
            };
            r.AddProps(props, WORD(std::size(props)));
            if (rng() % 3 == 0)
                addBlob(r, ZUID_APT_CATEGORIES, {BYTE(1u << (rng() % 8))});
            apt.WriteRecord(r, 0);
        }
        for (int i = 0; i < 500; ++i) {
            const FILETIME start = wall(2022 + int(rng() % 5), 1 + int(rng() % 12), 1 + int(rng() % 28));
            CCeDBRecord r;
            const CCeDBProp props[] = {
                CCeDBProp(L"반복 일정", ZUID_APT_SUBJECT),
                CCeDBProp(utc(start), ZUID_APT_START),
                CCeDBProp(LONG(60), ZUID_APT_DURATION),
                CCeDBProp(LONG(ZU_APT_TIMED), ZUID_APT_TYPE),
                CCeDBProp(short(1), ZUID_APT_RECURRING),
            };
            r.AddProps(props, WORD(std::size(props)));
            addBlob(r, ZUID_APT_RECURRENCE, patternBlob(rng, start, 1));
            apt.WriteRecord(r, 0);
        }
        for (int i = 0; i < 2000; ++i) {
            CCeDBRecord r;
            const CCeDBProp props[] = {
                CCeDBProp(L"홍길동", ZUID_CON_FILE_AS),
                CCeDBProp(utc(wall(1950 + int(rng() % 50), 1 + int(rng() % 12), 1 + int(rng() % 28))), ZUID_CON_BIRTHDAY),
                CCeDBProp(short(rng() % 10 == 0), ZUID_CON_BIRTHDAY_LUNAR),
                CCeDBProp(utc(wall(1980 + int(rng() % 40), 1 + int(rng() % 12), 1 + int(rng() % 28))), ZUID_CON_ANNIVERSARY),
            };
            r.AddProps(props, WORD(std::size(props)));
            con.WriteRecord(r, 0);
        }
        for (int i = 0; i < 1000; ++i) {
            const bool dated = rng() % 5 != 0;
            const FILETIME start = wall(2024 + int(rng() % 5), 1 + int(rng() % 12), 1 + int(rng() % 28));
            const FILETIME due = ZuU64ToFileTime(ZuFileTimeToU64(start) + (1 + rng() % 10) * ZU_TICKS_PER_DAY);
            const bool recurring = dated && rng() % 10 == 0;
            CCeDBRecord r;
            const CCeDBProp props[] = {
                CCeDBProp(L"할 일", ZUID_TASK_SUBJECT),
                CCeDBProp(dated ? start : ZuNoDate(), ZUID_TASK_START),
                CCeDBProp(dated ? due : ZuNoDate(), ZUID_TASK_DUE),
                CCeDBProp(LONG(1 + rng() % 3), ZUID_TASK_IMPORTANCE),
                CCeDBProp(short(recurring), ZUID_TASK_RECURRING),
            };
            r.AddProps(props, WORD(std::size(props)));
            if (recurring)
                addBlob(r, ZUID_TASK_RECURRENCE, patternBlob(rng, start, 4));
            task.WriteRecord(r, 0);
        }
    }

private:
    QTemporaryDir m_dir;
};

// The store of this process, built at the first call.
inline ZuBenchStore& store()
{
    static ZuBenchStore s;
    return s;
}

}  // namespace zubench
