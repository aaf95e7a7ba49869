#include "tasksummary.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "recurrencepattern.h"
#include "resource.h"
#include "stringtable.h"
#include "usernotify.h"
#include "widgets/dialogunits.h"
#include "widgets/editex.h"
#include "widgets/label.h"
#include "widgets/modaldialog.h"
#include "widgets/recurdialog.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QPainter>
#include <QTimeEdit>

#include <algorithm>

namespace {

constexpr COLORREF kLabelText = 0xFF0000;  // blue, as a Windows colour value
constexpr int kMinutesPerDay = 1440;
constexpr int kCheckWidth = 15;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
QDate dateOf(const COleDateTime& t)
{
    return t.GetStatus() == COleDateTime::valid ? QDate(t.GetYear(), t.GetMonth(), t.GetDay()) : QDate();
}
COleDateTime midnight(QDate d)
{
    if (!d.isValid()) {
        COleDateTime none;
        none.SetStatus(COleDateTime::null);
        return none;
    }
    return COleDateTime(d.year(), d.month(), d.day(), 0, 0, 0);
}
// A stored task date (local wall clock), invalid for "no date" and for a value that is no date.
QDate storedDate(const CCeDBRecord& record, WORD ident)
{
    FILETIME ft{};
    if (!ZuRecordFiletime(record, ident, &ft) || ZuIsNoDate(ft))
        return QDate();
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&ft, &st))
        return QDate();
    return QDate(st.wYear, st.wMonth, st.wDay);
}

}  // namespace

// ---- CTaskDateBox -----------------------------------------------------------------------------

CTaskDateBox::CTaskDateBox(QWidget* parent, UINT id) : QWidget(parent)
{
    setObjectName(QString::number(id));
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("none"));
    m_ctrl = new CZUDateTimeCtrl(this, id);
    m_ctrl->setObjectName(QString());
    m_ctrl->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    m_ctrl->SetDrawLine(TRUE);
    m_ctrl->SetFormat(CString(L"yyyy-MM-dd"));
    m_ctrl->installEventFilter(this);
    m_last = COleDateTime::GetCurrentTime().GetStatus() == COleDateTime::valid
        ? dateOf(COleDateTime::GetCurrentTime())
        : QDate(2000, 1, 1);
    m_ctrl->SetDate(m_last);
    connect(m_check, &QCheckBox::clicked, this, &CTaskDateBox::onChecked);
    connect(m_ctrl, &CZUDateTimeCtrl::dateChanged, this, &CTaskDateBox::onPick);
    showValue(false);
}

QDate CTaskDateBox::GetDate() const
{
    return m_has ? m_ctrl->GetDate() : QDate();
}

void CTaskDateBox::SetDate(QDate date)
{
    if (date.isValid()) {
        m_last = date;
        m_ctrl->SetDate(date);
    }
    showValue(date.isValid());
}

void CTaskDateBox::showValue(bool has)
{
    m_has = has;
    m_check->setChecked(has);
    // Without a date the control shows nothing; a tap still opens its calendar.
    m_ctrl->SetOwnerDrawText(has ? FALSE : TRUE);
    m_ctrl->SetText(CString());
    m_ctrl->update();
}

void CTaskDateBox::onChecked(bool on)
{
    if (on == m_has)
        return;
    if (on)
        m_ctrl->SetDate(m_last);
    showValue(on);
    emit changed();
}

void CTaskDateBox::onPick(QDate date)
{
    if (!date.isValid() || (m_has && date == m_last && m_ctrl->GetDate() == date))
        return;
    m_last = date;
    m_ctrl->SetDate(date);
    showValue(true);
    emit changed();
}

