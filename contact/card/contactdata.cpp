#include "contactdata.h"

#include "contactrules.h"
#include "pimstore.h"
#include "recordlayouts.h"

#include <algorithm>

bool CContactData::IsStringProp(WORD ident)
{
    return std::find(kStringProps.begin(), kStringProps.end(), ident) != kStringProps.end();
}

void CContactData::Clear()
{
    *this = CContactData();
}

BOOL CContactData::Load(CEOID oid)
{
    Clear();
    CCeDBDatabase db;
    if (!oid || !GetDatabasePtr(&db, ZU_SEL_CONTACTS))
        return FALSE;
    CCeDBRecord record;
    if (!db.SeekToRecord(oid) || !db.ReadCurrRecord(&record) || record.GetOid() != oid)
        return FALSE;
    FromRecord(record);
    return TRUE;
}

void CContactData::FromRecord(const CCeDBRecord& record)
{
    Clear();
    m_oid = record.GetOid();
    for (const CCeDBProp& prop : record.props()) {
        const WORD ident = prop.GetIdent();
        if (prop.GetType() == CEVT_LPWSTR && IsStringProp(ident) && !m_strings.count(ident))
            m_strings[ident] = CString(prop.GetString());
    }
    for (const WORD which : {ZUID_CON_BIRTHDAY, ZUID_CON_ANNIVERSARY}) {
        Day& d = day(which);
        d.present = ZuRecordFiletime(record, which, &d.utc);
        d.lunar = d.present
            && ZuRecordInt(record, which == ZUID_CON_BIRTHDAY ? ZUID_CON_BIRTHDAY_LUNAR : ZUID_CON_ANNIVERSARY_LUNAR) == 1;
    }
    m_categories = ZuRecordBytes(record, ZUID_CON_CATEGORIES);
    m_note = ZuRecordBytes(record, ZUID_CON_NOTE);
    m_preferred = static_cast<LONG>(ZuRecordInt(record, ZUID_CON_PREFERRED_NUMBER));
}

CString CContactData::GetString(WORD ident) const
{
    const auto it = m_strings.find(ident);
    return it == m_strings.end() ? CString() : it->second;
}

void CContactData::SetString(WORD ident, const CString& text)
{
    if (!IsStringProp(ident))
        return;
    if (text.IsEmpty())
        m_strings.erase(ident);
    else
        m_strings[ident] = text;
}

bool CContactData::HasDate(WORD which) const
{
    return day(which).present;
}

QDate CContactData::GetDate(WORD which) const
{
    const Day& d = day(which);
    FILETIME local{};
    SYSTEMTIME st{};
    if (!d.present || !FileTimeToLocalFileTime(&d.utc, &local) || !FileTimeToSystemTime(&local, &st))
        return QDate();
    return QDate(st.wYear, st.wMonth, st.wDay);
}

void CContactData::SetDate(WORD which, QDate date)
{
    Day& d = day(which);
    SYSTEMTIME st{};
    FILETIME local{}, utc{};
    if (date.isValid()) {
        st.wYear = static_cast<WORD>(date.year());
        st.wMonth = static_cast<WORD>(date.month());
        st.wDay = static_cast<WORD>(date.day());
    }
    if (!date.isValid() || !SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc)) {
        d = Day();
        return;
    }
    d.present = true;
    d.utc = utc;
}

FILETIME CContactData::GetDateValue(WORD which) const
{
    return day(which).utc;
}

void CContactData::SetDateValue(WORD which, const FILETIME& utc)
{
    Day& d = day(which);
    d.present = true;
    d.utc = utc;
}

bool CContactData::IsLunar(WORD which) const
{
    return day(which).present && day(which).lunar;
}

void CContactData::SetLunar(WORD which, bool lunar)
{
    day(which).lunar = lunar;
}

CString CContactData::DisplayName() const
{
    return ZuComposeDisplayName(*this);
}
