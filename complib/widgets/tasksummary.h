// tasksummary.h - the page "메인" of the task editor: subject, start and due date, importance,
// private mark, progress, completion, reminder and recurrence of one task.
//
// The page (template 132, 141 × 140 dialog units) reads a stored task (SetEventData) but never
// writes it: OnApply stores the controls in the members that CMakeEventSheet::SaveTaskEvent
// writes. Its controls carry their template ids as objectName:
//   1003 subject, 1027 start date, 1020 due date, 1011 importance, 1007 비공개, 1024 progress,
//   1028 완료, 1022 reminder date, 1029 reminder time, 1026 recurrence, 1068 its sentence.
//
// Dates are whole days, and each of the three date boxes may hold no date (its check box clear).
// The rules between them:
// - a start given: the reminder date box is enabled and set to the start, and a due date that is
//   missing or earlier becomes the start;
// - the due date taken away: the start and the reminder go, the pattern too, and the reminder
//   date box is disabled; a due date given: a later start moves to it, and without a start the
//   reminder goes to the due date;
// - a reminder later than the due date moves to the due date; the reminder time shows only while
//   there is a reminder date;
// - a recurrence needs a due date ("작업의 기간을 먼저 설정하십시요!"); the pattern then gives the
//   dates (both boxes disabled), and a recurrence just chosen clears 완료 and disables it until
//   the recurrence is taken away again;
// - 완료 disables the progress box.
// A stored importance outside 1 to 3 loads as 보통.
#pragma once

#include "cstring.h"
#include "oledatetime.h"
#include "wintypes.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include <QDate>
#include <QWidget>

#include <memory>

class CEditEx;
class CLabel;
class CRecurrencePattern;
class CZUComboBox;
class CZUDateTimeCtrl;
class QCalendarWidget;
class QCheckBox;
class QTimeEdit;

// A date box that may hold no date: a check box (ticked while there is a date) in front of the
// date control. Ticking it gives back the last date (today at first); picking a date in the
// calendar while the box is empty gives that date. `changed` reports a user's change only.
class CTaskDateBox : public QWidget {
    Q_OBJECT
public:
    CTaskDateBox(QWidget* parent, UINT id);

    bool HasValue() const { return m_has; }
    // The date; invalid while there is none.
    QDate GetDate() const;
    // Sets a date (an invalid date clears it), without reporting a change.
    void SetDate(QDate date);
    void SetNone() { SetDate(QDate()); }

    QCheckBox* CheckBox() const { return m_check; }
    CZUDateTimeCtrl* DateCtrl() const { return m_ctrl; }

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void showValue(bool has);
    void onPick(QDate date);
    void onChecked(bool on);

    QCheckBox* m_check = nullptr;
    CZUDateTimeCtrl* m_ctrl = nullptr;
    bool m_has = false;
    QDate m_last;
};

class CTaskSummary : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 132;
    enum : UINT {
        IDC_SUBJECT = 1003, IDC_STARTDATE = 1027, IDC_DUEDATE = 1020, IDC_IMPORTANCE = 1011, IDC_PRIVATE = 1007,
        IDC_PROGRESS = 1024, IDC_COMPLETED = 1028, IDC_ALARMDATE = 1022, IDC_ALARMTIME = 1029, IDC_OCCURS = 1026,
        IDC_OCCURTEXT = 1068, IDC_SUBJECTLABEL = 1019, IDC_STARTLABEL = 1021, IDC_DUELABEL = 1023,
        IDC_IMPORTANCELABEL = 1025, IDC_PROGRESSLABEL = 1030, IDC_ALARMLABEL = 1031, IDC_OCCURLABEL = 1032
    };

    CTaskSummary();
    ~CTaskSummary() override;

    // Before the sheet runs: the stored task to edit.
    void SetEventData(DWORD oid);
    // Before the sheet runs: a new task starts and is due on that day.
    void SetEventDate(QDate day);

    void InitSummaryTab();
    void ResetOccurs();
    CRecurrencePattern* GetRecurPatternPtr() const { return m_pattern.get(); }
    // The page's pattern in place of the one it has (null: none), as the wizard's Finish sets it.
    void SetRecurPatternPtr(std::unique_ptr<CRecurrencePattern> pattern);
    HANDLE GetUserNotificationHandle() const { return m_hNotification; }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;

    // What OnApply stored (and the loading set). Dates carry null status when there is none.
    CString m_strSubject;
    BOOL m_bCompleted = FALSE;
    BOOL m_bPrivate = FALSE;
    int m_nImportance = 1;  // 0 높음, 1 보통, 2 낮음
    int m_nProgress = 0;    // 0 to 9: tens of percent
    COleDateTime m_dtStart;
    COleDateTime m_dtDue;
    COleDateTime m_dtAlarmDate;
    COleDateTime m_dtAlarmTime;  // its hour and minute
    int m_nOccurs = 0;           // the recurrence choice
    // The stored progress in percent (-1 for a new task): a step left as it was keeps a stored
    // value that is no whole ten.
    int m_nStoredPercent = -1;

    // Controls, for the tests and the sheet.
    CTaskDateBox* StartBox() const { return m_start; }
    CTaskDateBox* DueBox() const { return m_due; }
    CTaskDateBox* AlarmDateBox() const { return m_alarmDate; }
    QTimeEdit* AlarmTimeBox() const { return m_alarmTime; }
    CZUComboBox* OccurBox() const { return m_occur; }
    CZUComboBox* ProgressBox() const { return m_progress; }
    CZUComboBox* ImportanceBox() const { return m_importance; }
    QCheckBox* CompletedCheck() const { return m_completed; }

    // The handlers, as the controls reach them.
    void OnCheckCompleted();
    void OnDatetimechangeStartdate();
    void OnDatetimechangeDuedate();
    void OnDatetimechangeAlarmdate();
    void OnSelchangeComboOccurs();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void ControlsToMembers();
    void MembersToControls();
    void ShowAlarmTime();

    DWORD m_oid = 0;
    BOOL m_bEdit = FALSE;
    QDate m_presetDay;
    HANDLE m_hNotification = nullptr;
    std::unique_ptr<CRecurrencePattern> m_pattern;

    CLabel* m_labels[7] = {};
    CEditEx* m_subject = nullptr;
    CTaskDateBox* m_start = nullptr;
    CTaskDateBox* m_due = nullptr;
    CZUComboBox* m_importance = nullptr;
    QCheckBox* m_private = nullptr;
    CZUComboBox* m_progress = nullptr;
    QCheckBox* m_completed = nullptr;
    CTaskDateBox* m_alarmDate = nullptr;
    QTimeEdit* m_alarmTime = nullptr;
    CZUComboBox* m_occur = nullptr;
    CLabel* m_occurText = nullptr;
};
