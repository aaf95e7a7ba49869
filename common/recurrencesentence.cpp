// recurrencesentence.cpp - CRecurrencePattern::RecurPatternToStr, the pattern as a Korean sentence.
#include "recurrencepattern_p.h"

#include "stringtable.h"
#include "textutil.h"

int CRecurrencePattern::RecurPatternToStr(CString& text)
{
    if (!IsValid())
        return 0;
    Rule rule;
    const long type = m_lRecurrenceType;
    if (type != 4 && !makeRule(rule))
        return 0;
    const int n = static_cast<int>(m_lInterval);
    const CString days = GetPoomDayOfWeekString(m_lDayOfWeekMask, 0);
    const CString instance = GetPoomInstanceString(m_lInstance, 0);
    const CString month = GetMonthOfYearString(m_lMonthOfYear);
    const int day = static_cast<int>(m_lDayOfMonth);
    CString part;
    switch (type) {
    case 0:
        if (n < 1)
            part = ZuLoadString(ZuStr::RecurEveryWeekday);
        else if (n == 1)
            part = ZuLoadString(ZuStr::RecurEveryDay);
        else
            part.Format(ZuLoadString(ZuStr::RecurEveryNDays), n);
        break;
    case 1:
        if (n < 2)
            part.Format(ZuLoadString(ZuStr::RecurWeekly), static_cast<const wchar_t*>(days));
        else
            part.Format(ZuLoadString(ZuStr::RecurEveryNWeeks), n, static_cast<const wchar_t*>(days));
        break;
    case 2:
        part.Format(ZuLoadString(ZuStr::RecurMonthly), n, day);
        break;
    case 3:
        part.Format(ZuLoadString(ZuStr::RecurMonthNth), n, static_cast<const wchar_t*>(instance), static_cast<const wchar_t*>(days));
        break;
    case 5:
        part.Format(ZuLoadString(ZuStr::RecurYearly), n, static_cast<const wchar_t*>(month), day);
        break;
    case 6:
        part.Format(ZuLoadString(ZuStr::RecurYearNth), n, static_cast<const wchar_t*>(month), static_cast<const wchar_t*>(instance),
            static_cast<const wchar_t*>(days));
        break;
    default:  // type 4: no sentence of its own
        break;
    }
    if (m_uEndDateType == 0) {
        text = part;
        return 1;
    }
    if (m_uEndDateType == 2)
        syncEnd();  // the end date of a counted pattern follows from its count
    const SYSTEMTIME from = systemTimeOf(startMinutes());
    const SYSTEMTIME until = systemTimeOf(endMinutes());
    CString fromText;
    CString untilText;
    fromText.Format(ZuLoadString(ZuStr::RecurFrom), int{from.wYear}, int{from.wMonth}, int{from.wDay});
    untilText.Format(ZuLoadString(ZuStr::RecurUntil), int{until.wYear}, int{until.wMonth}, int{until.wDay});
    text.Format(L"%s %s %s", static_cast<const wchar_t*>(fromText), static_cast<const wchar_t*>(untilText),
        static_cast<const wchar_t*>(part));
    return 1;
}

