#include "recurweeklypage.h"

#include "messagebox.h"
#include "recurcontrols_p.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "textutil.h"
#include "widgets/cboxselect.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"

#include <QEvent>
#include <QLabel>

using namespace zurecur;

CRecurWeeklyPage::CRecurWeeklyPage(QWidget* parent) : CRecurDetailPage(parent, IDD_RECUR_WEEKLY)
{
    MakeIntervalList(kDailyIntervals);
    MakeLabel(this, kEveryNWeeks, QRect(62, 2, 100, 22));
    m_days = new CBoxSelect(this, IDC_DAY_SELECT);
    m_days->setGeometry(0, 32, kWidth, 24);
    m_days->SetCheckBoxStyle(TRUE);
    m_days->SetNotifyClick(TRUE);
    m_days->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    for (int d = 0; d < 7; ++d)
        m_days->Add(kWeekdayLetters[d], static_cast<DWORD>(d));
    m_days->installEventFilter(this);
    MakeLabel(this, kOnTheDays, QRect(0, 60, 100, 20));
    m_description = MakeDescription(this, QRect(0, 88, kWidth, 60));
}

long CRecurWeeklyPage::DayMask() const
{
    long mask = 0;
    for (int d = 0; d < 7; ++d)
        if (m_days->GetCheck(d))
            mask |= 1L << d;
    return mask;
}

void CRecurWeeklyPage::ShowMask(long mask)
{
    for (int d = 0; d < 7; ++d)
        m_days->SetCheck(d, (mask & (1L << d)) ? TRUE : FALSE);
    m_days->update();
    m_lastMask = mask;
}

bool CRecurWeeklyPage::eventFilter(QObject* watched, QEvent* event)
{
    // The box under the pen toggled on the press; the rule is kept when the pen lifts.
    if (watched == m_days && event->type() == QEvent::MouseButtonRelease) {
        if (DayMask() == 0) {
            MessageBox(this, kOneDayAtLeast, kDialogCaption, MB_OK);
            ShowMask(m_lastMask);
        }
        m_lastMask = DayMask();
        RefreshDescription();
    }
    return CRecurDetailPage::eventFilter(watched, event);
}

int CRecurWeeklyPage::FillFromPattern(const CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    m_filling = true;
    long mask = 1L << WeekdayOf(PatternStartDate(*pattern));
    long interval = 1;
    long type = -1;
    long stored = 0;
    if (pattern->get_RecurrenceType(&type) && type == 1) {
        pattern->get_Interval(&interval);
        if (pattern->get_DayOfWeekMask(&stored) && (stored & 0x7F))
            mask = stored & 0x7F;
    }
    ShowNumber(m_interval, interval);
    ShowMask(mask);
    m_filling = false;
    RefreshDescription();
    return 1;
}

int CRecurWeeklyPage::WriteIntoPattern(CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    return pattern->put_RecurrenceType(1) && pattern->put_Interval(Interval())
        && pattern->put_DayOfWeekMask(DayMask());
}

CString CRecurWeeklyPage::Describe() const
{
    const long n = Interval();
    const CString days = GetPoomDayOfWeekString(DayMask(), 1);
    CString text;
    if (n < 2)
        text.Format(LoadText(IDS_EVERY_WEEK), static_cast<const wchar_t*>(days));
    else
        text.Format(LoadText(IDS_EVERY_N_WEEKS), static_cast<int>(n), static_cast<const wchar_t*>(days));
    return text;
}
