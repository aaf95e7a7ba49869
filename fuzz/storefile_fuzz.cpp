// storefile_fuzz.cpp - libFuzzer entry point for the store file itself.
//
// A seed store (appointments, recurring ones among them, tasks, categories, a contact) is made
// once, checkpointed into its file. Each input is a list of byte changes to that file: 5 bytes
// each, a 32-bit little-endian offset (taken modulo the file's size) and the byte put there. The
// changed file is opened as the data folder's pim.db on a fresh connection, every database is
// walked in every sort order, and the calendar's loader loads the seed's month and year. Anything
// may fail with a message; nothing may crash, hang or read outside its memory.
#include "cedbdatabase.h"
#include "filetime.h"
#include "itemloader.h"
#include "lasterror.h"
#include "recordlayouts.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace {

QTemporaryDir* g_dir = nullptr;
std::string g_seed;

FILETIME wallTime(int y, int m, int d, int h = 0)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

void writeSeed()
{
    CCeDBDatabase cats, apts, tasks, contacts;
    cats.Open(L"\\Categories Database");
    apts.Open(L"Appointments Database");
    tasks.Open(L"Tasks Database");
    contacts.Open(L"Contacts Database");
    ZuStoreBatch batch;
    for (short i = 0; i < 4; ++i) {
        CCeDBRecord r;
        const std::wstring name = L"분류" + std::to_wstring(i);
        const CCeDBProp props[] = {CCeDBProp(name.c_str(), ZUID_CAT_NAME), CCeDBProp(i, ZUID_CAT_INDEX),
            CCeDBProp(short(1), ZUID_CAT_IN_USE), CCeDBProp(short(0), ZUID_CAT_CONTACT_COUNT),
            CCeDBProp(short(2), ZUID_CAT_APT_COUNT), CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
        r.AddProps(props, static_cast<WORD>(std::size(props)));
        cats.WriteRecord(r, 0);
    }
    for (int i = 0; i < 60; ++i) {
        CCeDBRecord r;
        const std::wstring subject = L"일정 " + std::to_wstring(i);
        BYTE bits[1] = {static_cast<BYTE>(1 << (i % 4))};
        const CCeDBProp props[] = {CCeDBProp(subject.c_str(), ZUID_APT_SUBJECT),
            CCeDBProp(wallTime(2026, 12, 1 + i % 28, 9 + i % 8), ZUID_APT_START), CCeDBProp(LONG(30 + i), ZUID_APT_DURATION),
            CCeDBProp(LONG(i % 7 ? 2 : 1), ZUID_APT_TYPE), CCeDBProp(short(0), ZUID_APT_RECURRING),
            CCeDBProp(CEBLOB{1, bits}, ZUID_APT_CATEGORIES)};
        r.AddProps(props, static_cast<WORD>(std::size(props)));
        apts.WriteRecord(r, 0);
    }
    for (int i = 0; i < 10; ++i) {
        CCeDBRecord r;
        const std::wstring subject = L"할 일 " + std::to_wstring(i);
        const CCeDBProp props[] = {CCeDBProp(subject.c_str(), ZUID_TASK_SUBJECT)};
        r.AddProps(props, static_cast<WORD>(std::size(props)));
        tasks.WriteRecord(r, 0);
    }
    {
        CCeDBRecord r;
        const CCeDBProp name(L"홍길동", 0x4013);
        r.AddProp(&name);
        contacts.WriteRecord(r, 0);
    }
    batch.Commit();
}

void walkAll()
{
    const ZuStoreSnapshot snapshot;
    for (const wchar_t* name : {L"Appointments Database", L"Tasks Database", L"Contacts Database", L"\\Categories Database"}) {
        for (int order = -1; order < 4; ++order) {
            CCeDBDatabase db;
            CCeDBProp sort;
            static const CEPROPID appointmentOrders[] = {ZUPID_APT_START, MAKEPROPID(0x4223, CEVT_I2),
                MAKEPROPID(0x8001, CEVT_I2), ZUPID_APT_DURATION};
            if (order >= 0)
                sort.SetPropId(appointmentOrders[order]);
            if (!db.Open(name, order >= 0 ? &sort : nullptr))
                continue;
            CCeDBRecord r;
            int guard = 0;
            if (db.SeekFirst())
                while (db.ReadCurrRecord(&r) && ++guard < 10000) {
                }
        }
    }
    for (int view : {ZU_VIEW_MONTH, ZU_VIEW_YEAR}) {
        LoadRequest request;
        request.viewType = view;
        request.rangeStart = view == ZU_VIEW_MONTH ? wallTime(2026, 12, 1) : wallTime(2026, 1, 1);
        request.rangeEnd = wallTime(2027, 1, 1);
        CItemLoader loader;
        LoadResult result;
        std::atomic<bool> abort{false};
        loader.Load(request, result, abort);
    }
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    g_dir = new QTemporaryDir;
    ::setenv("ZUPIMS_HOME", g_dir->path().toUtf8().constData(), 1);
    std::thread(writeSeed).join();
    const std::string file = g_dir->path().toStdString() + "/pim.db";
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    g_seed = fileBytes(file);
    if (g_seed.size() < 4096)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes = g_seed;
    for (size_t i = 0; i + 5 <= size && i < 5 * 64; i += 5) {
        const uint32_t at = data[i] | (data[i + 1] << 8) | (data[i + 2] << 16) | (static_cast<uint32_t>(data[i + 3]) << 24);
        bytes[at % bytes.size()] = static_cast<char>(data[i + 4]);
    }
    const std::string file = g_dir->path().toStdString() + "/pim.db";
    ::unlink((file + "-wal").c_str());
    ::unlink((file + "-shm").c_str());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::thread(walkAll).join();  // the thread's connection closes with it
    return 0;
}
