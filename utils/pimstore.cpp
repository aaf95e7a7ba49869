#include "pimstore.h"

#include "lasterror.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "textutil.h"
#include "usernotify.h"

#include <algorithm>
#include <climits>

const wchar_t* ZuDatabaseName(int selector)
{
    switch (selector) {
    case ZU_SEL_APPOINTMENTS: return ZU_DB_APPOINTMENTS;
    case ZU_SEL_CONTACTS: return ZU_DB_CONTACTS;
    case ZU_SEL_TASKS: return ZU_DB_TASKS;
    case ZU_SEL_CATEGORIES: return ZU_DB_CATEGORIES;
    case ZU_SEL_ANNIVERSARIES: return ZU_DB_ANNIVERSARIES;
    default: return nullptr;
    }
}

WORD ZuCategoryCounter(int selector)
{
    switch (selector) {
    case ZU_SEL_APPOINTMENTS: return ZUID_CAT_APT_COUNT;
    case ZU_SEL_CONTACTS: return ZUID_CAT_CONTACT_COUNT;
    case ZU_SEL_TASKS: return ZUID_CAT_TASK_COUNT;
    default: return 0;
    }
}

int OpenDatabase(CCeDBDatabase* database, const wchar_t* name, CCeDBProp* sortProp, CWnd* notifyWindow)
{
    if (!database || !name)
        return 0;
    if (!CCeDBDatabase::Exists(name))
        return 0;
    return database->Open(name, sortProp, notifyWindow) ? 1 : 0;
}

int GetDatabasePtr(CCeDBDatabase* database, int selector)
{
    const wchar_t* name = ZuDatabaseName(selector);
    if (!database || !name)
        return 0;
    return OpenDatabase(database, name, nullptr, nullptr);
}

int CloseDatabase(CCeDBDatabase* database)
{
    if (!database || !database->IsOpen())
        return 1;
    if (!database->Close()) {
        DisplayLastError(L"CloseDatabase");
        return 0;
    }
    return 1;
}

int DeleteRecord(CCeDBDatabase* database, DWORD oid, int selector)
{
    if (!database || !database->IsOpen() || oid == 0)
        return 0;
    // The record, its reminder and its category references go together or not at all.
    ZuStoreBatch batch;
    CCeDBRecord record;
    const bool read = database->SeekToRecord(oid) && database->ReadCurrRecord(&record);
    if (!CeDeleteRecord(database->GetHandle(), oid))
        return 0;
    if (const CCeDBProp* notify = read ? record.GetIdProp(ZUID_APT_NOTIFY) : nullptr; notify && notify->GetLong() != 0)
        DeleteUserNotification(ZuLongToHandle(notify->GetLong()), nullptr);
    if (const WORD counter = read ? ZuCategoryCounter(selector) : 0) {
        if (CCeDBProp* bitmap = record.GetIdProp(ZUID_APT_CATEGORIES); bitmap && bitmap->GetType() == CEVT_BLOB) {
            const CEBLOB blob = bitmap->GetBlob();
            if (blob.dwCount)
                ReleaseCategoryRefByBlob(&blob, counter);
        }
    }
    if (batch.ok() && !batch.Commit())
        return 0;
    return 1;
}

int GetDBStatusPercent(CCeDBRecord* task)
{
    if (!task)
        return 0;
    const CCeDBProp* flag = task->GetFullIdProp(ZUPID_TASK_COMPLETE);
    const short complete = flag ? flag->GetShort() : 0;
    if (complete == 1)
        return 100;
    if (const CCeDBProp* progress = task->GetIdProp(ZUID_TASK_PROGRESS))
        return static_cast<short>(progress->GetShort());
    return complete;
}

int GetDBCategoryIndex(CCeDBDatabase* categories, const wchar_t* name)
{
    if (!categories || !categories->IsOpen() || !name)
        return -1;
    CCeDBRecord r;
    if (!categories->SeekFirst())
        return -1;
    while (categories->ReadCurrRecord(&r)) {
        const CCeDBProp* n = r.GetIdProp(ZUID_CAT_NAME);
        const CCeDBProp* i = r.GetIdProp(ZUID_CAT_INDEX);
        if (n && i && n->GetString() && std::wcscmp(n->GetString(), name) == 0)
            return i->GetShort();
    }
    return -1;
}

CString GetDBCategoryName(int index)
{
    if (index < SHRT_MIN || index > SHRT_MAX)
        return {};
    CCeDBDatabase db;
    CCeDBProp sort;
    sort.SetPropId(ZUPID_CAT_INDEX);
    if (!OpenDatabase(&db, ZU_DB_CATEGORIES, &sort, nullptr))
        return {};
    CCeDBRecord r;
    if (!db.SeekValueFirstEqual(CCeDBProp(static_cast<short>(index), ZUID_CAT_INDEX)) || !db.ReadCurrRecord(&r))
        return {};
    const CCeDBProp* n = r.GetIdProp(ZUID_CAT_NAME);
    return n && n->GetString() ? CString(n->GetString()) : CString();
}

bool ZuBitmapHas(const CEBLOB* bitmap, int index)
{
    if (!bitmap || !bitmap->lpb || index < 0)
        return false;
    const DWORD byte = static_cast<DWORD>(index) / 8;
    if (byte >= bitmap->dwCount)
        return false;
    return (bitmap->lpb[byte] >> (index % 8)) & 1;
}

void ZuBitmapSet(std::vector<BYTE>& bitmap, int index)
{
    if (index < 0 || index > SHRT_MAX)
        return;
    const size_t byte = static_cast<size_t>(index) / 8;
    if (bitmap.size() <= byte)
        bitmap.resize(byte + 1, 0);
    bitmap[byte] = static_cast<BYTE>(bitmap[byte] | (1u << (index % 8)));
}

