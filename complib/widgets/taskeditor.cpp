#include "recordeditor.h"

#include "messagebox.h"

// Until the task pages exist the editor opens nothing.
int ZuEditTask(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset)
{
    (void)parent;
    (void)caption;
    (void)oid;
    (void)preset;
    return IDCANCEL;
}
