// frame_bench - from a command to the repainted view, in process, on the benchmarks' full store
// (benchstore.h): a navigation arrow, a view-type button and a content toggle, each timed from the
// command through the load to the list view painted again; and the record editor's OK, timed from
// the tap on OK through the save and the reload to the list view painted again. The frame runs on the offscreen
// platform at the handheld's size, showing 2026-06-17 (a busy day). Run by hand:
//   build/bin/frame_bench
#include "benchstore.h"

#include "filetime.h"
#include "widgets/aptmsummary.h"
#include "widgets/cecommandbarex.h"
#include "widgets/mainframe.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/zucalendarview.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include "loadwatcher.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <chrono>

#include <memory>

namespace {

struct Program {
    CZuCalendarDoc doc;
    CMainFrame frame{&doc};
    zubench::LoadWatcher watcher;

    Program()
    {
        doc.SetPersistent(false);
        frame.Create();
        frame.ListView()->installEventFilter(&watcher);
        frame.InitialUpdate();
        frame.show();
        settle();
    }
    // Runs the loop until the list view had its load, then paints it.
    void settle()
    {
        watcher.waitPast(watcher.seen);
        frame.ListView()->viewport()->repaint();
    }
    void command(UINT id)
    {
        frame.OnCommand(id);
        settle();
    }
};

std::unique_ptr<Program> g_program;  // goes before the application

Program& program()
{
    zubench::store();
    SYSTEMTIME day{};
    day.wYear = 2026;
    day.wMonth = 6;
    day.wDay = 17;
    day.wHour = 9;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&day, &local);
    LocalFileTimeToFileTime(&local, &utc);
    ZuSetFixedClock(utc);
    if (!g_program)
        g_program = std::make_unique<Program>();
    return *g_program;
}

void BM_NavigationArrow(benchmark::State& state)
{
    Program& p = program();
    bool forward = true;
    for (auto _ : state) {
        p.command(forward ? ZU_CMD_NEXT : ZU_CMD_PREV);
        forward = !forward;
    }
    state.counters["rows"] = p.frame.ListView()->GetItemCount();
}

void BM_ViewTypeButton(benchmark::State& state)
{
    Program& p = program();
    const UINT ids[] = {ZU_CMD_VIEW_WEEK, ZU_CMD_VIEW_MONTH, ZU_CMD_VIEW_DAY};
    static int i = 0;  // the runs go on where the last one stopped: every command changes the type
    for (auto _ : state)
        p.command(ids[i++ % 3]);
}

void BM_ContentToggle(benchmark::State& state)
{
    Program& p = program();
    p.command(ZU_CMD_VIEW_MONTH);
    for (auto _ : state)
        p.command(ZU_CMD_SHOW_TASKS);
    p.command(ZU_CMD_VIEW_DAY);
}

void BM_EditorOkToReloadedView(benchmark::State& state)
{
    Program& p = program();
    p.command(ZU_CMD_VIEW_DAY);
    using clock = std::chrono::steady_clock;
    clock::time_point tapped;
    ZuModalHandlerScope editor([&](QDialog& d) {
        auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
        if (!sheet)
            return;
        if (auto* subject = d.findChild<QLineEdit*>(QString::number(CAptmSummary::IDC_SUBJECT)))
            subject->insert(QStringLiteral("bench"));
        CCeCommandBarEx* bar = sheet->GetCommandBarPtr();
        tapped = clock::now();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(bar->CommandToIndex(45000)).center());
    });
    for (auto _ : state) {
        p.frame.OnCommand(ZU_CMD_NEW_APPOINTMENT);
        p.settle();
        state.SetIterationTime(std::chrono::duration<double>(clock::now() - tapped).count());
    }
    state.counters["rows"] = p.frame.ListView()->GetItemCount();
}

}  // namespace

BENCHMARK(BM_NavigationArrow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewTypeButton)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContentToggle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOkToReloadedView)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