bool CTaskDateBox::eventFilter(QObject* watched, QEvent* event)
{
    // The calendar opens on a press or a key; its pick of the shown date also counts while the
    // box is empty, so the box listens to the calendar itself.
    if (watched == m_ctrl && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)) {
        if (!m_ctrl->calendarPopup() && isEnabled() && event->type() == QEvent::MouseButtonPress)
            m_ctrl->ShowCalendar();
        if (QCalendarWidget* popup = m_ctrl->calendarPopup()) {
            connect(popup, &QCalendarWidget::clicked, this, &CTaskDateBox::onPick, Qt::UniqueConnection);
            connect(popup, &QCalendarWidget::activated, this, &CTaskDateBox::onPick, Qt::UniqueConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CTaskDateBox::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_check->setGeometry(0, 0, kCheckWidth, height());
    m_ctrl->setGeometry(kCheckWidth, 0, std::max(0, width() - kCheckWidth), height());
}

void CTaskDateBox::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        m_ctrl->SetTextColor(isEnabled() ? RGB(0, 0, 0) : RGB(128, 128, 128));
}

// ---- CTaskSummary -----------------------------------------------------------------------------

CTaskSummary::CTaskSummary() : CPropertyPage(kTemplateId, CString(L"편집창"))
{
    for (COleDateTime* d : {&m_dtStart, &m_dtDue, &m_dtAlarmDate})
        d->SetStatus(COleDateTime::null);
    m_dtAlarmTime = COleDateTime(2000, 1, 1, 8, 0, 0);
}

CTaskSummary::~CTaskSummary() = default;

void CTaskSummary::SetEventData(DWORD oid)
{
    m_oid = oid;
    m_bEdit = TRUE;
}

void CTaskSummary::SetRecurPatternPtr(std::unique_ptr<CRecurrencePattern> pattern)
{
    m_pattern = std::move(pattern);
    if (m_occur)
        ResetOccurs();
}

void CTaskSummary::SetEventDate(QDate day)
{
    m_presetDay = day;
}

BOOL CTaskSummary::OnInitDialog()
{
    auto label = [this](int slot, UINT id, const wchar_t* text, QRect r) {
        auto* l = new CLabel(this, id);
        l->SetText(text);
        l->setGeometry(r);
        m_labels[slot] = l;
    };
    auto combo = [this](UINT id, QRect r) {
        auto* c = new CZUComboBox(this, id);
        c->setEditable(false);
        c->setGeometry(r);
        return c;
    };
    auto check = [this](UINT id, const wchar_t* text, QRect r) {
        auto* c = new QCheckBox(QString::fromWCharArray(text), this);
        c->setObjectName(QString::number(id));
        c->setGeometry(r);
        return c;
    };
    auto date = [this](UINT id, QRect r) {
        auto* d = new CTaskDateBox(this, id);
        d->setGeometry(r);
        return d;
    };

    QPalette pal = palette();
    pal.setColor(QPalette::Window, qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    setPalette(pal);
    setAutoFillBackground(true);

    label(0, IDC_SUBJECTLABEL, L"제목", ZuDuRect(3, 4, 24, 12));
    m_subject = new CEditEx(this, IDC_SUBJECT);
    m_subject->setGeometry(ZuDuRect(28, 3, 110, 12));
    label(1, IDC_STARTLABEL, L"시작일", ZuDuRect(3, 19, 24, 12));
    m_start = date(IDC_STARTDATE, ZuDuRect(28, 17, 67, 13));
    label(2, IDC_DUELABEL, L"종료일", ZuDuRect(3, 34, 24, 12));
    m_due = date(IDC_DUEDATE, ZuDuRect(28, 32, 67, 13));
    label(3, IDC_IMPORTANCELABEL, L"중요도", ZuDuRect(3, 49, 24, 12));
    m_importance = combo(IDC_IMPORTANCE, ZuDuRect(28, 47, 48, 13));
    m_private = check(IDC_PRIVATE, L"비공개", ZuDuRect(82, 48, 54, 11));
    label(4, IDC_PROGRESSLABEL, L"진행율", ZuDuRect(3, 64, 24, 12));
    m_progress = combo(IDC_PROGRESS, ZuDuRect(28, 62, 48, 13));
    m_completed = check(IDC_COMPLETED, L"완료", ZuDuRect(82, 63, 54, 11));
    label(5, IDC_ALARMLABEL, L"알람", ZuDuRect(3, 79, 24, 12));
    m_alarmDate = date(IDC_ALARMDATE, ZuDuRect(28, 77, 67, 13));
    m_alarmTime = new QTimeEdit(this);
    m_alarmTime->setObjectName(QString::number(IDC_ALARMTIME));
    m_alarmTime->setLocale(QLocale(QLocale::Korean, QLocale::SouthKorea));
    m_alarmTime->setDisplayFormat(QStringLiteral("ap hh:mm"));
    m_alarmTime->setGeometry(ZuDuRect(97, 77, 42, 13));
    m_alarmTime->setButtonSymbols(QAbstractSpinBox::NoButtons);  // the keys and the wheel step it
    m_alarmTime->setTime(QTime(8, 0));
    label(6, IDC_OCCURLABEL, L"반복", ZuDuRect(3, 94, 24, 12));
    m_occur = combo(IDC_OCCURS, ZuDuRect(28, 92, 60, 13));
    m_occurText = new CLabel(this, IDC_OCCURTEXT);
    m_occurText->setGeometry(ZuDuRect(3, 108, 135, 30));
    m_occurText->SetWordBreak(TRUE);

    for (UINT i = 0; i < 3; ++i)
        m_importance->addItem(ZuLoadString(ZuStr::ImportanceBase + i, ZuModule::CompLib).toQString());
    m_importance->setCurrentIndex(1);
    for (int p = 0; p <= 90; p += 10)
        m_progress->addItem(QStringLiteral("%1%").arg(p));
    m_progress->setCurrentIndex(0);
    for (UINT i = 0; i < 5; ++i)
        m_occur->addItem(ZuLoadString(ZuStr::NoRecurrence + i, ZuModule::CompLib).toQString());
    m_occur->setCurrentIndex(0);
    m_occurText->SetText(L"");
    m_occurText->SetTextColor(kLabelText);
    m_occurText->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));

    connect(m_completed, &QCheckBox::clicked, this, [this] { OnCheckCompleted(); });
    connect(m_start, &CTaskDateBox::changed, this, [this] { OnDatetimechangeStartdate(); });
    connect(m_due, &CTaskDateBox::changed, this, [this] { OnDatetimechangeDuedate(); });
    connect(m_alarmDate, &CTaskDateBox::changed, this, [this] { OnDatetimechangeAlarmdate(); });
    connect(m_occur, &QComboBox::activated, this, [this](int) { OnSelchangeComboOccurs(); });

    MembersToControls();
    InitSummaryTab();
    if (!m_bEdit && m_presetDay.isValid()) {
        m_start->SetDate(m_presetDay);
        m_due->SetDate(m_presetDay);
    }
    if (!m_start->HasValue() && !m_due->HasValue()) {
        m_alarmDate->setEnabled(false);
        m_alarmTime->hide();
    } else {
        m_alarmDate->setEnabled(true);
        ShowAlarmTime();
    }
    return TRUE;
}

