#include "aptmsummary.h"

#include "cedbdatabase.h"
#include "filetime.h"
#include "messagebox.h"
#include "pimstore.h"
#include "recurrencepattern.h"
#include "registry.h"
#include "resource.h"
#include "stringtable.h"
#include "widgets/dialogunits.h"
#include "widgets/editex.h"
#include "widgets/label.h"
#include "widgets/modaldialog.h"
#include "widgets/recurdialog.h"
#include "widgets/syscolors.h"
#include "widgets/zucombobox.h"
#include "widgets/zudatetimectrl.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>

#include <cmath>

namespace {

const wchar_t* const kLocationKey = L"SOFTWARE\\Microsoft\\Calendar\\LOCMRU";
const wchar_t* const kNoAlarm = L"알람없음";
const wchar_t* const kBadTime = L"시간을 올바르게 입력하십시오.";
const wchar_t* const kBadAlarm = L"알람을 올바르게 입력하십시오.";
constexpr COLORREF kLabelText = 0xFF0000;  // blue, as a Windows colour value
constexpr int kMinutesPerDay = 1440;

QDate dateOf(const COleDateTime& t) { return QDate(t.GetYear(), t.GetMonth(), t.GetDay()); }
int minuteOfDay(const COleDateTime& t) { return t.GetHour() * 60 + t.GetMinute(); }
COleDateTime at(QDate d, int minutes)
{
    return COleDateTime(d.year(), d.month(), d.day(), minutes / 60, minutes % 60, 0);
}
// The span b − a in whole minutes.
long long minutesBetween(const COleDateTime& a, const COleDateTime& b)
{
    return std::llround((b - a).m_span * kMinutesPerDay);
}
COleDateTime plusMinutes(const COleDateTime& t, long long minutes)
{
    COleDateTimeSpan span;
    span.m_span = static_cast<double>(minutes) / kMinutesPerDay;
    const COleDateTime moved = t + span;
    // Rounded to the minute, so sums of spans never drift into seconds.
    return COleDateTime(moved.GetYear(), moved.GetMonth(), moved.GetDay(), moved.GetHour(), moved.GetMinute(), 0);
}

FILETIME midnightOf(QDate d)
{
    FILETIME ft{};
    at(d, 0).GetAsFileTime(ft);
    return ft;
}

}  // namespace

CAptmSummary::CAptmSummary() : CPropertyPage(kTemplateId, CString(L"일정")) {}

CAptmSummary::~CAptmSummary() = default;

void CAptmSummary::SetEventData(DWORD oid)
{
    m_oid = oid;
    m_bEdit = TRUE;
}

void CAptmSummary::SetEventStartTime(const COleDateTime& start)
{
    m_dtStart = start;
    m_bStartPreset = TRUE;
}

CString CAptmSummary::TimeText(int minutes)
{
    const int h = minutes / 60, m = minutes % 60;
    CString text;
    if (h < 12)
        text.Format(L"오전 %d:%02d", h, m);
    else
        text.Format(L"오후 %d:%02d", h == 12 ? 12 : h - 12, m);
    return text;
}

bool CAptmSummary::ParseTime(const CString& text, int* minutes)
{
    static const QRegularExpression halfDay(QStringLiteral("^(오전|오후)\\s*(\\d{1,2}):(\\d{2})$"));
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QString t = text.toQString().trimmed();
    int h = -1, m = -1;
    if (const auto match = halfDay.match(t); match.hasMatch()) {
        h = match.captured(2).toInt();
        m = match.captured(3).toInt();
        if (h < 0 || h > 12)
            return false;
        const bool pm = match.captured(1) == QStringLiteral("오후");
        if (h == 12)
            h = pm ? 12 : 0;
        else if (pm)
            h += 12;
    } else if (const auto match2 = clock.match(t); match2.hasMatch()) {
        h = match2.captured(1).toInt();
        m = match2.captured(2).toInt();
    } else {
        return false;
    }
    if (h < 0 || h > 23 || m < 0 || m > 59)
        return false;
    if (minutes)
        *minutes = h * 60 + m;
    return true;
}

