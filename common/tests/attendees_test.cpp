#include "attendees.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "testzone.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

static void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << s.toUtf8() << '"';
}

static void PrintTo(const _ATTENDEE& a, std::ostream* os)
{
    *os << "{size " << a.nSize << ", added " << std::hex << ZuFileTimeToU64(a.ftAdded) << ", reserved "
        << static_cast<std::uint32_t>(a.nReserved) << std::dec << ", \"" << a.strName.toUtf8() << "\" <"
        << a.strAddress.toUtf8() << ">}";
}

namespace {

// Gives the test access to the reader.
class Reader : public CAttendees {
public:
    using CAttendees::ParseBLOB;
};

Bytes fromHex(const char* hex)
{
    Bytes out;
    int high = -1;
    for (const char* p = hex; *p; ++p) {
        const char c = *p;
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<BYTE>(high << 4 | v));
            high = -1;
        }
    }
    return out;
}

_CEBLOB view(Bytes& b)
{
    _CEBLOB blob;
    blob.dwCount = static_cast<DWORD>(b.size());
    blob.lpb = b.empty() ? nullptr : b.data();
    return blob;
}

// Writes the list and hands back the bytes, freeing the buffer.
Bytes written(CAttendees& list)
{
    _CEBLOB blob;
    EXPECT_EQ(list.GetBLOB(blob), 1);
    Bytes out(blob.lpb, blob.lpb + blob.dwCount);
    LocalFree(blob.lpb);
    return out;
}

std::vector<_ATTENDEE> entriesOf(const CAttendees& list)
{
    std::vector<_ATTENDEE> out;
    for (int i = 0; i < list.GetSize(); ++i)
        out.push_back(list[i]);
    return out;
}

// Reads bytes copied into a buffer of exactly their size, so that a read past the end is a
// sanitizer report. Returns the reader's result.
int readExact(const Bytes& bytes, Reader& into)
{
    Bytes exact(bytes);
    exact.shrink_to_fit();
    return into.ParseBLOB(view(exact));
}

void setU32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<BYTE>(v >> (8 * i));
}

_ATTENDEE entry(int size, ULONGLONG added, std::uint32_t reserved, const wchar_t* name, const wchar_t* address)
{
    _ATTENDEE a;
    a.nSize = size;
    a.ftAdded = ZuU64ToFileTime(added);
    a.nReserved = static_cast<int>(reserved);
    a.strName = name;
    a.strAddress = address;
    return a;
}

// The suite's clock stopped at a UTC time for one scope.
struct FixedClock {
    explicit FixedClock(ULONGLONG utc) { ZuSetFixedClock(ZuU64ToFileTime(utc)); }
    ~FixedClock() { ZuSetClock({}); }
};

constexpr ULONGLONG k20040301_0900 = 0x01C3FF6B93A2A800ULL;
constexpr ULONGLONG k20240517_1430 = 0x01DAA866B2C16400ULL;

struct Golden {
    const char* summary;
    const char* hex;
    std::vector<_ATTENDEE> entries;  // with the sizes the writer stores
};

// U+1D11E is written as the surrogate pair D834 DD1E.
const std::vector<Golden>& goldens()
{
    static const std::vector<Golden> all = {
        {"Kim <k@x>, added 2004-03-01 09:00: one 32-byte entry, 48 bytes",
            "01000000 00000000 00000000 00000000"
            "20000000 00a8a293 6bffc301 00000000"
            "4b006900 6d000000 6b004000 78000000",
            {entry(32, k20040301_0900, 0, L"Kim", L"k@x")}},
        {"Li <l>, added 0: 26 bytes padded to 28, 44 bytes",
            "01000000 00000000 00000000 00000000"
            "1c000000 00000000 00000000 00000000"
            "4c006900 00006c00 00000000",
            {entry(28, 0, 0, L"Li", L"l")}},
        {"홍길동 <hong@ex.kr> reserved 0x12345678 (48), 이\U0001D11E with no address (26 -> 28), 92 bytes",
            "02000000 00000000 00000000 00000000"
            "30000000 0064c1b2 66a8da01 78563412"
            "4dd638ae d9b30000 68006f00 6e006700 40006500 78002e00 6b007200 00000000"
            "1c000000 00a8a293 6bffc301 00000000"
            "74c734d8 1edd0000 00000000",
            {entry(48, k20240517_1430, 0x12345678, L"홍길동", L"hong@ex.kr"),
                entry(28, k20040301_0900, 0, L"이\U0001D11E", L"")}},
    };
    return all;
}

