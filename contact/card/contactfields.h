// contactfields.h - the contact's fields as the card and the editor list them.
//
// The card's rows: 27 labels (strings 14-40 of the contacts' table) in the card's order, each with
// the property (or address group, category bitmap, date) it shows. The editor's fields: the 49
// field descriptions of the contact record, in the record's order: entries 1-15 on the main page
// ("메인"), 16-48 on the detail page ("상세입력"), 49 (the picture path) on the picture page.
// Group headings have property id 0 and are the parent of the parts under them.
#pragma once

#include "cstring.h"
#include "fieldinfo.h"
#include "wintypes.h"

#include <span>
#include <vector>

class CContactData;

struct ZuCardRow {
    enum Kind { Text, Address, Categories, Date };
    UINT labelId;  // string of the contacts' table
    WORD prop;     // the property; an address group by its street, a date by its own id
    Kind kind;
};
std::span<const ZuCardRow> ZuCardRows();
// The row's text for the contact; empty when the contact has nothing for it.
CString ZuCardRowValue(const CContactData& data, const ZuCardRow& row);
CString ZuCardRowLabel(const ZuCardRow& row);

// The header lines of the card: company, department, title, work and mobile telephone, those
// present, in that order.
std::vector<CString> ZuCardHeaderLines(const CContactData& data);

constexpr int ZU_CONTACT_FIELDS = 49;
constexpr int ZU_MAIN_FIRST = 0, ZU_MAIN_LAST = 14;      // entries 1-15
constexpr int ZU_DETAIL_FIRST = 15, ZU_DETAIL_LAST = 47; // entries 16-48
constexpr int ZU_PICTURE_FIELD = 48;                     // entry 49
// The 49 descriptions, made once (their parent and child links point into the same table).
std::span<const CFieldInfo> ZuContactFieldInfos();
// The identifier of an entry's property (0 for a group).
inline WORD ZuFieldIdent(const CFieldInfo& f) { return static_cast<WORD>(f.GetPropID() >> 16); }
// The text an editor row shows: a group its joined text (the display name, an address), every
// other entry its value (dates as "%d-%02d-%02d", categories as their names).
CString ZuFieldText(const CContactData& data, const CFieldInfo& field);