BOOL CAptmSummary::OnInitDialog()
{
    auto label = [this](int slot, UINT id, const wchar_t* text, QRect r) {
        auto* l = new CLabel(this, id);
        l->SetText(text);
        l->setGeometry(r);
        m_labels[slot] = l;
    };
    auto combo = [this](UINT id, bool editable, QRect r) {
        auto* c = new CZUComboBox(this, id);
        c->setEditable(editable);
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
        auto* d = new CZUDateTimeCtrl(this, id);
        d->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
        d->SetDrawLine(TRUE);
        d->SetFormat(CString(L"yyyy-MM-dd"));
        d->setGeometry(r);
        return d;
    };

    // The page in the window colour, as its labels.
    QPalette pal = palette();
    const COLORREF window = ZuSysColor(ZU_COLOR_WINDOW);
    pal.setColor(QPalette::Window, QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
    setPalette(pal);
    setAutoFillBackground(true);

    label(0, IDC_SUBJECTLABEL, L"제 목", ZuDuRect(3, 4, 24, 12));
    m_subject = new CEditEx(this, IDC_SUBJECT);
    m_subject->setGeometry(ZuDuRect(28, 3, 111, 12));
    m_mday = check(IDC_MDAY, L"기념일", ZuDuRect(3, 18, 40, 11));
    m_allDay = check(IDC_ALLDAY, L"종일", ZuDuRect(48, 18, 36, 11));
    m_lunar = check(IDC_LUNAR, L"음력", ZuDuRect(48, 18, 36, 11));
    m_private = check(IDC_PRIVATE, L"비공개", ZuDuRect(90, 18, 45, 11));
    label(1, IDC_LOCATIONLABEL, L"장소", ZuDuRect(3, 33, 24, 12));
    m_location = combo(IDC_LOCATION, true, ZuDuRect(28, 31, 111, 13));
    label(2, IDC_STARTLABEL, L"시작일", ZuDuRect(3, 48, 24, 12));
    m_startDate = date(IDC_STARTDATE, ZuDuRect(28, 46, 58, 13));
    m_startTime = combo(IDC_STARTTIME, true, ZuDuRect(88, 46, 51, 13));
    label(3, IDC_ENDLABEL, L"종료일", ZuDuRect(3, 63, 24, 12));
    m_endDate = date(IDC_ENDDATE, ZuDuRect(28, 61, 58, 13));
    m_endTime = combo(IDC_ENDTIME, true, ZuDuRect(88, 61, 51, 13));
    label(4, IDC_ALARMLABEL, L"알람", ZuDuRect(3, 78, 24, 12));
    m_alarm = combo(IDC_ALARM, true, ZuDuRect(28, 76, 44, 13));
    m_alarmType = combo(IDC_ALARMTYPE, false, ZuDuRect(75, 76, 64, 13));
    label(5, IDC_BUSYLABEL, L"상태", ZuDuRect(3, 93, 24, 12));
    m_busy = combo(IDC_BUSY, false, ZuDuRect(28, 91, 60, 13));
    label(6, IDC_OCCURLABEL, L"반복", ZuDuRect(3, 108, 24, 12));
    m_occur = combo(IDC_OCCUR, false, ZuDuRect(28, 106, 60, 13));
    m_occurText = new CLabel(this, IDC_OCCURTEXT);
    m_occurText->setGeometry(ZuDuRect(3, 122, 136, 24));
    m_occurText->SetWordBreak(TRUE);

    for (int m = 0; m < kMinutesPerDay; m += 30) {
        m_startTime->addItem(TimeText(m).toQString());
        m_endTime->addItem(TimeText(m).toQString());
    }
    for (const wchar_t* unit : {L"분 전 알림", L"시간 전 알림", L"일 전 알림"})
        m_alarmType->addItem(QString::fromWCharArray(unit));

    LoadLocations();
    m_lunar->show();

    // A new appointment: today 12:00 to 13:00 unless a start was given.
    if (!m_bStartPreset)
        m_dtStart = at(dateOf(COleDateTime::GetCurrentTime()), 12 * 60);
    m_dtEnd = plusMinutes(m_dtStart, 60);
    SetTime(false, m_dtStart);
    SetTime(true, m_dtEnd);

    m_occurText->SetText(L"");
    m_occurText->SetTextColor(kLabelText);
    m_occurText->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));

    for (UINT i = 0; i < 4; ++i)
        m_busy->addItem(ZuLoadString(ZuStr::BusyBase + i, ZuModule::CompLib).toQString());
    m_busy->setCurrentIndex(2);

    ResetAlarmCB(0);
    m_alarmType->setCurrentIndex(0);
    m_alarm->setCurrentIndex(3);

    connect(m_occur, &QComboBox::activated, this, [this](int) { OnSelchangeComboOccur(); });
    connect(m_mday, &QCheckBox::clicked, this, [this] { OnCheckMday(); });
    connect(m_allDay, &QCheckBox::clicked, this, [this] { OnCheckAllday(); });
    connect(m_alarm, &QComboBox::editTextChanged, this, [this] { OnSelchangeComboAlarm(); });
    connect(m_alarmType, &QComboBox::activated, this, [this](int) { OnSelchangeComboAlarmttype(); });
    connect(m_startDate, &CZUDateTimeCtrl::dateChanged, this, [this] { OnDatetimechangeDtpStartdate(); });
    connect(m_endDate, &CZUDateTimeCtrl::dateChanged, this, [this] { OnDatetimechangeDtpEnddate(); });
    connect(m_startTime, &QComboBox::activated, this, [this](int) { OnSelchangeComboSt(); });
    connect(m_endTime, &QComboBox::activated, this, [this](int) { OnSelchangeComboEt(); });
    connect(m_startTime->lineEdit(), &QLineEdit::editingFinished, this, [this] { OnSelchangeComboSt(); });
    connect(m_endTime->lineEdit(), &QLineEdit::editingFinished, this, [this] { OnSelchangeComboEt(); });

    ChangeInputGUI(m_bMemorialDay);
    MembersToControls();
    InitSummaryTab();
    return TRUE;
}