// An entry as added by the editor: size and reserved 0 until written.
CAttendees listOf(const std::vector<_ATTENDEE>& entries)
{
    CAttendees list;
    for (_ATTENDEE a : entries) {
        a.nSize = 0;
        list.Add(a.strName, a.strAddress, a.ftAdded);
        list[list.GetSize() - 1].nReserved = a.nReserved;
    }
    return list;
}

} // namespace

TEST(Attendees, GoldenBlobsAreWrittenAndReadByteForByte)
{
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.summary);
        const Bytes bytes = fromHex(g.hex);

        CAttendees list = listOf(g.entries);
        EXPECT_EQ(written(list), bytes);
        EXPECT_EQ(entriesOf(list), g.entries);  // the writer stores each entry's size

        Reader read;
        EXPECT_EQ(readExact(bytes, read), 1);
        EXPECT_EQ(entriesOf(read), g.entries);
        EXPECT_EQ(written(read), bytes);
    }
}

TEST(Attendees, EmptyListAndEmptyBlob)
{
    // The writer frees a buffer the blob already held (a leak report otherwise) and leaves none.
    CAttendees empty;
    _CEBLOB blob;
    blob.lpb = static_cast<BYTE*>(LocalAlloc(LPTR, 8));
    blob.dwCount = 8;
    EXPECT_EQ(empty.GetBLOB(blob), 1);
    EXPECT_EQ(blob.dwCount, 0u);
    EXPECT_EQ(blob.lpb, nullptr);

    EXPECT_EQ(CAttendees(blob).GetSize(), 0);
    Bytes countZero = fromHex("00000000 00000000 00000000 00000000");
    EXPECT_EQ(CAttendees(view(countZero)).GetSize(), 0);

    // Writing again into a blob that holds an earlier result replaces it.
    CAttendees one;
    one.Add(L"a", L"b", FILETIME());
    ASSERT_EQ(one.GetBLOB(blob), 1);
    ASSERT_EQ(one.GetBLOB(blob), 1);
    EXPECT_EQ(blob.dwCount, 16u + 24u);
    LocalFree(blob.lpb);
}

TEST(Attendees, ReadingAppendsToTheList)
{
    Bytes kim = fromHex(goldens()[0].hex);
    Reader list;
    list.Add(L"first", L"f@x", FILETIME());
    EXPECT_EQ(list.ParseBLOB(view(kim)), 1);
    EXPECT_EQ(list.ParseBLOB(view(kim)), 1);
    ASSERT_EQ(list.GetSize(), 3);
    EXPECT_EQ(list[0].strName, L"first");
    EXPECT_EQ(list[2].strName, L"Kim");
}

TEST(Attendees, RoundTripsAwkwardStrings)
{
    const std::wstring longName(5000, L'가');
    CAttendees list;
    list.Add(L"", L"", FILETIME());
    list.Add(longName.c_str(), L"a@b", ZuU64ToFileTime(0x7FFFFFFFFFFFFFFFULL));
    list.Add(nullptr, nullptr, FILETIME());
    list.Add(L"\U0001F600 smile", L"\U00010000@\U0010FFFF", FILETIME());
    list[0].nReserved = -1;

    const Bytes bytes = written(list);
    Reader back;
    EXPECT_EQ(readExact(bytes, back), 1);
    EXPECT_EQ(entriesOf(back), entriesOf(list));
    EXPECT_EQ(list[0].nSize, 20);  // two terminating zeros, no padding
    EXPECT_EQ(list[1].nSize, 16 + 10002 + 8 + 2);  // 10026 padded
    EXPECT_EQ(list[3].nSize, 48);  // 16 + 2 × 9 + 2 × 6 = 46: surrogate pairs count two units

    // A string holding a NUL is stored up to it, as the C string it stands for.
    CAttendees withNul;
    _ATTENDEE a;
    a.strName = CString(std::wstring(L"ab\0cd", 5));
    a.strAddress = L"x";
    withNul.Add(a);
    const Bytes nulBytes = written(withNul);
    EXPECT_EQ(withNul[0].nSize, 28);
    Reader nulBack;
    EXPECT_EQ(readExact(nulBytes, nulBack), 1);
    EXPECT_EQ(nulBack[0].strName, L"ab");
    EXPECT_EQ(nulBack[0].strAddress, L"x");
}

