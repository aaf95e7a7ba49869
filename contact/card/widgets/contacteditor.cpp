#include "contacteditor.h"

#include "contactsummary.h"
#include "contactsummarydt.h"
#include "messagebox.h"
#include "previewphotoimage.h"
#include "recordlayouts.h"
#include "savecontact.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/makeeventsheet.h"
#include "widgets/note.h"

#include <vector>

int ZuEditContact(QWidget* parent, CEOID& oid, const std::function<void(CMakeEventSheet&)>& prepare)
{
    CContactSummary summary;
    if (oid)
        summary.SetContact(oid);
    CContactData* data = summary.GetContactData();
    CContactSummaryDT detail;
    detail.SetData(data);
    CPreviewPhotoImage picture;
    picture.SetData(data);
    CNote note;
    CCategoryList categories;
    CEBLOB autoSave{0, nullptr};
    if (oid) {
        note.SetEventData(oid, ZU_SEL_CONTACTS);
        categories.SetListOption(oid, ZU_SEL_CONTACTS, FALSE);
        categories.SetAutoSave(&autoSave);
    } else {
        categories.SetListOption(0, FALSE);
    }
    CCategoryEditor categoryEditor;

    CMakeEventSheet sheet(CString(ZU_CONTACT_CAPTION), parent);
    sheet.SetEventType(CMakeEventSheet::Contact);
    sheet.AddPage(&summary);
    sheet.AddPage(&detail);
    sheet.AddPage(&picture);
    sheet.AddPage(&note);
    sheet.AddPage(&categories);
    sheet.AddPage(&categoryEditor);
    if (prepare)
        prepare(sheet);
    const int result = sheet.DoModal();
    if (autoSave.lpb)
        LocalFree(autoSave.lpb);
    if (result != IDOK)
        return IDCANCEL;

    CEBLOB blob{0, nullptr};
    categories.GetCategories(&blob);
    data->SetCategories(blob.lpb ? std::vector<BYTE>(blob.lpb, blob.lpb + blob.dwCount) : std::vector<BYTE>());
    if (blob.lpb)
        LocalFree(blob.lpb);
    CEBLOB noteBlob{0, nullptr};
    note.GetNoteBlob(&noteBlob);
    data->SetNote(noteBlob.lpb ? std::vector<BYTE>(noteBlob.lpb, noteBlob.lpb + noteBlob.dwCount) : std::vector<BYTE>());
    if (noteBlob.lpb)
        LocalFree(noteBlob.lpb);

    const CEOID saved = SaveContact(oid, *data);
    if (!saved) {
        MessageBox(parent, ZU_CONTACT_SAVE_FAILED, ZU_CONTACT_CAPTION, MB_OK | MB_ICONWARNING);
        return 0;
    }
    oid = saved;
    return IDOK;
}
