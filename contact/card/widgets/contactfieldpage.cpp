#include "contactfieldpage.h"

#include "contactdata.h"
#include "fieldlistctrl.h"
#include "resource.h"
#include "windowmessage.h"

#include <QCoreApplication>

CContactFieldPage::CContactFieldPage(UINT templateId, const CString& caption, int first, int last)
    : CPropertyPage(templateId, caption), m_first(first), m_last(last)
{
}

BOOL CContactFieldPage::OnInitDialog()
{
    m_list = new CFieldListCtrl(this);
    m_list->setGeometry(rect());
    m_list->SetFields(m_data, m_first, m_last);
    m_list->show();
    connect(m_list, &CFieldListCtrl::categoryRequested, this, [this] {
        ZuMessageEvent e(WM_ZU_SHOWCATEGORYPAGE, 0, 0);
        QCoreApplication::sendEvent(this, &e);
    });
    return TRUE;
}

BOOL CContactFieldPage::OnSetActive()
{
    SetTabText(GetCaption());
    // The other list page may have changed the name or an address meanwhile.
    if (m_list)
        m_list->RefreshValues();
    return TRUE;
}

BOOL CContactFieldPage::OnKillActive()
{
    if (m_list)
        m_list->EndEdit();
    SetTabText(CString());
    return TRUE;
}

BOOL CContactFieldPage::OnApply()
{
    if (m_list)
        m_list->EndEdit();
    return TRUE;
}

bool CContactFieldPage::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_ZU_SHOWCATEGORYPAGE) {
            if (GetSheet())
                GetSheet()->SetActivePage(kCategoryPageIndex);
            m->setResult(0);
            return true;
        }
    }
    return CPropertyPage::event(e);
}

void CContactFieldPage::resizeEvent(QResizeEvent* e)
{
    CPropertyPage::resizeEvent(e);
    if (m_list)
        m_list->setGeometry(rect());
}
