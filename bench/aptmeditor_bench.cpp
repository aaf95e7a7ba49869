// aptmeditor_bench - the appointment editor on a stored appointment (a weekly series with a
// reminder, a location, two attendees and a note; 50 contacts on file): opening it (the sheet
// runs, the summary page loads the record and paints once; the other tabs wait until shown), and
// OK until the record is stored (one edit each time, so every save writes). Run by hand, headless:
//   build/bin/aptmeditor_bench
// (the goal is at most 30 ms for each).
#include "pimstore.h"
#include "poomapplication.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/recordeditor.h"
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

CEOID storeAppointment()
{
    {
        ZuStoreBatch batch;
        CCeDBDatabase contacts;
        GetDatabasePtr(&contacts, ZU_SEL_CONTACTS);
        for (int i = 0; i < 50; ++i) {
            const std::wstring name = L"연락처 " + std::to_wstring(i);
            const std::wstring mail = L"c" + std::to_wstring(i) + L"@x.kr";
            CCeDBRecord r;
            const CCeDBProp props[] = {CCeDBProp(name.c_str(), ZUID_CON_FILE_AS), CCeDBProp(mail.c_str(), ZUID_CON_EMAIL)};
            r.AddProps(props, 2);
            contacts.WriteRecord(r, 0);
        }
        batch.Commit();
    }
    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
    item->put_Subject(L"주간 회의");
    item->put_Location(L"본사 3층");
    item->put_Start(COleDateTime(2024, 5, 21, 9, 15, 0).m_dt);
    item->put_Duration(50);
    item->put_ReminderSet(1);
    item->put_ReminderMinutesBeforeStart(90);
    CPoomRecipients* recipients = nullptr;
    item->get_Recipients(&recipients);
    CPoomRecipient* one = nullptr;
    recipients->Add(L"연락처 1", &one);
    one->put_Address(L"c1@x.kr");
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

void BM_OpenAppointmentEditor(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    const CEOID stored = storeAppointment();
    for (auto _ : state) {
        CEOID oid = stored;
        ZuModalHandlerScope scope([&](QDialog& d) {
            QImage frame(d.size(), QImage::Format_ARGB32_Premultiplied);
            d.render(&frame);
            d.reject();
        });
        ZuEditAppointment(nullptr, CString(), oid);
    }
}
BENCHMARK(BM_OpenAppointmentEditor)->Unit(benchmark::kMillisecond);

// Only the OK is timed: from the tap (the pages applied) to the stored record.
void BM_OkToStored(benchmark::State& state)
{
    QTemporaryDir home;
    ::setenv("ZUPIMS_HOME", home.path().toLocal8Bit().constData(), 1);
    const CEOID stored = storeAppointment();
    int n = 0;
    for (auto _ : state) {
        CEOID oid = stored;
        std::chrono::steady_clock::time_point tapped;
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (auto* subject = d.findChild<QLineEdit*>(QStringLiteral("1003")))
                subject->setText(QString::fromUtf8("주간 회의 ") + QString::number(++n));
            tapped = std::chrono::steady_clock::now();
            d.accept();
        });
        ZuEditAppointment(nullptr, CString(), oid);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - tapped).count());
    }
}
BENCHMARK(BM_OkToStored)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

ZU_QT_BENCHMARK_MAIN()
