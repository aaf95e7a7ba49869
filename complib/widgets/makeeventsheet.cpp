#include "makeeventsheet.h"

#include "messagebox.h"
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
    return CPropertySheet::OnCommand(id, code);
}

void CMakeEventSheet::OnButtonOk()
{
    ApplyPages(false);
    done(IDOK);
}
