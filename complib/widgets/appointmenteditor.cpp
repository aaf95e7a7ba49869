#include "recordeditor.h"

#include "messagebox.h"

// Until the appointment pages exist the editor opens nothing.
int ZuEditAppointment(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset)
{
    (void)parent;
    (void)caption;
    (void)oid;
    (void)preset;
    return IDCANCEL;
}
