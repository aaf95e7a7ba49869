// recordwalk.h - every record of an open database, in its walk order.
#pragma once

#include "cedbdatabase.h"

// Calls each(record) for every record that reads; records that cannot be decoded are skipped.
// Stops when a read makes no progress (the store failed underneath).
template <typename Each>
void ZuForEachRecord(CCeDBDatabase& db, Each each)
{
    CCeDBRecord record;
    if (!db.SeekFirst())
        return;
    while (!db.IsEOF()) {
        const CEOID before = db.GetCurrentOid();
        if (db.ReadCurrRecord(&record))  // reads and moves on
            each(record);
        else if (db.GetCurrentOid() == before)
            break;
    }
}
