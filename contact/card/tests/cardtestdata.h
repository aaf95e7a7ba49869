// cardtestdata.h - contacts and categories written straight into the store, and read back.
#pragma once

#include "contactdata.h"
#include "pimstore.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Writes a category record (name, index, shown, counts 0).
inline CEOID CardTestCategory(const std::wstring& name, int index, int contacts = 0)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return 0;
    CCeDBRecord r;
    const CCeDBProp props[] = {CCeDBProp(name.c_str(), ZUID_CAT_NAME), CCeDBProp(static_cast<short>(index), ZUID_CAT_INDEX),
        CCeDBProp(static_cast<short>(1), ZUID_CAT_IN_USE), CCeDBProp(static_cast<short>(contacts), ZUID_CAT_CONTACT_COUNT),
        CCeDBProp(static_cast<short>(0), ZUID_CAT_APT_COUNT), CCeDBProp(static_cast<short>(0), ZUID_CAT_TASK_COUNT)};
    r.AddProps(props, 6);
    return db.WriteRecord(r, 0);
}

// The contacts counter (0x4004) of the category of that index; -1 when there is none.
inline long long CardTestContactCount(int index)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return -1;
    CCeDBRecord r;
    while (db.ReadCurrRecord(&r))
        if (ZuRecordInt(r, ZUID_CAT_INDEX, -1) == index)
            return ZuRecordInt(r, ZUID_CAT_CONTACT_COUNT, -1);
    return -1;
}

inline std::vector<BYTE> CardTestBitmap(std::initializer_list<int> indexes)
{
    std::vector<BYTE> b;
    for (const int i : indexes)
        ZuBitmapSet(b, i);
    return b;
}

// Writes a contact from (identifier, text) pairs and more properties; returns its id.
inline CEOID CardTestContact(std::initializer_list<std::pair<WORD, const wchar_t*>> strings,
    std::vector<CCeDBProp> more = {})
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CONTACTS))
        return 0;
    CCeDBRecord r;
    for (const auto& [ident, text] : strings) {
        const CCeDBProp p(text, ident);
        r.AddProp(&p);
    }
    for (const CCeDBProp& p : more)
        r.AddProp(&p);
    return db.WriteRecord(r, 0);
}

inline bool CardTestRead(CEOID oid, CCeDBRecord* out)
{
    CCeDBDatabase db;
    return GetDatabasePtr(&db, ZU_SEL_CONTACTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(out) && out->GetOid() == oid;
}

inline DWORD CardTestContactCount()
{
    CCeDBDatabase db;
    return GetDatabasePtr(&db, ZU_SEL_CONTACTS) ? db.GetRecordCount() : 0;
}

inline std::string CardUtf8(const CString& s) { return s.toUtf8(); }
