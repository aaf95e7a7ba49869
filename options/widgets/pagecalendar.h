// pagecalendar.h - the options dialog's calendar page (dialog 130, heading "일정 옵션", tab "일정").
//
// | control        | id   | text                     | option                   |
// |----------------|------|--------------------------|--------------------------|
// | check box      | 1009 | "개인정보 설정"           | Calendar "bPrivateFlag"  |
// | check box      | 1010 | "큰글씨 사용"             | Calendar "bBigFontFlag"  |
// | check box      | 1011 | "할일 진행율 막대표시"     | Task "bStatusBarFlag"    |
// | label          |      | "주간보기 시작시간 :"      |                          |
// | drop-down list | 1012 | "0" to "11"              | "nWvStartTime"           |
// | label          |      | "주간보기 끝  시간 :"      |                          |
// | drop-down list | 1013 | start + 12 to "24"       | "nWvEndTime"             |
//
// The week view shows at least twelve hours. Stored hours are clamped on load (start to 0..11,
// end to start + 12..24), so both lists always have a selection. Choosing a start refills 1013
// and selects the offered end nearest the end chosen before (start 11 with end 18 gives 23).
// Apply reads the controls: start = the index of 1012, end = start + 12 + the index of 1013.
#pragma once

#include "optionrecords.h"
#include "widgets/optionpage.h"

class QCheckBox;
class QComboBox;

class CPageCalendar : public COptionPage {
    Q_OBJECT
public:
    static constexpr int kLastStart = 11;
    static constexpr int kMinHours = 12;
    static constexpr int kLastEnd = 24;

    CPageCalendar();

    void Load(const _tabCalendarOpt& calendar, const _tabTaskOpt& task);

    BOOL GetPrivateFlag() const { return m_bPrivateFlag; }
    BOOL GetBigFontFlag() const { return m_bBigFontFlag; }
    BOOL GetStatusBarFlag() const { return m_bStatusBarFlag; }
    int GetStartHour() const { return m_nStart; }
    int GetEndHour() const { return m_nEnd; }

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

private:
    void OnStartChosen(int index);
    void OnEndChosen(int index);
    // Empties 1013, lists start + 12 to 24 and selects the end (clamped into that range).
    void FillEndList();

    BOOL m_bPrivateFlag = FALSE;
    BOOL m_bBigFontFlag = FALSE;
    BOOL m_bStatusBarFlag = FALSE;
    int m_nStart = 6;
    int m_nEnd = 24;

    QCheckBox* m_private = nullptr;
    QCheckBox* m_bigFont = nullptr;
    QCheckBox* m_statusBar = nullptr;
    QComboBox* m_startList = nullptr;
    QComboBox* m_endList = nullptr;
};
