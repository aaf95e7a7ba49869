#include "zucalendardoc.h"

#include "datetimeutil.h"
#include "filetime.h"
#include "lunar.h"
#include "messagebox.h"
#include "optionrecords.h"
#include "pimstore.h"
#include "programstart.h"
#include "recordlayouts.h"
#include "registrykeys.h"
#include "stringtable.h"
#include "textutil.h"
#include "voregistry.h"
#include "windowmessage.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

constexpr int kMaxChosen = 1024;  // more chosen categories than any bitmap can name are not read

SYSTEMTIME withDayOfWeek(SYSTEMTIME date)
{
    date.wHour = date.wMinute = date.wSecond = date.wMilliseconds = 0;
    if (date.wMonth >= 1 && date.wMonth <= 12 && date.wYear >= 1601)
        date.wDay = static_cast<WORD>(std::clamp<int>(date.wDay, 1, ZuDaysInMonth(date.wYear, date.wMonth)));
    FILETIME ft{};
    if (SystemTimeToFileTime(&date, &ft))
        FileTimeToSystemTime(&ft, &date);
    return date;
}

SYSTEMTIME addDays(const SYSTEMTIME& date, int days)
{
    FILETIME ft{};
    if (!SystemTimeToFileTime(&date, &ft))
        return date;
    const LONGLONG delta = static_cast<LONGLONG>(days) * static_cast<LONGLONG>(ZU_TICKS_PER_DAY);
    const ULONGLONG moved = ZuFileTimeToU64(ft) + static_cast<ULONGLONG>(delta);
    SYSTEMTIME out = date;
    const FILETIME result = ZuU64ToFileTime(moved);
    FileTimeToSystemTime(&result, &out);
    return out;
}

SYSTEMTIME addMonths(SYSTEMTIME date, int months)
{
    int index = date.wYear * 12 + (date.wMonth - 1) + months;
    date.wYear = static_cast<WORD>(index / 12);
    date.wMonth = static_cast<WORD>(index % 12 + 1);
    return withDayOfWeek(date);
}

int localeFirstDayOfWeek()
{
    // Only Sunday and Monday starts are supported by the week range; any other start is Sunday.
    switch (QLocale::system().firstDayOfWeek()) {
    case Qt::Monday:
        return 1;
    default:
        return 0;
    }
}

}  // namespace

CZuCalendarDoc::CZuCalendarDoc(ICalendarFrame* frame, QObject* parent) : QObject(parent), m_frame(frame)
{
    // First, so that the loading thread reads what every load needs while the rest is set up.
    m_thread = std::make_unique<CLoadingThread>(this);
    m_firstDayOfWeek = localeFirstDayOfWeek();
    GetLocalTime(&m_today);
    m_today = withDayOfWeek(m_today);
    m_current = m_today;
    GetDayDuration(m_current, &m_rangeStart, &m_rangeEnd);
    readSettings();

    const _tabGeneralOpt general = GetGeneralOpt();
    const _tabCalendarOpt calendar = GetCalendarOpt();
    const _tabTaskOpt task = GetTaskOpt();
    m_showPrivate = !calendar.bPrivateFlag;
    m_listBigFont = calendar.bBigFontFlag;
    m_weekStartHour = calendar.nWvStartTime;
    m_weekEndHour = calendar.nWvEndTime;
    m_leftScroll = general.bLeftScrollFlag;
    m_taskStatusBar = task.bStatusBarFlag;

    CVORegistry pims(HKEY_CURRENT_USER, ZuReg::Pims, FALSE);
    m_installDir = pims.ReadString(ZuReg::InstallDir, nullptr);

    if (!m_holidays.Load())
        DisplayLastError(CString(L"ZuCalendar"));
}

CZuCalendarDoc::~CZuCalendarDoc()
{
    m_thread->Stop();
    if (m_persistent)
        writeSettings();
}

