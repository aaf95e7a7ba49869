// listview_bench - painting the calendar's list view while scrolling through 2,000 rows: a month
// of 2,000 appointments (timed, all-day and memorial days, as a busy month lists them) and some
// tasks, in a 240 x 273 view like the program's. Each iteration scrolls one row and paints the
// whole view into an image, which is what one frame of scrolling costs. Run by hand, headless:
//   build/bin/listview_bench
// (the goal is at most 2 ms per painted frame).
#include "cedbdatabase.h"
#include "filetime.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "testtime.h"
#include "windowmessage.h"
#include "zucalendardoc.h"
#include "widgets/zucalendarview.h"
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

using zutest::wall;

FILETIME utc(const FILETIME& local)
{
    FILETIME out{};
    LocalFileTimeToFileTime(&local, &out);
    return out;
}

class BenchFrame : public ICalendarFrame {
public:
    QObject* view = nullptr;
    QObject* ViewFor(int, int) override { return view; }
    QObject* ActiveView() override { return view; }
    void SwitchView(int, int) override {}
    void SetCaption(const CString&, COLORREF, const SYSTEMTIME&) override {}
    void SetWindowTitle(const CString&) override {}
    void CloseDateDropDown() override {}
    void SetCategoryButtonText(const CString&) override {}
    void SetViewTypeButtons(int) override {}
    void SetStyleButton(int) override {}
    void SetContentButtons(DWORD) override {}
    void HideLeftScrollBar() override {}
    void SetListBigFont(bool) override {}
    void InvalidateListView() override {}
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>&) override { return 0; }
    bool RunCategorySheet(std::vector<int>&) override { return false; }
    void RunRecordEditor(int, const SYSTEMTIME&, bool) override {}
    void ShowOptions() override {}
    DWORD MainWindowHandle() override { return 0; }
};

void fillStore()
{
    CCeDBDatabase apt, task;
    GetDatabasePtr(&apt, ZU_SEL_APPOINTMENTS);
    GetDatabasePtr(&task, ZU_SEL_TASKS);
    ZuStoreBatch batch;
    for (int i = 0; i < 1900; ++i) {
        const int day = 1 + i % 30, kind = i % 20;
        const bool allDay = kind == 0, memorial = kind == 1;
        CCeDBRecord r;
        const CCeDBProp props[] = {
            CCeDBProp(memorial ? L"기념일 제사" : L"회의 약속 본사 회의실에서 오래 걸리는 회의", ZUID_APT_SUBJECT),
            CCeDBProp(utc(wall(2026, 6, day, allDay || memorial ? 0 : 8 + i % 10)), ZUID_APT_START),
            CCeDBProp(LONG(allDay || memorial ? 1440 : 60), ZUID_APT_DURATION),
            CCeDBProp(LONG(allDay || memorial ? ZU_APT_ALLDAY : ZU_APT_TIMED), ZUID_APT_TYPE),
            CCeDBProp(short(2), ZUID_APT_BUSYSTATUS),
            CCeDBProp(short(memorial), ZUID_APT_MEMORIAL),
            CCeDBProp(short(0), ZUID_APT_RECURRING),
        };
        r.AddProps(props, WORD(std::size(props)));
        apt.WriteRecord(r, 0);
    }
    for (int i = 0; i < 100; ++i) {
        CCeDBRecord r;
        const CCeDBProp props[] = {
            CCeDBProp(L"할 일", ZUID_TASK_SUBJECT),
            CCeDBProp(wall(2026, 6, 1 + i % 28), ZUID_TASK_START),
            CCeDBProp(wall(2026, 6, 2 + i % 28), ZUID_TASK_DUE),
            CCeDBProp(LONG(i % 3), ZUID_TASK_IMPORTANCE),
            CCeDBProp(short(i % 101), ZUID_TASK_PROGRESS),
            CCeDBProp(short(0), ZUID_TASK_RECURRING),
        };
        r.AddProps(props, WORD(std::size(props)));
        task.WriteRecord(r, 0);
    }
    if (batch.ok())
        batch.Commit();
}

// Counts the WM_ITEMS_LOADED the view gets.
class LoadCounter : public QObject {
public:
    int loads = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED)
            ++loads;
        return false;
    }
};

void BM_ScrollAndPaint(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    fillStore();
    BenchFrame frame;
    CZuCalendarDoc doc(&frame);
    doc.SetPersistent(false);
    CZuCalendarView view(&doc);
    frame.view = &view;
    LoadCounter counter;
    view.installEventFilter(&counter);
    view.resize(240, 273);
    SYSTEMTIME june{};
    june.wYear = 2026;
    june.wMonth = 6;
    june.wDay = 17;
    doc.SetViewType(ZU_VIEW_MONTH, false);
    doc.SetCurrentDate(june);
    doc.OnOptionChanged(52, 1);  // progress as bars
    doc.RequestLoad(&view);
    QElapsedTimer wait;
    wait.start();
    while (counter.loads == 0 && wait.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (view.GetItemCount() < 2000) {
        state.SkipWithError("the month did not load 2,000 rows");
        return;
    }
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    const int last = view.GetScrollMax();
    int pos = 0;
    for (auto _ : state) {
        pos = pos >= last ? 0 : pos + 1;
        view.SetScrollPos(pos);
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = view.GetItemCount();
}
BENCHMARK(BM_ScrollAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
