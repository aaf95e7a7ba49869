#include "categoryrecords.h"

#include "pimstore.h"

#include <algorithm>

namespace {

bool categoryShown(const CCeDBRecord& r)
{
    return ZuRecordInt(r, ZUID_CAT_IN_USE, 0) != 0;
}

// Opens the categories database sorted by index.
bool openByIndex(CCeDBDatabase* db)
{
    CCeDBProp sort;
    sort.SetPropId(ZUPID_CAT_INDEX);
    return OpenDatabase(db, ZU_DB_CATEGORIES, &sort, nullptr) != 0;
}

}  // namespace

CString ZuCleanCategoryName(const CString& text)
{
    CString name = text.Left(ZU_CATEGORY_NAME_MAX);
    name.Trim();
    name.Replace(L',', L'\xFF0C');
    return name;
}

int ZuSmallestFreeCategoryIndex(const std::vector<int>& ascending)
{
    int last = -1;
    for (const int index : ascending) {
        if (index <= last)  // a negative or repeated index
            continue;
        if (index > last + 1)
            break;
        last = index;
    }
    return last + 1;
}

std::vector<ZuCategoryRow> ZuReadCategoryRows(CCeDBDatabase* categories, int filterFlags, bool showHidden)
{
    std::vector<ZuCategoryRow> rows;
    if (!categories || !categories->IsOpen() || !categories->SeekFirst())
        return rows;
    static constexpr struct {
        int bit;
        WORD counter;
    } filters[] = {{ZU_CATFILTER_APPOINTMENTS, ZUID_CAT_APT_COUNT}, {ZU_CATFILTER_CONTACTS, ZUID_CAT_CONTACT_COUNT},
        {ZU_CATFILTER_TASKS, ZUID_CAT_TASK_COUNT}};
    CCeDBRecord r;
    while (categories->ReadCurrRecord(&r)) {
        bool pass = true;
        for (const auto& f : filters) {
            if ((filterFlags & f.bit) && ZuRecordInt(r, f.counter, 0) == 0)
                pass = false;
        }
        const bool shown = categoryShown(r);
        if (!pass || (!shown && !showHidden))
            continue;
        rows.push_back({ZuRecordString(r, ZUID_CAT_NAME), static_cast<int>(ZuRecordInt(r, ZUID_CAT_INDEX, -1)), shown});
    }
    return rows;
}

std::vector<BYTE> ZuCategoryBitmap(const std::vector<int>& indices, int highest)
{
    if (indices.empty() || highest < 0)
        return {};
    const int b = highest / 8 + 1;
    std::vector<BYTE> bitmap(static_cast<size_t>((b / 4 + 1) * 4), 0);
    for (const int i : indices) {
        if (i >= 0 && i <= highest)
            bitmap[static_cast<size_t>(i / 8)] |= static_cast<BYTE>(1u << (i % 8));
    }
    return bitmap;
}

ZuCategoryAddResult ZuAddCategory(const CString& text)
{
    ZuCategoryAddResult result;
    result.name = ZuCleanCategoryName(text);
    if (result.name.IsEmpty()) {
        result.kind = ZuCategoryAddKind::Refused;
        return result;
    }
    CCeDBDatabase db;
    if (!openByIndex(&db))
        return result;

    // One walk in index order finds both a record of that name and the indices in use.
    std::vector<int> indices;
    CCeDBRecord same;
    bool found = false;
    CCeDBRecord r;
    db.SeekFirst();
    while (db.ReadCurrRecord(&r)) {
        if (const CCeDBProp* i = r.GetIdProp(ZUID_CAT_INDEX))
            indices.push_back(i->GetShort());
        if (!found && ZuRecordString(r, ZUID_CAT_NAME).Compare(result.name) == 0) {
            same = r;
            found = true;
        }
    }
    if (found) {
        result.index = static_cast<int>(ZuRecordInt(same, ZUID_CAT_INDEX, -1));
        if (categoryShown(same)) {
            result.kind = ZuCategoryAddKind::AlreadyShown;
            return result;
        }
        CCeDBRecord shown;
        const CCeDBProp flag(short(1), ZUID_CAT_IN_USE);
        shown.AddProp(&flag);
        if (db.WriteRecord(shown, same.GetOid()))
            result.kind = ZuCategoryAddKind::ShownAgain;
        return result;
    }

    // Records without an index sort last, so `indices` is ascending.
    const int index = ZuSmallestFreeCategoryIndex(indices);
    if (index > ZU_CATEGORY_INDEX_MAX)
        return result;
    CCeDBRecord add;
    const CCeDBProp props[] = {CCeDBProp(static_cast<const wchar_t*>(result.name), ZUID_CAT_NAME),
        CCeDBProp(static_cast<short>(index), ZUID_CAT_INDEX), CCeDBProp(short(1), ZUID_CAT_IN_USE),
        CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT), CCeDBProp(short(0), ZUID_CAT_APT_COUNT),
        CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
    add.AddProps(props, 6);
    if (db.WriteRecord(add, 0)) {
        result.kind = ZuCategoryAddKind::Added;
        result.index = index;
    }
    return result;
}

ZuCategoryDeleteKind ZuDeleteCategory(int index)
{
    if (index < 0 || index > ZU_CATEGORY_INDEX_MAX)
        return ZuCategoryDeleteKind::NotFound;
    CCeDBDatabase db;
    if (!openByIndex(&db))
        return ZuCategoryDeleteKind::Failed;
    if (!db.SeekValueFirstEqual(CCeDBProp(static_cast<short>(index), ZUID_CAT_INDEX)))
        return ZuCategoryDeleteKind::NotFound;
    CCeDBRecord r;
    if (!db.ReadCurrRecord(&r))
        return ZuCategoryDeleteKind::Failed;
    const long long total = ZuRecordInt(r, ZUID_CAT_CONTACT_COUNT, 0) + ZuRecordInt(r, ZUID_CAT_APT_COUNT, 0)
        + ZuRecordInt(r, ZUID_CAT_TASK_COUNT, 0);
    if (total < 1)
        return db.DeleteRecord(r.GetOid()) ? ZuCategoryDeleteKind::Deleted : ZuCategoryDeleteKind::Failed;
    CCeDBRecord hidden;
    const CCeDBProp flag(short(0), ZUID_CAT_IN_USE);
    hidden.AddProp(&flag);
    return db.WriteRecord(hidden, r.GetOid()) ? ZuCategoryDeleteKind::Hidden : ZuCategoryDeleteKind::Failed;
}
