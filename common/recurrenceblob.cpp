// recurrenceblob.cpp - CRecurrencePattern's stored form: loading a pattern from a record or a
// BLOB, parsing it, and writing it back (the layout is in the header).
#include "recurrencepattern_p.h"

#include "cedbdatabase.h"
#include "lecodec.h"
#include "pimstore.h"
#include "recordlayouts.h"

#include <cstring>

// ---- Loading, parsing, saving ---------------------------------------------------------------

int CRecurrencePattern::SetRecurPattern(DWORD oid, UINT kind)
{
    freeBlob();
    reset();
    m_dwOid = oid;
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
    if (kind != ZU_SEL_APPOINTMENTS && kind != ZU_SEL_TASKS)
        return 0;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, static_cast<int>(kind)))
        return 0;
    CCeDBRecord record;
    long long taskMinutes = 0;
    bool haveTaskLength = false;
    bool loaded = false;
    if (oid != 0 && db.SeekToRecord(oid) && db.ReadCurrRecord(&record) && propInt(record.GetIdProp(m_wRecurFlagId)) == 1) {
        if (CCeDBProp* prop = record.GetIdProp(m_wBlobId); prop && prop->GetType() == CEVT_BLOB) {
            const CEBLOB stored = prop->GetBlob();
            loaded = true;
            if (stored.lpb && stored.dwCount) {
                m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, stored.dwCount));
                if (m_blob.lpb) {
                    std::memcpy(m_blob.lpb, stored.lpb, stored.dwCount);
                    m_blob.dwCount = stored.dwCount;
                }
            }
        }
        const CCeDBProp* start = record.GetIdProp(ZUID_TASK_START);
        const CCeDBProp* due = record.GetIdProp(ZUID_TASK_DUE);
        if (kind == ZU_SEL_TASKS && start && due && start->GetType() == CEVT_FILETIME && due->GetType() == CEVT_FILETIME) {
            const ULONGLONG difference = ZuFileTimeToU64(due->GetFiletime()) - ZuFileTimeToU64(start->GetFiletime());
            taskMinutes = static_cast<long long>(difference) / kTicksPerMinute;  // two's complement: due - start
            haveTaskLength = true;
        }
    }
    CloseDatabase(&db);
    if (!loaded || !parseBlob())
        return 0;
    if (haveTaskLength)
        m_lDuration = static_cast<long>(taskMinutes);
    return 1;
}

int CRecurrencePattern::SetRecurPattern(CEBLOB blob, UINT copy)
{
    freeBlob();
    reset();
    if (blob.lpb && blob.dwCount) {
        if (copy == 1) {
            m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, blob.dwCount));
            if (!m_blob.lpb)
                return 0;
            std::memcpy(m_blob.lpb, blob.lpb, blob.dwCount);
            m_blob.dwCount = blob.dwCount;
        } else {
            m_blob = blob;
            m_bOwnBlob = 0;
        }
    }
    return parseBlob();
}

