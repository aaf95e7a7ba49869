#include "viewboard.h"

#include "attendees.h"
#include "bitmap.h"
#include "filetime.h"
#include "lunar.h"
#include "messagebox.h"
#include "notifyutil.h"
#include "pimstore.h"
#include "poomapplication.h"
#include "popupmenu.h"
#include "recordeditor.h"
#include "recurrencepattern.h"
#include "recurrenceskips.h"
#include "resource.h"
#include "stringtable.h"
#include "textutil.h"
#include "usernotify.h"
#include "widgets/cebuttonst.h"
#include "widgets/cecommandbarex.h"
#include "widgets/dialogunits.h"
#include "widgets/inkxloader.h"
#include "widgets/label.h"
#include "widgets/modaldialog.h"
#include "widgets/syscolors.h"
#include "widgets/zufont.h"
#include "windowmessage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

const wchar_t* const kDeleteQuestion = L"이벤트를 지우시겠습니까?";
const wchar_t* const kDeleteFailed = L"이벤트를 지우지 못했습니다.";
const wchar_t* const kDeleteOne = L"이 일정만";
const wchar_t* const kDeleteAll = L"모든 반복 일정";

constexpr int kTitleLeft = 20;
constexpr int kTitleHeight = 30;
constexpr int kLabelLeft = 5;
constexpr int kValueRight = 240;
constexpr int kButton = 15;  // the expand button's side
// The last year a task's start or due date may lie in; from 4501 on it has none.
constexpr WORD kLastTaskYear = 4500;

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

QFont rowFont() { return ZuFont(L"Tahoma", 12, FW_NORMAL); }

CString str(UINT id) { return ZuLoadString(id, ZuModule::CompLib); }

SYSTEMTIME systemTime(const FILETIME& ft)
{
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

FILETIME plusMinutes(const FILETIME& ft, long long minutes)
{
    const long long ticks = static_cast<long long>(ZuFileTimeToU64(ft)) + minutes * static_cast<long long>(ZU_TICKS_PER_MINUTE);
    return ZuU64ToFileTime(ticks > 0 ? static_cast<ULONGLONG>(ticks) : 0);
}

CString dateText(const FILETIME& local) { return FormatDate(systemTime(local)); }

CString dateTimeText(const FILETIME& local)
{
    const SYSTEMTIME st = systemTime(local);
    CString s;
    s.Format(L"%s %s", static_cast<const wchar_t*>(FormatDate(st)), static_cast<const wchar_t*>(FormatTime(st)));
    return s;
}

bool localOf(const CCeDBRecord& record, WORD ident, FILETIME* local)
{
    FILETIME utc{};
    return ZuRecordFiletime(record, ident, &utc) && FileTimeToLocalFileTime(&utc, local);
}

// The start of the day of a local time, in ticks.
ULONGLONG dayOf(const FILETIME& local) { return ZuFileTimeToU64(local) / ZU_TICKS_PER_DAY * ZU_TICKS_PER_DAY; }

// What the board draws: the layout of the title's icon and the rows, and the note's place.
struct BoardPaint {
    const CZuImageList* icons = nullptr;
    int iconIndex = 0;
    int rowsTop = 0;
    int width = CViewBoard::kWidth;
    const std::vector<CString>* labels = nullptr;
    const std::vector<CString>* values = nullptr;
    const std::vector<int>* heights = nullptr;
};

void paintBoard(QPainter& p, const BoardPaint& b)
{
    b.icons->Draw(&p, b.iconIndex, QPoint(2, (kTitleHeight - 16) / 2));
    p.setFont(rowFont());
    int y = b.rowsTop;
    for (size_t i = 0; i < b.labels->size(); ++i) {
        const int h = (*b.heights)[i];
        p.setPen(qcolor(CViewBoard::kLabelColor));
        p.drawText(QRect(kLabelLeft, y, CViewBoard::kValueLeft - kLabelLeft, CViewBoard::kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, (*b.labels)[i].toQString());
        p.setPen(qcolor(ZuSysColor(ZU_COLOR_WINDOWTEXT)));
        const int flags = h > CViewBoard::kRowHeight ? (Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap)
                                                     : (Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
        p.drawText(QRect(CViewBoard::kValueLeft, y, std::max(kValueRight, b.width) - CViewBoard::kValueLeft, h), flags,
                   (*b.values)[i].toQString());
        y += h;
    }
}

}  // namespace

CViewBoard::CViewBoard(DWORD oid, CCeDBDatabase* database, int selector, QWidget* parent, const FILETIME* occurrence)
    : QDialog(parent), m_oid(oid), m_selector(selector == ZU_SEL_TASKS ? ZU_SEL_TASKS : ZU_SEL_APPOINTMENTS)
{
    // The caller's database stays the caller's: the board reads through its own.
    (void)database;
    if (occurrence)
        m_occurrence = *occurrence;
    m_iconIndex = m_selector == ZU_SEL_TASKS ? 2 : 0;
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QString::fromWCharArray(m_selector == ZU_SEL_TASKS ? L"할일" : L"일정"));
    resize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qcolor(ZuSysColor(ZU_COLOR_WINDOW)));
    setPalette(pal);
    setAutoFillBackground(true);
    ZuInitInkX();
    OnInitDialog();
}

