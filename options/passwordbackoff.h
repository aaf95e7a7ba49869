// passwordbackoff.h - the pause between password tries after repeated wrong entries.
//
// The first three tries are checked at once. After the third wrong entry in a row, the next try
// is taken only 1 s after the last wrong one, each later one twice as long after its predecessor,
// at most 8 s:
//
//   wrong entries in a row   0  1  2  3     4     5     6 and more
//   wait before the next     0  0  0  1 s   2 s   4 s   8 s
//
// A right entry starts the count again. There is never a lock-out: the wait never exceeds 8 s,
// also when the clock is set back (the wait then counts from the new "now"). Time is read from
// the suite's clock (ZuUtcNow, so tests set it with ZuSetFixedClock and never sleep). The count
// lives in the program, one for the whole process; it starts again with the program.
#pragma once

#include <cstdint>

class CPasswordBackoff {
public:
    static constexpr int kFreeTries = 3;
    static constexpr std::int64_t kFirstWaitMs = 1000;
    static constexpr std::int64_t kLongestWaitMs = 8000;

    // The wait after `wrongInARow` wrong entries, as in the table above.
    static std::int64_t WaitAfter(int wrongInARow);

    // The process's own count.
    static CPasswordBackoff& Instance();

    // Milliseconds left before a try is taken at `nowMs`; 0 when it may be checked now.
    std::int64_t RemainingMs(std::int64_t nowMs) const;
    void Wrong(std::int64_t nowMs);
    void Right();
    int WrongInARow() const { return m_wrong; }

    // The suite's clock (ZuUtcNow) in milliseconds.
    static std::int64_t NowMs();

private:
    int m_wrong = 0;
    std::int64_t m_lastWrongMs = 0;
};