void CAptmSummary::InitSummaryTab()
{
    for (CLabel* l : m_labels) {
        l->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
        l->SetTextColor(kLabelText);
    }
    if (!m_bEdit || !m_oid)
        return;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS) || !db.SeekToRecord(m_oid) || !db.ReadCurrRecord(&record))
        return;
    m_strSubject = ZuRecordString(record, ZUID_APT_SUBJECT);
    const long long kind = ZuRecordInt(record, ZUID_APT_TYPE);
    if (kind == ZU_APT_TIMED) {
        m_bAllDay = FALSE;
    } else if (kind == ZU_APT_ALLDAY) {
        m_bAllDay = TRUE;
        m_bMemorialDay = FALSE;
    }
    m_bMemorialDay = ZuRecordInt(record, ZUID_APT_MEMORIAL) == 1;
    m_bLunar = ZuRecordInt(record, ZUID_APT_LUNAR) == 1;
    m_bPrivate = ZuRecordInt(record, ZUID_APT_PRIVATE) == 1;
    m_strLocation = ZuRecordString(record, ZUID_APT_LOCATION);
    FILETIME utc{}, local{};
    if (ZuRecordFiletime(record, ZUID_APT_START, &utc) && FileTimeToLocalFileTime(&utc, &local)) {
        const COleDateTime start(local);
        m_dtStart = COleDateTime(start.GetYear(), start.GetMonth(), start.GetDay(), start.GetHour(), start.GetMinute(), 0);
    }
    m_dtEnd = plusMinutes(m_dtStart, ZuRecordInt(record, ZUID_APT_DURATION));

    // The reminder in the largest unit that divides it exactly.
    if (ZuRecordInt(record, ZUID_APT_REMINDER_SET) == 1) {
        const long long m = ZuRecordInt(record, ZUID_APT_REMINDER_MINUTES);
        int unit = 0;
        long long count = m;
        if (m >= kMinutesPerDay && m % kMinutesPerDay == 0) {
            unit = 2;
            count = m / kMinutesPerDay;
        } else if (m >= 60 && m % 60 == 0) {
            unit = 1;
            count = m / 60;
        }
        m_alarmType->setCurrentIndex(unit);
        ResetAlarmCB(unit);
        m_alarm->setEditText(QString::number(count));
    } else {
        m_alarm->setCurrentIndex(0);
    }
    OnSelchangeComboAlarm();
    m_nBusyStatus = static_cast<int>(std::clamp<long long>(ZuRecordInt(record, ZUID_APT_BUSYSTATUS, 2), 0, 3));
    if (ZuRecordInt(record, ZUID_APT_RECURRING) != 0) {
        const std::vector<BYTE> blob = ZuRecordBytes(record, ZUID_APT_RECURRENCE);
        m_pattern = std::make_unique<CRecurrencePattern>(ZuBlobOf(blob), 1u, 1u);
    }
    ChangeInputGUI(m_bMemorialDay);
    MembersToControls();
    ResetOccurs();
    if (!m_bMemorialDay && m_bAllDay)
        OnCheckAllday();
}