void CZuCalendarDoc::readSettings()
{
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Calendar, TRUE);
    const DWORD style = key.ReadDWORD(L"ViewStyle", 0);
    const DWORD type = key.ReadDWORD(L"ViewType", 0);
    const DWORD contents = key.ReadDWORD(L"ViewContents", ZU_SHOW_ALL);
    const DWORD caty = key.ReadDWORD(L"CatyType", 0);
    m_viewStyle = style <= 1 ? static_cast<int>(style) : ZU_STYLE_LIST;
    m_viewType = type <= 3 ? static_cast<int>(type) : ZU_VIEW_DAY;
    m_contents = contents <= ZU_SHOW_ALL ? contents : ZU_SHOW_ALL;
    m_catyType = (caty == 0 || caty == 1 || caty == 2 || caty == 4) ? static_cast<int>(caty) : ZU_CATY_ALL;
    m_catyStr = key.ReadString(L"CatyStr", ZuLoadString(ZuStr::AllGroups));
    if (caty != static_cast<DWORD>(m_catyType))
        m_catyStr = ZuLoadString(ZuStr::AllGroups);
    m_chosen.clear();
    if (m_catyType != ZU_CATY_ALL) {
        const DWORD count = std::min<DWORD>(key.ReadDWORD(L"Category.nCount", 0), kMaxChosen);
        for (DWORD i = 0; i < count; ++i) {
            CString name;
            name.Format(L"Category.CmdID.%d", static_cast<int>(i));
            const DWORD cmd = key.ReadDWORD(name, 0);
            name.Format(L"Category.Index.%d", static_cast<int>(i));
            const DWORD index = key.ReadDWORD(name, 0);
            if (index > 32767)
                continue;
            const UINT id = (cmd >= ZU_CMD_CATEGORY_NONE && cmd <= ZU_CMD_CATEGORY_LAST) ? cmd : 0;
            m_chosen.push_back(ChosenCategory{id, static_cast<int>(index)});
        }
    }
}

void CZuCalendarDoc::writeSettings()
{
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Calendar, TRUE);
    key.WriteDWORD(L"ViewStyle", static_cast<DWORD>(m_viewStyle));
    key.WriteDWORD(L"ViewType", static_cast<DWORD>(m_viewType));
    key.WriteDWORD(L"ViewContents", m_contents);
    key.WriteDWORD(L"CatyType", static_cast<DWORD>(m_catyType));
    key.WriteString(L"CatyStr", m_catyStr);
    if (m_catyType == ZU_CATY_ALL)
        return;
    key.WriteDWORD(L"Category.nCount", static_cast<DWORD>(m_chosen.size()));
    for (size_t i = 0; i < m_chosen.size(); ++i) {
        CString name;
        name.Format(L"Category.CmdID.%d", static_cast<int>(i));
        key.WriteDWORD(name, m_chosen[i].cmdId);
        name.Format(L"Category.Index.%d", static_cast<int>(i));
        key.WriteDWORD(name, static_cast<DWORD>(m_chosen[i].index));
    }
}

void CZuCalendarDoc::InitialUpdate()
{
    setCategoryText(m_catyStr);
    if (m_frame)
        m_frame->SetContentButtons(m_contents);
    const int type = m_viewType, style = m_viewStyle;
    m_viewStyle = ZU_STYLE_LIST;
    SetViewType(type, !(type == ZU_VIEW_MONTH && style == ZU_STYLE_GRAPHIC));
    SetViewStyle(style);
}

LoadRequest CZuCalendarDoc::CurrentRequest() const
{
    LoadRequest request;
    request.viewType = m_viewType;
    request.contents = m_contents;
    request.catyType = m_catyType;
    for (const ChosenCategory& c : m_chosen)
        request.chosenIndexes.push_back(c.index);
    request.rangeStart = m_rangeStart;
    request.rangeEnd = m_rangeEnd;
    request.showPrivate = m_showPrivate;
    return request;
}

void CZuCalendarDoc::RequestLoad(QObject* target)
{
    m_thread->Request(CurrentRequest(), target);
}

void CZuCalendarDoc::requestActiveLoad()
{
    RequestLoad(m_frame ? m_frame->ActiveView() : nullptr);
}

