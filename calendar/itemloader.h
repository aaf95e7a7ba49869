// itemloader.h - turns the store into the calendar's items for one range.
//
// A loader reads "Appointments Database", "Contacts Database" and "Tasks Database" through
// database objects of its own, opened on the thread that runs the load, and keeps what a load
// needs of every record in memory: local start and end (lunar single appointments already placed
// on their solar date), flags, category bitmap, subject, the parsed recurrence pattern. The cache
// is read again only when the store's change stamp moves (any record written or deleted, by any
// program), so a load after the first scans memory, not the store. The first load after a move
// reads only what its range can show (appointments through the database's sort orders: those
// starting shortly before or in the range, and every recurring, lunar or long one), the next one
// everything; both give the same items.
//
// One loader belongs to one thread at a time; it shares nothing with other loaders.
#pragma once

#include "calendaritem.h"
#include "recurrencepattern.h"

#include <atomic>
#include <memory>
#include <string>

class CItemLoader {
public:
    CItemLoader();
    ~CItemLoader();
    CItemLoader(const CItemLoader&) = delete;
    CItemLoader& operator=(const CItemLoader&) = delete;

    // Fills `result` for the request (cleared first). Returns false when `abort` was seen set;
    // the result is then incomplete and must not be shown.
    bool Load(const LoadRequest& request, LoadResult& result, const std::atomic<bool>& abort);

    // Reads the contacts' days and the tasks ahead of the first load (a load reads them whatever
    // its range), so that the load itself reads only its appointments; the loading thread does
    // this while the program is still starting. Kept only while the change stamp stays the same.
    void Prepare();
    // Reads the cache again on the next load whatever the change stamp says.
    void Invalidate();

    // Statistics for tests and benchmarks: how many times the store was read.
    int StoreReads() const { return m_storeReads; }

    struct Cache;

private:
    void refresh(const LoadRequest& request);
    static void readUndated(Cache& cache);

    std::unique_ptr<Cache> m_cache;
    std::string m_path;
    ULONGLONG m_stamp = 0;
    bool m_valid = false;       // the cache holds every record as of m_stamp
    ULONGLONG m_rangeStamp = 0;  // the stamp of the last load that read its range only
    std::unique_ptr<Cache> m_prepared;  // Prepare's contacts' days and tasks, as of m_preparedStamp
    ULONGLONG m_preparedStamp = 0;
    std::string m_preparedPath;
    int m_storeReads = 0;
};
