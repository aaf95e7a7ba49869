#include "recordeditor.h"

#include "aptmsummary.h"
#include "attendeeslist.h"
#include "categoryeditor.h"
#include "categorylist.h"
#include "makeeventsheet.h"
#include "messagebox.h"
#include "note.h"
#include "recordlayouts.h"

int ZuEditAppointment(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset)
{
    CAptmSummary summary;
    CNote note;
    CAttendeesList attendees;
    CCategoryList categories;
    CCategoryEditor editor;
    if (oid) {
        summary.SetEventData(oid);
        note.SetEventData(oid, ZU_SEL_APPOINTMENTS);
        attendees.SetEventData(oid);
        categories.SetListOption(oid, ZU_SEL_APPOINTMENTS, TRUE);
    } else {
        if (preset.date.wYear) {
            const SYSTEMTIME& d = preset.date;
            summary.SetEventStartTime(COleDateTime(d.wYear, d.wMonth, d.wDay, d.wHour, d.wMinute, 0));
        }
        summary.SetAnniversary(preset.anniversary);
        categories.SetListOption(0, TRUE);
    }
    CMakeEventSheet sheet(caption, parent);
    sheet.SetEventType(CMakeEventSheet::Appointment);
    sheet.AddPage(&summary);
    sheet.AddPage(&note);
    sheet.AddPage(&attendees);
    sheet.AddPage(&categories);
    sheet.AddPage(&editor);
    if (sheet.DoModal() != IDOK)
        return IDCANCEL;

    CEBLOB noteBlob{}, categoryBlob{}, attendeeBlob{};
    note.GetNoteBlob(&noteBlob);
    categories.GetCategories(&categoryBlob);
    attendees.GetAttendees(&attendeeBlob);
    const int saved = sheet.SaveAptmEvent(oid, summary, noteBlob, categoryBlob, attendeeBlob);
    for (CEBLOB* b : {&noteBlob, &categoryBlob, &attendeeBlob})
        if (b->lpb)
            LocalFree(b->lpb);
    return saved ? IDOK : 0;
}
