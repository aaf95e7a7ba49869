// recurdailypage.h - CRecurDailyPage (152), the daily details: every n days (radio 1066 with the
// interval list 1052) or every weekday (radio 1067), and the description 1051.
//
// Filling: a daily pattern with interval 0 checks "Every weekday", any other daily pattern the
// every-n-days radio with its interval; other kinds show every day. Writing: type 0 with the
// interval, or interval 0 for every weekday (the pattern's Monday-to-Friday form).
#pragma once

#include "recurdetailpage.h"

class QRadioButton;

class CRecurDailyPage : public CRecurDetailPage {
    Q_OBJECT
public:
    explicit CRecurDailyPage(QWidget* parent = nullptr);

    int FillFromPattern(const CRecurrencePattern* pattern) override;
    int WriteIntoPattern(CRecurrencePattern* pattern) override;
    CString Describe() const override;
    bool IntervalIsValid() const override;

    bool IsEveryWeekday() const;

private:
    void Choose(bool everyWeekday);

    QRadioButton* m_everyNDays = nullptr;
    QRadioButton* m_everyWeekday = nullptr;
};