CViewBoard::~CViewBoard()
{
    closeInk();
    m_db.Close();
}

int CViewBoard::DoModal() { return ZuRunModal(this); }

CString CViewBoard::GetLabel(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_labels[static_cast<size_t>(row)] : CString();
}

CString CViewBoard::GetValue(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_values[static_cast<size_t>(row)] : CString();
}

int CViewBoard::GetRowHeight(int row) const
{
    return row >= 0 && row < GetRowCount() ? m_heights[static_cast<size_t>(row)] : 0;
}

QWidget* CViewBoard::GetExpandButton() const { return m_expand; }
CCeCommandBarEx* CViewBoard::GetCommandBar() const { return m_bar; }
QWidget* CViewBoard::GetEditButton() const { return m_edit; }
QWidget* CViewBoard::GetDeleteButton() const { return m_delete; }

BOOL CViewBoard::OnInitDialog()
{
    m_titleLabel = new CLabel(this, IDC_TITLE);
    m_titleLabel->setGeometry(kTitleLeft, 0, kWidth - kTitleLeft - 2, kTitleHeight);
    m_titleLabel->SetFont(ZuFont(L"Tahoma", 14, FW_BOLD));
    m_titleLabel->SetBkColor(ZuSysColor(ZU_COLOR_WINDOW));
    m_titleLabel->SetTextColor(ZuSysColor(ZU_COLOR_WINDOWTEXT));
    m_titleLabel->SetTextOffset(0, (kTitleHeight - 16) / 2);

    m_bar = new CCeCommandBarEx(nullptr, ZuCompLibRes::IdCommandBar);
    if (!m_bar->Create(this, ZuCompLibRes::IdCommandBar)) {
        delete m_bar;
        return FALSE;
    }
    m_bar->SetBkColor(RGB(120, 161, 245));
    m_barImages.RemoveAll();
    m_barImages.Add(ZuLoadBitmap(ZuCompLibRes::BmpMenuSelectOk, ZuModule::CompLib), RGB(255, 255, 255));
    m_bar->SetImageList(&m_barImages);
    ChangeSharedButton(ZuStr::BoardEdit, ID_EDIT, TRUE);
    m_edit = new CCeButtonST(m_bar, ID_EDIT);
    m_edit->SetBitmaps(ZuCompLibRes::BmpBoardEditDown, RGB(255, 255, 255), ZuCompLibRes::BmpBoardEdit,
                       RGB(255, 255, 255), ZuModule::CompLib);
    m_edit->DrawBorder(FALSE);
    m_edit->setFont(m_bar->font());
    m_edit->setGeometry(2, 2, 29, 19);
    connect(m_edit, &QAbstractButton::clicked, this, &CViewBoard::OnEditEvent);

    m_bar->AddButton(ID_DELETE, -1, TBSTYLE_BUTTON, 32);
    m_delete = new CCeButtonST(m_bar, ID_DELETE);
    m_delete->SetBitmaps(ZuCompLibRes::BmpBoardDeleteDown, RGB(255, 255, 255), ZuCompLibRes::BmpBoardDelete,
                         RGB(255, 255, 255), ZuModule::CompLib);
    m_delete->DrawBorder(FALSE);
    m_delete->setGeometry(35, 2, 29, 19);
    connect(m_delete, &QAbstractButton::clicked, this, &CViewBoard::OnDeleteEvent);

    m_bar->AddSeparator();
    m_bar->AddButton(ID_OK, 0);
    m_edit->raise();
    m_delete->raise();

    m_icons.Create(ZuLoadBitmap(ZuCompLibRes::BmpBoardIcons, ZuModule::CompLib), 16, RGB(255, 255, 255));
    InitViewBoard();
    return TRUE;
}

