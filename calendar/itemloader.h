// itemloader.h - turns the store into the calendar's items for one range.
//
// A loader keeps what a load needs of every record in a record cache of its own (recordcache.h:
// what it holds, when it is stale, how it is refreshed), brings the cache up to date at the start
// of each load, and then makes the items from memory: the appointments (recurring ones by their
// occurrences), the contacts' birthdays and anniversaries and the tasks (recurring ones by their
// occurrences), each group in its calendar order and the groups in that order, with the counts
// and, for the day and week views, the day layout.
//
// One loader belongs to one thread at a time; it shares nothing with other loaders.
#pragma once

#include "calendaritem.h"
#include "recordcache.h"

#include <atomic>

class CItemLoader {
public:
    CItemLoader() = default;
    CItemLoader(const CItemLoader&) = delete;
    CItemLoader& operator=(const CItemLoader&) = delete;

    // Fills `result` for the request (cleared first). Returns false when `abort` was seen set;
    // the result is then incomplete and must not be shown. When the store cannot be read the
    // result has no items and its `failure` says why.
    bool Load(const LoadRequest& request, LoadResult& result, const std::atomic<bool>& abort);

    // Reads the contacts' days and the tasks ahead of the first load (a load reads them whatever
    // its range), so that the load itself reads only its appointments; the loading thread does
    // this while the program is still starting. Kept only while the change stamp stays the same.
    void Prepare() { m_cache.Prepare(); }
    // Reads the cache again on the next load whatever the change stamp says.
    void Invalidate() { m_cache.Invalidate(); }

    // Statistics for tests and benchmarks: how many times the store was read.
    int StoreReads() const { return m_cache.StoreReads(); }

private:
    CRecordCache m_cache;
};
