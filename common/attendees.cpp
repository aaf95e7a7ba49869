// attendees.cpp - the attendee list and its BLOB (layout and reading rules in attendees.h).
#include "attendees.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "lecodec.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr std::size_t kHeaderSize = 16;      // count and 12 zero bytes
constexpr std::size_t kEntryFixedSize = 16;  // size, added, reserved

// The UTF-16 units of a string up to its first NUL.
std::u16string storedUnits(const CString& s)
{
    const std::wstring& w = s.str();
    return ZuToUtf16(std::wstring_view(w.data(), std::char_traits<wchar_t>::length(w.c_str())));
}

// Reads a NUL-terminated UTF-16 string from the reader's position, the terminating 0 wholly
// before end, and moves past it; false when there is none.
bool readString(ZuLeReader& r, std::size_t end, CString* out)
{
    std::u16string units;
    if (!r.utf16z(&units, end))
        return false;
    *out = CString(ZuFromUtf16(units));
    return true;
}

} // namespace

bool operator==(const _ATTENDEE& a, const _ATTENDEE& b)
{
    return a.nSize == b.nSize && CompareFileTime(&a.ftAdded, &b.ftAdded) == 0 && a.nReserved == b.nReserved
        && a.strName == b.strName && a.strAddress == b.strAddress;
}

CAttendees::CAttendees(const _CEBLOB& blob)
{
    ParseBLOB(blob);
}

int CAttendees::Add(const _ATTENDEE& attendee)
{
    m_entries.push_back(attendee);
    return GetSize() - 1;
}

int CAttendees::Add(const wchar_t* name, const wchar_t* address, FILETIME added)
{
    _ATTENDEE entry;
    entry.ftAdded = added;
    entry.strName = CString(name);
    entry.strAddress = CString(address);
    return Add(entry);
}

int CAttendees::Add(const wchar_t* name, const wchar_t* address)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME added;
    if (!SystemTimeToFileTime(&now, &added))
        added = FILETIME();
    return Add(name, address, added);
}

int CAttendees::RemoveAt(int index, int count)
{
    if (index < 0 || index >= GetSize() || count < 1)
        return 0;
    const int last = count > GetSize() - index ? GetSize() : index + count;
    m_entries.erase(m_entries.begin() + index, m_entries.begin() + last);
    return 1;
}

void CAttendees::RemoveAll()
{
    m_entries.clear();
}

_ATTENDEE& CAttendees::operator[](int index)
{
    if (index < 0 || index >= GetSize()) {
        m_outOfRange = _ATTENDEE();
        return m_outOfRange;
    }
    return m_entries[static_cast<std::size_t>(index)];
}

_ATTENDEE CAttendees::operator[](int index) const
{
    if (index < 0 || index >= GetSize())
        return _ATTENDEE();
    return m_entries[static_cast<std::size_t>(index)];
}

int CAttendees::GetBLOB(_CEBLOB& blob)
{
    LocalFree(blob.lpb);
    blob.lpb = nullptr;
    blob.dwCount = 0;
    if (m_entries.empty())
        return 1;

    // Sizes first, in 64 bits: with strings of at most 2^32 units no sum below can wrap, and the
    // checks keep every entry within the signed 32-bit size field and the total within a DWORD.
    std::vector<std::u16string> names, addresses;
    std::vector<std::uint64_t> sizes;
    names.reserve(m_entries.size());
    addresses.reserve(m_entries.size());
    sizes.reserve(m_entries.size());
    std::uint64_t total = kHeaderSize;
    for (const _ATTENDEE& entry : m_entries) {
        names.push_back(storedUnits(entry.strName));
        addresses.push_back(storedUnits(entry.strAddress));
        const std::uint64_t raw = kEntryFixedSize + 2 * (std::uint64_t(names.back().size()) + 1)
            + 2 * (std::uint64_t(addresses.back().size()) + 1);
        const std::uint64_t size = (raw + 3) & ~std::uint64_t(3);
        if (size > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
            return 0;
        sizes.push_back(size);
        total += size;
        if (total > std::numeric_limits<DWORD>::max())
            return 0;
    }

    auto* buffer = static_cast<BYTE*>(LocalAlloc(LPTR, static_cast<std::size_t>(total)));
    if (!buffer)
        return 0;
    ZuLeWriter w(kHeaderSize);  // the count, then zeros
    w.reserve(static_cast<std::size_t>(total));
    w.u32At(0, static_cast<std::uint32_t>(m_entries.size()));
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        _ATTENDEE& entry = m_entries[i];
        entry.nSize = static_cast<int>(sizes[i]);
        const std::size_t next = w.size() + static_cast<std::size_t>(sizes[i]);
        w.u32(static_cast<std::uint32_t>(sizes[i]));
        w.u32(entry.ftAdded.dwLowDateTime);
        w.u32(entry.ftAdded.dwHighDateTime);
        w.u32(static_cast<std::uint32_t>(entry.nReserved));
        for (const std::u16string* s : {&names[i], &addresses[i]}) {
            w.utf16(*s);
            w.u16(0);
        }
        while (w.size() < next)
            w.u8(0);  // padding
    }
    std::memcpy(buffer, w.data(), w.size());
    blob.lpb = buffer;
    blob.dwCount = static_cast<DWORD>(total);
    return 1;
}

int CAttendees::ParseBLOB(const _CEBLOB& blob)
{
    if (blob.dwCount == 0 || !blob.lpb)
        return 1;
    ZuLeReader r(blob.lpb, blob.dwCount);
    const std::size_t length = r.size();
    if (length < kHeaderSize)
        return 0;
    const auto count = r.i32();
    std::size_t at = kHeaderSize;
    // Each pass moves on by at least 16 bytes, so the loop ends within (length - 16) / 16 passes
    // whatever the count says. Every fixed field is checked to lie inside the BLOB before it is
    // read.
    for (std::int32_t i = 0; i < count; ++i) {
        if (length - at < kEntryFixedSize)
            return 0;
        r.seek(at);
        const auto size = r.i32();
        if (size < static_cast<std::int32_t>(kEntryFixedSize) || size % 2 != 0
            || static_cast<std::size_t>(size) > length - at)
            return 0;
        const std::size_t end = at + static_cast<std::size_t>(size);
        _ATTENDEE entry;
        entry.nSize = size;
        entry.ftAdded.dwLowDateTime = r.u32();
        entry.ftAdded.dwHighDateTime = r.u32();
        entry.nReserved = r.i32();
        if (!readString(r, end, &entry.strName) || !readString(r, end, &entry.strAddress))
            return 0;
        m_entries.push_back(std::move(entry));
        at = end;
    }
    return 1;
}

CString CAttendees::GetAttendees(const wchar_t* separator, WORD format) const
{
    const CString sep(separator);
    CString result;
    for (const _ATTENDEE& entry : m_entries) {
        switch (format) {
        case kNameAndAddress:
            result += entry.strName + L":" + entry.strAddress + sep + L" ";
            break;
        case kNameOnly:
            result += entry.strName + sep + L" ";
            break;
        case kAddressOnly:
            result += entry.strAddress + sep + L" ";
            break;
        default:
            break;
        }
    }
    result.TrimRight();
    std::wstring& text = result.str();
    while (!text.empty() && !sep.IsEmpty() && sep.str().find(text.back()) != std::wstring::npos)
        text.pop_back();
    return result;
}