void CViewBoard::ChangeSharedButton(UINT stringId, UINT commandId, BOOL show)
{
    if (!m_bar)
        return;
    // The first button is the shared one; a bar without buttons gets it.
    if (m_bar->GetButtonCount() == 0)
        m_bar->AddButton(commandId, -1, TBSTYLE_BUTTON, 32, str(stringId));
    else
        m_bar->SetButtonText(m_bar->GetItemID(0), str(stringId));
    m_bar->SetButtonWidth(0, 32);
    m_bar->HideButton(m_bar->GetItemID(0), !show);
}

void CViewBoard::ResetDisplayInfo()
{
    m_labels.clear();
    m_values.clear();
    m_heights.clear();
    m_attendeeRow = m_categoryRow = m_recurRow = -1;
}

void CViewBoard::addRow(const CString& label, const CString& value, int* longRow)
{
    if (longRow)
        *longRow = static_cast<int>(m_labels.size());
    m_labels.push_back(label);
    m_values.push_back(value);
    m_heights.push_back(kRowHeight);
}

BOOL CViewBoard::InitViewBoard()
{
    PPC_KeypadDown();
    ResetDisplayInfo();
    m_title.Empty();
    m_hasNote = false;
    if (!m_db.IsOpen())
        OpenDatabase(&m_db, ZuDatabaseName(m_selector), nullptr, this);
    CCeDBRecord record;
    const bool read = m_db.IsOpen() && m_db.SeekToRecord(m_oid) && m_db.ReadCurrRecord(&record) && record.GetOid() == m_oid;
    if (read) {
        m_title = ZuRecordString(record, ZUID_APT_SUBJECT);
        if (m_selector == ZU_SEL_TASKS) {
            buildTask(record);
            buildCommon(record, ZUID_TASK_RECURRING, ZUID_TASK_RECURRENCE, 4u);
        } else {
            buildAppointment(record);
            buildCommon(record, ZUID_APT_RECURRING, ZUID_APT_RECURRENCE, 1u);
        }
        measureLongRows();
        buildNote(record);
    } else {
        closeInk();
        if (m_expand)
            m_expand->hide();
    }
    if (m_titleLabel)
        m_titleLabel->SetText(m_title);
    update();
    return read ? TRUE : FALSE;
}

