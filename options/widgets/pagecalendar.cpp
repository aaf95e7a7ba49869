#include "widgets/pagecalendar.h"

#include "resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

CPageCalendar::CPageCalendar()
    : COptionPage(ZU_IDD_PAGE_CALENDAR, QStringLiteral("일정 옵션"), CString(L"일정"))
{
}

void CPageCalendar::Load(const _tabCalendarOpt& calendar, const _tabTaskOpt& task)
{
    m_bPrivateFlag = calendar.bPrivateFlag;
    m_bBigFontFlag = calendar.bBigFontFlag;
    m_bStatusBarFlag = task.bStatusBarFlag;
    m_nStart = std::clamp(calendar.nWvStartTime, 0, kLastStart);
    m_nEnd = std::clamp(calendar.nWvEndTime, m_nStart + kMinHours, kLastEnd);
}

BOOL CPageCalendar::OnInitDialog()
{
    m_private = MakeCheckBox(ZU_IDC_CAL_PRIVATE, QStringLiteral("개인정보 설정"), QRect(8, 32, 224, 20));
    m_bigFont = MakeCheckBox(ZU_IDC_CAL_BIGFONT, QStringLiteral("큰글씨 사용"), QRect(8, 56, 224, 20));
    m_statusBar = MakeCheckBox(ZU_IDC_TASK_STATUSBAR, QStringLiteral("할일 진행율 막대표시"), QRect(8, 80, 224, 20));

    auto* startLabel = new QLabel(QStringLiteral("주간보기 시작시간 :"), this);
    startLabel->setGeometry(8, 114, 128, 22);
    m_startList = new QComboBox(this);
    m_startList->setObjectName(QString::number(ZU_IDC_WEEK_START));
    m_startList->setGeometry(140, 114, 64, 22);
    auto* endLabel = new QLabel(QStringLiteral("주간보기 끝  시간 :"), this);
    endLabel->setGeometry(8, 144, 128, 22);
    m_endList = new QComboBox(this);
    m_endList->setObjectName(QString::number(ZU_IDC_WEEK_END));
    m_endList->setGeometry(140, 144, 64, 22);

    m_private->setChecked(m_bPrivateFlag);
    m_bigFont->setChecked(m_bBigFontFlag);
    m_statusBar->setChecked(m_bStatusBarFlag);
    {
        const QSignalBlocker block(m_startList);
        for (int hour = 0; hour <= kLastStart; ++hour)
            m_startList->addItem(QString::number(hour));
        m_startList->setCurrentIndex(m_nStart);
    }
    FillEndList();
    connect(m_startList, &QComboBox::currentIndexChanged, this, &CPageCalendar::OnStartChosen);
    connect(m_endList, &QComboBox::currentIndexChanged, this, &CPageCalendar::OnEndChosen);
    return TRUE;
}

void CPageCalendar::FillEndList()
{
    const QSignalBlocker block(m_endList);
    m_endList->clear();
    for (int hour = m_nStart + kMinHours; hour <= kLastEnd; ++hour)
        m_endList->addItem(QString::number(hour));
    m_nEnd = std::clamp(m_nEnd, m_nStart + kMinHours, kLastEnd);
    m_endList->setCurrentIndex(m_nEnd - m_nStart - kMinHours);
}

void CPageCalendar::OnStartChosen(int index)
{
    if (index < 0)
        return;
    m_nStart = index;
    FillEndList();
}

void CPageCalendar::OnEndChosen(int index)
{
    if (index >= 0)
        m_nEnd = m_nStart + kMinHours + index;
}

BOOL CPageCalendar::OnApply()
{
    if (!HasWindow())
        return TRUE;
    m_bPrivateFlag = m_private->isChecked() ? TRUE : FALSE;
    m_bBigFontFlag = m_bigFont->isChecked() ? TRUE : FALSE;
    m_bStatusBarFlag = m_statusBar->isChecked() ? TRUE : FALSE;
    m_nStart = std::max(0, m_startList->currentIndex());
    m_nEnd = m_nStart + kMinHours + std::max(0, m_endList->currentIndex());
    return TRUE;
}