bool CZuCalendarDoc::event(QEvent* e)
{
    if (e->type() != ZuMessageEvent::eventType())
        return QObject::event(e);
    auto* message = static_cast<ZuMessageEvent*>(e);
    if (message->message() != ZU_WM_LOAD_DONE)
        return QObject::event(e);
    LoadResult result;
    QPointer<QObject> target;
    if (m_thread->TakeResult(result, target)) {
        m_loaded = std::move(result);
        emit itemsChanged();
        if (m_loaded.failure.IsEmpty()) {
            m_failureShown.Empty();
        } else if (m_loaded.failure != m_failureShown) {
            m_failureShown = m_loaded.failure;
            const CString text = CString(L"저장된 일정을 읽을 수 없습니다!\n\n") + m_loaded.failure;
            MessageBox(nullptr, text, L"ZuCalendar", MB_OK | MB_ICONERROR);
        }
        if (target)
            sendItemsLoaded(target, 0);
    }
    message->setResult(0);
    return true;
}

void CZuCalendarDoc::sendItemsLoaded(QObject* view, WPARAM wParam)
{
    if (!view)
        return;
    ZuMessageEvent message(WM_ITEMS_LOADED, wParam, 0);
    QCoreApplication::sendEvent(view, &message);
}

void CZuCalendarDoc::computeRange()
{
    switch (m_viewType) {
    case ZU_VIEW_DAY:
        GetDayDuration(m_current, &m_rangeStart, &m_rangeEnd);
        break;
    case ZU_VIEW_WEEK:
        GetWeekDuration(m_current, &m_rangeStart, &m_rangeEnd, static_cast<WORD>(m_firstDayOfWeek));
        break;
    case ZU_VIEW_MONTH:
        if (m_viewStyle == ZU_STYLE_GRAPHIC) {
            // The month grid: six weeks from the first day of the week on or before the 1st.
            SYSTEMTIME first = m_current;
            first.wDay = 1;
            first = withDayOfWeek(first);
            const int back = (first.wDayOfWeek - m_firstDayOfWeek + 7) % 7;
            const SYSTEMTIME start = addDays(first, -back);
            SystemTimeToFileTime(&start, &m_rangeStart);
            m_rangeEnd = ZuU64ToFileTime(ZuFileTimeToU64(m_rangeStart) + 42 * ZU_TICKS_PER_DAY - 1);
        } else {
            GetMonthDuration(m_current, &m_rangeStart, &m_rangeEnd, 0);
        }
        break;
    default:
        break;  // the year type keeps its range
    }
}

void CZuCalendarDoc::SetCurrentDate(const SYSTEMTIME& date)
{
    m_current = withDayOfWeek(date);
    computeRange();
}

void CZuCalendarDoc::SetViewType(int type, bool requestLoad)
{
    if (type < ZU_VIEW_DAY || type > ZU_VIEW_YEAR)
        return;
    m_viewType = type;
    if (m_viewStyle == ZU_STYLE_GRAPHIC && m_frame)
        m_frame->SwitchView(type, m_viewStyle);
    computeRange();
    if (requestLoad)
        RequestLoad(m_frame ? m_frame->ViewFor(type, m_viewStyle) : nullptr);
    if (m_frame)
        m_frame->SetViewTypeButtons(type);
    UpdateCaption();
}

void CZuCalendarDoc::SetViewStyle(int style)
{
    style = style ? ZU_STYLE_GRAPHIC : ZU_STYLE_LIST;
    if (style != m_viewStyle) {
        m_viewStyle = style;
        if (m_viewType == ZU_VIEW_MONTH) {
            computeRange();
            RequestLoad(m_frame ? m_frame->ViewFor(ZU_VIEW_MONTH, style) : nullptr);
        }
        if (m_frame)
            m_frame->SwitchView(m_viewType, style);
        if (style == ZU_STYLE_GRAPHIC) {
            if (m_frame)
                m_frame->HideLeftScrollBar();
        } else {
            m_layoutChanged = true;
        }
        if (m_frame)
            m_frame->SetStyleButton(style);
    }
    if (m_frame)
        sendItemsLoaded(m_frame->ViewFor(m_viewType, m_viewStyle), 0);
}

void CZuCalendarDoc::SetViewContents(DWORD contents)
{
    m_contents = contents & ZU_SHOW_ALL;
    if (m_frame)
        m_frame->SetContentButtons(m_contents);
}

