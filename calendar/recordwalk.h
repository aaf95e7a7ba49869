// recordwalk.h - the records of an open database, in its walk order.
#pragma once

#include "cedbdatabase.h"

// Calls more(record) for the current record and each one after it, until it returns false or the
// walk ends. Records that cannot be decoded are skipped; the walk stops when a read makes no
// progress (the store failed underneath).
template <typename More>
void ZuWalkOn(CCeDBDatabase& db, More more)
{
    CCeDBRecord record;
    while (!db.IsEOF()) {
        const CEOID before = db.GetCurrentOid();
        if (db.ReadCurrRecord(&record)) {  // reads and moves on
            if (!more(record))
                return;
        } else if (db.GetCurrentOid() == before) {
            return;
        }
    }
}

// Calls each(record) for every record that reads, from the first.
template <typename Each>
void ZuForEachRecord(CCeDBDatabase& db, Each each)
{
    if (!db.SeekFirst())
        return;
    ZuWalkOn(db, [&each](CCeDBRecord& record) {
        each(record);
        return true;
    });
}
