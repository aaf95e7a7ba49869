// attendees.h - the attendee list of an appointment and its stored form.
//
// CAttendees is a growable list of _ATTENDEE entries (name, e-mail address, when it was added).
// An appointment record keeps it as a BLOB (property 0x0030); the attendee page edits it and the
// event editor hands it to the object model when it saves.
//
// Stored form (all integers little-endian, strings UTF-16 without byte-order mark):
//
//   BLOB header
//   | offset | size | field                                                          |
//   |--------|------|----------------------------------------------------------------|
//   |      0 |    4 | number of entries n (signed; 0 or less means an empty list)    |
//   |      4 |   12 | zero                                                           |
//   |     16 |    … | n entries, one after the other                                 |
//
//   One entry
//   | offset in entry | size        | field                                           |
//   |-----------------|-------------|-------------------------------------------------|
//   |               0 | 4           | entry size s = the offset of the next entry     |
//   |               4 | 8           | added (FILETIME, local wall-clock time)         |
//   |              12 | 4           | reserved, carried through unchanged (new: 0)    |
//   |              16 | 2 × (L1+1)  | name: L1 UTF-16 units and a terminating 0       |
//   |     18 + 2 × L1 | 2 × (L2+1)  | address: L2 UTF-16 units and a terminating 0    |
//   |               … | 0 or 2      | zero padding                                    |
//
//   s = 16 + 2 × (L1+1) + 2 × (L2+1), rounded up to a multiple of 4; the BLOB is 16 + Σ s bytes
//   and zero-filled before it is written. L1 and L2 count UTF-16 units, so a character outside
//   the Basic Multilingual Plane takes two (a surrogate pair). A string is written up to its
//   first NUL character, if it holds one.
//
//   Worked example: one attendee "Kim" <k@x>, added 2004-03-01 09:00 (0x01C3FF6B93A2A800),
//   reserved 0: s = 16 + 8 + 8 = 32, BLOB 48 bytes:
//     00: 01 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00   n = 1, 12 zero bytes
//     10: 20 00 00 00  00 a8 a2 93  6b ff c3 01  00 00 00 00   s = 32, added, reserved
//     20: 4b 00 69 00  6d 00 00 00  6b 00 40 00  78 00 00 00   "Kim\0" "k@x\0"
//   A name of 2 units and an address of 1 ("Li" <l>) give 16 + 6 + 4 = 26, stored as 28 with
//   two bytes of padding.
//
// Reading is bounded by the BLOB: it never reads outside dwCount bytes and ends early, keeping
// every entry read in full before, when the BLOB is shorter than the 16-byte header (and not
// empty), when fewer than 16 bytes remain for the next entry's fixed part, when an entry size is
// below 16, odd, or reaches beyond the BLOB, and when the name or the address has no terminating
// 0 inside its own entry (the first s bytes from the entry's start; strings never run into the
// next entry or the padding of another). A count larger than the entries present is therefore
// harmless, and the number of entries read is at most (dwCount - 16) / 16. Entry sizes that are
// even but not a multiple of 4 (a writer that does not pad) are accepted; bytes of an entry after
// the address's terminating 0 are ignored.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <vector>

struct _ATTENDEE {
    int nSize = 0;        // byte size of the entry in the BLOB; set when the BLOB is read or written
    FILETIME ftAdded{};   // when the attendee was added, local wall-clock time
    int nReserved = 0;    // no meaning assigned; kept as read, 0 for new entries
    CString strName;      // display name
    CString strAddress;   // e-mail address
};

// Entries are equal when every field is, the entry size included.
bool operator==(const _ATTENDEE& a, const _ATTENDEE& b);
inline bool operator!=(const _ATTENDEE& a, const _ATTENDEE& b) { return !(a == b); }

class CAttendees {
public:
    // The formats of GetAttendees.
    static constexpr WORD kNameAndAddress = 0;  // "name:address"
    static constexpr WORD kNameOnly = 1;
    static constexpr WORD kAddressOnly = 2;

    CAttendees() = default;
    // An empty list, then the entries of the BLOB (see ParseBLOB).
    explicit CAttendees(const _CEBLOB& blob);

    // Append a copy of the entry (its size and reserved field as given); returns its index.
    int Add(const _ATTENDEE& attendee);
    // Append name and address (null reads as "") added at the given time, reserved 0; returns
    // the index.
    int Add(const wchar_t* name, const wchar_t* address, FILETIME added);
    // As above, added now: the local wall-clock time of the suite's clock (ZuSetClock).
    int Add(const wchar_t* name, const wchar_t* address);

    // Removes count entries from index on; later entries move down. A count reaching past the
    // end removes up to the end. Returns 0 (and removes nothing) for an index outside the list
    // or a count below 1, otherwise 1.
    int RemoveAt(int index, int count = 1);
    void RemoveAll();
    int GetSize() const { return static_cast<int>(m_entries.size()); }

    // The entry at index, 0 <= index < GetSize(). An index outside the list gives an empty entry
    // (for the non-const form a scratch entry of this object, which writes do not reach the list).
    _ATTENDEE& operator[](int index);
    _ATTENDEE operator[](int index) const;

    // Writes the list into a new buffer from LocalAlloc that the caller frees with LocalFree,
    // after freeing (LocalFree) whatever buffer blob already held: pass a zeroed blob or one from
    // an earlier call. Stores each entry's size in the entry. An empty list gives dwCount 0 and no
    // buffer. Returns 1; 0, with blob emptied, when the list would not fit a BLOB (an entry over
    // 2^31 - 1 bytes or a total over 2^32 - 1) or the buffer cannot be allocated.
    int GetBLOB(_CEBLOB& blob);

    // One piece per entry: format 0 "name:address", 1 the name, 2 the address, each followed by
    // the separator (null reads as "") and a blank; any other format adds nothing for the entry.
    // Trailing white space, then trailing characters that occur in the separator, are trimmed
    // from the result. Two entries A and B, separator ";" and format 1 give "A; B".
    CString GetAttendees(const wchar_t* separator, WORD format) const;

protected:
    // Appends the entries of a stored BLOB, bounded as the file comment describes. An empty BLOB
    // (dwCount 0 or no buffer) adds nothing. Returns 1 when the BLOB was read to its count (a
    // count of 0 or less included), 0 when reading ended early on a damaged BLOB; the entries read
    // in full before that are kept either way.
    int ParseBLOB(const _CEBLOB& blob);

private:
    std::vector<_ATTENDEE> m_entries;
    _ATTENDEE m_outOfRange;  // handed out by the non-const operator[] for a bad index
};
