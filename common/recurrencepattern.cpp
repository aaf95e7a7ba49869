// recurrencepattern.cpp - CRecurrencePattern: construction, the counting formulas, the walk and
// the accessors. The stored BLOB is read and written in recurrenceblob.cpp, the sentence made in
// recurrencesentence.cpp; the layout and the limits are described in the header.
#include "recurrencepattern_p.h"

#include "cedbdatabase.h"
#include "recordlayouts.h"

#include <cstring>

// ---- Construction ---------------------------------------------------------------------------

CRecurrencePattern::CRecurrencePattern(UINT kind)
{
    m_uKind = kind;
    m_wRecurFlagId = kind == 1 ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    m_wBlobId = kind == 1 ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
}

CRecurrencePattern::CRecurrencePattern(DWORD oid, UINT kind) : CRecurrencePattern(kind)
{
    SetRecurPattern(oid, kind);
}

CRecurrencePattern::CRecurrencePattern(CEBLOB blob, UINT copy, UINT kind) : CRecurrencePattern(kind)
{
    SetRecurPattern(blob, copy);
}

CRecurrencePattern::CRecurrencePattern(const CRecurrencePattern& other) { InternalCopy(&other); }

CRecurrencePattern& CRecurrencePattern::operator=(const CRecurrencePattern& other)
{
    InternalCopy(&other);
    return *this;
}

void CRecurrencePattern::InternalCopy(const CRecurrencePattern* other)
{
    if (!other || other == this)
        return;
    freeBlob();
    if (other->m_blob.lpb && other->m_blob.dwCount) {
        m_blob.lpb = static_cast<LPBYTE>(LocalAlloc(LMEM_FIXED, other->m_blob.dwCount));
        if (m_blob.lpb) {
            std::memcpy(m_blob.lpb, other->m_blob.lpb, other->m_blob.dwCount);
            m_blob.dwCount = other->m_blob.dwCount;
        }
    }
    m_bOwnBlob = 1;
    m_dwOid = other->m_dwOid;
    m_wRecurFlagId = other->m_wRecurFlagId;
    m_wBlobId = other->m_wBlobId;
    m_bInitialized = other->m_bInitialized;
    m_uKind = other->m_uKind;
    m_lRecurrenceType = other->m_lRecurrenceType;
    m_ftPatternStartDate = other->m_ftPatternStartDate;
    m_ftPatternEndDate = other->m_ftPatternEndDate;
    m_lOccurrences = other->m_lOccurrences;
    m_uEndDateType = other->m_uEndDateType;
    m_lInterval = other->m_lInterval;
    m_lDayOfWeekMask = other->m_lDayOfWeekMask;
    m_lDayOfMonth = other->m_lDayOfMonth;
    m_lInstance = other->m_lInstance;
    m_lMonthOfYear = other->m_lMonthOfYear;
    m_lStartTime = other->m_lStartTime;
    m_lEndTime = other->m_lEndTime;
    m_lCurrentOccurrence = other->m_lCurrentOccurrence;
    m_lDuration = other->m_lDuration;
}

CRecurrencePattern::~CRecurrencePattern() { freeBlob(); }

void CRecurrencePattern::freeBlob()
{
    if (m_bOwnBlob && m_blob.lpb)
        LocalFree(m_blob.lpb);
    m_blob = CEBLOB{};
    m_bOwnBlob = 1;
}

// Back to the empty pattern; oid, kind, identifiers and BLOB stay.
void CRecurrencePattern::reset()
{
    m_bInitialized = 0;
    m_lRecurrenceType = -1;
    m_ftPatternStartDate = FILETIME{};
    m_ftPatternEndDate = FILETIME{};
    m_lOccurrences = 0;
    m_uEndDateType = 0;
    m_lInterval = 0;
    m_lDayOfWeekMask = 0;
    m_lDayOfMonth = 0;
    m_lInstance = 0;
    m_lMonthOfYear = 0;
    m_lStartTime = -1;
    m_lEndTime = -1;
    m_lCurrentOccurrence = 0;
    m_lDuration = -1;
}

// ---- Derived values -------------------------------------------------------------------------

long long CRecurrencePattern::startMinutes() const { return minutesOf(m_ftPatternStartDate); }
long long CRecurrencePattern::endMinutes() const { return minutesOf(m_ftPatternEndDate); }