bool ZuCategoryFilterPasses(const CEBLOB* record, const CEBLOB* filter, bool admitNone)
{
    const bool none = !record || !record->lpb || record->dwCount == 0;
    if (none)
        return admitNone;
    if (!filter || !filter->lpb)
        return false;
    const DWORD n = std::min(record->dwCount, filter->dwCount);
    for (DWORD i = 0; i < n; ++i)
        if (record->lpb[i] & filter->lpb[i])
            return true;
    return false;
}

CString GetDBCategoryBlob2Str(const CEBLOB* bitmap)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES)) {
        MessageBox(nullptr, L"Cannot open Category Database", L"ERROR", MB_OK | MB_ICONERROR);
        return {};
    }
    CString names;
    if (!bitmap || !bitmap->dwCount)
        return names;
    CCeDBRecord r;
    bool first = true;
    while (db.ReadCurrRecord(&r)) {
        const CCeDBProp* n = r.GetIdProp(ZUID_CAT_NAME);
        const CCeDBProp* i = r.GetIdProp(ZUID_CAT_INDEX);
        if (!n || !i || !ZuBitmapHas(bitmap, i->GetShort()))
            continue;
        if (!first)
            names += L", ";
        names += n->GetString();
        first = false;
    }
    return names;
}

namespace {

int changeCategoryRefs(const CEBLOB* bitmap, WORD counter, int delta)
{
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, ZU_SEL_CATEGORIES))
        return 0;
    if (!bitmap || !bitmap->lpb || !bitmap->dwCount)
        return 0;
    // The counts are read and written under one write lock, so that two programs changing them
    // at the same moment cannot lose an update; a count that cannot be written undoes them all.
    ZuStoreBatch batch;
    // Read first, write after: each write changes the walk's database.
    std::vector<CCeDBRecord> hits;
    CCeDBRecord r;
    while (db.ReadCurrRecord(&r)) {
        const CCeDBProp* i = r.GetIdProp(ZUID_CAT_INDEX);
        const CCeDBProp* count = r.GetIdProp(counter);
        if (i && ZuBitmapHas(bitmap, i->GetShort()) && count && count->GetType() == CEVT_I2)
            hits.push_back(r);
    }
    int ok = 1;
    for (CCeDBRecord& hit : hits) {
        CCeDBProp* count = hit.GetIdProp(counter);
        const int value = std::clamp(count->GetShort() + delta, 0, SHRT_MAX);
        CCeDBProp changed(static_cast<short>(value), counter);
        CCeDBRecord write;
        write.AddProp(&changed);
        if (!db.WriteRecord(write, hit.GetOid()))
            ok = 0;
    }
    if (ok && batch.ok() && !batch.Commit())
        ok = 0;
    CloseDatabase(&db);
    return ok;
}

} // namespace

int AddCategoryRefByBlob(const CEBLOB* bitmap, WORD counter)
{
    return changeCategoryRefs(bitmap, counter, +1);
}

int ReleaseCategoryRefByBlob(const CEBLOB* bitmap, WORD counter)
{
    return changeCategoryRefs(bitmap, counter, -1);
}

long long ZuRecordInt(const CCeDBRecord& record, WORD ident, long long missing)
{
    const CCeDBProp* prop = record.GetIdProp(ident);
    if (!prop)
        return missing;
    switch (prop->GetType()) {
    case CEVT_I2: case CEVT_UI2: case CEVT_I4: case CEVT_UI4:
        return prop->rawInt();
    default:
        return missing;
    }
}

CString ZuRecordString(const CCeDBRecord& record, WORD ident)
{
    const CCeDBProp* prop = record.GetIdProp(ident);
    return prop && prop->GetType() == CEVT_LPWSTR ? CString(prop->GetString()) : CString();
}

std::vector<BYTE> ZuRecordBytes(const CCeDBRecord& record, WORD ident)
{
    const CCeDBProp* prop = record.GetIdProp(ident);
    return prop && prop->GetType() == CEVT_BLOB ? prop->rawBytes() : std::vector<BYTE>();
}

bool ZuRecordFiletime(const CCeDBRecord& record, WORD ident, FILETIME* out)
{
    const CCeDBProp* prop = record.GetIdProp(ident);
    if (!out || !prop || prop->GetType() != CEVT_FILETIME)
        return false;
    *out = prop->GetFiletime();
    return true;
}

CEBLOB ZuBlobOf(const std::vector<BYTE>& bytes)
{
    CEBLOB blob;
    blob.dwCount = static_cast<DWORD>(bytes.size());
    blob.lpb = bytes.empty() ? nullptr : const_cast<BYTE*>(bytes.data());
    return blob;
}

CCeDBRecord ZuHolidayRecord(const ZuHoliday& day)
{
    CCeDBRecord r;
    const CCeDBProp props[] = {
        CCeDBProp(day.name, ZUID_ANN_NAME),
        CCeDBProp(day.year, ZUID_ANN_YEAR),
        CCeDBProp(day.month, ZUID_ANN_MONTH),
        CCeDBProp(day.day, ZUID_ANN_DAY),
        CCeDBProp(day.lunar, ZUID_ANN_LUNAR),
        CCeDBProp(short(0), ZUID_ANN_RESERVED),
        CCeDBProp(day.kind, ZUID_ANN_KIND),
    };
    r.AddProps(props, static_cast<WORD>(std::size(props)));
    return r;
}