TEST(Attendees, AddReturnsTheIndexAndStampsLocalTime)
{
    ZuTzGuard seoul("Asia/Seoul");
    CAttendees list;
    {
        // 2024-05-17 05:30:15.250 UTC is 14:30:15.250 in Seoul; ticks below a millisecond drop.
        FixedClock clock(k20240517_1430 - 9 * ZU_TICKS_PER_HOUR + 15 * ZU_TICKS_PER_SECOND
            + 250 * ZU_TICKS_PER_MILLISECOND + 7);
        EXPECT_EQ(list.Add(L"a", L"a@x", FILETIME()), 0);
        EXPECT_EQ(list.Add(L"b", L"b@x"), 1);
    }
    _ATTENDEE c;
    c.nReserved = 5;
    EXPECT_EQ(list.Add(c), 2);

    EXPECT_EQ(ZuFileTimeToU64(list[1].ftAdded),
        k20240517_1430 + 15 * ZU_TICKS_PER_SECOND + 250 * ZU_TICKS_PER_MILLISECOND);
    EXPECT_EQ(list[1].nReserved, 0);
    EXPECT_EQ(list[2].nReserved, 5);
}

TEST(Attendees, IndexingOutsideTheListIsHarmless)
{
    CAttendees list;
    list.Add(L"a", L"a@x", FILETIME());
    list[0].strName = L"changed";  // the non-const form is the entry itself
    EXPECT_EQ(list[0].strName, L"changed");

    list[1].strName = L"lost";
    list[-1].strName = L"lost";
    EXPECT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list[1].strName, L"");
    const CAttendees& constant = list;
    EXPECT_EQ(constant[7].strName, L"");
    EXPECT_EQ(constant[0].strName, L"changed");
}

TEST(Attendees, RemoveAt)
{
    struct Case {
        int index, count, result;
        std::wstring left;
    };
    const Case cases[] = {
        {0, 1, 1, L"bcde"},
        {1, 2, 1, L"ade"},
        {4, 1, 1, L"abcd"},
        {3, 99, 1, L"abc"},
        {0, 5, 1, L"" },
        {2, 0, 0, L"abcde"},
        {2, -1, 0, L"abcde"},
        {5, 1, 0, L"abcde"},
        {-1, 1, 0, L"abcde"},
        {0, 0x7FFFFFFF, 1, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "RemoveAt(" << c.index << ", " << c.count << ")");
        CAttendees list;
        for (const wchar_t* n : {L"a", L"b", L"c", L"d", L"e"})
            list.Add(n, L"", FILETIME());
        EXPECT_EQ(list.RemoveAt(c.index, c.count), c.result);
        std::wstring left;
        for (int i = 0; i < list.GetSize(); ++i)
            left += list[i].strName.str();
        EXPECT_EQ(left, c.left);
    }
    CAttendees list;
    list.Add(L"a", L"", FILETIME());
    list.RemoveAll();
    EXPECT_EQ(list.GetSize(), 0);
}

TEST(Attendees, GetAttendees)
{
    CAttendees ab;
    ab.Add(L"A", L"a@x", FILETIME());
    ab.Add(L"B", L"b@x", FILETIME());
    struct Case {
        const wchar_t* separator;
        WORD format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L";", 1, L"A; B"},
        {L";", 0, L"A:a@x; B:b@x"},
        {L";", 2, L"a@x; b@x"},
        {L";", 3, L""},
        {L",", 0xFFFF, L""},
        {L"", 1, L"A B"},
        {nullptr, 1, L"A B"},
        {L" ; ", 1, L"A ;  B"},  // every trailing character of the separator goes
        {L"/", 2, L"a@x/ b@x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format);
        EXPECT_EQ(ab.GetAttendees(c.separator, c.format), c.expected);
    }

    EXPECT_EQ(CAttendees().GetAttendees(L";", 0), L"");

    // Trailing blanks go first, then separator characters: an empty last address leaves the colon.
    CAttendees odd;
    odd.Add(L"김", L"", FILETIME());
    odd.Add(L"X;;", L"", FILETIME());
    EXPECT_EQ(odd.GetAttendees(L";", 0), L"김:; X;;:");
    EXPECT_EQ(odd.GetAttendees(L";", 1), L"김; X");
}