bool CRecurrencePattern::makeRule(Rule& rule) const
{
    if (!IsValid())
        return false;
    const auto inRange = [](long v, long lo, long hi) { return v >= lo && v <= hi; };
    const bool intervalOk = inRange(m_lInterval, 1, kMaxInterval);
    const bool maskOk = inRange(m_lDayOfWeekMask, 1, 127);
    rule.interval = m_lInterval;
    rule.mask = static_cast<int>(m_lDayOfWeekMask);
    rule.day = static_cast<int>(m_lDayOfMonth);
    rule.instance = static_cast<int>(m_lInstance);
    rule.month = static_cast<int>(m_lMonthOfYear);
    switch (m_lRecurrenceType) {
    case 0:
        if (m_lInterval == 0) {
            // Every weekday: weekly on Monday to Friday.
            rule.kind = Rule::Weekly;
            rule.interval = 1;
            rule.mask = kEveryWeekdayMask;
            return true;
        }
        rule.kind = Rule::Daily;
        return intervalOk;
    case 1:
        rule.kind = Rule::Weekly;
        return intervalOk && maskOk;
    case 2:
        rule.kind = Rule::Monthly;
        return intervalOk && inRange(m_lDayOfMonth, 1, 31);
    case 3:
        rule.kind = Rule::MonthlyNth;
        return intervalOk && maskOk && inRange(m_lInstance, 1, 5);
    case 5:
        rule.kind = Rule::Yearly;
        return intervalOk && inRange(m_lMonthOfYear, 1, 12) && inRange(m_lDayOfMonth, 1, 31);
    case 6:
        rule.kind = Rule::YearlyNth;
        return intervalOk && inRange(m_lMonthOfYear, 1, 12) && maskOk && inRange(m_lInstance, 1, 5);
    default:
        return false;
    }
}

void CRecurrencePattern::syncEnd()
{
    Rule rule;
    if (m_uEndDateType == 0 || !makeRule(rule))
        return;
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return;
    if (m_uEndDateType == 1) {
        const long long e = endMinutes();
        m_lOccurrences = e < s ? 0 : static_cast<long>(rule.count(s, std::min(e, kNoEndMinutes)));
    } else if (m_lOccurrences >= 1) {
        const long long k = std::min<long long>(m_lOccurrences, rule.count(s, kNoEndMinutes));
        long long index = 0;
        long long minutes = 0;
        if (rule.lastExisting(s, k, index, minutes))
            m_ftPatternEndDate = fileTimeOf(minutes);
    }
}

long long CRecurrencePattern::lastIndex(const Rule& rule) const
{
    const long long s = startMinutes();
    if (s > kNoEndMinutes)
        return 0;
    long long last = rule.count(s, kNoEndMinutes);
    if (m_uEndDateType == 2) {
        last = std::min<long long>(last, std::max<long long>(m_lOccurrences, 0));
    } else if (m_uEndDateType == 1) {
        const long long e = endMinutes();
        last = e < s ? 0 : std::min(last, rule.count(s, std::min(e, kNoEndMinutes)));
    }
    return std::min(last, kMaxIndex);
}

int CRecurrencePattern::GetOccurrences(long* count, FILETIME from, FILETIME to)
{
    if (!count)
        return 0;
    *count = 0;
    Rule rule;
    if (!makeRule(rule))
        return 0;
    const long long s = minutesOf(from);
    long long e = minutesOf(to);
    if (s > e)
        return 0;
    e = std::min(e, kNoEndMinutes);  // nothing occurs after 4500
    if (s <= e)
        *count = static_cast<long>(rule.count(s, e));
    return 1;
}

int CRecurrencePattern::GetOccurrences(long* count)
{
    const FILETIME to = m_uEndDateType == 0 ? fileTimeOf(kNoEndMinutes) : m_ftPatternEndDate;
    return GetOccurrences(count, m_ftPatternStartDate, to);
}

int CRecurrencePattern::GetPatternEndDate(long* minutes, long n)
{
    Rule rule;
    if (!minutes || n < 1 || n > kMaxIndex || !makeRule(rule))
        return 0;
    const Rule::Slot slot = rule.slot(startMinutes(), n);
    if (slot.minutes > kNoEndMinutes)
        return 0;
    *minutes = slot.exists ? static_cast<long>(slot.minutes) : 0;
    return 1;
}

int CRecurrencePattern::GetPatternEndDate(FILETIME* date, long n)
{
    long minutes = 0;
    if (!date || !GetPatternEndDate(&minutes, n))
        return 0;
    *date = fileTimeOf(minutes);
    return 1;
}