void CAptmSummary::MembersToControls()
{
    m_subject->setText(m_strSubject.toQString());
    m_mday->setChecked(m_bMemorialDay);
    m_allDay->setChecked(m_bAllDay);
    m_lunar->setChecked(m_bLunar);
    m_private->setChecked(m_bPrivate);
    m_location->setEditText(m_strLocation.toQString());
    SetTime(false, m_dtStart);
    SetTime(true, m_dtEnd);
    m_busy->setCurrentIndex(m_nBusyStatus);
}

void CAptmSummary::ControlsToMembers()
{
    m_strSubject = CString::fromQString(m_subject->text());
    m_bMemorialDay = m_mday->isChecked();
    m_bAllDay = m_allDay->isChecked();
    m_bLunar = m_lunar->isChecked();
    m_bPrivate = m_private->isChecked();
    m_nBusyStatus = std::max(0, m_busy->currentIndex());
}

bool CAptmSummary::GetTime(bool end, COleDateTime* out) const
{
    int minutes = 0;
    if (!ParseTime(CString::fromQString(TimeBox(end)->currentText()), &minutes))
        return false;
    *out = at(DateBox(end)->GetDate(), minutes);
    return true;
}

void CAptmSummary::SetTime(bool end, const COleDateTime& value)
{
    (end ? m_dtEnd : m_dtStart) = value;
    DateBox(end)->SetDate(dateOf(value));
    const int minutes = minuteOfDay(value);
    CZUComboBox* box = TimeBox(end);
    if (minutes % 30 == 0)
        box->setCurrentIndex(minutes / 30);
    box->setEditText(TimeText(minutes).toQString());
}

bool CAptmSummary::GetReminderTime(int* minutes) const
{
    const QString text = m_alarm->currentText().trimmed();
    if (text == QString::fromWCharArray(kNoAlarm)) {
        *minutes = -1;
        return true;
    }
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0 || n > 99999)
        return false;
    const int unit = m_alarmType->currentIndex();
    *minutes = unit == 1 ? n * 60 : unit == 2 ? n * kMinutesPerDay : n;
    return true;
}

void CAptmSummary::ResetAlarmCB(int unit)
{
    m_alarm->clear();
    m_alarm->addItem(QString::fromWCharArray(kNoAlarm));
    const QStringList counts = unit == 0 ? QStringList{"5", "10", "15", "30", "45"} : QStringList{"1", "2", "3", "4", "5"};
    m_alarm->addItems(counts);
}

void CAptmSummary::ChangeInputGUI(BOOL memorialDay)
{
    const bool m = memorialDay;
    m_allDay->setVisible(!m);
    m_labels[1]->setVisible(!m);
    m_location->setVisible(!m);
    m_labels[3]->setVisible(!m);
    m_endDate->setVisible(!m);
    m_startTime->setVisible(!m && !m_bAllDay);
    m_endTime->setVisible(!m && !m_bAllDay);
    m_labels[5]->setVisible(!m);
    m_busy->setVisible(!m);
    m_lunar->setVisible(m);
    m_labels[2]->SetText(m ? L"기념일" : L"시작일");
    m_occur->clear();
    if (m) {
        m_occur->addItem(ZuLoadString(ZuStr::NoRecurrence, ZuModule::CompLib).toQString());
        m_occur->addItem(ZuLoadString(ZuStr::NoRecurrence + 4, ZuModule::CompLib).toQString());
    } else {
        for (UINT i = 0; i < 5; ++i)
            m_occur->addItem(ZuLoadString(ZuStr::NoRecurrence + i, ZuModule::CompLib).toQString());
    }
    m_occur->setCurrentIndex(0);
}