// Each row damages a golden BLOB; reading keeps the entries read in full before the damage.
TEST(Attendees, ReadingIsBoundedByTheBlob)
{
    const Bytes kim = fromHex(goldens()[0].hex);  // entry at 16..48
    const Bytes two = fromHex(goldens()[2].hex);  // entries at 16..64 and 64..92
    auto patched = [](Bytes b, std::size_t at, std::uint32_t v) {
        setU32(b, at, v);
        return b;
    };
    auto cut = [](Bytes b, std::size_t length) {
        b.resize(length);
        return b;
    };
    auto withByte = [](Bytes b, std::size_t at, BYTE v) {
        b[at] = v;
        return b;
    };
    Bytes extra = kim;
    extra.push_back(0);

    struct Case {
        const char* name;
        Bytes bytes;
        int result;
        int entries;
    };
    const std::vector<Case> cases = {
        {"count 0", patched(two, 0, 0), 1, 0},
        {"count -1", patched(two, 0, 0xFFFFFFFF), 1, 0},
        {"count INT_MIN", patched(two, 0, 0x80000000), 1, 0},
        {"count 1 of 2 present", patched(two, 0, 1), 1, 1},
        {"count 3 of 2 present", patched(two, 0, 3), 0, 2},
        {"count INT_MAX", patched(two, 0, 0x7FFFFFFF), 0, 2},
        {"4-byte BLOB", cut(kim, 4), 0, 0},
        {"15-byte BLOB", cut(kim, 15), 0, 0},
        {"header only", cut(two, 16), 0, 0},
        {"next entry's size, time and reserved cut", cut(two, 64 + 15), 0, 1},
        {"last entry cut by one byte", cut(two, 91), 0, 1},
        {"odd BLOB length, one spare byte", extra, 1, 1},
        {"header's zero bytes not zero", patched(two, 8, 0xDEADBEEF), 1, 2},
        {"entry size 0", patched(two, 64, 0), 0, 1},
        {"entry size 15", patched(two, 64, 15), 0, 1},
        {"entry size 16, no room for strings", patched(two, 16, 16), 0, 0},
        {"entry size negative", patched(two, 64, 0x80000000), 0, 1},
        {"entry size -1", patched(two, 64, 0xFFFFFFFF), 0, 1},
        {"entry size one past the BLOB", patched(two, 64, 29), 0, 1},
        {"entry size 30 past the BLOB", patched(two, 64, 30), 0, 1},
        {"entry size odd", patched(two, 16, 47), 0, 0},
        {"entry size even, unpadded (26)", patched(two, 64, 26), 1, 2},
        {"entry size ends right after the name", patched(two, 16, 24), 0, 0},
        {"address runs into the next entry", patched(two, 16, 40), 0, 0},
        {"name's 0 overwritten, no room left for the address", withByte(kim, 0x26, 'X'), 0, 0},
        {"address without its 0 in the BLOB", withByte(kim, 0x2e, 'y'), 0, 0},
        {"name cut by its entry size (22)", patched(kim, 16, 22), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reader read;
        EXPECT_EQ(readExact(c.bytes, read), c.result);
        EXPECT_EQ(read.GetSize(), c.entries);
    }

    // The rows above keep exactly the golden entries before the damage.
    Reader firstOnly;
    readExact(patched(two, 64, 0), firstOnly);
    ASSERT_EQ(firstOnly.GetSize(), 1);
    EXPECT_EQ(firstOnly[0], goldens()[2].entries[0]);
    Reader unpadded;
    readExact(patched(two, 64, 26), unpadded);
    ASSERT_EQ(unpadded.GetSize(), 2);
    EXPECT_EQ(unpadded[1].strName, L"이\U0001D11E");
    EXPECT_EQ(unpadded[1].nSize, 26);
}

// Every truncation of each golden BLOB reads the entries that lie wholly inside it, and a few
// thousand seeded byte flips read and write back without a crash, a hang or a sanitizer report.
TEST(Attendees, CorruptionSweep)
{
    std::mt19937 rng(20240517);
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.summary);
        const Bytes full = fromHex(g.hex);
        for (std::size_t length = 0; length < full.size(); ++length) {
            Reader read;
            readExact(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)), read);
            std::size_t end = 16;
            std::vector<_ATTENDEE> inside;
            for (const _ATTENDEE& a : g.entries) {
                end += static_cast<std::size_t>(a.nSize);
                if (end <= length)
                    inside.push_back(a);
            }
            ASSERT_EQ(entriesOf(read), inside) << "length " << length;
        }

        for (int round = 0; round < 3000; ++round) {
            Bytes damaged = full;
            const int flips = 1 + static_cast<int>(rng() % 3);
            for (int f = 0; f < flips; ++f)
                damaged[rng() % damaged.size()] ^= static_cast<BYTE>(1 + rng() % 255);
            Reader first;
            readExact(damaged, first);
            ASSERT_LE(first.GetSize(), static_cast<int>((damaged.size() - 16) / 16)) << "round " << round;
            const Bytes again = written(first);
            Reader second;
            ASSERT_EQ(readExact(again, second), 1) << "round " << round;
            ASSERT_EQ(entriesOf(second), entriesOf(first)) << "round " << round;
            for (WORD format = 0; format < 4; ++format)
                first.GetAttendees(L";", format);
        }
    }
}
