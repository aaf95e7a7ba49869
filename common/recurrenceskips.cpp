#include "recurrenceskips.h"

#include "filetime.h"
#include "recordlayouts.h"
#include "recurrencepattern.h"

#include <algorithm>

namespace {

constexpr ULONGLONG kDay = ZU_TICKS_PER_DAY;
constexpr ULONGLONG kMinute = ZU_TICKS_PER_MINUTE;
constexpr ULONGLONG kLastMinute = 0x5AE980DF;  // 4500-12-31 23:59, the pattern's "no end"
constexpr size_t kHeader = 8;

void put16(std::vector<BYTE>& out, size_t at, unsigned value)
{
    out[at] = static_cast<BYTE>(value & 0xFF);
    out[at + 1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

void put32(std::vector<BYTE>& out, size_t at, ULONGLONG value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<BYTE>((value >> (8 * i)) & 0xFF);
}

ULONGLONG get32(const BYTE* bytes)
{
    return static_cast<ULONGLONG>(bytes[0]) | static_cast<ULONGLONG>(bytes[1]) << 8
        | static_cast<ULONGLONG>(bytes[2]) << 16 | static_cast<ULONGLONG>(bytes[3]) << 24;
}

}  // namespace

std::vector<BYTE> ZuSkippedDatesToBytes(ZuSkippedDates dates)
{
    for (ULONGLONG& d : dates)
        d -= d % kDay;
    std::erase_if(dates, [](ULONGLONG d) { return d / kMinute > kLastMinute; });
    std::sort(dates.begin(), dates.end());
    dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
    std::vector<BYTE> out;
    if (dates.empty())
        return out;
    out.assign(kHeader + 4 * dates.size(), 0);
    put16(out, 0, ZU_SKIPPED_DATES_VERSION);
    put32(out, 4, dates.size());
    for (size_t i = 0; i < dates.size(); ++i)
        put32(out, kHeader + 4 * i, dates[i] / kMinute);
    return out;
}

ZuSkippedDates ZuSkippedDatesFromBytes(const BYTE* bytes, size_t count)
{
    ZuSkippedDates dates;
    if (!bytes || count < kHeader || (bytes[0] | bytes[1] << 8) != ZU_SKIPPED_DATES_VERSION)
        return dates;
    const ULONGLONG n = get32(bytes + 4);
    if (count != kHeader + 4 * n)
        return dates;
    dates.reserve(static_cast<size_t>(n));
    for (size_t i = 0; i < n; ++i) {
        const ULONGLONG minutes = get32(bytes + kHeader + 4 * i);
        if (minutes % 1440 || (!dates.empty() && minutes * kMinute <= dates.back()))
            return {};
        dates.push_back(minutes * kMinute);
    }
    return dates;
}

bool ZuIsSkippedDate(const ZuSkippedDates& dates, ULONGLONG date)
{
    return !dates.empty() && std::binary_search(dates.begin(), dates.end(), date - date % kDay);
}

void ZuKeepOccurrenceDates(const CRecurrencePattern& pattern, ZuSkippedDates& dates)
{
    if (!pattern.IsValid()) {
        dates.clear();
        return;
    }
    CRecurrencePattern walk(pattern);
    std::erase_if(dates, [&](ULONGLONG date) {
        FILETIME found{};
        const ULONGLONG day = date - date % kDay;
        return !walk.SeekRecurTimeFrom(&found, ZuU64ToFileTime(day))
            || ZuFileTimeToU64(found) - ZuFileTimeToU64(found) % kDay != day;
    });
}
