// categorymenu.h - the calendar's category filter menu, as data for the frame to show.
//
// Items: "모든 그룹" (309), "그룹 없음" (300), at most seven categories with the ids 301, 302, ...
// in database order, then "다중선택..." (308) when the categories database holds any record.
// Chosen categories are listed first when they appear in database order with the chosen list;
// the others fill the places left, up to seven in all. Each listed chosen category gets the id of
// its item; a chosen category that is not listed gets id 0 (so no other item is checked for it).
#pragma once

#include "cstring.h"
#include "resource.h"
#include "wintypes.h"

#include <vector>

constexpr int ZU_CATEGORY_MENU_MAX = 7;

struct ChosenCategory {
    UINT cmdId = 0;  // the menu item it occupies (300 to 307), 0 while not listed
    int index = 0;   // category index (bit number)
};

struct CategoryMenuItem {
    UINT id = 0;
    CString text;
    bool checked = false;
};

struct CategoryRecord {
    CString name;
    int index = 0;
};

// The categories of "\Categories Database" in record order; records that do not read are left out.
// `anyRecord` tells whether the database holds a record at all.
std::vector<CategoryRecord> ZuReadCategories(bool* anyRecord);

// Builds the menu for filter mode `mode` and updates the command ids of `chosen`.
std::vector<CategoryMenuItem> ZuBuildCategoryMenu(const std::vector<CategoryRecord>& categories, bool anyRecord,
    int mode, std::vector<ChosenCategory>& chosen);
