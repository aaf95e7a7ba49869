#include "recordeditor.h"

#include "categoryeditor.h"
#include "categorylist.h"
#include "makeeventsheet.h"
#include "messagebox.h"
#include "note.h"
#include "recordlayouts.h"
#include "tasksummary.h"

int ZuEditTask(QWidget* parent, const CString& caption, CEOID& oid, const ZuEditorPreset& preset)
{
    CTaskSummary summary;
    CNote note;
    CCategoryList categories;
    CCategoryEditor editor;
    if (oid) {
        summary.SetEventData(oid);
        note.SetEventData(oid, ZU_SEL_TASKS);
        categories.SetListOption(oid, ZU_SEL_TASKS, TRUE);
    } else {
        if (preset.date.wYear)
            summary.SetEventDate(QDate(preset.date.wYear, preset.date.wMonth, preset.date.wDay));
        categories.SetListOption(0, TRUE);
    }
    CMakeEventSheet sheet(caption, parent);
    sheet.SetEventType(CMakeEventSheet::Task);
    sheet.AddPage(&summary);
    sheet.AddPage(&note);
    sheet.AddPage(&categories);
    sheet.AddPage(&editor);
    if (sheet.DoModal() != IDOK)
        return IDCANCEL;

    CEBLOB noteBlob{}, categoryBlob{};
    note.GetNoteBlob(&noteBlob);
    categories.GetCategories(&categoryBlob);
    const int saved = sheet.SaveTaskEvent(oid, summary, noteBlob, categoryBlob);
    for (CEBLOB* b : {&noteBlob, &categoryBlob})
        if (b->lpb)
            LocalFree(b->lpb);
    return saved ? IDOK : 0;
}
