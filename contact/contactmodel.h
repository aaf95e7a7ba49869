// contactmodel.h - the contacts list held in memory.
//
// One sorted walk of "Contacts Database" (opened on the display name, 0x4013) reads each
// contact's object id, display name, its upper-cased form, the number shown beside it with its
// marker, and its category bitmap. Contacts are kept in name order: upper-cased names compared by
// code unit (Latin without regard to case), ties by object id, contacts without a name last.
// Notifications refresh single contacts by object id.
//
// Over the entries, index vectors make what the list shows:
// - the source: the category filter (all, without category, sharing a bit with a bitmap, or the
//   recent list in its own order);
// - the target: the source itself, or the source narrowed by a quick search or an index button.
//
// Quick search: the text is upper-cased and matched against the start of the upper-cased name,
// code unit by code unit; beyond that, a Hangul initial consonant (ㄱ, ㄲ, ... ㅎ) in the text
// matches any syllable that starts with it ("ㄱㅊㅅ" and "김ㅊ" find "김철수"), and a syllable
// still being composed in the input method matches every syllable it can still grow into
// ("기" finds "김", "김" finds "기미").
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"

#include <QString>

#include <vector>

struct ContactNumberKind {
    WORD ident;
    wchar_t marker;
    const wchar_t* label;
};
// The nine numbers in fallback (and menu) order.
const std::vector<ContactNumberKind>& ZuContactNumberKinds();
// The number listed for a contact: the property its 0x0050 names, else the first non-empty one
// in fallback order. Returns its place in ZuContactNumberKinds, -1 (number and marker empty) when
// there is none or 0x0050 names none of the nine.
int ZuContactNumber(const CCeDBRecord& record, CString* number, wchar_t* marker);

// Whether an upper-cased name matches an upper-cased search text (see the file comment);
// `composing` tells that the text's last character is still in the input method's preedit.
bool ZuNameMatches(const QString& upperName, const QString& upperText, bool composing);

// The range of index button 1 to 8 (low <= upper name < high); false for any other button.
bool ZuIndexRange(int button, QString* low, QString* high);

struct ContactEntry {
    CEOID oid = 0;
    QString name;    // display name (0x4013)
    QString upper;   // its upper-cased form
    QString number;  // column 1
    wchar_t marker = 0;  // column 2 (0 for none)
    std::vector<BYTE> categories;
};

class CContactModel {
public:
    // Reads every contact of the open database (its walk is restarted). The old entries go.
    // False when the store failed a read (the last error says why): the entries read before it
    // stay, and the caller says so rather than show a shorter book as if it were whole.
    bool Load(CCeDBDatabase& contacts);
    // Reads the contact again (or drops it when it is gone); the index vectors must be rebuilt.
    // False when the record is there but cannot be read.
    bool Refresh(CCeDBDatabase& contacts, CEOID oid);
    void Remove(CEOID oid);

    int Size() const { return static_cast<int>(m_entries.size()); }
    const ContactEntry& At(int i) const { return m_entries[static_cast<size_t>(i)]; }
    // The entry's position, -1 when absent.
    int Find(CEOID oid) const;

    // Index vectors (positions into the entries).
    std::vector<int> All() const;
    // `kind` 1: without categories; 2 or 4: sharing a set bit with `filter`; 8: `recent` in order.
    std::vector<int> Filter(int kind, const std::vector<BYTE>& filter, const std::vector<CEOID>& recent) const;
    std::vector<int> Search(const std::vector<int>& source, const QString& text, bool composing) const;
    std::vector<int> IndexButton(const std::vector<int>& source, int button) const;

    static ContactEntry MakeEntry(const CCeDBRecord& record);

private:
    static bool lessThan(const ContactEntry& a, const ContactEntry& b);
    std::vector<ContactEntry> m_entries;
};
