#include "recuryearlypage.h"

#include "recurcontrols_p.h"
#include "recurrencepattern.h"
#include "recurtexts_p.h"
#include "widgets/zucombobox.h"

#include <QRadioButton>

using namespace zurecur;

CRecurYearlyPage::CRecurYearlyPage(QWidget* parent) : CRecurDetailPage(parent, IDD_RECUR_YEARLY)
{
    MakeIntervalList(kYearlyIntervals);
    MakeLabel(this, kEveryNYears, QRect(62, 2, 100, 22));
    m_byDay = MakeRadio(this, IDC_BY_DAY, L"", QRect(0, 34, 20, 20));
    m_monthByDay = MakeList(this, IDC_MONTH_BY_DAY, QRect(22, 32, 58, 22), TableTexts(IDS_JANUARY, 12), false);
    m_day = MakeList(this, IDC_DAY_OF_MONTH, QRect(84, 32, 58, 22), NumberTexts(1, 31, kDayFormat), false);
    m_byWeekday = MakeRadio(this, IDC_BY_WEEKDAY, L"", QRect(0, 64, 20, 20));
    m_monthByWeekday = MakeList(this, IDC_MONTH_BY_WEEKDAY, QRect(22, 62, 58, 22), TableTexts(IDS_JANUARY, 12), false);
    m_instance = MakeList(this, IDC_INSTANCE, QRect(84, 62, 68, 22), TableTexts(IDS_INSTANCE_FIRST, 5), false);
    m_weekday = MakeList(this, IDC_WEEKDAY, QRect(156, 62, 68, 22), TableTexts(IDS_SUNDAY, 7), false);
    MakeLabel(this, kOnTheDays, QRect(22, 88, 100, 20));
    m_description = MakeDescription(this, QRect(0, 116, kWidth, 60));
    connect(m_byDay, &QRadioButton::clicked, this, [this] { Choose(false); });
    connect(m_byWeekday, &QRadioButton::clicked, this, [this] { Choose(true); });
    for (CZUComboBox* list : {m_monthByDay, m_day, m_monthByWeekday, m_instance, m_weekday}) {
        const bool weekday = list != m_monthByDay && list != m_day;
        connect(list, &QComboBox::activated, this, [this, weekday] { Choose(weekday); });
        WatchList(list);
    }
    Choose(false);
}

bool CRecurYearlyPage::ByWeekday() const { return m_byWeekday->isChecked(); }

void CRecurYearlyPage::Choose(bool byWeekday)
{
    m_byDay->setChecked(!byWeekday);
    m_byWeekday->setChecked(byWeekday);
    RefreshDescription();
}

int CRecurYearlyPage::FillFromPattern(const CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    m_filling = true;
    const QDate start = PatternStartDate(*pattern);
    int month = start.month() - 1;
    int day = start.day() - 1;
    int instance = (start.day() + 6) / 7 - 1;
    int weekday = WeekdayOf(start);
    long interval = 1;
    bool byWeekday = false;
    long type = -1;
    long value = 0;
    if (pattern->get_MonthOfYear(&value) && value >= 1 && value <= 12)
        month = static_cast<int>(value) - 1;
    if (pattern->get_RecurrenceType(&type) && (type == 5 || type == 6)) {
        pattern->get_Interval(&interval);
        if (type == 5 && pattern->get_DayOfMonth(&value))
            day = static_cast<int>(value) - 1;
        if (type == 6) {
            byWeekday = true;
            if (pattern->get_Instance(&value) && value >= 1 && value <= 5)
                instance = static_cast<int>(value) - 1;
            if (pattern->get_DayOfWeekMask(&value) && (value & 0x7F))
                weekday = HighestDay(value);
        }
    }
    ShowNumber(m_interval, interval);
    m_monthByDay->setCurrentIndex(month);
    m_monthByWeekday->setCurrentIndex(month);
    m_day->setCurrentIndex(day);
    m_instance->setCurrentIndex(instance);
    m_weekday->setCurrentIndex(weekday);
    m_filling = false;
    Choose(byWeekday);
    return 1;
}

int CRecurYearlyPage::WriteIntoPattern(CRecurrencePattern* pattern)
{
    if (!pattern)
        return 0;
    if (ByWeekday())
        return pattern->put_RecurrenceType(6) && pattern->put_Instance(m_instance->currentIndex() + 1)
            && pattern->put_DayOfWeekMask(1L << m_weekday->currentIndex())
            && pattern->put_MonthOfYear(m_monthByWeekday->currentIndex() + 1) && pattern->put_Interval(Interval());
    return pattern->put_RecurrenceType(5) && pattern->put_DayOfMonth(m_day->currentIndex() + 1)
        && pattern->put_MonthOfYear(m_monthByDay->currentIndex() + 1) && pattern->put_Interval(Interval());
}

CString CRecurYearlyPage::Describe() const
{
    CString text;
    const auto month = [](const CZUComboBox* list) { return CString::fromQString(list->currentText()); };
    if (ByWeekday())
        text.Format(LoadText(IDS_YEARLY_BY_WEEKDAY), static_cast<int>(Interval()),
                    static_cast<const wchar_t*>(month(m_monthByWeekday)),
                    static_cast<const wchar_t*>(CString::fromQString(m_instance->currentText())),
                    static_cast<const wchar_t*>(CString::fromQString(m_weekday->currentText())));
    else
        text.Format(LoadText(IDS_YEARLY_BY_DAY), static_cast<int>(Interval()),
                    static_cast<const wchar_t*>(month(m_monthByDay)), m_day->currentIndex() + 1);
    return text;
}
