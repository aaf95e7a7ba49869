// recurwizard_bench - opening the recurrence wizard on an appointment: the dialog made with its
// defaults, shown and its first page (the weekly details) painted; and the step to the range
// page. On the offscreen platform at the handheld's size. Run by hand:
//   build/bin/recurwizard_bench
#include "oledatetime.h"
#include "widgets/recurdialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

const COleDateTime kStart(2026, 6, 17, 9, 30, 0);
const COleDateTime kEnd(2026, 6, 17, 10, 0, 0);

void BM_OpenFirstPage(benchmark::State& state)
{
    for (auto _ : state) {
        CRecurDialog dialog(nullptr, kStart, kEnd, 1, 1);
        dialog.show();
        dialog.repaint();
        QCoreApplication::processEvents();
    }
}

void BM_NextToRange(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CRecurDialog dialog(nullptr, kStart, kEnd, 1, 1);
        dialog.show();
        dialog.repaint();
        state.ResumeTiming();
        dialog.OnNext();
        dialog.repaint();
    }
}

} // namespace

BENCHMARK(BM_OpenFirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextToRange)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
