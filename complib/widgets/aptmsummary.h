// aptmsummary.h - the page "메인" of the appointment editor: subject, marks, location, start and
// end, reminder, busy status and recurrence of one appointment.
//
// The page (template 178, 142 × 147 dialog units) reads a stored appointment (SetEventData) but
// never writes it: OnApply stores the controls in the members that CMakeEventSheet::SaveAptmEvent
// reads. Its controls carry their template ids as objectName:
//   1003 subject, 1008 기념일, 1009 종일, 1010 음력 (in 1009's place, anniversaries only),
//   1007 비공개, 1004 location (editable, the recent locations), 1027 / 1001 start date and time,
//   1020 / 1002 end date and time, 1005 reminder count (editable), 1006 reminder unit, 1024 busy
//   status, 1022 recurrence, 1068 the recurrence sentence.
//
// Times: the time boxes list the 48 half hours ("오전 0:00" … "오후 11:30") and take typed times
// "오전/오후 h:mm" or "H:mm"; a stored time off the half hour shows as its own text, so it is saved
// back as it was. A time or a reminder count that does not read is refused in OnApply with
// "시간을 올바르게 입력하십시오." or "알람을 올바르게 입력하십시오." and the sheet stays open.
// The end never lies before the start: an earlier end (time or date) pulls the start to it.
// A stored reminder shows in the largest unit that divides it exactly (90 → 분 / "90").
// Recent locations are the values of HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Calendar\LOCMRU";
// OnApply adds a new location under the first unused name "MRU<n>".
#pragma once

#include "cstring.h"
#include "oledatetime.h"
#include "wintypes.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include <memory>

class CEditEx;
class CLabel;
class CRecurrencePattern;
class CZUComboBox;
class CZUDateTimeCtrl;
class QCheckBox;

class CAptmSummary : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 178;
    enum : UINT {
        IDC_SUBJECT = 1003, IDC_MDAY = 1008, IDC_ALLDAY = 1009, IDC_LUNAR = 1010, IDC_PRIVATE = 1007,
        IDC_LOCATION = 1004, IDC_STARTDATE = 1027, IDC_STARTTIME = 1001, IDC_ENDDATE = 1020,
        IDC_ENDTIME = 1002, IDC_ALARM = 1005, IDC_ALARMTYPE = 1006, IDC_BUSY = 1024, IDC_OCCUR = 1022,
        IDC_OCCURTEXT = 1068, IDC_SUBJECTLABEL = 1033, IDC_LOCATIONLABEL = 1012, IDC_STARTLABEL = 1011,
        IDC_ENDLABEL = 1013, IDC_ALARMLABEL = 1034, IDC_BUSYLABEL = 1014, IDC_OCCURLABEL = 1035
    };

    CAptmSummary();
    ~CAptmSummary() override;

    // Before the sheet runs: the stored appointment to edit.
    void SetEventData(DWORD oid);
    // Before the sheet runs: a new appointment starts here (end one hour later).
    void SetEventStartTime(const COleDateTime& start);
    // Before the sheet runs: a new appointment opens as an anniversary.
    void SetAnniversary(BOOL on) { m_bMemorialDay = on; }

    void InitSummaryTab();
    void ResetOccurs();
    CRecurrencePattern* GetRecurPatternPtr() const { return m_pattern.get(); }
    HANDLE GetUserNotificationHandle() const { return m_hNotification; }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    // The time box texts: "오전 0:00" … "오후 11:30" for minutes after midnight, and the reverse
    // ("오전/오후 h:mm", "H:mm"); false for anything else.
    static CString TimeText(int minutes);
    static bool ParseTime(const CString& text, int* minutes);

    // What OnApply stored (and the loading set).
    CString m_strSubject;
    CString m_strLocation;
    COleDateTime m_dtStart;
    COleDateTime m_dtEnd;
    BOOL m_bAllDay = FALSE;
    BOOL m_bLunar = FALSE;
    BOOL m_bMemorialDay = FALSE;
    BOOL m_bPrivate = FALSE;
    int m_nBusyStatus = 2;
    int m_nReminder = 0;  // minutes before the start; -1 none
    int m_nOccurs = 0;    // the recurrence choice

    // Controls, for the tests and the sheet.
    CZUComboBox* TimeBox(bool end) const { return end ? m_endTime : m_startTime; }
    CZUDateTimeCtrl* DateBox(bool end) const { return end ? m_endDate : m_startDate; }
    CZUComboBox* AlarmBox() const { return m_alarm; }
    CZUComboBox* AlarmTypeBox() const { return m_alarmType; }
    CZUComboBox* OccurBox() const { return m_occur; }
    CZUComboBox* LocationBox() const { return m_location; }

    // The handlers, as the controls reach them.
    void OnSelchangeComboOccur();
    void OnCheckMday();
    void OnCheckAllday();
    void OnSelchangeComboAlarm();
    void OnSelchangeComboAlarmttype();
    void OnDatetimechangeDtpStartdate();
    void OnDatetimechangeDtpEnddate();
    void OnSelchangeComboSt();
    void OnSelchangeComboEt();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    bool GetTime(bool end, COleDateTime* out) const;
    void SetTime(bool end, const COleDateTime& value);
    bool GetReminderTime(int* minutes) const;
    void ResetAlarmCB(int unit);
    void ChangeInputGUI(BOOL memorialDay);
    void ControlsToMembers();
    void MembersToControls();
    void LoadLocations();
    void RememberLocation();

    DWORD m_oid = 0;
    BOOL m_bEdit = FALSE;
    BOOL m_bStartPreset = FALSE;
    HANDLE m_hNotification = nullptr;
    std::unique_ptr<CRecurrencePattern> m_pattern;

    CLabel* m_labels[7] = {};
    CEditEx* m_subject = nullptr;
    QCheckBox* m_mday = nullptr;
    QCheckBox* m_allDay = nullptr;
    QCheckBox* m_lunar = nullptr;
    QCheckBox* m_private = nullptr;
    CZUComboBox* m_location = nullptr;
    CZUDateTimeCtrl* m_startDate = nullptr;
    CZUComboBox* m_startTime = nullptr;
    CZUDateTimeCtrl* m_endDate = nullptr;
    CZUComboBox* m_endTime = nullptr;
    CZUComboBox* m_alarm = nullptr;
    CZUComboBox* m_alarmType = nullptr;
    CZUComboBox* m_busy = nullptr;
    CZUComboBox* m_occur = nullptr;
    CLabel* m_occurText = nullptr;
};
