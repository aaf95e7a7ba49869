#include "contactsummarydt.h"

#include "contactfields.h"

CContactSummaryDT::CContactSummaryDT() : CContactFieldPage(0, L"상세입력", ZU_DETAIL_FIRST, ZU_DETAIL_LAST)
{
    setObjectName(QStringLiteral("ContactSummaryDT"));
}
