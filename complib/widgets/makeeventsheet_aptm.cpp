// makeeventsheet_aptm.cpp - the appointment half of CMakeEventSheet: the check across its pages,
// SaveAptmEvent and SetMemorialDay.
//
// The save runs in one store batch: the item's record (with its reminder and category counts)
// and the anniversary marks land together or not at all. An item that already matches its
// record is not written again, so opening a stored appointment and tapping OK changes nothing.
#include "makeeventsheet.h"

#include "aptmsummary.h"
#include "attendeeslist.h"
#include "cedbdatabase.h"
#include "messagebox.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "recurrencepattern.h"
#include "stringtable.h"

#include <cmath>

#ifndef FAILED
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#endif

namespace {

const wchar_t* const kNotSaved = L"일정을 저장하지 못했습니다.";
const wchar_t* const kNoAttendees = L"종일 일정에는 참석자를 선택할 수 없습니다.";

bool hasAnyBit(const _CEBLOB& blob)
{
    for (DWORD i = 0; blob.lpb && i < blob.dwCount; ++i)
        if (blob.lpb[i])
            return true;
    return false;
}

}  // namespace

BOOL CMakeEventSheet::CheckAptmPages()
{
    auto* summary = qobject_cast<CAptmSummary*>(GetPage(0));
    auto* attendees = qobject_cast<CAttendeesList*>(GetPage(2));
    if (summary && attendees && (summary->m_bMemorialDay || summary->m_bAllDay) && attendees->GetNumOfAttendees() > 0) {
        MessageBox(this, kNoAttendees, L"일정", MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    return TRUE;
}

int CMakeEventSheet::SaveAptmEvent(CEOID& oid, CAptmSummary& summary, _CEBLOB& note, _CEBLOB& category, _CEBLOB& attendee)
{
    CPoomApplication app;
    if (FAILED(app.Logon(0))) {
        MessageBox(this, L"Failure to logon to application object.", L"Error", MB_OK | MB_ICONERROR);
        return 0;
    }
    std::unique_ptr<CPoomAppointment> item;
    if (oid) {
        if (FAILED(app.GetItemFromOid(oid, &item)) || !item) {
            MessageBox(this, L"Failure to obtain Calendar folder.", L"Error", MB_OK | MB_ICONERROR);
            app.Logoff();
            return 0;
        }
    } else if (FAILED(app.CreateItem(ZU_OL_APPOINTMENT_ITEM, &item)) || !item) {
        app.Logoff();
        return 0;
    }
    auto fail = [&] {
        MessageBox(this, kNotSaved, L"일정", MB_OK | MB_ICONERROR);
        app.Logoff();
        return 0;
    };

    CString subject = summary.m_strSubject;
    if (subject.IsEmpty())
        subject = ZuLoadString(ZuStr::NoSubject, ZuModule::CompLib);
    if (FAILED(item->put_Subject(subject)))
        return fail();
    item->put_Location(summary.m_strLocation);
    // The categories are always set, so clearing them all sticks; names that cannot be read
    // would clear them instead, so that save fails.
    CString names;
    if (hasAnyBit(category)) {
        CCeDBDatabase categories;
        if (!GetDatabasePtr(&categories, ZU_SEL_CATEGORIES))
            return fail();
        categories.Close();
        names = GetDBCategoryBlob2Str(&category);
    }
    item->put_Categories(names);
    item->ClearRecurrencePattern();
    if (FAILED(item->put_Start(summary.m_dtStart.m_dt)))
        return fail();
    // (days × 24 + hours) × 60 + minutes of the span, to the minute.
    const long duration = static_cast<long>(std::llround((summary.m_dtEnd - summary.m_dtStart).m_span * 1440));
    if (FAILED(item->put_Duration(duration)))
        return fail();
    item->put_AllDayEvent(summary.m_bMemorialDay || summary.m_bAllDay ? 1 : 0);
    item->put_BusyStatus(summary.m_nBusyStatus);
    item->put_Sensitivity(summary.m_bPrivate ? ZU_OL_PRIVATE : ZU_OL_NORMAL);

    // The note goes whenever there is one, and an emptied note clears the stored one.
    bool storedNote = false;
    if (oid) {
        CCeDBDatabase db;
        CCeDBRecord record;
        storedNote = GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) && db.SeekToRecord(oid) && db.ReadCurrRecord(&record)
            && record.GetIdProp(ZUID_APT_NOTE);
    }
    if (note.dwCount || storedNote)
        item->put_BodyInk(note);

    item->put_ReminderSet(summary.m_nReminder < 0 ? 0 : -1);
    item->put_ReminderMinutesBeforeStart(summary.m_nReminder);
    item->put_ReminderSoundFile(L"Alarm1.wav");
    item->put_ReminderOptions(13);

    CPoomRecipients* recipients = nullptr;
    if (SUCCEEDED(item->get_Recipients(&recipients)) && recipients) {
        long count = 0;
        recipients->get_Count(&count);
        for (long i = count; i >= 1; --i)
            recipients->Remove(i);
        // The page's entries, each with the time it was added.
        recipients->FromBlob(attendee);
    }

    CRecurrencePattern* pattern = nullptr;
    if (summary.m_nOccurs > 0 && summary.GetRecurPatternPtr() && SUCCEEDED(item->GetRecurrencePattern(&pattern))
        && pattern)
        *pattern = *summary.GetRecurPatternPtr();

    const BOOL anniversary = summary.m_bMemorialDay;
    const BOOL lunar = summary.m_bMemorialDay && summary.m_bLunar;
    ZuStoreBatch batch;
    if (!item->MatchesRecord() && FAILED(item->Save()))
        return fail();
    item->get_Oid(&oid);
    if (!SetMemorialDay(oid, anniversary, lunar))
        return fail();
    if (batch.ok() && !batch.Commit())
        return fail();
    app.Logoff();
    return 1;
}

int CMakeEventSheet::SetMemorialDay(CEOID oid, int anniversary, int lunar)
{
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!oid || !GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&record))
        return 0;
    const bool marked = record.GetIdProp(ZUID_APT_MEMORIAL) != nullptr;
    if (!marked && !anniversary)
        return 1;
    if (marked && ZuRecordInt(record, ZUID_APT_MEMORIAL) == anniversary && record.GetIdProp(ZUID_APT_LUNAR)
        && ZuRecordInt(record, ZUID_APT_LUNAR) == lunar)
        return 1;  // already so
    CCeDBProp props[2] = {CCeDBProp(short(anniversary), ZUID_APT_MEMORIAL), CCeDBProp(short(lunar), ZUID_APT_LUNAR)};
    CEPROPVAL values[2] = {props[0].AsPropVal(), props[1].AsPropVal()};
    return db.WriteProps(oid, values, 2) ? 1 : 0;
}
