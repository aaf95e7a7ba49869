// cedbprop.h - one property of a database record: the property id and its value.
//
// A property id carries the identifier in its high 16 bits and the value type in its low 16
// bits (CEVT_*). A `CCeDBProp` owns its string or byte value; `GetString` and `GetBlob` point
// into the property and stay valid until the property is changed or destroyed.
#pragma once

#include "wintypes.h"

#include <string>
#include <vector>

// Value types (the low word of a property id).
constexpr WORD CEVT_I2 = 2;
constexpr WORD CEVT_I4 = 3;
constexpr WORD CEVT_UI2 = 18;
constexpr WORD CEVT_UI4 = 19;
constexpr WORD CEVT_LPWSTR = 31;
constexpr WORD CEVT_FILETIME = 64;
constexpr WORD CEVT_BLOB = 65;

// Property flags: a property asked for but missing comes back flagged NOTFOUND; a property
// written with DELETE removes the stored property of that id.
constexpr WORD CEDB_PROPNOTFOUND = 0x0100;
constexpr WORD CEDB_PROPDELETE = 0x0200;

// The largest string (in UTF-16 bytes) or byte value a record can store: 16 MiB.
constexpr DWORD CEDB_MAXVALUESIZE = 16u * 1024u * 1024u;

constexpr CEPROPID MAKEPROPID(WORD ident, WORD type) { return (static_cast<CEPROPID>(ident) << 16) | type; }
constexpr WORD PROPID_IDENT(CEPROPID id) { return static_cast<WORD>(id >> 16); }
constexpr WORD TypeFromPropID(CEPROPID id) { return static_cast<WORD>(id & 0xFFFF); }
// True for the seven value types above.
bool ZuIsValidPropType(WORD type);

union CEVALUNION {
    CEVALUNION() : filetime() {}
    short iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
};

struct CEPROPVAL {
    CEPROPID propid = 0;
    WORD wLenData = 0;  // unused
    WORD wFlags = 0;    // CEDB_PROPNOTFOUND, CEDB_PROPDELETE
    CEVALUNION val;
};

class CCeDBProp {
public:
    // Type indexes of the class library, used by SetType when a property is built for writing.
    enum { Type_Short = 0, Type_UShort = 1, Type_Long = 2, Type_ULong = 3, Type_Filetime = 4, Type_String = 5, Type_Blob = 6 };

    CCeDBProp() = default;
    explicit CCeDBProp(const CEPROPVAL& value);
    CCeDBProp(short v, WORD ident, WORD flags = 0);
    CCeDBProp(USHORT v, WORD ident, WORD flags = 0);
    CCeDBProp(LONG v, WORD ident, WORD flags = 0);
    CCeDBProp(ULONG v, WORD ident, WORD flags = 0);
    CCeDBProp(const FILETIME& v, WORD ident, WORD flags = 0);
    CCeDBProp(const wchar_t* v, WORD ident, WORD flags = 0);
    CCeDBProp(const CEBLOB& v, WORD ident, WORD flags = 0);

    CEPROPID GetPropId() const { return m_propid; }
    WORD GetIdent() const { return PROPID_IDENT(m_propid); }
    WORD GetType() const { return TypeFromPropID(m_propid); }
    WORD GetFlags() const { return m_flags; }

    // Values; a getter of another type than the property's gives 0 (or an empty value).
    short GetShort() const;
    USHORT GetUShort() const;
    LONG GetLong() const;
    ULONG GetULong() const;
    FILETIME GetFiletime() const;
    LPWSTR GetString();
    const wchar_t* GetString() const;
    CEBLOB GetBlob();

    void SetIdent(WORD ident) { m_propid = MAKEPROPID(ident, GetType()); }
    // `typeIndex` is one of the Type_* indexes above; any other value is refused (returns 0).
    BOOL SetType(WORD typeIndex);
    void SetPropId(CEPROPID id) { m_propid = id; }
    void SetFlags(WORD flags) { m_flags = flags; }
    // Each setter also sets the matching type.
    void SetShort(short v);
    void SetUShort(USHORT v);
    void SetLong(LONG v);
    void SetULong(ULONG v);
    void SetFiletime(const FILETIME& v);
    void SetString(const wchar_t* v);
    void SetBlob(const CEBLOB& v);
    void SetBlob(const BYTE* data, DWORD count);

    // A value as the record calls take it; pointers refer into this property.
    CEPROPVAL AsPropVal();

    // The value without conversions, for the store.
    std::int64_t rawInt() const { return m_int; }
    const std::wstring& rawString() const { return m_str; }
    std::wstring& rawString() { return m_str; }
    const std::vector<BYTE>& rawBytes() const { return m_bytes; }
    std::vector<BYTE>& rawBytes() { return m_bytes; }
    void setRaw(CEPROPID id, std::int64_t v)
    {
        m_propid = id;
        m_flags = 0;
        m_int = v;
    }

private:
    CEPROPID m_propid = 0;
    WORD m_flags = 0;
    std::int64_t m_int = 0;  // I2, UI2, I4, UI4 and FILETIME values
    std::wstring m_str;
    std::vector<BYTE> m_bytes;
};
