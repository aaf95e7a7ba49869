#include "passwordbackoff.h"

#include "filetime.h"

std::int64_t CPasswordBackoff::WaitAfter(int wrongInARow)
{
    if (wrongInARow < kFreeTries)
        return 0;
    std::int64_t wait = kFirstWaitMs;
    for (int n = kFreeTries; n < wrongInARow && wait < kLongestWaitMs; ++n)
        wait *= 2;
    return wait < kLongestWaitMs ? wait : kLongestWaitMs;
}

CPasswordBackoff& CPasswordBackoff::Instance()
{
    static CPasswordBackoff backoff;
    return backoff;
}

std::int64_t CPasswordBackoff::RemainingMs(std::int64_t nowMs) const
{
    const std::int64_t wait = WaitAfter(m_wrong);
    if (wait == 0)
        return 0;
    // A clock set back counts as no time passed, so the wait stays within its bound.
    const std::int64_t elapsed = nowMs >= m_lastWrongMs ? nowMs - m_lastWrongMs : 0;
    return elapsed >= wait ? 0 : wait - elapsed;
}

void CPasswordBackoff::Wrong(std::int64_t nowMs)
{
    if (m_wrong < 1000)  // far past the longest wait; keeps the count from overflowing
        ++m_wrong;
    m_lastWrongMs = nowMs;
}

void CPasswordBackoff::Right()
{
    m_wrong = 0;
    m_lastWrongMs = 0;
}

std::int64_t CPasswordBackoff::NowMs()
{
    const FILETIME now = ZuUtcNow();
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000);
}
