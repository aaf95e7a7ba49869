// recurmonthlypage.h - CRecurMonthlyPage (155), the monthly details: the interval list 1052
// ("개월 마다"); on a day of the month (radio 1058, day list 1062, "일에 반복") or on the n-th
// weekday (radio 1059, instance list 1056, weekday list 1057, "에 반복"); the description 1051.
//
// Defaults come from the pattern start date: its day, its weekday and its week of the month
// (day / 7 rounded up, so the 29th to 31st give "마지막"). A monthly pattern shows its own
// values: type 2 its day, type 3 its instance and the highest day of its mask. Choosing in a
// list checks the radio of that list's line.
// Writing: radio 1058 type 2 with the day; radio 1059 type 3 with the instance and that one
// weekday; the interval.
#pragma once

#include "recurdetailpage.h"

class QRadioButton;

class CRecurMonthlyPage : public CRecurDetailPage {
    Q_OBJECT
public:
    explicit CRecurMonthlyPage(QWidget* parent = nullptr);

    int FillFromPattern(const CRecurrencePattern* pattern) override;
    int WriteIntoPattern(CRecurrencePattern* pattern) override;
    CString Describe() const override;

    bool ByWeekday() const;

private:
    void Choose(bool byWeekday);

    QRadioButton* m_byDay = nullptr;
    QRadioButton* m_byWeekday = nullptr;
    CZUComboBox* m_day = nullptr;
    CZUComboBox* m_instance = nullptr;
    CZUComboBox* m_weekday = nullptr;
};
