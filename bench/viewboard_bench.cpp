// viewboard_bench - the view board opened on a stored appointment (a weekly series with a
// reminder, a location, two attendees, a category and a 4-KiB note): from the constructor, which
// reads the record and builds the rows and the note, to the first paint of the board. Run by
// hand, headless:
//   build/bin/viewboard_bench
// (the goal is at most 10 ms).
#include "pimstore.h"
#include "poomapplication.h"
#include "widgets/viewboard.h"
#include "qtbenchmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace {

CEOID storeAppointment()
{
    {
        CCeDBDatabase db;
        GetDatabasePtr(&db, ZU_SEL_CATEGORIES);
        CCeDBRecord r;
        const CCeDBProp props[] = {CCeDBProp(L"업무", ZUID_CAT_NAME), CCeDBProp(short(0), ZUID_CAT_INDEX),
                                   CCeDBProp(short(1), ZUID_CAT_IN_USE)};
        r.AddProps(props, 3);
        db.WriteRecord(r, 0);
    }
    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
    item->put_Subject(L"주간 회의");
    item->put_Location(L"본사 3층");
    item->put_Categories(L"업무");
    item->put_Start(COleDateTime(2024, 5, 21, 9, 15, 0).m_dt);
    item->put_Duration(50);
    item->put_ReminderSet(1);
    item->put_ReminderMinutesBeforeStart(90);
    CPoomRecipients* recipients = nullptr;
    item->get_Recipients(&recipients);
    CPoomRecipient* one = nullptr;
    recipients->Add(L"김철수", &one);
    one->put_Address(L"kim@x.kr");
    recipients->Add(L"Guest", &one);
    one->put_Address(L"guest@elsewhere.org");
    std::vector<BYTE> ink(4096, 7);
    item->put_BodyInk(ZuBlobOf(ink));
    CRecurrencePattern* p = nullptr;
    item->GetRecurrencePattern(&p);
    p->put_RecurrenceType(1);
    p->put_Interval(1);
    p->put_DayOfWeekMask(0x04);
    FILETIME start{};
    COleDateTime(2024, 5, 21, 0, 0, 0).GetAsFileTime(start);
    p->put_PatternStartDate(start);
    p->put_NoEndDate(1);
    item->Save();
    CEOID oid = 0;
    item->get_Oid(&oid);
    return oid;
}

void BM_OpenViewBoard(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    const CEOID stored = storeAppointment();
    FILETIME occurrence{};
    COleDateTime(2024, 5, 28, 9, 15, 0).GetAsFileTime(occurrence);
    for (auto _ : state) {
        CViewBoard board(stored, nullptr, ZU_SEL_APPOINTMENTS, nullptr, &occurrence);
        QImage frame(board.size(), QImage::Format_ARGB32_Premultiplied);
        board.render(&frame);
        benchmark::DoNotOptimize(board.GetRowCount());
    }
}
BENCHMARK(BM_OpenViewBoard)->Unit(benchmark::kMillisecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
