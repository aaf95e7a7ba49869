#include "cedbprop.h"

#include <cstring>

bool ZuIsValidPropType(WORD type)
{
    switch (type) {
    case CEVT_I2:
    case CEVT_I4:
    case CEVT_UI2:
    case CEVT_UI4:
    case CEVT_LPWSTR:
    case CEVT_FILETIME:
    case CEVT_BLOB: return true;
    default: return false;
    }
}

static std::int64_t fileTimeToInt(const FILETIME& ft)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

CCeDBProp::CCeDBProp(const CEPROPVAL& value) : m_propid(value.propid), m_flags(value.wFlags)
{
    switch (GetType()) {
    case CEVT_I2: m_int = value.val.iVal; break;
    case CEVT_UI2: m_int = value.val.uiVal; break;
    case CEVT_I4: m_int = value.val.lVal; break;
    case CEVT_UI4: m_int = value.val.ulVal; break;
    case CEVT_FILETIME: m_int = fileTimeToInt(value.val.filetime); break;
    case CEVT_LPWSTR:
        if (value.val.lpwstr)
            m_str = value.val.lpwstr;
        break;
    case CEVT_BLOB:
        if (value.val.blob.lpb && value.val.blob.dwCount)
            m_bytes.assign(value.val.blob.lpb, value.val.blob.lpb + value.val.blob.dwCount);
        break;
    default: break;
    }
}

CCeDBProp::CCeDBProp(short v, WORD ident, WORD flags) : m_propid(MAKEPROPID(ident, CEVT_I2)), m_flags(flags), m_int(v) {}
CCeDBProp::CCeDBProp(USHORT v, WORD ident, WORD flags) : m_propid(MAKEPROPID(ident, CEVT_UI2)), m_flags(flags), m_int(v) {}
CCeDBProp::CCeDBProp(LONG v, WORD ident, WORD flags) : m_propid(MAKEPROPID(ident, CEVT_I4)), m_flags(flags), m_int(v) {}
CCeDBProp::CCeDBProp(ULONG v, WORD ident, WORD flags) : m_propid(MAKEPROPID(ident, CEVT_UI4)), m_flags(flags), m_int(v) {}
CCeDBProp::CCeDBProp(const FILETIME& v, WORD ident, WORD flags)
    : m_propid(MAKEPROPID(ident, CEVT_FILETIME)), m_flags(flags), m_int(fileTimeToInt(v))
{
}
CCeDBProp::CCeDBProp(const wchar_t* v, WORD ident, WORD flags)
    : m_propid(MAKEPROPID(ident, CEVT_LPWSTR)), m_flags(flags), m_str(v ? v : L"")
{
}
CCeDBProp::CCeDBProp(const CEBLOB& v, WORD ident, WORD flags) : m_propid(MAKEPROPID(ident, CEVT_BLOB)), m_flags(flags)
{
    if (v.lpb && v.dwCount)
        m_bytes.assign(v.lpb, v.lpb + v.dwCount);
}

short CCeDBProp::GetShort() const
{
    return (GetType() == CEVT_I2 || GetType() == CEVT_UI2) ? static_cast<short>(m_int) : 0;
}

USHORT CCeDBProp::GetUShort() const
{
    return (GetType() == CEVT_I2 || GetType() == CEVT_UI2) ? static_cast<USHORT>(m_int) : 0;
}

LONG CCeDBProp::GetLong() const
{
    return (GetType() == CEVT_I4 || GetType() == CEVT_UI4) ? static_cast<LONG>(m_int) : 0;
}

ULONG CCeDBProp::GetULong() const
{
    return (GetType() == CEVT_I4 || GetType() == CEVT_UI4) ? static_cast<ULONG>(m_int) : 0;
}

FILETIME CCeDBProp::GetFiletime() const
{
    FILETIME ft;
    if (GetType() == CEVT_FILETIME) {
        const auto u = static_cast<std::uint64_t>(m_int);
        ft.dwLowDateTime = static_cast<DWORD>(u);
        ft.dwHighDateTime = static_cast<DWORD>(u >> 32);
    }
    return ft;
}

LPWSTR CCeDBProp::GetString()
{
    if (GetType() != CEVT_LPWSTR)
        return nullptr;
    return m_str.data();
}

const wchar_t* CCeDBProp::GetString() const
{
    if (GetType() != CEVT_LPWSTR)
        return nullptr;
    return m_str.c_str();
}

CEBLOB CCeDBProp::GetBlob()
{
    CEBLOB b;
    if (GetType() == CEVT_BLOB && !m_bytes.empty()) {
        b.dwCount = static_cast<DWORD>(m_bytes.size());
        b.lpb = m_bytes.data();
    }
    return b;
}

BOOL CCeDBProp::SetType(WORD typeIndex)
{
    static const WORD types[] = {CEVT_I2, CEVT_UI2, CEVT_I4, CEVT_UI4, CEVT_FILETIME, CEVT_LPWSTR, CEVT_BLOB};
    if (typeIndex > Type_Blob)
        return FALSE;
    m_propid = MAKEPROPID(GetIdent(), types[typeIndex]);
    return TRUE;
}

void CCeDBProp::SetShort(short v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_I2);
    m_int = v;
}

void CCeDBProp::SetUShort(USHORT v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_UI2);
    m_int = v;
}

void CCeDBProp::SetLong(LONG v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_I4);
    m_int = v;
}

void CCeDBProp::SetULong(ULONG v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_UI4);
    m_int = v;
}

void CCeDBProp::SetFiletime(const FILETIME& v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_FILETIME);
    m_int = fileTimeToInt(v);
}

void CCeDBProp::SetString(const wchar_t* v)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_LPWSTR);
    m_str = v ? v : L"";
}

void CCeDBProp::SetBlob(const CEBLOB& v)
{
    SetBlob(v.lpb, v.dwCount);
}

void CCeDBProp::SetBlob(const BYTE* data, DWORD count)
{
    m_propid = MAKEPROPID(GetIdent(), CEVT_BLOB);
    if (data && count)
        m_bytes.assign(data, data + count);
    else
        m_bytes.clear();
}

CEPROPVAL CCeDBProp::AsPropVal()
{
    CEPROPVAL v;
    v.propid = m_propid;
    v.wFlags = m_flags;
    switch (GetType()) {
    case CEVT_I2: v.val.iVal = static_cast<short>(m_int); break;
    case CEVT_UI2: v.val.uiVal = static_cast<USHORT>(m_int); break;
    case CEVT_I4: v.val.lVal = static_cast<LONG>(m_int); break;
    case CEVT_UI4: v.val.ulVal = static_cast<ULONG>(m_int); break;
    case CEVT_FILETIME: v.val.filetime = GetFiletime(); break;
    case CEVT_LPWSTR: v.val.lpwstr = m_str.data(); break;
    case CEVT_BLOB: v.val.blob = GetBlob(); break;
    default: break;
    }
    return v;
}
