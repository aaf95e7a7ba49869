#include "makeeventsheet.h"

#include "messagebox.h"
#include "note.h"
#include "resource.h"
#include "sheetlook_p.h"

CMakeEventSheet::CMakeEventSheet(UINT captionId, QWidget* parent, UINT selectPage)
    : CPropertySheet(captionId, ZuModule::CompLib, parent, selectPage)
{
}

CMakeEventSheet::CMakeEventSheet(const CString& caption, QWidget* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
}

UINT CMakeEventSheet::TabBitmap(int type)
{
    switch (type) {
    case Appointment:
    case AppointmentToo: return ZuCompLibRes::BmpAppointmentTabs;
    case Task: return ZuCompLibRes::BmpTaskTabs;
    default: return ZuCompLibRes::BmpContactTabs;
    }
}

int CMakeEventSheet::TabCount(int type)
{
    switch (type) {
    case Appointment:
    case AppointmentToo: return 5;
    case Task: return 4;
    default: return 6;
    }
}

BOOL CMakeEventSheet::OnInitDialog()
{
    const BOOL result = CPropertySheet::OnInitDialog();
    m_bar = ZuMakeSheetBar(this, m_barImages,
                           {ZuCompLibRes::BmpEventOk, ZuCompLibRes::BmpSheetCancel, ZuCompLibRes::BmpNoteTools});
    if (!m_bar)
        return FALSE;
    m_bar->AddButton(ZuCompLibRes::IdSheetOk, 0);
    m_bar->AddButton(ZuCompLibRes::IdSheetCancel, 1);
    m_bar->AddButton(ZuCompLibRes::IdNoteSeparator, -1, TBSTYLE_SEP, 6);
    m_bar->HideButton(ZuCompLibRes::IdNoteSeparator);
    m_bar->AddButton(ZuCompLibRes::IdNoteTools, 2);
    m_bar->HideButton(ZuCompLibRes::IdNoteTools);
    m_tabs = ZuDecorateSheetTabs(this, TabBitmap(m_eventType), TabCount(m_eventType));
    return result;
}

BOOL CMakeEventSheet::OnCommand(WORD id, WORD code)
{
    if (id == ZuCompLibRes::IdSheetOk) {
        OnButtonOk();
        return TRUE;
    }
    if (id == ZuCompLibRes::IdNoteTools) {
        // The note page's own bar opens and closes with the sheet's button.
        if (auto* note = qobject_cast<CNote*>(GetActivePage())) {
            note->OnCommand(id);
            return TRUE;
        }
    }
    return CPropertySheet::OnCommand(id, code);
}

void CMakeEventSheet::OnButtonOk()
{
    // A page that refused its values (told the user) keeps the sheet open.
    if (!ApplyPages(false))
        return;
    if ((m_eventType == Appointment || m_eventType == AppointmentToo) && !CheckAptmPages())
        return;
    done(IDOK);
}
