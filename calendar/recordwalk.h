// recordwalk.h - the records of an open database, in its walk order.
#pragma once

#include "cedbdatabase.h"
#include "lasterror.h"

// Calls more(record) for the current record and each one after it, until it returns false or the
// walk ends. Records that cannot be decoded are skipped. False when a read of the store failed
// (the last error says why): the records given so far are then not all there are.
template <typename More>
bool ZuWalkOn(CCeDBDatabase& db, More more)
{
    CCeDBRecord record;
    while (!db.IsEOF()) {
        const CEOID before = db.GetCurrentOid();
        if (db.ReadCurrRecord(&record)) {  // reads and moves on
            if (!more(record))
                return true;
        } else if (db.ReadFailed() || db.GetCurrentOid() == before) {
            break;
        }
    }
    return !db.ReadFailed();
}

// Calls each(record) for every record that reads, from the first; false as ZuWalkOn.
template <typename Each>
bool ZuForEachRecord(CCeDBDatabase& db, Each each)
{
    if (!db.SeekFirst())
        return !db.ReadFailed() && GetLastError() == ERROR_NO_MORE_ITEMS;
    return ZuWalkOn(db, [&each](CCeDBRecord& record) {
        each(record);
        return true;
    });
}