void CTaskSummary::InitSummaryTab()
{
    for (CLabel* l : m_labels) {
        l->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
        l->SetTextColor(kLabelText);
    }
    if (!m_bEdit || !m_oid)
        return;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, ZU_SEL_TASKS) || !db.SeekToRecord(m_oid) || !db.ReadCurrRecord(&record))
        return;
    m_strSubject = ZuRecordString(record, ZUID_TASK_SUBJECT);
    const QDate start = storedDate(record, ZUID_TASK_START);
    const QDate due = storedDate(record, ZUID_TASK_DUE);
    m_dtStart = midnight(start);
    m_dtDue = midnight(due);
    // An importance the page does not know reads as 보통.
    const long long importance = ZuRecordInt(record, ZUID_TASK_IMPORTANCE, 2) - 1;
    m_nImportance = importance >= 0 && importance <= 2 ? static_cast<int>(importance) : 1;
    m_bPrivate = ZuRecordInt(record, ZUID_TASK_PRIVATE) == 1;
    const CCeDBProp* complete = record.GetFullIdProp(ZUPID_TASK_COMPLETE);
    m_bCompleted = complete && complete->GetShort() == 1;
    m_nStoredPercent = m_bCompleted ? -1 : std::clamp(GetDBStatusPercent(&record), 0, 99);
    m_nProgress = m_bCompleted ? 0 : m_nStoredPercent / 10;

    if (ZuRecordInt(record, ZUID_TASK_REMINDER_SET) == 1) {
        m_hNotification = ZuLongToHandle(static_cast<LONG>(ZuRecordInt(record, ZUID_TASK_NOTIFY)));
        SYSTEMTIME ring{};
        COleDateTime moment;
        moment.SetStatus(COleDateTime::null);
        if (m_hNotification && GetUserNotificationTime(m_hNotification, &ring) && ZuIsValidSystemTime(ring)) {
            moment = COleDateTime(ring.wYear, ring.wMonth, ring.wDay, ring.wHour, ring.wMinute, 0);
        } else {
            // No live reminder: the moment follows from its reference and lead, at 08:00.
            QDate reference = ZuRecordInt(record, ZUID_TASK_REMINDER_FLAG) != 0 ? due : start;
            if (!reference.isValid())
                reference = due.isValid() ? due : start;
            const long long lead = ZuRecordInt(record, ZUID_TASK_REMINDER_MINUTES);
            if (reference.isValid() && lead > -100000000LL && lead < 100000000LL) {
                const QDateTime at = QDateTime(reference, QTime(0, 0)).addSecs(-lead * 60);
                if (at.date().isValid())
                    moment = COleDateTime(at.date().year(), at.date().month(), at.date().day(), 8, 0, 0);
            }
        }
        if (moment.GetStatus() == COleDateTime::valid) {
            m_dtAlarmDate = midnight(dateOf(moment));
            m_dtAlarmTime = COleDateTime(2000, 1, 1, moment.GetHour(), moment.GetMinute(), 0);
        }
    }
    if (ZuRecordInt(record, ZUID_TASK_RECURRING) == 1) {
        const std::vector<BYTE> blob = ZuRecordBytes(record, ZUID_TASK_RECURRENCE);
        auto pattern = std::make_unique<CRecurrencePattern>(ZU_SEL_TASKS);
        if (pattern->SetRecurPattern(ZuBlobOf(blob), 1u))
            m_pattern = std::move(pattern);
    }
    MembersToControls();
    ResetOccurs();
}