void CZuCalendarDoc::UpdateCaption()
{
    const SYSTEMTIME& d = m_current;
    SYSTEMTIME start{}, end{};
    FileTimeToSystemTime(&m_rangeStart, &start);
    FileTimeToSystemTime(&m_rangeEnd, &end);
    m_captionColor = 0;
    CString title(L"ZuCalendar");
    switch (m_viewType) {
    case ZU_VIEW_DAY: {
        int lunarMonth = 0, lunarDay = 0;
        const bool lunar = ZuSunToMoon(d.wYear, d.wMonth, d.wDay, nullptr, &lunarMonth, &lunarDay, nullptr);
        const CString weekday = GetPoomDayOfWeekString(1L << d.wDayOfWeek, 0);
        CString format = ZuLoadString(ZuStr::CaptionDay);
        if (!lunar) {
            // Outside the lunar table the caption has no lunar date: the format ends before " [".
            const int bracket = format.Find(L" [");
            if (bracket >= 0)
                format = format.Left(bracket);
        }
        m_caption.Format(format, d.wYear, d.wMonth, d.wDay, static_cast<const wchar_t*>(weekday), lunarMonth, lunarDay);
        const std::optional<DayHoliday> holiday = HolidayFor(d);
        if ((holiday && holiday->red) || d.wDayOfWeek == 0)
            m_captionColor = ZU_SUNDAY_COLOR;
        else if (d.wDayOfWeek == 6)
            m_captionColor = ZU_SATURDAY_COLOR;
        if (holiday)
            title = holiday->name;
        break;
    }
    case ZU_VIEW_WEEK: {
        const int nth = GetNthWeekOfDate(start.wYear, start.wMonth, start.wDay, static_cast<WORD>(m_firstDayOfWeek));
        const CString week = GetInstanceString(nth, 0) + ZuLoadString(ZuStr::Week);
        if (start.wMonth == end.wMonth)
            m_caption.Format(ZuLoadString(ZuStr::CaptionWeek), start.wYear, start.wMonth, start.wDay, end.wDay,
                static_cast<const wchar_t*>(week));
        else
            m_caption.Format(ZuLoadString(ZuStr::CaptionWeekAcross), start.wYear, start.wMonth, start.wDay, end.wMonth, end.wDay,
                static_cast<const wchar_t*>(week));
        break;
    }
    case ZU_VIEW_MONTH:
        m_caption.Format(ZuLoadString(ZuStr::CaptionMonth), d.wYear, d.wMonth);
        break;
    default:
        m_caption.Format(ZuLoadString(ZuStr::CaptionYear), d.wYear);
        break;
    }
    if (m_frame) {
        m_frame->SetWindowTitle(title);
        m_frame->SetCaption(m_caption, m_captionColor, m_current);
    }
}

void CZuCalendarDoc::OnDateChanged(const SYSTEMTIME& date)
{
    if (m_viewType == ZU_VIEW_MONTH && m_frame)
        m_frame->CloseDateDropDown();
    SetCurrentDate(date);
    requestActiveLoad();
    UpdateCaption();
}

