// recordeditor.h - the appointment and task editors as the calendar and the view board open them.
//
// Each builds a CMakeEventSheet with its pages (appointment: summary, note, attendees, category
// list and editor; task: summary, note, category list and editor), runs it over `parent` and, on
// OK, saves the record with the sheet's SaveAptmEvent or SaveTaskEvent.
//
// `oid` names the stored record to edit, 0 for a new one; after a save it names the saved record.
// A new record takes its date and time from `preset` (wYear 0: the page's own defaults); a new
// appointment with `anniversary` opens as an anniversary.
//
// Result: IDOK after a save, IDCANCEL when the user cancelled, 0 when the save failed (the user has
// been told why).
#pragma once

#include "cstring.h"
#include "wintypes.h"

class QWidget;

struct ZuEditorPreset {
    SYSTEMTIME date{};
    bool anniversary = false;
};

int ZuEditAppointment(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset = {});
int ZuEditTask(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset = {});