void CTaskSummary::MembersToControls()
{
    m_subject->setText(m_strSubject.toQString());
    m_start->SetDate(dateOf(m_dtStart));
    m_due->SetDate(dateOf(m_dtDue));
    m_importance->setCurrentIndex(m_nImportance);
    m_private->setChecked(m_bPrivate);
    m_progress->setCurrentIndex(m_nProgress);
    m_completed->setChecked(m_bCompleted);
    m_progress->setEnabled(!m_bCompleted);
    m_alarmDate->SetDate(dateOf(m_dtAlarmDate));
    m_alarmTime->setTime(QTime(m_dtAlarmTime.GetHour(), m_dtAlarmTime.GetMinute()));
    ShowAlarmTime();
}

void CTaskSummary::ControlsToMembers()
{
    m_strSubject = CString::fromQString(m_subject->text());
    m_dtStart = midnight(m_start->GetDate());
    m_dtDue = midnight(m_due->GetDate());
    m_nImportance = std::max(0, m_importance->currentIndex());
    m_bPrivate = m_private->isChecked();
    m_nProgress = std::max(0, m_progress->currentIndex());
    m_bCompleted = m_completed->isChecked();
    m_dtAlarmDate = midnight(m_alarmDate->GetDate());
    const QTime t = m_alarmTime->time();
    m_dtAlarmTime = COleDateTime(2000, 1, 1, t.hour(), t.minute(), 0);
}

void CTaskSummary::ShowAlarmTime()
{
    m_alarmTime->setVisible(m_alarmDate->HasValue());
}

