// recurrangepage.h - CRecurRangePage (144), the second step of the recurrence wizard: the
// pattern's start date (picker 1019) and how it ends: never ("무한반복", radio 1070), on a date
// (radio 1071, picker 1021, "일에 종료") or after a number of times (radio 1072, editable count
// list 1025 "1" ... "10", "20", "번 반복후 종료"); the pattern's sentence below (1051).
//
// Every change is written into the pattern at once and the sentence follows it. Choosing or
// typing a count ends after that count; picking an end date ends on that date. The two dates keep
// their order: an end date before the start moves the start onto it, a start after the end moves
// the end onto it.
// Filling: the start, the end type and, for a pattern with an end, its count and end date; a
// pattern without end shows the date of its 10th time and the count 10. The page then writes the
// controls back into the pattern.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QDate>
#include <QWidget>

class CRecurrencePattern;
class CZUComboBox;
class CZUDateTimeCtrl;
class QLabel;
class QRadioButton;

class CRecurRangePage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 220;

    CRecurRangePage(CRecurrencePattern* pattern, QWidget* parent = nullptr);

    // 1 when the pattern was there.
    int FillFromPattern();
    int WriteIntoPattern();
    void SetPattern(CRecurrencePattern* pattern) { m_pattern = pattern; }

    // 0 no end, 1 on the end date, 2 after the count.
    UINT EndType() const { return m_endType; }
    // The decimal value of the count list's text, 0 for anything but digits.
    long Count() const;
    QDate StartDate() const;
    QDate EndDate() const;
    CString Description() const;

private:
    void SetEndType(UINT type);
    void ShowEndType();
    void OnStartChanged(QDate date);
    void OnEndChanged(QDate date);

    CRecurrencePattern* m_pattern;
    CZUDateTimeCtrl* m_start = nullptr;
    CZUDateTimeCtrl* m_end = nullptr;
    QRadioButton* m_radios[3] = {};
    CZUComboBox* m_count = nullptr;
    QLabel* m_description = nullptr;
    UINT m_endType = 0;
    bool m_filling = false;
};