bool CZuCalendarDoc::OnCommand(UINT id)
{
    if (id == ZU_CMD_PREV || id == ZU_CMD_NEXT) {
        const int step = id == ZU_CMD_PREV ? -1 : 1;
        switch (m_viewType) {
        case ZU_VIEW_DAY: m_current = addDays(m_current, step); break;
        case ZU_VIEW_WEEK: m_current = addDays(m_current, 7 * step); break;
        case ZU_VIEW_MONTH: m_current = addMonths(m_current, step); break;
        default: m_current = addMonths(m_current, 12 * step); break;
        }
        computeRange();
        requestActiveLoad();
        UpdateCaption();
        return true;
    }
    if (id >= ZU_CMD_VIEW_DAY && id <= ZU_CMD_VIEW_YEAR) {
        const int type = static_cast<int>(id - ZU_CMD_VIEW_DAY);
        if (type != m_viewType)
            SetViewType(type, true);
        return true;
    }
    if (id == ZU_CMD_STYLE) {
        SetViewStyle(m_viewStyle == ZU_STYLE_LIST ? ZU_STYLE_GRAPHIC : ZU_STYLE_LIST);
        return true;
    }
    if (id >= ZU_CMD_SHOW_APPOINTMENTS && id <= ZU_CMD_SHOW_RECURRING) {
        m_contents ^= 1u << (id - ZU_CMD_SHOW_APPOINTMENTS);
        requestActiveLoad();
        if (m_frame)
            m_frame->SetContentButtons(m_contents);
        return true;
    }
    if (id == ZU_CMD_CATEGORY_BUTTON) {
        if (m_frame) {
            const UINT chosen = m_frame->ShowCategoryMenu(BuildCategoryMenu());
            if (chosen)
                OnCategoryCommand(chosen);
        }
        return true;
    }
    if (id >= ZU_CMD_CATEGORY_NONE && id <= ZU_CMD_CATEGORY_ALL) {
        OnCategoryCommand(id);
        return true;
    }
    if (id == ZU_CMD_OPTIONS) {
        if (m_frame)
            m_frame->ShowOptions();
        return true;
    }
    if (id == ZU_CMD_CONTACTS) {
        StartContacts();
        return true;
    }
    return false;
}

void CZuCalendarDoc::OnOptionChanged(WPARAM code, LPARAM value)
{
    switch (code) {
    case 2: {
        const bool left = value != 0;
        if (left != m_leftScroll)
            m_layoutChanged = true;
        m_leftScroll = left;
        if (m_viewStyle == ZU_STYLE_LIST && m_frame)
            sendItemsLoaded(m_frame->ViewFor(m_viewType, ZU_STYLE_LIST), 0);
        break;
    }
    case 33: {
        const bool show = value != 1;
        if (show != m_showPrivate) {
            m_showPrivate = show;
            requestActiveLoad();
        }
        break;
    }
    case 34:
        m_listBigFont = value != 0;
        if (m_viewStyle == ZU_STYLE_LIST && m_frame)
            m_frame->SetListBigFont(m_listBigFont);
        break;
    case 37: {
        const int start = static_cast<int>(value & 0xFFFF), end = static_cast<int>((value >> 16) & 0xFFFF);
        if (start < 0 || start >= end || end > 24)
            break;  // an hour pair the week view cannot draw is not taken
        m_weekStartHour = start;
        m_weekEndHour = end;
        if (m_frame)
            sendItemsLoaded(m_frame->ViewFor(ZU_VIEW_WEEK, ZU_STYLE_GRAPHIC), 1);
        break;
    }
    case 52:
        m_taskStatusBar = value != 0;
        if (m_viewStyle == ZU_STYLE_LIST && m_frame)
            m_frame->InvalidateListView();
        break;
    default:
        break;
    }
}

void CZuCalendarDoc::SetCategoryFilter(int mode, const std::vector<int>& indexes, const CString& text)
{
    m_catyType = mode;
    m_chosen.clear();
    for (int index : indexes)
        m_chosen.push_back(ChosenCategory{0, index});
    setCategoryText(text);
}

void CZuCalendarDoc::setCategoryText(const CString& text)
{
    m_catyStr = text;
    if (m_frame)
        m_frame->SetCategoryButtonText(text);
}

std::vector<CategoryMenuItem> CZuCalendarDoc::BuildCategoryMenu()
{
    bool any = false;
    const std::vector<CategoryRecord> categories = ZuReadCategories(&any);
    m_menu = ZuBuildCategoryMenu(categories, any, m_catyType, m_chosen);
    return m_menu;
}