void CTaskSummary::ResetOccurs()
{
    long type = -1;
    if (!m_pattern || !m_pattern->IsValid() || !m_pattern->get_RecurrenceType(&type)) {
        m_occur->setCurrentIndex(0);
        m_occurText->SetText(L"");
        return;
    }
    FILETIME first{};
    if (m_pattern->SeekFirstRecurTime(&first)) {
        const QDate f = dateOf(COleDateTime(first));
        if (m_start->HasValue() && m_due->HasValue()) {
            const qint64 span = m_start->GetDate().daysTo(m_due->GetDate());
            m_start->SetDate(f);
            m_due->SetDate(f.addDays(span));
        } else {
            m_due->SetDate(f);
        }
    }
    m_start->setEnabled(false);
    m_due->setEnabled(false);
    int index = 4;
    if (type == 0)
        index = 1;
    else if (type == 1)
        index = 2;
    else if (type >= 2 && type <= 4)
        index = 3;
    m_occur->setCurrentIndex(index);
    CString text;
    m_occurText->SetText(m_pattern->RecurPatternToStr(text) ? static_cast<const wchar_t*>(text) : L"");
}

void CTaskSummary::OnSelchangeComboOccurs()
{
    const int i = m_occur->currentIndex();
    if (i < 1) {
        m_start->setEnabled(true);
        m_due->setEnabled(true);
        m_completed->setEnabled(true);
        m_pattern.reset();
        ResetOccurs();
        return;
    }
    if (!m_due->HasValue()) {
        MessageBox(this, ZuLoadString(ZuStr::TaskNeedsDue, ZuModule::CompLib), L"할일", MB_OK | MB_ICONWARNING);
        m_occur->setCurrentIndex(0);
        return;
    }
    const COleDateTime start = midnight(m_start->GetDate());
    const COleDateTime due = midnight(m_due->GetDate());
    CRecurDialog dialog(m_pattern.get(), start, due, ZU_SEL_TASKS, i - 1, this);
    if (ZuRunModal(&dialog) == CRecurDialog::IDFINISH) {
        if (auto p = dialog.GetRecurrencePattern()) {
            m_pattern = std::move(p);
            ControlsToMembers();
            m_bCompleted = FALSE;
            MembersToControls();
            m_completed->setEnabled(false);
            m_progress->setEnabled(true);
        }
    }
    // Finish, Cancel or the wizard closed any other way: the box shows what the task has.
    ResetOccurs();
}

void CTaskSummary::OnCheckCompleted()
{
    m_progress->setEnabled(!m_completed->isChecked());
}

void CTaskSummary::OnDatetimechangeStartdate()
{
    if (!m_start->HasValue())
        return;
    const QDate start = m_start->GetDate();
    m_alarmDate->setEnabled(true);
    m_alarmDate->SetDate(start);
    ShowAlarmTime();
    if (!m_due->HasValue() || m_due->GetDate() < start)
        m_due->SetDate(start);
}

void CTaskSummary::OnDatetimechangeDuedate()
{
    if (!m_due->HasValue()) {
        m_pattern.reset();
        ResetOccurs();
        m_start->SetNone();
        m_start->setEnabled(true);
        m_due->setEnabled(true);
        m_alarmDate->SetNone();
        m_alarmDate->setEnabled(false);
        ShowAlarmTime();
        return;
    }
    const QDate due = m_due->GetDate();
    m_alarmDate->setEnabled(true);
    if (m_start->HasValue() && m_start->GetDate() > due)
        m_start->SetDate(due);
    if (!m_start->HasValue()) {
        m_alarmDate->SetDate(due);
        ShowAlarmTime();
    }
}

void CTaskSummary::OnDatetimechangeAlarmdate()
{
    if (m_alarmDate->HasValue() && m_due->HasValue() && m_alarmDate->GetDate() > m_due->GetDate())
        m_alarmDate->SetDate(m_due->GetDate());
    ShowAlarmTime();
}

BOOL CTaskSummary::OnApply()
{
    ControlsToMembers();
    m_nOccurs = std::max(0, m_occur->currentIndex());
    return CPropertyPage::OnApply();
}

BOOL CTaskSummary::OnSetActive()
{
    SetTabText(CString(L"메인"));
    return TRUE;
}

BOOL CTaskSummary::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

void CTaskSummary::paintEvent(QPaintEvent* e)
{
    CPropertyPage::paintEvent(e);
    QPainter painter(this);
    painter.fillRect(rect(), qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    if (m_occur) {
        painter.setPen(QColor(255, 0, 0));
        painter.drawRect(m_occur->geometry().adjusted(-1, -1, 0, 0));
    }
}
