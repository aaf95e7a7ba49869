#include "recentlist.h"

#include "filetime.h"

#include <algorithm>

namespace {

int64_t suiteSeconds()
{
    const FILETIME now = ZuUtcNow();
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

// The numbers of a "%ld," list, each up to its comma; text after the last comma is ignored.
std::vector<long long> numbers(const CString& text)
{
    std::vector<long long> out;
    const std::wstring& s = text.str();
    size_t start = 0;
    for (size_t comma = s.find(L','); comma != std::wstring::npos; comma = s.find(L',', start)) {
        try {
            out.push_back(std::stoll(s.substr(start, comma - start)));
        } catch (...) {
            out.push_back(0);
        }
        start = comma + 1;
    }
    return out;
}

}  // namespace

CRecentList::CRecentList() : m_clock(suiteSeconds) {}

void CRecentList::Add(CEOID oid, int64_t time)
{
    if (oid == 0)
        return;
    auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.oid == oid; });
    if (same != m_entries.end()) {
        same->time = time;
        return;
    }
    if (m_entries.size() < kCapacity) {
        m_entries.push_back({oid, time});
        return;
    }
    auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
        [](const Entry& a, const Entry& b) { return a.time < b.time; });
    *oldest = {oid, time};
}

void CRecentList::Opened(CEOID oid)
{
    Add(oid, m_clock ? m_clock() : suiteSeconds());
}

void CRecentList::Remove(CEOID oid)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.oid == oid; }),
        m_entries.end());
}

bool CRecentList::Contains(CEOID oid) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.oid == oid; });
}

CString CRecentList::OidText() const
{
    CString out;
    for (const Entry& e : m_entries) {
        CString one;
        one.Format(L"%ld,", static_cast<long>(static_cast<int32_t>(e.oid)));
        out += one;
    }
    return out;
}

CString CRecentList::TimeText() const
{
    CString out;
    for (const Entry& e : m_entries) {
        CString one;
        one.Format(L"%lld,", static_cast<long long>(e.time));
        out += one;
    }
    return out;
}

void CRecentList::Parse(const CString& oids, const CString& times)
{
    m_entries.clear();
    const std::vector<long long> o = numbers(oids), t = numbers(times);
    const size_t n = std::min(o.size(), t.size());
    for (size_t i = 0; i < n; ++i)
        Add(static_cast<CEOID>(static_cast<uint32_t>(o[i])), t[i]);
}
