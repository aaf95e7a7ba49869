// recentlist.h - the contacts opened last: at most 14 pairs (object id, time of the last opening
// in seconds since 1970, 64-bit).
//
// Opening a listed contact renews its time; a new one is appended while fewer than 14 are held,
// else it replaces the entry with the smallest time (the first of equal ones). Stored in the
// registry as two "%ld," lists read from the left; when one list is longer the extra numbers are
// dropped. Object ids are written signed (as the handheld did) and read back unsigned.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <cstdint>
#include <functional>
#include <vector>

class CRecentList {
public:
    static constexpr size_t kCapacity = 14;
    struct Entry {
        CEOID oid = 0;
        int64_t time = 0;
    };
    using Clock = std::function<int64_t()>;

    CRecentList();
    // The clock that stamps openings (seconds); the suite's clock when none is set.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    void Opened(CEOID oid);
    void Remove(CEOID oid);
    void Add(CEOID oid, int64_t time);
    bool Contains(CEOID oid) const;
    const std::vector<Entry>& Entries() const { return m_entries; }

    // The two registry texts and back.
    CString OidText() const;
    CString TimeText() const;
    void Parse(const CString& oids, const CString& times);

private:
    std::vector<Entry> m_entries;
    Clock m_clock;
};