void CZuCalendarDoc::OnCategoryCommand(UINT id)
{
    const int oldMode = m_catyType;
    bool load = true;
    if (id == ZU_CMD_CATEGORY_ALL) {
        m_catyType = ZU_CATY_ALL;
        m_chosen.clear();
        setCategoryText(ZuLoadString(ZuStr::AllGroups));
        load = oldMode != m_catyType;
    } else if (id == ZU_CMD_CATEGORY_NONE) {
        m_catyType = ZU_CATY_NONE;
        m_chosen.clear();
        setCategoryText(ZuLoadString(ZuStr::NoGroup));
    } else if (id >= ZU_CMD_CATEGORY_FIRST && id <= ZU_CMD_CATEGORY_LAST) {
        const CategoryMenuItem* item = nullptr;
        for (const CategoryMenuItem& m : m_menu)
            if (m.id == id)
                item = &m;
        if (!item)
            return;
        const CString text = item->text;
        if (m_catyType == ZU_CATY_ONE && m_chosen.size() == 1 && m_chosen[0].cmdId == id) {
            setCategoryText(text);
            return;
        }
        CCeDBDatabase categories;
        const int index = GetDatabasePtr(&categories, ZU_SEL_CATEGORIES) ? GetDBCategoryIndex(&categories, text) : -1;
        if (index < 0)
            return;  // renamed or deleted since the menu was shown
        m_catyType = ZU_CATY_ONE;
        m_chosen = {ChosenCategory{id, index}};
        setCategoryText(text);
    } else if (id == ZU_CMD_CATEGORY_SEVERAL) {
        std::vector<int> indexes;
        for (const ChosenCategory& c : m_chosen)
            indexes.push_back(c.index);
        if (!m_frame || !m_frame->RunCategorySheet(indexes)) {
            setCategoryText(m_catyStr);
            return;
        }
        // Confirming an empty choice keeps the filter as it was (nothing would be shown otherwise).
        if (!indexes.empty()) {
            m_chosen.clear();
            for (int index : indexes)
                m_chosen.push_back(ChosenCategory{0, index});
            if (indexes.size() > 1) {
                m_catyType = ZU_CATY_SEVERAL;
                m_catyStr = ZuLoadString(ZuStr::MultiSelect);
            } else {
                m_catyType = ZU_CATY_ONE;
                m_catyStr = GetDBCategoryName(indexes[0]);
            }
        }
        setCategoryText(m_catyStr);
    } else {
        return;
    }
    if (load)
        requestActiveLoad();
}

void CZuCalendarDoc::NewRecord(int kind, const SYSTEMTIME& date, bool anniversary)
{
    if (m_frame && (kind == ZU_SEL_APPOINTMENTS || kind == ZU_SEL_TASKS))
        m_frame->RunRecordEditor(kind, date, anniversary);
}

bool CZuCalendarDoc::takeToClipboard(int kind, CEOID oid, bool cut)
{
    if (kind != ZU_SEL_APPOINTMENTS && kind != ZU_SEL_TASKS)
        return false;
    CCeDBDatabase db;
    CCeDBRecord record;
    if (!GetDatabasePtr(&db, kind) || !db.SeekToRecord(oid) || !db.ReadCurrRecord(&record))
        return false;
    const WORD recurringId = kind == ZU_SEL_APPOINTMENTS ? ZUID_APT_RECURRING : ZUID_TASK_RECURRING;
    const WORD patternId = kind == ZU_SEL_APPOINTMENTS ? ZUID_APT_RECURRENCE : ZUID_TASK_RECURRENCE;
    if (ZuRecordInt(record, recurringId) == 1) {
        record.DeleteProp(recurringId);
        const CCeDBProp notRecurring(short(0), recurringId);
        record.AddProp(&notRecurring);
        record.DeleteProp(patternId);
    }
    // The skipped dates (0x8801) stay with the copy, as every other property of its own does.
    record.DeleteProp(ZUID_APT_ATTENDEES);
    // The copy must not share the original's reminder: deleting one would unregister the other's.
    record.DeleteProp(ZUID_APT_NOTIFY);
    // Nor the UID it was imported under: a copy is a record of its own, which another import of
    // that file must not take for the original. A cut record moves and keeps it.
    if (!cut) {
        record.DeleteProp(ZUID_APT_UID);  // the tasks' UID has the same identifier
        record.DeleteProp(ZUID_APT_UID_OCCURRENCE);
    }
    m_clip = record;
    m_clipKind = kind;
    m_clipIsCopy = !cut;
    if (cut)
        DeleteRecord(&db, oid, kind);
    return true;
}

bool CZuCalendarDoc::CopyItem(int index)
{
    if (index < 0 || index >= static_cast<int>(m_loaded.items.size()))
        return false;
    return takeToClipboard(m_loaded.items[index].kind, m_loaded.items[index].oid, false);
}