// Reads m_blob into the members. On failure the pattern is left empty and uninitialised.
int CRecurrencePattern::parseBlob()
{
    // Fields beyond the end of a short BLOB read as 0.
    ZuLeReader r(m_blob.lpb, m_blob.dwCount);
    const size_t size = r.size();
    const auto rd32 = [&r](size_t offset) { return static_cast<DWORD>(r.u32At(offset)); };

    const WORD frequency = r.u16At(4);
    const DWORD kind = rd32(6);  // pattern kind and calendar kind as one value
    long type = -1;
    size_t c = 0;
    bool everyWeekday = false;
    switch (frequency) {
    case kFreqDaily:
        type = 0;
        everyWeekday = kind == kKindWeek;
        c = everyWeekday ? 4 : 0;
        break;
    case kFreqWeekly:
        type = 1;
        c = 4;
        break;
    case kFreqMonthly:
    case kFreqYearly:
        if (kind == kKindDayOfMonth || kind == kKindNthWeekday) {
            const bool nth = kind == kKindNthWeekday;
            type = frequency == kFreqMonthly ? (nth ? 3 : 2) : (nth ? 6 : 5);
            c = nth ? 8 : 4;
        }
        break;
    default:
        break;
    }
    if (type == -1) {
        reset();
        return 0;
    }

    const DWORD first = rd32(10);
    const DWORD period = rd32(14);
    long long interval = period;
    if (type == 5 || type == 6)
        interval = period / 12;
    else if (type == 0)
        interval = everyWeekday ? 0 : period / kMinutesPerDay;
    const DWORD specific1 = rd32(22);
    const DWORD specific2 = rd32(26);

    long month = 0;
    if (type == 5 || type == 6) {
        // The month whose common-year span holds `first` days.
        const long long days = first / kMinutesPerDay;
        long long sum = 0;
        month = 1;
        for (int m = 0; m < 12; ++m) {  // twelve months
            sum += ZuDaysInMonth(kCommonYear, m + 1);
            if (sum > days)
                break;
            month = std::min(m + 2, 12);
        }
    }

    const DWORD endType = rd32(22 + c);
    const DWORD storedCount = rd32(26 + c);
    // Exception dates: D deleted, then M modified, each followed by its 4-byte dates.
    size_t offset = 34 + c;
    const DWORD deleted = rd32(offset);
    offset += 4;
    const auto fits = [size](size_t at, DWORD dates) {
        return dates == 0 || (at <= size && dates <= (size - at) / 4);
    };
    bool corrupt = !fits(offset, deleted);
    DWORD modified = 0;
    if (!corrupt) {
        offset += 4 * static_cast<size_t>(deleted);
        modified = rd32(offset);
        offset += 4;
        corrupt = !fits(offset, modified);
        offset += corrupt ? 0 : 4 * static_cast<size_t>(modified);
    }

    // Refuse what cannot be computed.
    const bool intervalOk = type == 0 ? (everyWeekday || (interval >= 1 && interval <= kMaxInterval))
                                      : (interval >= 1 && interval <= kMaxInterval);
    const bool maskOk = specific1 >= 1 && specific1 <= 127;
    bool fieldsOk = intervalOk;
    switch (type) {
    case 0: fieldsOk = fieldsOk && (!everyWeekday || maskOk); break;
    case 1: fieldsOk = fieldsOk && maskOk; break;
    case 2:
    case 5: fieldsOk = fieldsOk && specific1 >= 1 && specific1 <= 31; break;
    case 3:
    case 6: fieldsOk = fieldsOk && maskOk && specific2 >= 1 && specific2 <= 5; break;
    default: break;
    }
    if (corrupt || !fieldsOk) {
        reset();
        return 0;
    }

    reset();
    m_lRecurrenceType = type;
    m_lInterval = static_cast<long>(interval);
    if (type == 1 || type == 3 || type == 6 || everyWeekday)
        m_lDayOfWeekMask = static_cast<long>(specific1);
    if (type == 2 || type == 5)
        m_lDayOfMonth = static_cast<long>(specific1);
    if (type == 3 || type == 6)
        m_lInstance = static_cast<long>(specific2);
    if (type == 5 || type == 6)
        m_lMonthOfYear = month;
    m_uEndDateType = endType == kEndByDate ? 1 : (endType == kEndByCount ? 2 : 0);
    m_lOccurrences = m_uEndDateType ? static_cast<long>(storedCount) : 0;
    m_ftPatternStartDate = fileTimeOf(rd32(offset));
    m_ftPatternEndDate = fileTimeOf(rd32(offset + 4));
    if (m_uKind == 1) {
        m_lStartTime = static_cast<LONG>(rd32(offset + 16));
        m_lEndTime = static_cast<LONG>(rd32(offset + 20));
        long long duration = static_cast<long long>(m_lEndTime) - m_lStartTime;
        if (m_lEndTime < m_lStartTime)
            duration += kMinutesPerDay;  // crosses midnight
        m_lDuration = static_cast<long>(std::clamp<long long>(duration, INT32_MIN, INT32_MAX));
    }
    m_bInitialized = 1;
    return 1;
}

