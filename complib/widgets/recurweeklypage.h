// recurweeklypage.h - CRecurWeeklyPage (154), the weekly details: the interval list 1052 ("주
// 마다"), the day selector 1003 (a check box per day, Sunday first, "에 반복") and the
// description 1051.
//
// At least one day stays selected: lifting the pen after clearing the last one shows "적어도
// 하나의 요일은 선택되어야 합니다!" and selects the days as they were before the tap.
// Filling: the start date's weekday, or a weekly pattern's own interval and days. Writing: type 1,
// the interval and the selected days (bit 0 Sunday to bit 6 Saturday).
#pragma once

#include "recurdetailpage.h"

class CBoxSelect;

class CRecurWeeklyPage : public CRecurDetailPage {
    Q_OBJECT
public:
    explicit CRecurWeeklyPage(QWidget* parent = nullptr);

    int FillFromPattern(const CRecurrencePattern* pattern) override;
    int WriteIntoPattern(CRecurrencePattern* pattern) override;
    CString Describe() const override;

    // The selected days as a mask.
    long DayMask() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMask(long mask);

    CBoxSelect* m_days = nullptr;
    long m_lastMask = 0;  // the days before the current tap
};