bool CZuCalendarDoc::CutItem(int index)
{
    if (index < 0 || index >= static_cast<int>(m_loaded.items.size()))
        return false;
    return takeToClipboard(m_loaded.items[index].kind, m_loaded.items[index].oid, true);
}

bool CZuCalendarDoc::CopyRecord(int kind, CEOID oid)
{
    return takeToClipboard(kind, oid, false);
}

bool CZuCalendarDoc::CutRecord(int kind, CEOID oid)
{
    return takeToClipboard(kind, oid, true);
}

bool CZuCalendarDoc::PasteAt(const FILETIME* date, int mode)
{
    if (m_clipKind < 0)
        return false;
    CCeDBRecord record = m_clip;
    if (m_clipKind == ZU_SEL_APPOINTMENTS && date) {
        CCeDBProp* start = record.GetIdProp(ZUID_APT_START);
        if (start && start->GetType() == CEVT_FILETIME) {
            const FILETIME utc = start->GetFiletime();
            FILETIME local{};
            SYSTEMTIME own{}, target{};
            FileTimeToLocalFileTime(&utc, &local);
            FileTimeToSystemTime(&local, &own);
            FileTimeToSystemTime(date, &target);
            if (own.wMinute != 0)
                target.wMinute = own.wMinute;
            SYSTEMTIME moved = target;
            if (mode == ZU_PASTE_DATE) {
                moved.wHour = own.wHour;
                moved.wMinute = own.wMinute;
                moved.wSecond = moved.wMilliseconds = 0;
            } else if (mode == ZU_PASTE_TIME) {
                moved.wYear = own.wYear;
                moved.wMonth = own.wMonth;
                moved.wDay = own.wDay;
            }
            FILETIME movedLocal{}, movedUtc{};
            if (!SystemTimeToFileTime(&moved, &movedLocal) || !LocalFileTimeToFileTime(&movedLocal, &movedUtc))
                return false;
            start->SetFiletime(movedUtc);
            // Pasted on a solar date, the start is no longer a lunar date.
            if (mode != ZU_PASTE_TIME)
                record.DeleteProp(ZUID_APT_LUNAR);
        }
    }
    // The pasted record and its category references land together.
    ZuStoreBatch batch;
    CCeDBDatabase db;
    if (!GetDatabasePtr(&db, m_clipKind) || !db.WriteRecord(record, 0))
        return false;
    if (const CCeDBProp* categories = record.GetIdProp(ZUID_APT_CATEGORIES)) {
        CCeDBProp copy = *categories;
        const CEBLOB bitmap = copy.GetBlob();
        AddCategoryRefByBlob(&bitmap, ZuCategoryCounter(m_clipKind));
    }
    if (batch.ok() && !batch.Commit())
        return false;
    if (!m_clipIsCopy) {
        m_clip = CCeDBRecord();
        m_clipKind = -1;
    }
    return true;
}

bool CZuCalendarDoc::DeleteItem(int index)
{
    if (index < 0 || index >= static_cast<int>(m_loaded.items.size()))
        return false;
    return DeleteRecordOf(m_loaded.items[index].kind, m_loaded.items[index].oid);
}

bool CZuCalendarDoc::DeleteRecordOf(int kind, CEOID oid)
{
    if (kind != ZU_SEL_APPOINTMENTS && kind != ZU_SEL_TASKS)
        return false;
    CCeDBDatabase db;
    return GetDatabasePtr(&db, kind) && db.SeekToRecord(oid) && DeleteRecord(&db, oid, kind);
}

bool CZuCalendarDoc::StartContacts()
{
    const CString path = ZuMapProgramPath(m_installDir + L"\\ZuContact.exe");
    CString commandLine;
    commandLine.Format(L"%ld", static_cast<long>(m_frame ? m_frame->MainWindowHandle() : 0));
    if (ZuStartProgram(path, commandLine))
        return true;
    MessageBox(nullptr, L"주소록 프로그램을 실행할 수 없습니다!", L"ZuCalendar", MB_OK | MB_ICONERROR);
    return false;
}