int CRecurrencePattern::GetPatternEndDate(SYSTEMTIME* date, long n)
{
    long minutes = 0;
    if (!date || !GetPatternEndDate(&minutes, n))
        return 0;
    *date = systemTimeOf(minutes);
    return 1;
}

// ---- The walk -------------------------------------------------------------------------------

// Moves onto the first existing occurrence at index >= `index`.
int CRecurrencePattern::seekForward(const Rule& rule, long long index, FILETIME* occurrence)
{
    const long long s = startMinutes();
    const long long last = lastIndex(rule);
    const long long cycle = rule.cycleSteps();
    index = std::max(index, 1LL);
    for (long long step = 0; step < cycle && index <= last; ++step, ++index) {  // one calendar cycle
        const Rule::Slot slot = rule.slot(s, index);
        if (slot.exists) {
            m_lCurrentOccurrence = static_cast<long>(index);
            *occurrence = fileTimeOf(slot.minutes);
            return 1;
        }
    }
    m_lCurrentOccurrence = static_cast<long>(std::min(index, last + 1));
    return 0;
}

// Moves onto the last existing occurrence at index <= `index`.
int CRecurrencePattern::seekBackward(const Rule& rule, long long index, FILETIME* occurrence)
{
    const long long s = startMinutes();
    const long long cycle = rule.cycleSteps();
    index = std::min(index, lastIndex(rule));
    for (long long step = 0; step < cycle && index >= 1; ++step, --index) {  // one calendar cycle
        const Rule::Slot slot = rule.slot(s, index);
        if (slot.exists) {
            m_lCurrentOccurrence = static_cast<long>(index);
            *occurrence = fileTimeOf(slot.minutes);
            return 1;
        }
    }
    m_lCurrentOccurrence = 0;
    return 0;
}

int CRecurrencePattern::SeekFirstRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekForward(rule, 1, occurrence);
}

int CRecurrencePattern::SeekNextRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekForward(rule, static_cast<long long>(m_lCurrentOccurrence) + 1, occurrence);
}

int CRecurrencePattern::SeekPrevRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    return seekBackward(rule, static_cast<long long>(m_lCurrentOccurrence) - 1, occurrence);
}

int CRecurrencePattern::SeekLastRecurTime(FILETIME* occurrence)
{
    Rule rule;
    if (!occurrence || m_uEndDateType == 0 || !makeRule(rule))
        return 0;
    return seekBackward(rule, lastIndex(rule), occurrence);
}

int CRecurrencePattern::SeekRecurTimeFrom(FILETIME* occurrence, FILETIME from)
{
    Rule rule;
    if (!occurrence || !makeRule(rule))
        return 0;
    const long long s = startMinutes();
    // The first minute on or after `from`; occurrences before it are the slots counted up to the
    // minute before.
    const ULONGLONG ticks = ZuFileTimeToU64(from);
    const long long fromMinutes = static_cast<long long>(ticks / ZU_TICKS_PER_MINUTE + (ticks % ZU_TICKS_PER_MINUTE ? 1 : 0));
    long long index = 1;
    if (fromMinutes > s)
        index = rule.count(s, std::min(fromMinutes - 1, kNoEndMinutes)) + 1;
    return seekForward(rule, index, occurrence);
}

// ---- Accessors ------------------------------------------------------------------------------

int CRecurrencePattern::get_RecurrenceType(long* type) const
{
    if (!type || !IsValid())
        return 0;
    *type = m_lRecurrenceType;
    return 1;
}

int CRecurrencePattern::get_PatternStartDate(FILETIME* date) const
{
    if (!date || !IsValid())
        return 0;
    *date = m_ftPatternStartDate;
    return 1;
}

int CRecurrencePattern::get_PatternEndDate(FILETIME* date) const
{
    if (!date || !IsValid())
        return 0;
    *date = m_ftPatternEndDate;
    return 1;
}

int CRecurrencePattern::get_NoEndDate(short* noEnd) const
{
    if (!noEnd || !IsValid())
        return 0;
    *noEnd = m_uEndDateType == 0 ? 1 : 0;
    return 1;
}

int CRecurrencePattern::get_Occurrences(long* count) const
{
    if (!count || !IsValid())
        return 0;
    *count = m_lOccurrences;
    return 1;
}

int CRecurrencePattern::get_Interval(long* interval) const
{
    if (!interval || !IsValid())
        return 0;
    *interval = m_lInterval;
    return 1;
}