void CViewBoard::buildAppointment(const CCeDBRecord& record)
{
    const long long type = ZuRecordInt(record, ZUID_APT_TYPE, ZU_APT_TIMED);
    const bool allDay = type == ZU_APT_ALLDAY;
    const bool anniversary = allDay && ZuRecordInt(record, ZUID_APT_MEMORIAL) == 1;
    m_lunar = anniversary && ZuRecordInt(record, ZUID_APT_LUNAR) == 1;
    m_recurring = ZuRecordInt(record, ZUID_APT_RECURRING) == 1;
    m_iconIndex = anniversary ? 1 : 0;
    addRow(str(ZuStr::BoardKind), str(!allDay ? ZuStr::KindNormal : anniversary ? ZuStr::KindAnniversary : ZuStr::KindAllDay));

    FILETIME start{};
    const bool hasStart = localOf(record, ZUID_APT_START, &start);
    // The occurrence chosen stands for the stored start: its date (lunar: its solar date), the
    // stored time of day.
    const bool occurrence = m_recurring && m_occurrence.has_value();
    CString startText;
    if (m_lunar && hasStart) {
        const SYSTEMTIME lunar = systemTime(start);
        FILETIME solar = start;
        if (occurrence)
            solar = *m_occurrence;
        if (occurrence || FromMoonToSun(solar)) {
            startText.Format(L"%s([음력] %02d-%02d)", static_cast<const wchar_t*>(dateText(solar)), lunar.wMonth, lunar.wDay);
        } else {
            // Outside the lunar table: the stored lunar date as it is, tagged.
            startText.Format(L"[음력] %s", static_cast<const wchar_t*>(dateText(start)));
        }
    } else if (hasStart) {
        if (occurrence)
            start = *m_occurrence;
        startText = allDay ? dateText(start) : dateTimeText(start);
    }
    addRow(str(anniversary ? ZuStr::BoardAnniversary : ZuStr::BoardStart), startText);

    if (!anniversary) {
        const FILETIME end = plusMinutes(start, ZuRecordInt(record, ZUID_APT_DURATION));
        addRow(str(ZuStr::BoardEnd), !hasStart ? CString() : allDay ? dateText(end) : dateTimeText(end));
        const CString location = ZuRecordString(record, ZUID_APT_LOCATION);
        if (!location.IsEmpty())
            addRow(str(ZuStr::BoardLocation), location);
        const long long busy = std::clamp<long long>(ZuRecordInt(record, ZUID_APT_BUSYSTATUS, ZU_OL_BUSY), 0, 3);
        addRow(str(ZuStr::BoardBusy), str(ZuStr::BusyBase + static_cast<UINT>(busy)));
    }
    if (ZuRecordInt(record, ZUID_APT_REMINDER_SET) == 1 && hasStart) {
        FILETIME base = start;
        if (m_lunar) {
            base = occurrence ? *m_occurrence : start;
            if (!occurrence)
                FromMoonToSun(base);
            base = ZuU64ToFileTime(dayOf(base) + (ZuFileTimeToU64(start) - dayOf(start)));
        }
        addRow(str(ZuStr::BoardAlarm), dateTimeText(plusMinutes(base, -ZuRecordInt(record, ZUID_APT_REMINDER_MINUTES))));
    }
    const std::vector<BYTE> attendeeBytes = ZuRecordBytes(record, ZUID_APT_ATTENDEES);
    CString names;
    if (!attendeeBytes.empty())
        names = CAttendees(ZuBlobOf(attendeeBytes)).GetAttendees(L",", CAttendees::kNameOnly);
    addRow(str(ZuStr::BoardAttendees), names.IsEmpty() ? str(ZuStr::BoardNoAttendees) : names, &m_attendeeRow);
}

