#include "aptmscreens.h"

#include "pimstore.h"
#include "poomapplication.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/recordeditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

namespace {

CEOID sampleAppointment()
{
    CCeDBDatabase contacts;
    if (GetDatabasePtr(&contacts, ZU_SEL_CONTACTS)) {
        const wchar_t* people[][2] = {{L"김철수", L"kim@example.kr"}, {L"이영희", L"lee@example.kr"}, {L"박민수", L"park@example.kr"}};
        for (auto& p : people) {
            CCeDBRecord r;
            const CCeDBProp props[] = {CCeDBProp(p[0], ZUID_CON_FILE_AS), CCeDBProp(p[1], ZUID_CON_EMAIL)};
            r.AddProps(props, 2);
            contacts.WriteRecord(r, 0);
        }
    }
    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item);
    item->put_Subject(L"주간 회의");
    item->put_Location(L"본사 3층 회의실");
    item->put_Start(COleDateTime(2026, 12, 10, 9, 30, 0).m_dt);
    item->put_Duration(90);
    item->put_ReminderSet(1);
    item->put_ReminderMinutesBeforeStart(30);
    CPoomRecipients* recipients = nullptr;
    item->get_Recipients(&recipients);
    CPoomRecipient* one = nullptr;
    recipients->Add(L"이영희", &one);
    one->put_Address(L"lee@example.kr");
    CRecurrencePattern* p = nullptr;
    item->GetRecurrencePattern(&p);
    p->put_RecurrenceType(1);
    p->put_Interval(1);
    p->put_DayOfWeekMask(0x10);
    FILETIME start{};
    COleDateTime(2026, 12, 10, 0, 0, 0).GetAsFileTime(start);
    p->put_PatternStartDate(start);
    p->put_NoEndDate(1);
    item->Save();
    CEOID oid = 0;
    item->get_Oid(&oid);
    return oid;
}

}  // namespace

void ZuShootAptmScreens(const QString& folder, const ZuScreenSaver& save)
{
    CEOID oid = sampleAppointment();
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto* sheet = qobject_cast<CMakeEventSheet*>(&d);
            if (!sheet)
                return;
            qApp->processEvents();
            save(d, folder, QStringLiteral("editor-appointment"), nullptr);
            sheet->SetActivePage(2);
            qApp->processEvents();
            save(d, folder, QStringLiteral("editor-attendees"), nullptr);
        });
        ZuEditAppointment(nullptr, CString(), oid);
    }
    {
        ZuEditorPreset preset;
        preset.date.wYear = 2026;
        preset.date.wMonth = 12;
        preset.date.wDay = 24;
        preset.anniversary = true;
        ZuModalHandlerScope scope([&](QDialog& d) {
            if (!qobject_cast<CMakeEventSheet*>(&d))
                return;
            if (auto* subject = d.findChild<QLineEdit*>(QStringLiteral("1003")))
                subject->setText(QString::fromUtf8("어머니 생신"));
            if (auto* lunar = d.findChild<QCheckBox*>(QStringLiteral("1010")))
                lunar->setChecked(true);
            qApp->processEvents();
            save(d, folder, QStringLiteral("editor-anniversary"), nullptr);
        });
        CEOID none = 0;
        ZuEditAppointment(nullptr, CString(L"일정"), none, preset);
    }
}