int CRecurrencePattern::get_DayOfWeekMask(long* mask) const
{
    if (!mask || !IsValid())
        return 0;
    *mask = m_lDayOfWeekMask;
    return 1;
}

int CRecurrencePattern::get_DayOfMonth(long* day) const
{
    if (!day || !IsValid() || m_lDayOfMonth < 1 || m_lDayOfMonth > 31)
        return 0;
    *day = m_lDayOfMonth;
    return 1;
}

int CRecurrencePattern::get_Instance(long* instance) const
{
    if (!instance || !IsValid())
        return 0;
    *instance = m_lInstance;
    return 1;
}

int CRecurrencePattern::get_MonthOfYear(long* month) const
{
    if (!month || !IsValid())
        return 0;
    *month = m_lMonthOfYear;
    return 1;
}

int CRecurrencePattern::get_Duration(long* minutes) const
{
    if (!minutes || !IsValid())
        return 0;
    *minutes = m_lDuration;
    return 1;
}

int CRecurrencePattern::get_StartTime(long* minutes) const
{
    if (!minutes)
        return 0;
    *minutes = m_lStartTime;
    return 1;
}

int CRecurrencePattern::get_EndTime(long* minutes) const
{
    if (!minutes)
        return 0;
    *minutes = m_lEndTime;
    return 1;
}

int CRecurrencePattern::put_RecurrenceType(long type)
{
    if (type < 0 || type > 6)
        return 0;
    m_lRecurrenceType = type;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_PatternStartDate(FILETIME date)
{
    if (m_lRecurrenceType == -1 || minutesOf(date) > kNoEndMinutes)
        return 0;
    m_ftPatternStartDate = date;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_PatternEndDate(FILETIME date)
{
    if (m_lRecurrenceType == -1 || minutesOf(date) > kNoEndMinutes)
        return 0;
    m_ftPatternEndDate = date;
    m_uEndDateType = 1;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_NoEndDate(short noEnd)
{
    if (m_lRecurrenceType == -1)
        return 0;
    m_uEndDateType = noEnd == 1 ? 0 : 1;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Occurrences(long count)
{
    if (m_lRecurrenceType == -1 || count < 0)
        return 0;
    m_lOccurrences = count;
    m_uEndDateType = 2;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Interval(long interval)
{
    if (m_lRecurrenceType == -1)
        return 0;
    const bool everyWeekday = m_lRecurrenceType == 0 && interval == 0;
    if (!everyWeekday && (interval < 1 || interval > kMaxInterval))
        return 0;
    m_lInterval = interval;
    if (everyWeekday)
        m_lDayOfWeekMask = kEveryWeekdayMask;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_DayOfWeekMask(long mask)
{
    if (m_lRecurrenceType == -1 || mask < 1 || mask > 127)
        return 0;
    m_lDayOfWeekMask = mask;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_DayOfMonth(long day)
{
    if (m_lRecurrenceType == -1 || day < 1 || day > 31)
        return 0;
    m_lDayOfMonth = day;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_Instance(long instance)
{
    if (m_lRecurrenceType == -1 || instance < 1 || instance > 5)
        return 0;
    m_lInstance = instance;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_MonthOfYear(long month)
{
    if (m_lRecurrenceType == -1 || month < 1 || month > 12)
        return 0;
    m_lMonthOfYear = month;
    m_bInitialized = 1;
    syncEnd();
    return 1;
}

int CRecurrencePattern::put_StartTime(long minutes)
{
    m_lStartTime = clamp32(minutes);
    // The duration stays; an appointment's end moves with its start.
    if (m_uKind == 1 && m_lDuration >= 0 && m_lStartTime >= 0)
        m_lEndTime = clamp32(m_lStartTime + m_lDuration);
    return 1;
}

int CRecurrencePattern::put_EndTime(long minutes)
{
    m_lEndTime = clamp32(minutes);
    if (m_uKind == 1 && m_lStartTime >= 0) {
        long long duration = static_cast<long long>(m_lEndTime) - m_lStartTime;
        if (duration < 0)
            duration += kMinutesPerDay;  // ends after midnight
        m_lDuration = duration < 0 ? 0 : static_cast<long>(duration);
    }
    return 1;
}

int CRecurrencePattern::put_Duration(long minutes)
{
    if (m_lRecurrenceType == -1 || minutes < 0)
        return 0;
    m_lDuration = clamp32(minutes);
    if (m_uKind == 1 && m_lStartTime >= 0)
        m_lEndTime = clamp32(m_lStartTime + m_lDuration);
    return 1;
}
