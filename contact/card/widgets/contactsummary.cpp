#include "contactsummary.h"

#include "contactfields.h"

CContactSummary::CContactSummary() : CContactFieldPage(0, L"메인", ZU_MAIN_FIRST, ZU_MAIN_LAST)
{
    setObjectName(QStringLiteral("ContactSummary"));
    SetData(&m_record);
}

BOOL CContactSummary::SetContact(CEOID id)
{
    m_id = id;
    return m_record.Load(id);
}
