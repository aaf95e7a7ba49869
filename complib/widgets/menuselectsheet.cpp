#include "menuselectsheet.h"

#include "messagebox.h"
#include "resource.h"
#include "sheetlook_p.h"

CMenuSelectSheet::CMenuSelectSheet(UINT captionId, QWidget* parent, UINT selectPage)
    : CPropertySheet(captionId, ZuModule::CompLib, parent, selectPage)
{
}

CMenuSelectSheet::CMenuSelectSheet(const CString& caption, QWidget* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
}

BOOL CMenuSelectSheet::OnInitDialog()
{
    const BOOL result = CPropertySheet::OnInitDialog();
    m_bar = ZuMakeSheetBar(this, m_barImages, {ZuCompLibRes::BmpMenuSelectOk, ZuCompLibRes::BmpSheetCancel});
    if (!m_bar)
        return FALSE;
    m_bar->InsertSeparator(6);
    m_bar->AddButton(ZuCompLibRes::IdSheetOk, 0);
    m_bar->AddButton(ZuCompLibRes::IdSheetCancel, 1);
    m_tabs = ZuDecorateSheetTabs(this, ZuCompLibRes::BmpMenuSelectTabs, 2);
    return result;
}

BOOL CMenuSelectSheet::OnCommand(WORD id, WORD code)
{
    if (id == ZuCompLibRes::IdSheetOk) {
        OnButtonOk();
        return TRUE;
    }
    return CPropertySheet::OnCommand(id, code);
}

void CMenuSelectSheet::OnButtonOk()
{
    ApplyPages(true);
    done(IDOK);
}