void CViewBoard::buildTask(const CCeDBRecord& record)
{
    m_iconIndex = 2;
    m_lunar = false;
    m_recurring = ZuRecordInt(record, ZUID_TASK_RECURRING) == 1;
    // A task's dates are stored as wall-clock values, shown as they are.
    FILETIME start{}, due{};
    bool hasStart = ZuRecordFiletime(record, ZUID_TASK_START, &start) && !ZuIsNoDate(start);
    bool hasDue = ZuRecordFiletime(record, ZUID_TASK_DUE, &due) && !ZuIsNoDate(due);
    hasStart = hasStart && systemTime(start).wYear <= kLastTaskYear;
    hasDue = hasDue && systemTime(due).wYear <= kLastTaskYear;
    // An occurrence moves both dates by the same days.
    if (m_recurring && m_occurrence && hasStart) {
        const long long shift = static_cast<long long>(dayOf(*m_occurrence)) - static_cast<long long>(dayOf(start));
        start = ZuU64ToFileTime(static_cast<ULONGLONG>(static_cast<long long>(ZuFileTimeToU64(start)) + shift));
        if (hasDue)
            due = ZuU64ToFileTime(static_cast<ULONGLONG>(static_cast<long long>(ZuFileTimeToU64(due)) + shift));
    }
    const auto ymd = [](const FILETIME& ft) {
        const SYSTEMTIME st = systemTime(ft);
        CString s;
        s.Format(L"%d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
        return s;
    };
    if (hasStart)
        addRow(str(ZuStr::BoardStart), ymd(start));
    if (hasDue)
        addRow(str(ZuStr::BoardEnd), ymd(due));
    const long long importance = std::clamp<long long>(ZuRecordInt(record, ZUID_TASK_IMPORTANCE, 2), 1, 3);
    addRow(str(ZuStr::BoardImportance), str(ZuStr::ImportanceBase + static_cast<UINT>(importance - 1)));
    CCeDBRecord copy = record;
    CString percent;
    percent.Format(L"%d%%", GetDBStatusPercent(&copy));
    addRow(str(ZuStr::BoardProgress), percent);
    if (ZuRecordInt(record, ZUID_TASK_REMINDER_SET) == 1) {
        SYSTEMTIME ring{};
        const HANDLE notification = ZuLongToHandle(static_cast<LONG>(ZuRecordInt(record, ZUID_TASK_NOTIFY)));
        if (notification && GetUserNotificationTime(notification, &ring)) {
            CString s;
            s.Format(L"%s %s", static_cast<const wchar_t*>(FormatDate(ring)), static_cast<const wchar_t*>(FormatTime(ring)));
            addRow(str(ZuStr::BoardAlarm), s);
        } else {
            // The reminder's notification is gone: the day it was meant for.
            const bool fromDue = ZuRecordInt(record, ZUID_TASK_REMINDER_FLAG) != 0;
            if ((fromDue && hasDue) || (!fromDue && hasStart))
                addRow(str(ZuStr::BoardAlarm),
                       dateText(plusMinutes(fromDue ? due : start, -ZuRecordInt(record, ZUID_TASK_REMINDER_MINUTES))));
        }
    }
}

void CViewBoard::buildCommon(const CCeDBRecord& record, WORD recurringId, WORD patternId, UINT patternKind)
{
    addRow(str(ZuStr::BoardSensitivity), str(ZuRecordInt(record, ZUID_APT_PRIVATE) == 1 ? ZuStr::Private : ZuStr::Public));
    const std::vector<BYTE> categories = ZuRecordBytes(record, ZUID_APT_CATEGORIES);
    CString groups;
    if (!categories.empty()) {
        const CEBLOB blob = ZuBlobOf(categories);
        groups = GetDBCategoryBlob2Str(&blob);
    }
    addRow(str(ZuStr::BoardGroup), groups.IsEmpty() ? str(ZuStr::BoardNoGroup) : groups, &m_categoryRow);
    if (ZuRecordInt(record, recurringId) == 1) {
        const std::vector<BYTE> bytes = ZuRecordBytes(record, patternId);
        if (!bytes.empty()) {
            CRecurrencePattern pattern(ZuBlobOf(bytes), 1u, patternKind);
            CString text;
            if (pattern.RecurPatternToStr(text) && !text.IsEmpty())
                addRow(str(ZuStr::BoardRecurrence), text, &m_recurRow);
        }
    }
}

void CViewBoard::measureLongRows()
{
    const QFontMetrics metrics(rowFont());
    for (const int row : {m_attendeeRow, m_categoryRow, m_recurRow}) {
        if (row < 0)
            continue;
        const QRect r = metrics.boundingRect(QRect(kValueLeft, 0, std::max(width(), kWidth) - kValueLeft, 1000),
                                             Qt::TextWordWrap, m_values[static_cast<size_t>(row)].toQString());
        m_heights[static_cast<size_t>(row)] = std::clamp(r.height(), kRowHeight, kLongRowMax);
    }
}

int CViewBoard::rowsBottom() const
{
    int y = m_rowsTop;
    for (const int h : m_heights)
        y += h;
    return y;
}

void CViewBoard::buildNote(const CCeDBRecord& record)
{
    m_rowsTop = kTitleHeight;
    m_noteTop = m_rowsTop + GetRowCount() * kRowHeight + 5;
    const std::vector<BYTE> note = ZuRecordBytes(record, ZUID_APT_NOTE);
    closeInk();
    if (!note.empty() && ZuInkXAvailable())
        m_ink = ZuCreateInkWindow(this, true);
    if (!m_ink) {
        if (m_expand)
            m_expand->hide();
        return;
    }
    m_hasNote = true;
    m_ink->setObjectName(QStringLiteral("InkX"));
    ZuMessageEvent set(INKM_SETDATA, static_cast<WPARAM>(note.size()), reinterpret_cast<LPARAM>(note.data()));
    QCoreApplication::sendEvent(m_ink, &set);
    INKVIEWATTR attr;
    attr.mask = 15;
    attr.value8 = 2;
    attr.zoom = 100;
    attr.lines = 16;
    attr.value4 = 0;
    attr.reserved = 0;
    ZuMessageEvent view(INKM_SETVIEWATTR, 0, reinterpret_cast<LPARAM>(&attr));
    QCoreApplication::sendEvent(m_ink, &view);
    // Beside a note every row takes one line; the long ones end in "...".
    QImage scratch(1, 1, QImage::Format_ARGB32);
    QPainter measure(&scratch);
    measure.setFont(rowFont());
    for (const int row : {m_attendeeRow, m_categoryRow, m_recurRow}) {
        if (row < 0)
            continue;
        CString& value = m_values[static_cast<size_t>(row)];
        value = GetEllipsisText(&measure, value, QRect(kValueLeft, 0, kValueRight - kValueLeft, kRowHeight));
        m_heights[static_cast<size_t>(row)] = kRowHeight;
    }
    if (!m_expand) {
        m_expand = new CCeButtonST(this, IDC_EXPAND);
        m_expand->DrawBorder(FALSE);  // its click comes as WM_COMMAND 1042
    }
    m_expand->setGeometry(width() - kButton, m_rowsTop - kButton, kButton, kButton);
    m_expand->show();
    ExpandInkXWindow(m_bExpanded);
}

void CViewBoard::ExpandInkXWindow(BOOL expanded)
{
    if (!m_ink || !m_expand)
        return;
    const int bottom = height() - (m_bar ? m_bar->height() : 0);
    const int w = width();
    if (expanded) {
        m_expand->SetBitmaps(ZuCompLibRes::BmpBoardExpanded, RGB(255, 255, 255), 0, RGB(255, 255, 255), ZuModule::CompLib);
        m_expand->setGeometry(w - kButton, m_noteTop - kButton, kButton, kButton);
        m_ink->setGeometry(0, m_noteTop, w, std::max(0, bottom - m_noteTop));
    } else {
        m_expand->SetBitmaps(ZuCompLibRes::BmpBoardCollapsed, RGB(255, 255, 255), 0, RGB(255, 255, 255), ZuModule::CompLib);
        m_expand->setGeometry(w - kButton, m_rowsTop - kButton, kButton, kButton);
        m_ink->setGeometry(0, m_rowsTop, w, std::max(0, bottom - m_rowsTop + 1));
    }
    m_ink->show();
    m_expand->raise();
    update();
}

void CViewBoard::OnButtonExpand()
{
    m_bExpanded = !m_bExpanded;
    ExpandInkXWindow(m_bExpanded);
}

void CViewBoard::closeInk()
{
    if (m_ink) {
        m_ink->close();
        delete m_ink;
    }
}

void CViewBoard::paintEvent(QPaintEvent* e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    BoardPaint b;
    b.icons = &m_icons;
    b.iconIndex = m_iconIndex;
    b.rowsTop = m_rowsTop;
    b.width = width();
    b.labels = &m_labels;
    b.values = &m_values;
    b.heights = &m_heights;
    paintBoard(p, b);
}

bool CViewBoard::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        switch (m->message()) {
        case WM_COMMAND:
            switch (LOWORD(m->wParam())) {
            case ID_OK: closeInk(); done(IDOK); break;
            case ID_EDIT: OnEditEvent(); break;
            case ID_DELETE: OnDeleteEvent(); break;
            case IDC_EXPAND: OnButtonExpand(); break;
            default: return QDialog::event(e);
            }
            m->setResult(0);
            return true;
        case DB_CEOID_CREATED:
        case DB_CEOID_RECORD_DELETED:
        case DB_CEOID_CHANGED:
            OnNotifyDBChange(m->message(), static_cast<CEOID>(m->wParam()));
            m->setResult(0);
            return true;
        default: break;
        }
    }
    return QDialog::event(e);
}

