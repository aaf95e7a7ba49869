// taskeditor_bench - the task editor on a stored task (a weekly series with a reminder, two
// categories and a note; 200 other tasks on file): opening it (the sheet runs, the summary page
// loads the record and paints once; the other tabs wait until shown), and OK until the record is
// stored (one edit each time, so every save writes the record, its reminder and the counts). Run
// by hand, headless:
//   build/bin/taskeditor_bench
// (the goal is at most 30 ms for each).
#include "pimstore.h"
#include "recurrencepattern.h"
#include "taskrecord.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/recordeditor.h"
#include "widgets/tasksummary.h"
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

CEOID storeTask()
{
    {
        ZuStoreBatch batch;
        CCeDBDatabase db;
        GetDatabasePtr(&db, ZU_SEL_CATEGORIES);
        for (short i = 0; i < 2; ++i) {
            CCeDBRecord r;
            const CCeDBProp props[] = {CCeDBProp(i == 0 ? L"업무" : L"가족", ZUID_CAT_NAME), CCeDBProp(i, ZUID_CAT_INDEX),
                CCeDBProp(short(1), ZUID_CAT_IN_USE), CCeDBProp(short(0), ZUID_CAT_TASK_COUNT)};
            r.AddProps(props, 4);
            db.WriteRecord(r, 0);
        }
        CCeDBDatabase tasks;
        GetDatabasePtr(&tasks, ZU_SEL_TASKS);
        for (int i = 0; i < 200; ++i) {
            ZuTask t;
            t.subject = L"할일 " + std::to_wstring(i);
            tasks.WriteRecord(ZuTaskRecord(t), 0);
        }
        batch.Commit();
    }
    CTaskSummary s;
    s.m_strSubject = L"주간 보고";
    s.m_dtStart = COleDateTime(2024, 5, 20, 0, 0, 0);
    s.m_dtDue = COleDateTime(2024, 5, 21, 0, 0, 0);
    s.m_dtAlarmDate = COleDateTime(2024, 5, 20, 0, 0, 0);
    s.m_dtAlarmTime = COleDateTime(2000, 1, 1, 9, 0, 0);
    s.m_nProgress = 3;
    auto p = std::make_unique<CRecurrencePattern>(ZU_SEL_TASKS);
    p->put_RecurrenceType(1);
    p->put_Interval(1);
    p->put_DayOfWeekMask(0x02);
    FILETIME start{};
    COleDateTime(2024, 5, 20, 0, 0, 0).GetAsFileTime(start);
    p->put_PatternStartDate(start);
    p->put_NoEndDate(1);
    s.m_nOccurs = 2;
    s.SetRecurPatternPtr(std::move(p));
    std::vector<BYTE> ink(4096, 7), bits{0x03};
    CEBLOB note = ZuBlobOf(ink), categories = ZuBlobOf(bits);
    CMakeEventSheet sheet(CString(L"일정"));
    CEOID oid = 0;
    sheet.SaveTaskEvent(oid, s, note, categories);
    return oid;
}

void BM_OpenTaskEditor(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    const CEOID stored = storeTask();
    for (auto _ : state) {
        CEOID oid = stored;
        ZuModalHandlerScope scope([&](QDialog& d) {
            QImage frame(d.size(), QImage::Format_ARGB32_Premultiplied);
            d.render(&frame);
            d.reject();
        });
        ZuEditTask(nullptr, CString(), oid);
    }
}
BENCHMARK(BM_OpenTaskEditor)->Unit(benchmark::kMillisecond);

// Only the OK is timed: from the tap (the pages applied) to the stored record.
void BM_TaskOkToStored(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    const CEOID stored = storeTask();
    int n = 0;
    for (auto _ : state) {
        CEOID oid = stored;
        std::chrono::steady_clock::time_point tapped;
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (auto* subject = d.findChild<QLineEdit*>(QStringLiteral("1003")))
                subject->setText(QString::fromUtf8("주간 보고 ") + QString::number(++n));
            tapped = std::chrono::steady_clock::now();
            d.accept();
        });
        ZuEditTask(nullptr, CString(), oid);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - tapped).count());
    }
}
BENCHMARK(BM_TaskOkToStored)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