int CRecurrencePattern::recurPatternToBlob()
{
    if (!IsValid())
        return 0;
    const long type = m_lRecurrenceType;
    Rule rule;
    const bool computable = makeRule(rule);
    if (type != 4 && !computable)
        return 0;
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return 0;

    // The end: derived first, since a pattern without an occurrence before its end is not written.
    DWORD endType = kEndNever;
    long long count = 0;
    long long endMinutesValue = kNoEndMinutes;
    if (m_uEndDateType != 0) {
        if (!computable)
            return 0;
        const long long possible = rule.count(s, kNoEndMinutes);
        long long lastIndexValue = 0;
        if (m_uEndDateType == 1) {
            const long long e = endMinutes();
            if (e < s)
                return 0;
            count = rule.count(s, std::min(e, kNoEndMinutes));
            endType = kEndByDate;
        } else {
            count = m_lOccurrences;
            endType = kEndByCount;
        }
        if (count < 1 || count > possible || !rule.lastExisting(s, count, lastIndexValue, endMinutesValue))
            return 0;
        // Ending by date, the end snaps back onto the last existing occurrence and the count is
        // that occurrence's index, so the stored pair reads back and writes again unchanged.
        if (m_uEndDateType == 1)
            count = lastIndexValue;
        m_lOccurrences = static_cast<long>(count);
        m_ftPatternEndDate = fileTimeOf(endMinutesValue);
    }

    WORD frequency = 0;
    WORD kind = 0;
    long long first = 0;
    long long period = 0;
    size_t c = 0;
    DWORD specific1 = 0;
    DWORD specific2 = 0;
    const long long n = m_lInterval;
    const auto commonYearDays = [](long months) {
        long long days = 0;
        for (long m = 0; m < months && m < 12; ++m)  // at most twelve months
            days += ZuDaysInMonth(kCommonYear, static_cast<int>(m) + 1);
        return days;
    };
    const long startMonth = static_cast<long>(civilFromDays(floorDiv(s, kMinutesPerDay)).month);
    switch (type) {
    case 0:
        frequency = kFreqDaily;
        if (n >= 1) {
            kind = kKindDay;
            first = s % (n * kMinutesPerDay);
            period = n * kMinutesPerDay;
        } else {
            kind = kKindWeek;
            first = 8640;
            period = 1;
            c = 4;
            specific1 = static_cast<DWORD>(m_lDayOfWeekMask & 0xFF);
        }
        break;
    case 1: {
        frequency = kFreqWeekly;
        kind = kKindWeek;
        const long long weeks = n * 10080;
        first = floorMod(s % weeks - kMinutesPerDay, weeks);
        period = n;
        c = 4;
        specific1 = static_cast<DWORD>(m_lDayOfWeekMask & 0xFF);
        break;
    }
    case 2:
    case 3:
        frequency = kFreqMonthly;
        kind = type == 2 ? kKindDayOfMonth : kKindNthWeekday;
        first = kMinutesPerDay * commonYearDays(static_cast<long>((startMonth - 1) % n));
        period = n;
        c = type == 2 ? 4 : 8;
        specific1 = static_cast<DWORD>((type == 2 ? m_lDayOfMonth : m_lDayOfWeekMask) & 0xFF);
        specific2 = static_cast<DWORD>(m_lInstance & 0xFF);
        break;
    case 5:
    case 6:
        frequency = kFreqYearly;
        kind = type == 5 ? kKindDayOfMonth : kKindNthWeekday;
        first = kMinutesPerDay * commonYearDays(m_lMonthOfYear - 1);
        period = n * 12;
        c = type == 5 ? 4 : 8;
        specific1 = static_cast<DWORD>((type == 5 ? m_lDayOfMonth : m_lDayOfWeekMask) & 0xFF);
        specific2 = static_cast<DWORD>(m_lInstance & 0xFF);
        break;
    default:  // type 4 has no stored form of its own: frequency, kind, first and period 0
        break;
    }

    const bool appointment = m_uKind == 1;
    const DWORD size = appointment && c == 8 ? kBlobSizeNthAppointment : kBlobSize;
    ZuLeWriter w(size);
    w.u16At(0, kVersion);
    w.u16At(2, kVersion);
    w.u16At(4, frequency);
    w.u16At(6, kind);
    w.u32At(10, static_cast<DWORD>(first));
    w.u32At(14, static_cast<DWORD>(period));
    if (c >= 4)
        w.u32At(22, specific1);
    if (c == 8)
        w.u32At(26, specific2);
    w.u32At(22 + c, endType);
    w.u32At(26 + c, static_cast<DWORD>(count));
    w.u32At(42 + c, static_cast<DWORD>(s));
    w.u32At(46 + c, static_cast<DWORD>(endMinutesValue));
    if (appointment) {
        w.u32At(50 + c, kSecondVersion);
        w.u32At(54 + c, kSecondVersion);
        // Unset times (-1) are written as 0; the end offset is start + duration, which exceeds
        // 1440 for an appointment that crosses midnight, kept within the signed 32 bits it is
        // read back as.
        const long long start = std::max<long long>(m_lStartTime, 0);
        const long long duration = std::max<long long>(m_lDuration, 0);
        w.u32At(58 + c, static_cast<DWORD>(start));
        w.u32At(62 + c, static_cast<DWORD>(std::min<long long>(start + duration, INT32_MAX)));
    }
    auto* bytes = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    if (!bytes)
        return 0;
    std::memcpy(bytes, w.data(), size);
    freeBlob();
    m_blob.lpb = bytes;
    m_blob.dwCount = size;
    m_bOwnBlob = 1;
    return 1;
}

