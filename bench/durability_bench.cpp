// durability_bench.cpp - what syncing every commit (synchronous=FULL) costs: a burst of separate
// record writes, and one appointment saved through the object model (record, reminder and
// category counts in one batch), each with the store's FULL (argument 1) and with NORMAL (0)
// set on the thread's connection for comparison. The data folder is a temporary one on the
// disk of $TMPDIR.
#include "cedbstore_p.h"
#include "datafolder.h"
#include "pimstore.h"
#include "poomapplication.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void useSync(benchmark::State& state)
{
    static QTemporaryDir dir;
    ::setenv("ZUPIMS_HOME", dir.path().toUtf8().constData(), 1);
    zucedb::Connection* c = zucedb::connectionFor(ZuDataFile("pim.db"));
    if (!c || !c->db().exec(state.range(0) ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL"))
        std::abort();
}

CCeDBRecord smallRecord(int i)
{
    CCeDBRecord r;
    const std::wstring subject = L"일정 " + std::to_wstring(i);
    const CCeDBProp props[] = {CCeDBProp(subject.c_str(), 0x0037), CCeDBProp(FILETIME{0, 0x01DB0000u + static_cast<DWORD>(i)}, 0x420D),
        CCeDBProp(LONG(60), 0x4213)};
    r.AddProps(props, 3);
    return r;
}

// 200 writes, each its own commit (as a writer that does not batch them pays).
void BM_SeparateWrites200(benchmark::State& state)
{
    useSync(state);
    CCeDBDatabase db;
    if (!db.Open(L"Appointments Database"))
        std::abort();
    for (auto _ : state)
        for (int i = 0; i < 200; ++i)
            benchmark::DoNotOptimize(db.WriteRecord(smallRecord(i), 0));
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_SeparateWrites200)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// One appointment with a category and a reminder saved by the object model, as the editor's OK.
void BM_PoomAppointmentSave(benchmark::State& state)
{
    useSync(state);
    CPoomApplication app;
    if (app.Logon(0) != S_OK)
        std::abort();
    int i = 0;
    for (auto _ : state) {
        std::unique_ptr<CPoomAppointment> item;
        app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
        item->put_Subject(L"팀 회의");
        item->put_Start(COleDateTime(2026, 12, 1 + i++ % 28, 9, 0, 0).m_dt);
        item->put_Duration(60);
        item->put_ReminderSet(1);
        item->put_ReminderMinutesBeforeStart(10);
        if (item->Save() != S_OK)
            std::abort();
    }
}
BENCHMARK(BM_PoomAppointmentSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

BENCHMARK_MAIN();
