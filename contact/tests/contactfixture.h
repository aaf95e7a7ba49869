// contactfixture.h - contacts and categories written straight into a fresh store.
#pragma once

#include "cedbdatabase.h"
#include "pimstore.h"
#include "recordlayouts.h"

#include <utility>
#include <vector>

namespace confix {

using Props = std::vector<std::pair<WORD, const wchar_t*>>;

inline CEOID addContact(const wchar_t* name, const Props& numbers = {}, const std::vector<int>& categories = {},
    LONG preferred = 0)
{
    CCeDBDatabase db;
    if (!db.Open(ZU_DB_CONTACTS))
        return 0;
    CCeDBRecord r;
    if (name) {
        CCeDBProp p(name, ZUID_CON_FILE_AS);
        r.AddProp(&p);
    }
    for (const auto& [ident, value] : numbers) {
        CCeDBProp p(value, ident);
        r.AddProp(&p);
    }
    std::vector<BYTE> bits;
    for (int c : categories)
        ZuBitmapSet(bits, c);
    if (!bits.empty()) {
        CEBLOB blob{static_cast<DWORD>(bits.size()), bits.data()};
        CCeDBProp p(blob, ZUID_CON_CATEGORIES);
        r.AddProp(&p);
    }
    if (preferred) {
        CCeDBProp p(preferred, ZUID_CON_PREFERRED_NUMBER);
        r.AddProp(&p);
    }
    return db.WriteRecord(r, 0);
}

inline CEOID addCategory(const wchar_t* name, short index, short contacts)
{
    CCeDBDatabase db;
    if (!db.Open(ZU_DB_CATEGORIES))
        return 0;
    CCeDBRecord r;
    CCeDBProp n(name, ZUID_CAT_NAME), i(index, ZUID_CAT_INDEX), u(short(1), ZUID_CAT_IN_USE),
        c(contacts, ZUID_CAT_CONTACT_COUNT);
    r.AddProp(&n);
    r.AddProp(&i);
    r.AddProp(&u);
    r.AddProp(&c);
    return db.WriteRecord(r, 0);
}

inline short categoryContacts(const wchar_t* name)
{
    CCeDBDatabase db;
    db.Open(ZU_DB_CATEGORIES);
    CCeDBRecord r;
    while (!db.IsEOF() && db.ReadCurrRecord(&r)) {
        const CCeDBProp* n = r.GetFullIdProp(ZUPID_CAT_NAME);
        const CCeDBProp* c = r.GetFullIdProp(ZUPID_CAT_CONTACT_COUNT);
        if (n && CString(n->GetString()) == CString(name))
            return c ? c->GetShort() : -1;
    }
    return -1;
}

}  // namespace confix