int CRecurrencePattern::SaveRecurPattern(DWORD oid, UINT kind)
{
    m_dwOid = oid;
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
    return SaveRecurPattern();
}

int CRecurrencePattern::SaveRecurPattern()
{
    if (m_uKind != ZU_SEL_APPOINTMENTS && m_uKind != ZU_SEL_TASKS)
        return 0;
    if (m_dwOid == 0 || !recurPatternToBlob())
        return 0;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, static_cast<int>(m_uKind)))
        return 0;
    int saved = 0;
    CCeDBRecord record;
    if (db.SeekToRecord(m_dwOid) && db.ReadCurrRecord(&record)) {
        CCeDBRecord change;
        const CCeDBProp prop(m_blob, m_wBlobId);
        change.AddProp(&prop);
        saved = db.WriteRecord(change, m_dwOid) != 0 ? 1 : 0;
    }
    CloseDatabase(&db);
    return saved;
}

int CRecurrencePattern::GetRecurPattern(CEBLOB* blob)
{
    if (!blob || !recurPatternToBlob())
        return 0;
    auto* bytes = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, m_blob.dwCount));
    if (!bytes)
        return 0;
    std::memcpy(bytes, m_blob.lpb, m_blob.dwCount);
    if (blob->lpb)
        LocalFree(blob->lpb);
    blob->lpb = bytes;
    blob->dwCount = m_blob.dwCount;
    return 1;
}

int CRecurrencePattern::GetRecurPattern(CEBLOB& blob) { return GetRecurPattern(&blob); }

UINT CRecurrencePattern::SetEndDateType(UINT type)
{
    const UINT previous = m_uEndDateType;
    if (type <= 2) {
        m_uEndDateType = type;
        syncEnd();
    }
    return previous;
}

