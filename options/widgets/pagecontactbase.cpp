#include "widgets/pagecontactbase.h"

#include "resource.h"

#include <QCheckBox>
#include <QLabel>

CPageContactBase::CPageContactBase()
    : COptionPage(ZU_IDD_PAGE_CONTACT, QStringLiteral("주소록 옵션"), CString(L"주소록"))
{
}

void CPageContactBase::Load(const _tabContactOpt& opt)
{
    m_opt = opt;
}

BOOL CPageContactBase::OnInitDialog()
{
    auto* title = new QLabel(QStringLiteral("주소록 일반 설정"), this);
    title->setGeometry(8, 32, 224, 20);
    m_quickSearch = MakeCheckBox(ZU_IDC_CONTACT_QUICKSEARCH, QStringLiteral("헤더보이기"), QRect(16, 56, 216, 20));
    m_bigFont = MakeCheckBox(ZU_IDC_CONTACT_BIGFONT, QStringLiteral("큰 폰트 사용하기"), QRect(16, 80, 216, 20));
    m_multiLine = MakeCheckBox(ZU_IDC_CONTACT_MULTILINE, QStringLiteral("멀티라인 표시하기"), QRect(16, 104, 216, 20));
    m_nameOnly = MakeCheckBox(ZU_IDC_CONTACT_NAMEONLY, QStringLiteral("주소록 이름만 보이기"), QRect(16, 128, 216, 20));
    m_nameOnly->hide();

    m_quickSearch->setChecked(m_opt.bShowQuickSearchBar);
    m_bigFont->setChecked(m_opt.bBigFontFlag);
    m_multiLine->setChecked(m_opt.bShowMultiLine);
    m_nameOnly->setChecked(m_opt.bShowNameOnly);
    return TRUE;
}

BOOL CPageContactBase::OnApply()
{
    if (!HasWindow())
        return TRUE;
    m_opt.bShowQuickSearchBar = m_quickSearch->isChecked() ? TRUE : FALSE;
    m_opt.bBigFontFlag = m_bigFont->isChecked() ? TRUE : FALSE;
    m_opt.bShowMultiLine = m_multiLine->isChecked() ? TRUE : FALSE;
    m_opt.bShowNameOnly = m_nameOnly->isChecked() ? TRUE : FALSE;
    return TRUE;
}