void CAptmSummary::ResetOccurs()
{
    long type = -1;
    if (!m_pattern || !m_pattern->IsValid() || !m_pattern->get_RecurrenceType(&type)) {
        m_occur->setCurrentIndex(0);
        m_occurText->SetText(L"");
        return;
    }
    FILETIME first{};
    if (m_pattern->SeekFirstRecurTime(&first)) {
        const qint64 span = m_startDate->GetDate().daysTo(m_endDate->GetDate());
        const QDate d = dateOf(COleDateTime(first));
        m_startDate->SetDate(d);
        m_endDate->SetDate(d.addDays(span));
        m_dtStart = at(d, minuteOfDay(m_dtStart));
        m_dtEnd = at(d.addDays(span), minuteOfDay(m_dtEnd));
    }
    int index = 4;
    if (m_bMemorialDay || type == 0)
        index = 1;
    else if (type == 1)
        index = 2;
    else if (type >= 2 && type <= 4)
        index = 3;
    m_occur->setCurrentIndex(std::min(index, m_occur->count() - 1));
    CString text;
    if (m_pattern->RecurPatternToStr(text))
        m_occurText->SetText(text);
}

void CAptmSummary::OnSelchangeComboOccur()
{
    ControlsToMembers();
    const int i = m_occur->currentIndex();
    if (i < 1) {
        m_startDate->setEnabled(true);
        m_endDate->setEnabled(true);
        m_pattern.reset();
    } else if (m_bMemorialDay) {
        // A yearly pattern on the start's month and day; no wizard.
        const QDate d = m_startDate->GetDate();
        auto p = std::make_unique<CRecurrencePattern>(1u);
        p->put_RecurrenceType(5);
        p->put_Interval(1);
        p->put_MonthOfYear(d.month());
        p->put_DayOfMonth(d.day());
        p->put_PatternStartDate(midnightOf(d));
        p->put_NoEndDate(1);
        p->SetEndDateType(0);
        m_pattern = std::move(p);
    } else {
        COleDateTime start = m_dtStart, end = m_dtEnd;
        GetTime(false, &start);
        GetTime(true, &end);
        CRecurDialog dialog(m_pattern.get(), start, end, 1, i - 1, this);
        if (ZuRunModal(&dialog) == CRecurDialog::IDFINISH) {
            if (auto p = dialog.GetRecurrencePattern()) {
                m_pattern = std::move(p);
                m_startDate->setEnabled(false);
                m_endDate->setEnabled(false);
            }
        }
    }
    ResetOccurs();
}

void CAptmSummary::OnCheckMday()
{
    ControlsToMembers();
    ChangeInputGUI(m_bMemorialDay);
    m_pattern.reset();
    m_occur->setCurrentIndex(0);
    m_startDate->setEnabled(true);
    m_endDate->setEnabled(true);
    ResetOccurs();
}

void CAptmSummary::OnCheckAllday()
{
    ControlsToMembers();
    m_startTime->setVisible(!m_bAllDay && !m_bMemorialDay);
    m_endTime->setVisible(!m_bAllDay && !m_bMemorialDay);
}

void CAptmSummary::OnSelchangeComboAlarm()
{
    m_alarmType->setVisible(m_alarm->currentText() != QString::fromWCharArray(kNoAlarm));
}

void CAptmSummary::OnSelchangeComboAlarmttype()
{
    const int index = m_alarm->currentIndex();
    const QString typed = m_alarm->currentText();
    ResetAlarmCB(m_alarmType->currentIndex());
    if (index >= 0 && m_alarm->itemText(index) != typed && m_alarm->findText(typed) < 0)
        m_alarm->setEditText(typed);  // a typed count stays as typed
    else
        m_alarm->setCurrentIndex(index);
}

