#include "recurmonthlypage.h"

#include "recurcontrols_p.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "widgets/zucombobox.h"

#include <QRadioButton>

using namespace zurecur;

CRecurMonthlyPage::CRecurMonthlyPage(QWidget* parent) : CRecurDetailPage(parent, IDD_RECUR_MONTHLY)
{
    MakeIntervalList(kMonthlyIntervals);
    MakeLabel(this, kEveryNMonths, QRect(62, 2, 100, 22));
    m_byDay = MakeRadio(this, IDC_BY_DAY, L"", QRect(0, 34, 20, 20));
    m_day = MakeList(this, IDC_DAY_OF_MONTH, QRect(22, 32, 50, 22), NumberTexts(1, 31), false);
    MakeLabel(this, kOnDay, QRect(78, 32, 100, 22));
    m_byWeekday = MakeRadio(this, IDC_BY_WEEKDAY, L"", QRect(0, 64, 20, 20));
    m_instance = MakeList(this, IDC_INSTANCE, QRect(22, 62, 64, 22), TableTexts(IDS_INSTANCE_FIRST, 5), false);
    m_weekday = MakeList(this, IDC_WEEKDAY, QRect(90, 62, 64, 22), TableTexts(IDS_SUNDAY, 7), false);
    MakeLabel(this, kOnTheDays, QRect(158, 62, 66, 22));
    m_description = MakeDescription(this, QRect(0, 94, kWidth, 60));
    connect(m_byDay, &QRadioButton::clicked, this, [this] { Choose(false); });
    connect(m_byWeekday, &QRadioButton::clicked, this, [this] { Choose(true); });
    for (CZUComboBox* list : {m_day, m_instance, m_weekday}) {
        const bool weekday = list != m_day;
        connect(list, &QComboBox::activated, this, [this, weekday] { Choose(weekday); });
        WatchList(list);
    }
    Choose(false);
}

bool CRecurMonthlyPage::ByWeekday() const { return m_byWeekday->isChecked(); }

void CRecurMonthlyPage::Choose(bool byWeekday)
{
    m_byDay->setChecked(!byWeekday);
    m_byWeekday->setChecked(byWeekday);
    RefreshDescription();
}

int CRecurMonthlyPage::FillFromPattern(const CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    m_filling = true;
    const QDate start = PatternStartDate(*pattern);
    int day = start.day() - 1;
    int instance = (start.day() + 6) / 7 - 1;
    int weekday = WeekdayOf(start);
    long interval = 1;
    bool byWeekday = false;
    long type = -1;
    long value = 0;
    if (pattern->get_RecurrenceType(&type) && (type == 2 || type == 3)) {
        pattern->get_Interval(&interval);
        if (type == 2 && pattern->get_DayOfMonth(&value))
            day = static_cast<int>(value) - 1;
        if (type == 3) {
            byWeekday = true;
            if (pattern->get_Instance(&value) && value >= 1 && value <= 5)
                instance = static_cast<int>(value) - 1;
            if (pattern->get_DayOfWeekMask(&value) && (value & 0x7F))
                weekday = HighestDay(value);
        }
    }
    ShowNumber(m_interval, interval);
    m_day->setCurrentIndex(day);
    m_instance->setCurrentIndex(instance);
    m_weekday->setCurrentIndex(weekday);
    m_filling = false;
    Choose(byWeekday);
    return 1;
}

int CRecurMonthlyPage::WriteIntoPattern(CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    if (ByWeekday())
        return pattern->put_RecurrenceType(3) && pattern->put_Instance(m_instance->currentIndex() + 1)
            && pattern->put_DayOfWeekMask(1L << m_weekday->currentIndex()) && pattern->put_Interval(Interval());
    return pattern->put_RecurrenceType(2) && pattern->put_DayOfMonth(m_day->currentIndex() + 1)
        && pattern->put_Interval(Interval());
}

CString CRecurMonthlyPage::Describe() const
{
    CString text;
    if (ByWeekday())
        text.Format(LoadText(IDS_MONTHLY_BY_WEEKDAY), static_cast<int>(Interval()),
                    static_cast<const wchar_t*>(CString::fromQString(m_instance->currentText())),
                    static_cast<const wchar_t*>(CString::fromQString(m_weekday->currentText())));
    else
        text.Format(LoadText(IDS_MONTHLY_BY_DAY), static_cast<int>(Interval()), m_day->currentIndex() + 1);
    return text;
}
