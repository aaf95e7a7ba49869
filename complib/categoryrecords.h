// categoryrecords.h - what the category pages do to "\Categories Database", without a window.
//
// A category record holds its name (0x4001), its index (0x4002: the bit it owns in every record's
// category bitmap), its shown flag (0x4003) and three reference counters (0x4004 contacts, 0x4005
// appointments, 0x4006 tasks). The pages keep these rules:
// - Names are trimmed, a "," (which would split the appointment's category text) becomes the
//   full-width "，", and an empty name is refused. At most 256 characters of the edit count.
// - A new category takes the smallest index no record holds (0, 1, 3 give 2; 0, 1, 2 give 3; none
//   gives 0). Indices are 16-bit: when 0 to 32767 are all taken, the add fails ("Fail to insert
//   category"). Negative or duplicate stored indices are passed over.
// - Adding the name of a hidden category shows it again under its old index.
// - Deleting a category that some record still counts only hides it (shown flag 0), so its bit
//   keeps meaning the same name; an unused one is deleted and its index is free again. This is
//   sound while every writer keeps the counters.
// - The bitmap of a selection: n = (floor(b / 4) + 1) * 4 bytes with b = floor(highest / 8) + 1,
//   `highest` the largest index the list shows; index i sets bit (i mod 8) of byte (i div 8).
//   Example: 3 and 9 with highest 9 give b = 2, n = 4: 08 02 00 00.
#pragma once

#include "cedbdatabase.h"
#include "cstring.h"
#include "wintypes.h"

#include <vector>

// The largest index a category can have (0x4002 is a 16-bit signed value).
inline constexpr int ZU_CATEGORY_INDEX_MAX = 32767;
// How many characters of the edit a new name takes.
inline constexpr int ZU_CATEGORY_NAME_MAX = 256;

// The filter bits of the category list: only categories that appointments (1), contacts (2) or
// tasks (4) carry.
inline constexpr int ZU_CATFILTER_APPOINTMENTS = 1;
inline constexpr int ZU_CATFILTER_CONTACTS = 2;
inline constexpr int ZU_CATFILTER_TASKS = 4;

// One category as a list shows it.
struct ZuCategoryRow {
    CString name;       // 0x4001
    int index = -1;     // 0x4002
    bool shown = true;  // 0x4003 present and not 0
};

// The name the edit's text stands for: the first 256 characters, trimmed, "," turned into "，".
// Empty means refused.
CString ZuCleanCategoryName(const CString& text);

// The smallest index not in `ascending` (sorted, may hold negatives and repeats); may be 32768.
int ZuSmallestFreeCategoryIndex(const std::vector<int>& ascending);

// The categories of an open "\Categories Database" in its walk order that pass the filter bits
// (0: all) and, without `showHidden`, are shown.
std::vector<ZuCategoryRow> ZuReadCategoryRows(CCeDBDatabase* categories, int filterFlags, bool showHidden);

// The bitmap of the selected indices (see above); empty for an empty selection. Indices outside
// 0..highest are left out.
std::vector<BYTE> ZuCategoryBitmap(const std::vector<int>& indices, int highest);

enum class ZuCategoryAddKind {
    Added,         // a new record, index = the smallest free one
    ShownAgain,    // a hidden category of that name is shown again
    AlreadyShown,  // a shown category has that name: nothing changed
    Refused,       // the cleaned name is empty
    Failed,        // the database cannot be opened, no index is free or the write failed
};
struct ZuCategoryAddResult {
    ZuCategoryAddKind kind = ZuCategoryAddKind::Failed;
    CString name;    // the cleaned name
    int index = -1;  // the category's index (Added, ShownAgain, AlreadyShown)
};
// Adds the category named by the edit's text (cleaned), in one write.
ZuCategoryAddResult ZuAddCategory(const CString& text);

enum class ZuCategoryDeleteKind {
    Deleted,   // no record counted it: the record is gone
    Hidden,    // records count it: shown flag 0
    NotFound,  // no record has the index
    Failed,    // the database cannot be opened, the record cannot be read or written
};
ZuCategoryDeleteKind ZuDeleteCategory(int index);