void CAptmSummary::OnDatetimechangeDtpStartdate()
{
    const QDate d = m_startDate->GetDate();
    const long long duration = minutesBetween(m_dtStart, m_dtEnd);
    m_dtStart = at(d, minuteOfDay(m_dtStart));
    SetTime(true, plusMinutes(m_dtStart, std::max(0LL, duration)));
    if (m_bMemorialDay && m_occur->currentIndex() > 0 && m_pattern) {
        m_pattern->put_RecurrenceType(5);
        m_pattern->put_Interval(1);
        m_pattern->put_MonthOfYear(d.month());
        m_pattern->put_DayOfMonth(d.day());
        m_pattern->put_PatternStartDate(midnightOf(d));
        m_pattern->put_NoEndDate(1);
        ResetOccurs();
    }
}

void CAptmSummary::OnDatetimechangeDtpEnddate()
{
    COleDateTime end = m_dtEnd;
    if (!GetTime(true, &end))
        end = at(m_endDate->GetDate(), minuteOfDay(m_dtEnd));
    if (end < m_dtStart)
        SetTime(false, end);
    SetTime(true, end);
}

void CAptmSummary::OnSelchangeComboSt()
{
    const long long d = minutesBetween(m_dtStart, m_dtEnd);
    COleDateTime start;
    if (!GetTime(false, &start))
        return;  // told in OnApply
    m_dtStart = start;
    SetTime(true, plusMinutes(start, std::max(0LL, d)));
}

void CAptmSummary::OnSelchangeComboEt()
{
    COleDateTime end;
    if (!GetTime(true, &end))
        return;
    if (m_dtStart > end)
        SetTime(false, end);
    SetTime(true, end);
}

BOOL CAptmSummary::OnApply()
{
    ControlsToMembers();
    COleDateTime start, end;
    const bool timed = !m_bAllDay && !m_bMemorialDay;
    // Hidden time boxes (all-day, anniversary) keep the times they had.
    if (!GetTime(false, &start) || !GetTime(true, &end)) {
        if (timed) {
            MessageBox(this, kBadTime, L"일정", MB_OK | MB_ICONWARNING);
            return FALSE;
        }
        start = at(m_startDate->GetDate(), minuteOfDay(m_dtStart));
        end = at(m_endDate->GetDate(), minuteOfDay(m_dtEnd));
    }
    int reminder = 0;
    if (!GetReminderTime(&reminder)) {
        MessageBox(this, kBadAlarm, L"일정", MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    if (end < start)
        start = end;
    m_dtStart = start;
    m_dtEnd = end;
    m_nReminder = reminder;
    m_nOccurs = std::max(0, m_occur->currentIndex());
    m_strLocation = CString::fromQString(m_location->currentText());
    RememberLocation();
    return CPropertyPage::OnApply();
}

void CAptmSummary::LoadLocations()
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kLocationKey, 0, 0, &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[261] = {};
        DWORD nameLength = 260;
        BYTE data[1024 * sizeof(wchar_t)] = {};
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG r = RegEnumValue(key, i, name, &nameLength, nullptr, &type, data, &dataSize);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS || type != REG_SZ)
            continue;
        const QString text = QString::fromWCharArray(reinterpret_cast<const wchar_t*>(data));
        if (!text.isEmpty())
            m_location->addItem(text);
    }
    RegCloseKey(key);
}

void CAptmSummary::RememberLocation()
{
    const QString text = m_strLocation.toQString();
    if (text.isEmpty() || m_location->findText(text, Qt::MatchStartsWith | Qt::MatchCaseSensitive) >= 0)
        return;
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, kLocationKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    // The first "MRU<n>" from the list's count on that holds nothing yet.
    for (int n = m_location->count(); n < m_location->count() + 10000; ++n) {
        CString name;
        name.Format(L"MRU%d", n);
        DWORD size = 0;
        if (RegQueryValueEx(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS)
            continue;
        const std::wstring value = m_strLocation.str();
        RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        m_location->addItem(text);
        m_location->setEditText(text);
        break;
    }
    RegCloseKey(key);
}

BOOL CAptmSummary::OnSetActive()
{
    SetTabText(CString(L"메인"));
    return TRUE;
}

BOOL CAptmSummary::OnKillActive()
{
    SetTabText(CString());
    return TRUE;
}

void CAptmSummary::resizeEvent(QResizeEvent* e)
{
    CPropertyPage::resizeEvent(e);
}
