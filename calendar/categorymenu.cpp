#include "categorymenu.h"

#include "calendaritem.h"
#include "cedbdatabase.h"
#include "recordlayouts.h"
#include "recordwalk.h"
#include "stringtable.h"

std::vector<CategoryRecord> ZuReadCategories(bool* anyRecord)
{
    std::vector<CategoryRecord> out;
    if (anyRecord)
        *anyRecord = false;
    CCeDBDatabase db;
    if (!db.Open(ZU_DB_CATEGORIES))
        return out;
    if (anyRecord)
        *anyRecord = db.GetRecordCount() > 0;
    ZuForEachRecord(db, [&out](const CCeDBRecord& record) {
        const CCeDBProp* name = record.GetIdProp(ZUID_CAT_NAME);
        const CCeDBProp* index = record.GetIdProp(ZUID_CAT_INDEX);
        if (name && index && name->GetType() == CEVT_LPWSTR)
            out.push_back(CategoryRecord{CString(name->GetString()), static_cast<int>(index->rawInt())});
    });
    return out;
}

std::vector<CategoryMenuItem> ZuBuildCategoryMenu(const std::vector<CategoryRecord>& categories, bool anyRecord,
    int mode, std::vector<ChosenCategory>& chosen)
{
    std::vector<CategoryMenuItem> menu;
    menu.push_back({ZU_CMD_CATEGORY_ALL, ZuLoadString(ZuStr::AllGroups), mode == ZU_CATY_ALL});
    menu.push_back({ZU_CMD_CATEGORY_NONE, ZuLoadString(ZuStr::NoGroup), mode == ZU_CATY_NONE});
    for (ChosenCategory& c : chosen)
        c.cmdId = 0;
    const int unchosenPlaces = ZU_CATEGORY_MENU_MAX - static_cast<int>(chosen.size());
    size_t nextChosen = 0;
    int listed = 0, unchosenListed = 0;
    UINT id = ZU_CMD_CATEGORY_FIRST;
    for (const CategoryRecord& category : categories) {
        if (listed >= ZU_CATEGORY_MENU_MAX)
            break;
        if (nextChosen < chosen.size() && category.index == chosen[nextChosen].index) {
            chosen[nextChosen++].cmdId = id;
        } else if (unchosenListed < unchosenPlaces) {
            ++unchosenListed;
        } else {
            continue;
        }
        menu.push_back({id++, category.name, false});
        ++listed;
    }
    if (anyRecord)
        menu.push_back({ZU_CMD_CATEGORY_SEVERAL, ZuLoadString(ZuStr::MultiSelect), false});
    if (mode != ZU_CATY_ALL && mode != ZU_CATY_NONE) {
        int checked = 0;
        for (const ChosenCategory& c : chosen) {
            if (checked++ >= ZU_CATEGORY_MENU_MAX)
                break;
            for (CategoryMenuItem& item : menu)
                if (c.cmdId != 0 && item.id == c.cmdId)
                    item.checked = true;
        }
    }
    return menu;
}
