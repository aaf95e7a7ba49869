#include "contactrules.h"

#include "contactdata.h"
#include "lunar.h"
#include "recordlayouts.h"

CString ZuComposeDisplayName(const CContactData& data)
{
    CString text;
    for (const WORD part : {ZUID_CON_TITLE, ZUID_CON_LAST_NAME, ZUID_CON_FIRST_NAME, ZUID_CON_SUFFIX}) {
        const CString value = data.GetString(part);
        if (!value.IsEmpty())
            text += value + L' ';
    }
    if (text.IsEmpty())
        text = data.Has(ZUID_CON_FILE_AS) ? data.GetString(ZUID_CON_FILE_AS) : CString(L"이름없음");
    if (text.GetLength() > ZU_DISPLAY_NAME_MAX)
        text = text.Left(ZU_DISPLAY_NAME_MAX);
    return text;
}

void ZuSplitDisplayName(const CString& typed, CContactData& data)
{
    CString text = typed;
    text.Trim();
    CString last = data.GetString(ZUID_CON_LAST_NAME), first;
    const CString current = data.GetString(ZUID_CON_FIRST_NAME);
    const int at = current.IsEmpty() ? -1 : text.Find(current);
    const int blank = text.Find(L' ');
    if (at >= 0) {
        last = text.Left(at);
        first = text.Mid(at);
    } else if (blank >= 0) {
        last = text.Left(blank);
        first = text.Mid(blank + 1);
    } else {
        first = text;
    }
    last.Trim();
    first.Trim();
    data.SetString(ZUID_CON_LAST_NAME, last);
    data.SetString(ZUID_CON_FIRST_NAME, first);
}

CString ZuJoinAddress(const CContactData& data, WORD street)
{
    // street, city, state, postal code, country follow each other in every group.
    const WORD city = street + 1, state = street + 2, postal = street + 3;
    CString text;
    if (data.Has(postal))
        text.Format(L"(%s) ", static_cast<const wchar_t*>(data.GetString(postal)));
    for (const WORD part : {state, city, street})
        if (data.Has(part))
            text += data.GetString(part) + L' ';
    return text;
}

CString ZuContactDateText(const CContactData& data, WORD which)
{
    const QDate day = data.GetDate(which);
    CString text;
    if (!day.isValid())
        return text;
    if (!data.IsLunar(which)) {
        text.Format(L"%d-%02d-%02d", day.year(), day.month(), day.day());
        return text;
    }
    COleDateTime solar(day.year(), day.month(), day.day(), 0, 0, 0);
    if (FromMoonToSun(solar))
        text.Format(L"%d-%02d-%02d([음력] %02d-%02d)", solar.GetYear(), solar.GetMonth(), solar.GetDay(), day.month(),
            day.day());
    else
        text.Format(L"([음력] %02d-%02d)", day.month(), day.day());
    return text;
}
