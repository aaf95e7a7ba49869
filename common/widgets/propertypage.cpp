#include "propertypage.h"

#include "propertysheet.h"

CPropertyPage::CPropertyPage(UINT templateId, const CString& caption)
    : m_templateId(templateId), m_caption(caption)
{
    if (templateId)
        setObjectName(QString::number(templateId));
    hide();
}

CPropertyPage::~CPropertyPage()
{
    if (m_sheet)
        m_sheet->ForgetPage(this);
}

void CPropertyPage::SetTabText(const CString& text)
{
    if (m_sheet)
        m_sheet->SetPageTabText(m_sheet->GetPageIndex(this), text);
}
