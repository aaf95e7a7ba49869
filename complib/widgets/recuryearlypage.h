// recuryearlypage.h - CRecurYearlyPage (153), the yearly details: the interval list 1052 ("년
// 마다"); on a month and day (radio 1058, month list 1064, day list 1062 "1일" ... "31일") or on
// the n-th weekday of a month (radio 1059, month list 1060, instance list 1056, weekday list
// 1057, "에 반복"); the description 1051.
//
// Defaults come from the pattern start date; both month lists show the pattern's month of year.
// A yearly pattern shows its own values: type 5 its day, type 6 its instance and the highest day
// of its mask. Choosing in a list checks the radio of that list's line.
// Writing: radio 1058 type 5 with the day and the month of list 1064; radio 1059 type 6 with the
// instance, that one weekday and the month of list 1060; the interval.
#pragma once

#include "recurdetailpage.h"

class QRadioButton;

class CRecurYearlyPage : public CRecurDetailPage {
    Q_OBJECT
public:
    explicit CRecurYearlyPage(QWidget* parent = nullptr);

    int FillFromPattern(const CRecurrencePattern* pattern) override;
    int WriteIntoPattern(CRecurrencePattern* pattern) override;
    CString Describe() const override;

    bool ByWeekday() const;

private:
    void Choose(bool byWeekday);

    QRadioButton* m_byDay = nullptr;
    QRadioButton* m_byWeekday = nullptr;
    CZUComboBox* m_monthByDay = nullptr;
    CZUComboBox* m_day = nullptr;
    CZUComboBox* m_monthByWeekday = nullptr;
    CZUComboBox* m_instance = nullptr;
    CZUComboBox* m_weekday = nullptr;
};
