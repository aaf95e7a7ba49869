// categorytestdata.h - category records for the category tests: one written, one read back.
#pragma once

#include "pimstore.h"

#include <string>
#include <vector>

// Writes a category record with every property; a negative `shown` leaves 0x4003 out.
inline CEOID ZuTestStoreCategory(const std::wstring& name, int index, int shown = 1, int contacts = 0,
    int appointments = 0, int tasks = 0)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return 0;
    CCeDBRecord r;
    const CCeDBProp nameProp(name.c_str(), ZUID_CAT_NAME);
    const CCeDBProp indexProp(static_cast<short>(index), ZUID_CAT_INDEX);
    r.AddProp(&nameProp);
    r.AddProp(&indexProp);
    if (shown >= 0) {
        const CCeDBProp shownProp(static_cast<short>(shown), ZUID_CAT_IN_USE);
        r.AddProp(&shownProp);
    }
    const CCeDBProp counts[] = {CCeDBProp(static_cast<short>(contacts), ZUID_CAT_CONTACT_COUNT),
        CCeDBProp(static_cast<short>(appointments), ZUID_CAT_APT_COUNT),
        CCeDBProp(static_cast<short>(tasks), ZUID_CAT_TASK_COUNT)};
    r.AddProps(counts, 3);
    return db.WriteRecord(r, 0);
}

struct ZuTestCategory {
    std::wstring name;
    std::vector<long long> props;  // 0x4003 to 0x4006, -1 when absent; empty: no such record
};

inline ZuTestCategory ZuTestReadCategory(int index)
{
    CCeDBDatabase db;
    ZuTestCategory out;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return out;
    CCeDBRecord r;
    while (db.ReadCurrRecord(&r)) {
        if (ZuRecordInt(r, ZUID_CAT_INDEX, -1) != index)
            continue;
        out.name = ZuRecordString(r, ZUID_CAT_NAME).str();
        for (const WORD id : {ZUID_CAT_IN_USE, ZUID_CAT_CONTACT_COUNT, ZUID_CAT_APT_COUNT, ZUID_CAT_TASK_COUNT})
            out.props.push_back(ZuRecordInt(r, id, -1));
        break;
    }
    return out;
}
