// recurdialog.h - CRecurDialog (145), the two-step wizard in which the user says how an
// appointment (database kind 1) or a task (kind 4) repeats: first the kind and its details
// (CRecurKindPage), then the pattern's start and end (CRecurRangePage).
//
// The wizard works on a pattern of its own: a copy of the caller's, or a new one filled by
// InitRecurPattern. Cancel (or Escape) ends it with 2 and throws that pattern away, so the
// caller's stays as it was; Finish ends it with 1031 and GetRecurrencePattern then hands the
// pattern over.
//
// The pages lie at 0,0 (240 x 220); under them four flat 53 x 19 image buttons: Back (dimmed,
// bitmap 178, on the first step; 180, pressed 179, on the second), Next (184/183) and, in its
// place 58 pixels right of Back, Finish (186/185); Cancel (182/181) at the right.
// Next first checks the interval: one that is not a number from 1 to 999 (when the daily page
// is not set to every weekday) is told with "반복 간격을 1 이상의 숫자로 입력하십시오." and the
// wizard stays. Otherwise the detail page writes into the pattern and the range page fills from
// it. Finish refuses a count that is not a number from 1 with "반복 횟수를 1 이상의 숫자로
// 입력하십시오.".
#pragma once

#include "oledatetime.h"
#include "wintypes.h"

#include <QDialog>

#include <memory>

class CCeButtonST;
class CRecurKindPage;
class CRecurRangePage;
class CRecurrencePattern;

class CRecurDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 249;  // 153 dialog units
    static constexpr int kButtonWidth = 53;
    static constexpr int kButtonHeight = 19;
    static constexpr int kButtonY = 226;
    static constexpr int kBackX = 6;
    static constexpr int kNextX = kBackX + 58;
    static constexpr int kCancelX = kWidth - 6 - kButtonWidth;
    // The result of a Finish.
    static constexpr int IDFINISH = 1031;

    // pattern may be null (then a new one with the defaults); kind 1 appointments, 4 tasks;
    // recurrenceKind 0 daily, 1 weekly, 2 monthly, 3 yearly is the kind shown first.
    CRecurDialog(const CRecurrencePattern* pattern, const COleDateTime& start, const COleDateTime& end,
                 int kind, int recurrenceKind, QWidget* parent = nullptr);
    ~CRecurDialog() override;

    // After a Finish: the pattern, now the caller's. Null before, after a Cancel and on a second
    // call.
    std::unique_ptr<CRecurrencePattern> GetRecurrencePattern();
    // The wizard's own pattern while it has it (for a look; it stays the wizard's).
    const CRecurrencePattern* Pattern() const { return m_pattern.get(); }
    // Fills a new pattern with the defaults from this wizard's start and end: weekly, interval 1,
    // the reference date's day, month, weekday and week of the month, at 00:00; for appointments
    // also the start and end times in minutes. The reference date is the start when valid, else
    // the end, else now.
    void InitRecurPattern(CRecurrencePattern* pattern) const;

    int Step() const { return m_step; }
    CRecurKindPage* KindPage() const { return m_kindPage; }
    CRecurRangePage* RangePage() const { return m_rangePage; }

    void OnNext();
    void OnBack();
    void OnFinish();
    void OnCancel();

    void reject() override;

private:
    CCeButtonST* MakeButton(UINT id, int x);

    std::unique_ptr<CRecurrencePattern> m_pattern;
    COleDateTime m_start;
    COleDateTime m_end;
    int m_kind;
    int m_recurrenceKind;
    int m_step = 0;
    bool m_finished = false;
    CCeButtonST* m_cancel = nullptr;
    CCeButtonST* m_next = nullptr;
    CCeButtonST* m_finish = nullptr;
    CCeButtonST* m_back = nullptr;
    CRecurKindPage* m_kindPage = nullptr;
    CRecurRangePage* m_rangePage = nullptr;
};
