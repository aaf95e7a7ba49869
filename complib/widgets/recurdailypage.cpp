#include "recurdailypage.h"

#include "recurcontrols_p.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "widgets/zucombobox.h"

#include <QRadioButton>

using namespace zurecur;

CRecurDailyPage::CRecurDailyPage(QWidget* parent) : CRecurDetailPage(parent, IDD_RECUR_DAILY)
{
    m_everyNDays = MakeRadio(this, IDC_EVERY_N_DAYS, L"", QRect(0, 4, 20, 20));
    MakeIntervalList(kDailyIntervals)->move(22, 2);
    MakeLabel(this, kEveryNDays, QRect(84, 2, 140, 22));
    m_everyWeekday = MakeRadio(this, IDC_EVERY_WEEKDAY, kEveryWeekday, QRect(0, 32, 200, 20));
    m_description = MakeDescription(this, QRect(0, 64, kWidth, 60));
    connect(m_everyNDays, &QRadioButton::clicked, this, [this] { Choose(false); });
    connect(m_everyWeekday, &QRadioButton::clicked, this, [this] { Choose(true); });
    // Picking or typing an interval means every n days.
    connect(m_interval, &QComboBox::currentTextChanged, this, [this] {
        if (!m_filling && m_everyWeekday->isChecked())
            Choose(false);
    });
    Choose(false);
}

void CRecurDailyPage::Choose(bool everyWeekday)
{
    m_everyNDays->setChecked(!everyWeekday);
    m_everyWeekday->setChecked(everyWeekday);
    RefreshDescription();
}

bool CRecurDailyPage::IsEveryWeekday() const { return m_everyWeekday->isChecked(); }

int CRecurDailyPage::FillFromPattern(const CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    m_filling = true;
    long type = -1;
    long interval = 1;
    pattern->get_RecurrenceType(&type);
    bool weekday = false;
    if (type == 0 && pattern->get_Interval(&interval) && interval < 1) {
        weekday = true;
        interval = 1;
    } else if (type != 0) {
        interval = 1;
    }
    ShowNumber(m_interval, interval);
    m_filling = false;
    Choose(weekday);
    return 1;
}

int CRecurDailyPage::WriteIntoPattern(CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    if (!pattern->put_RecurrenceType(0))
        return 0;
    return pattern->put_Interval(IsEveryWeekday() ? 0 : Interval());
}

CString CRecurDailyPage::Describe() const
{
    const long n = IsEveryWeekday() ? 0 : Interval();
    if (IsEveryWeekday())
        return LoadText(IDS_EVERY_WEEKDAY);
    if (n == 1)
        return LoadText(IDS_EVERY_DAY);
    CString text;
    text.Format(LoadText(IDS_EVERY_N_DAYS), static_cast<int>(n));
    return text;
}

bool CRecurDailyPage::IntervalIsValid() const
{
    return IsEveryWeekday() || CRecurDetailPage::IntervalIsValid();
}
