// The property databases with 10,000 records of about 20 properties, as a contacts book or a
// busy calendar holds them: writing them in one burst, reading them all (unsorted and sorted
// by a string), seeking by object id and by value, and opening a database.
// Runs on a fresh store in a temporary folder.
#include "cedbdatabase.h"
#include "cedbstore_p.h"
#include "datafolder.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

constexpr int kRecords = 10000;
const wchar_t* kName = L"ZUContacts Database";
const CEPROPID kSortName = MAKEPROPID(0x4013, CEVT_LPWSTR);
const CEPROPID kSortKey = MAKEPROPID(0x9001, CEVT_UI4);
std::vector<CEOID> g_oids;

CCeDBRecord makeRecord(int i)
{
    static const wchar_t* family[] = {L"김", L"이", L"박", L"최", L"정", L"Kim", L"lee", L"Park"};
    CCeDBRecord r;
    auto add = [&](CCeDBProp p) { r.AddProp(&p); };
    const std::wstring name = std::wstring(family[i % 8]) + L" 민수 " + std::to_wstring((i * 7919) % kRecords);
    add(CCeDBProp(name.c_str(), 0x4013));
    add(CCeDBProp(L"민수", 0x3A06));
    add(CCeDBProp(family[i % 8], 0x3A11));
    add(CCeDBProp(L"Tandemoor", 0x3A16));
    add(CCeDBProp(L"010-1234-5678", 0x3A1C));
    add(CCeDBProp(L"02-555-0100", 0x3A08));
    add(CCeDBProp(L"someone@example.com", 0x4083));
    add(CCeDBProp(L"서울특별시", 0x4041));
    add(CCeDBProp(L"강남구 테헤란로 123", 0x4040));
    add(CCeDBProp(L"06234", 0x4043));
    add(CCeDBProp(L"대한민국", 0x4044));
    add(CCeDBProp(L"개발팀", 0x3A18));
    add(CCeDBProp(L"책임", 0x3A17));
    add(CCeDBProp(FILETIME{0x12345678u, 0x01C00000u + static_cast<DWORD>(i)}, 0x4001));
    add(CCeDBProp(FILETIME{0x12345678u, 0x01C10000u}, 0x4003));
    add(CCeDBProp(short(i % 3 == 0), 0x8201));
    add(CCeDBProp(short(0), 0x8202));
    BYTE bits[2] = {static_cast<BYTE>(i & 0xFF), 0x01};
    add(CCeDBProp(CEBLOB{2, bits}, 0x0016));
    add(CCeDBProp(ULONG(static_cast<ULONG>(i + 1)), 0x9001));
    add(CCeDBProp(L"https://example.com/~someone", 0x4008));
    return r;
}

void fill()
{
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    SORTORDERSPEC sorts[2] = {{kSortName, CEDB_SORT_CASEINSENSITIVE}, {kSortKey, 0}};
    CCeDBDatabase db;
    if (!db.Create(kName, 0, 2, sorts))
        std::abort();
    for (int i = 0; i < kRecords; ++i)
        g_oids.push_back(db.WriteRecord(makeRecord(i), 0));
}

// Argument 1: the store's synchronous=FULL (a sync per commit); 0: NORMAL set on the thread's
// connection, to show what the sync costs.
void BM_WriteBurst10k(benchmark::State& state)
{
    zucedb::Connection* c = zucedb::connectionFor(ZuDataFile("pim.db"));
    if (!c || !c->db().exec(state.range(0) ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL"))
        std::abort();
    int round = 0;
    for (auto _ : state) {
        const std::wstring name = L"Burst " + std::to_wstring(round++);
        SORTORDERSPEC sorts[1] = {{kSortName, CEDB_SORT_CASEINSENSITIVE}};
        CCeDBDatabase db;
        db.Create(name.c_str(), 0, 1, sorts);
        for (int i = 0; i < kRecords; ++i)
            benchmark::DoNotOptimize(db.WriteRecord(makeRecord(i), 0));
        state.PauseTiming();
        db.Delete();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WriteBurst10k)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);

void readAll(benchmark::State& state, const CCeDBProp* sort)
{
    fill();
    CCeDBDatabase db;
    db.Open(kName, sort);
    CCeDBRecord r;
    for (auto _ : state) {
        int n = 0;
        db.SeekFirst();
        while (db.ReadCurrRecord(&r))
            ++n;
        if (n != kRecords)
            state.SkipWithError("not every record was read");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ReadAll10kUnsorted(benchmark::State& state)
{
    readAll(state, nullptr);
}
BENCHMARK(BM_ReadAll10kUnsorted)->Unit(benchmark::kMillisecond);

void BM_ReadAll10kSortedByName(benchmark::State& state)
{
    CCeDBProp sort;
    sort.SetPropId(kSortName);
    readAll(state, &sort);
}
BENCHMARK(BM_ReadAll10kSortedByName)->Unit(benchmark::kMillisecond);

void BM_SeekByOid(benchmark::State& state)
{
    fill();
    CCeDBDatabase db;
    db.Open(kName);
    std::mt19937 rng(7);
    CCeDBRecord r;
    for (auto _ : state) {
        const CEOID oid = g_oids[rng() % g_oids.size()];
        if (!db.SeekToRecord(oid))
            state.SkipWithError("seek failed");
    }
}
BENCHMARK(BM_SeekByOid)->Unit(benchmark::kMicrosecond);

void BM_SeekByOidAndRead(benchmark::State& state)
{
    fill();
    CCeDBDatabase db;
    db.Open(kName);
    std::mt19937 rng(7);
    CCeDBRecord r;
    for (auto _ : state) {
        const CEOID oid = g_oids[rng() % g_oids.size()];
        if (!db.SeekToRecord(oid) || !db.ReadCurrRecord(&r))
            state.SkipWithError("seek failed");
    }
}
BENCHMARK(BM_SeekByOidAndRead)->Unit(benchmark::kMicrosecond);

void BM_SeekByValue(benchmark::State& state)
{
    fill();
    CCeDBProp sort;
    sort.SetPropId(kSortKey);
    CCeDBDatabase db;
    db.Open(kName, &sort);
    std::mt19937 rng(7);
    for (auto _ : state) {
        CCeDBProp value(ULONG(rng() % kRecords + 1), 0x9001);
        if (!db.SeekValueFirstEqual(value))
            state.SkipWithError("seek failed");
    }
}
BENCHMARK(BM_SeekByValue)->Unit(benchmark::kMicrosecond);

void BM_OpenDatabase(benchmark::State& state)
{
    fill();
    CCeDBProp sort;
    sort.SetPropId(kSortName);
    for (auto _ : state) {
        CCeDBDatabase db;
        if (!db.Open(kName, &sort))
            state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toUtf8().constData(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