void CViewBoard::OnNotifyDBChange(UINT message, CEOID oid)
{
    if (oid != m_oid || !isVisible())
        return;
    // Changed elsewhere (or by the editor): shown anew; gone: nothing left to show.
    if (message == DB_CEOID_RECORD_DELETED || !InitViewBoard()) {
        closeInk();
        done(IDOK);
    }
}

void CViewBoard::closeEvent(QCloseEvent* e)
{
    closeInk();
    QDialog::closeEvent(e);
}

void CViewBoard::reject()
{
    closeInk();
    done(IDCANCEL);
}

void CViewBoard::OnEditEvent()
{
    CEOID oid = m_oid;
    const int result = m_selector == ZU_SEL_TASKS ? ZuEditTask(this, CString(), oid) : ZuEditAppointment(this, CString(), oid);
    if (result == IDOK) {
        InitViewBoard();
        update();
    } else if (result == 0) {
        // The save failed and the user was told: the board closes.
        closeInk();
        done(IDCANCEL);
    }
}

void CViewBoard::OnDeleteEvent()
{
    const wchar_t* caption = m_selector == ZU_SEL_TASKS ? L"할일" : L"일정";
    if (MessageBox(this, kDeleteQuestion, caption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    bool ok = false;
    if (m_selector == ZU_SEL_APPOINTMENTS && m_recurring && m_occurrence) {
        QPoint at = m_delete ? m_delete->mapToGlobal(QPoint(0, 0)) : mapToGlobal(QPoint(0, height()));
        const UINT choice = ZuPopupMenu(this, {ZuMenuEntry{ID_DELETE_ONE, kDeleteOne}, ZuMenuEntry{ID_DELETE_ALL, kDeleteAll}},
                                        at, ZuMenuAnchor::BottomLeft);
        if (choice == 0)
            return;
        ok = choice == ID_DELETE_ONE ? skipOccurrence() : deleteWhole();
    } else {
        ok = deleteWhole();
    }
    if (!ok) {
        MessageBox(this, kDeleteFailed, caption, MB_OK | MB_ICONWARNING);
        return;
    }
    closeInk();
    QDialog::done(IDOK);
}

bool CViewBoard::deleteWhole()
{
    CCeDBDatabase db;
    const bool deleted = GetDatabasePtr(&db, m_selector) && DeleteRecord(&db, m_oid, m_selector);
    CloseDatabase(&db);
    return deleted;
}

bool CViewBoard::skipOccurrence()
{
    // The date the pattern walks for this occurrence: its wall-clock day, a lunar pattern's in
    // lunar dates.
    ULONGLONG date = dayOf(*m_occurrence);
    if (m_lunar) {
        FILETIME lunar = *m_occurrence;
        if (!FromSunToMoon(lunar))
            return false;
        date = dayOf(lunar);
    }
    ZuStoreBatch batch;
    CPoomApplication app;
    app.Logon(0);
    std::unique_ptr<CPoomAppointment> item;
    if (app.GetItemFromOid(m_oid, &item) != S_OK || !item)
        return false;
    ZuSkippedDates skipped;
    item->get_SkippedDates(&skipped);
    skipped.push_back(date);
    std::sort(skipped.begin(), skipped.end());
    item->put_SkippedDates(skipped);
    if (item->Save() != S_OK)
        return false;
    return !batch.ok() || batch.Commit();
}
