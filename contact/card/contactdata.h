// contactdata.h - the contact data record: what the card shows and the editor edits of one contact.
//
// One text slot per string property of the contact record (kStringProps), the birthday and the
// anniversary with their lunar flags, the category bitmap and the note as bytes, and the preferred
// number (0x0050). An empty text, a missing date and empty bytes all mean "not present": the save
// (savecontact.h) then removes the stored property. Load copies each known property into its slot
// and ignores the others (they stay in the store: the save updates the record in place).
//
// Dates are stored as the UTC of local midnight of the day (for a lunar date: of the lunar day
// held as if it were a solar one, lunar.h), which is what the calendar reads back.
#pragma once

#include "cstring.h"
#include "filetime.h"
#include "wintypes.h"

#include <QDate>
#include <array>
#include <map>
#include <vector>

class CCeDBRecord;

class CContactData {
public:
    // The string properties of the contact record, in the order the save writes them.
    static constexpr std::array<WORD, 44> kStringProps = {0x3A05, 0x3A06, 0x4024, 0x3A11, 0x3A08, 0x3A09, 0x3A16,
        0x3A17, 0x3A18, 0x3A19, 0x3A1C, 0x3A1D, 0x3A1E, 0x3A24, 0x3A25, 0x3A2F, 0x4002, 0x4004, 0x4006, 0x4007,
        0x4008, 0x4009, 0x400A, 0x4013, 0x4023, 0x4040, 0x4041, 0x4042, 0x4043, 0x4044, 0x4045, 0x4046, 0x4047,
        0x4048, 0x4049, 0x404A, 0x404B, 0x404C, 0x404D, 0x404E, 0x4083, 0x4093, 0x40AE, 0x8200};
    static bool IsStringProp(WORD ident);

    // Empties every slot.
    void Clear();
    // Clears, then reads the contact of that object id from "Contacts Database"; FALSE (and the
    // record left empty) when it cannot be opened, sought or read.
    BOOL Load(CEOID oid);
    // Clears, then copies the known properties of a record read elsewhere.
    void FromRecord(const CCeDBRecord& record);
    CEOID GetOid() const { return m_oid; }

    // A string slot; "" for a property that is not one (kStringProps).
    CString GetString(WORD ident) const;
    void SetString(WORD ident, const CString& text);
    bool Has(WORD ident) const { return !GetString(ident).IsEmpty(); }

    // The birthday (0x4001) or the anniversary (0x4003): which is that identifier.
    bool HasDate(WORD which) const;
    // The stored day (local), invalid when there is none.
    QDate GetDate(WORD which) const;
    // Sets the day (stored as the UTC of its local midnight); an invalid date removes the day
    // and its lunar flag.
    void SetDate(WORD which, QDate day);
    // The raw value as stored (UTC).
    FILETIME GetDateValue(WORD which) const;
    void SetDateValue(WORD which, const FILETIME& utc);
    bool IsLunar(WORD which) const;
    void SetLunar(WORD which, bool lunar);

    const std::vector<BYTE>& GetCategories() const { return m_categories; }
    void SetCategories(std::vector<BYTE> bytes) { m_categories = std::move(bytes); }
    const std::vector<BYTE>& GetNote() const { return m_note; }
    void SetNote(std::vector<BYTE> bytes) { m_note = std::move(bytes); }

    // The preferred number: the full id of the listed number, 0 when none.
    LONG GetPreferred() const { return m_preferred; }

    // Set when the user ended an edit of the display-name row: the save then stores the composed
    // display name.
    bool IsNameEdited() const { return m_nameEdited; }
    void SetNameEdited(bool edited) { m_nameEdited = edited; }

    // The display name by the name rule (contactrules.h), with its trailing blank.
    CString DisplayName() const;

private:
    struct Day {
        bool present = false;
        FILETIME utc{};
        bool lunar = false;
    };
    Day& day(WORD which) { return which == 0x4003 ? m_anniversary : m_birthday; }
    const Day& day(WORD which) const { return which == 0x4003 ? m_anniversary : m_birthday; }

    CEOID m_oid = 0;
    std::map<WORD, CString> m_strings;
    Day m_birthday, m_anniversary;
    std::vector<BYTE> m_categories, m_note;
    LONG m_preferred = 0;
    bool m_nameEdited = false;
};
