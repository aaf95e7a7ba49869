// zucalendardoc.h - the calendar's document: its view settings, dates and range, category filter,
// holidays, clipboard and the loading thread whose items every view shows.
//
// The document never draws; what it wants shown goes through ICalendarFrame. The view settings
// live under HKEY_CURRENT_USER "Software\Tandemoor\Pims\Calendar" ("ViewStyle", "ViewType",
// "ViewContents", "CatyType", "CatyStr", "Category.nCount", "Category.CmdID.%d",
// "Category.Index.%d"): read once at construction (a value out of range reads as its default) and
// written back at destruction.
//
// Loads: RequestLoad snapshots the settings into a LoadRequest for the loading thread. When a
// load is done the document takes its result over (Items(), Counts(), Layout() read that copy
// until the next hand-over) and then sends WM_ITEMS_LOADED to the view that asked. Destroying the
// document stops the thread first.
#pragma once

#include "calendaritem.h"
#include "calendarframe.h"
#include "categorymenu.h"
#include "holidaytable.h"
#include "loadingthread.h"
#include "resource.h"
#include "cedbrecord.h"

#include <QObject>

#include <memory>

constexpr COLORREF ZU_SUNDAY_COLOR = 0x0000FF;    // RGB(255, 0, 0)
constexpr COLORREF ZU_SATURDAY_COLOR = 0xFF0000;  // RGB(0, 0, 255)

// Paste modes.
constexpr int ZU_PASTE_DATE_TIME = 0;  // the target's date and time
constexpr int ZU_PASTE_DATE = 1;       // the target's date, the record's time
constexpr int ZU_PASTE_TIME = 2;       // the record's date, the target's time

class CZuCalendarDoc : public QObject {
    Q_OBJECT
public:
    explicit CZuCalendarDoc(ICalendarFrame* frame = nullptr, QObject* parent = nullptr);
    ~CZuCalendarDoc() override;

    void SetFrame(ICalendarFrame* frame) { m_frame = frame; }
    ICalendarFrame* Frame() const { return m_frame; }
    // Whether the view settings are written back at destruction (tools that borrow the document
    // for one load leave the user's settings alone).
    void SetPersistent(bool persistent) { m_persistent = persistent; }
    // Sets the category filter directly (mode 0, 1, 2 or 4 and the chosen category indexes).
    void SetCategoryFilter(int mode, const std::vector<int>& indexes, const CString& text);
    void SetShowPrivate(bool show) { m_showPrivate = show; }
    // Called by the frame once its bars exist: button texts, then the stored type and style.
    void InitialUpdate();

    // Loads.
    void RequestLoad(QObject* target);
    LoadRequest CurrentRequest() const;
    const std::vector<CalendarItem>& Items() const { return m_loaded.items; }
    const ItemCounts& Counts() const { return m_loaded.counts; }
    const DayLayout& Layout() const { return m_loaded.layout; }
    // Why the last load could not read the store (empty when it could). The user is told in a
    // message box when a load first fails so; the items are then none.
    const CString& LoadFailure() const { return m_loaded.failure; }
    CLoadingThread& LoadingThread() { return *m_thread; }

    // Settings.
    void SetViewType(int type, bool requestLoad);
    void SetViewStyle(int style);
    void SetViewContents(DWORD contents);
    int ViewType() const { return m_viewType; }
    int ViewStyle() const { return m_viewStyle; }
    DWORD ViewContents() const { return m_contents; }
    int CategoryMode() const { return m_catyType; }
    const CString& CategoryText() const { return m_catyStr; }
    const std::vector<ChosenCategory>& ChosenCategories() const { return m_chosen; }
    bool ShowPrivate() const { return m_showPrivate; }
    bool ListBigFont() const { return m_listBigFont; }
    int WeekStartHour() const { return m_weekStartHour; }
    int WeekEndHour() const { return m_weekEndHour; }
    bool LeftScroll() const { return m_leftScroll; }
    bool TaskStatusBar() const { return m_taskStatusBar; }
    bool LayoutChanged() const { return m_layoutChanged; }
    void ClearLayoutChanged() { m_layoutChanged = false; }

    // Dates (local).
    const SYSTEMTIME& Today() const { return m_today; }
    const SYSTEMTIME& CurrentDate() const { return m_current; }
    // Takes year, month and day of `date` as the current date and recomputes its day of week and
    // the range of the current view type.
    void SetCurrentDate(const SYSTEMTIME& date);
    // Sets the range directly; the year type, which has no range rule of its own, keeps it.
    void SetRange(FILETIME start, FILETIME end)
    {
        m_rangeStart = start;
        m_rangeEnd = end;
    }
    FILETIME RangeStart() const { return m_rangeStart; }
    FILETIME RangeEnd() const { return m_rangeEnd; }
    int FirstDayOfWeek() const { return m_firstDayOfWeek; }
    // Sets the first day of the week (0 Sunday, 1 Monday) in place of the locale's, as tests of
    // the other start need, and recomputes the range.
    void SetFirstDayOfWeek(int day)
    {
        m_firstDayOfWeek = day == 1 ? 1 : 0;
        computeRange();
    }

    // Caption and holidays.
    void UpdateCaption();
    const CString& CaptionText() const { return m_caption; }
    COLORREF CaptionColor() const { return m_captionColor; }
    // The day's holiday: by the public holiday rules for the years they cover, else the stored table.
    std::optional<DayHoliday> HolidayFor(const SYSTEMTIME& date) const { return m_holidays.HolidayFor(date); }
    const CHolidayTable& Holidays() const { return m_holidays; }

    // Commands, option changes and the category menu.
    bool OnCommand(UINT id);
    void OnDateChanged(const SYSTEMTIME& date);
    void OnOptionChanged(WPARAM code, LPARAM value);
    std::vector<CategoryMenuItem> BuildCategoryMenu();
    void OnCategoryCommand(UINT id);

    // Record commands; `index` is an index into Items(). A zeroed `date` (wYear 0) is "no date":
    // the editor then uses its own default.
    void NewRecord(int kind, const SYSTEMTIME& date, bool anniversary);
    bool CopyItem(int index);
    bool CutItem(int index);
    // The same by identity: the record `oid` of database `kind` (1 or 4), acted on only while it
    // still exists there; false otherwise. Views resolve the identity when a menu opens or before
    // they ask, so a reload in between never makes them act on another record.
    bool CopyRecord(int kind, CEOID oid);
    bool CutRecord(int kind, CEOID oid);
    bool DeleteRecordOf(int kind, CEOID oid);
    // Pastes the clipboard record at `date` (local; null to keep the record's own start).
    bool PasteAt(const FILETIME* date, int mode);
    bool DeleteItem(int index);
    bool HasClipboard() const { return m_clipKind > 0; }
    bool StartContacts();

signals:
    // Items(), Counts() and Layout() were replaced by a load's result, whichever view asked.
    void itemsChanged();

protected:
    bool event(QEvent* event) override;

private:
    void readSettings();
    void writeSettings();
    void computeRange();
    void requestActiveLoad();
    void setCategoryText(const CString& text);
    bool takeToClipboard(int kind, CEOID oid, bool cut);
    void sendItemsLoaded(QObject* view, WPARAM wParam);

    ICalendarFrame* m_frame = nullptr;
    int m_viewType = ZU_VIEW_DAY;
    int m_viewStyle = ZU_STYLE_LIST;
    DWORD m_contents = ZU_SHOW_ALL;
    int m_catyType = ZU_CATY_ALL;
    CString m_catyStr;
    std::vector<ChosenCategory> m_chosen;
    std::vector<CategoryMenuItem> m_menu;  // the category menu last built

    SYSTEMTIME m_today{};
    SYSTEMTIME m_current{};
    FILETIME m_rangeStart{};
    FILETIME m_rangeEnd{};
    int m_firstDayOfWeek = 0;

    bool m_showPrivate = true;
    bool m_listBigFont = false;
    int m_weekStartHour = 6;
    int m_weekEndHour = 24;
    bool m_leftScroll = false;
    bool m_taskStatusBar = false;
    bool m_layoutChanged = false;
    bool m_persistent = true;

    CString m_caption;
    COLORREF m_captionColor = 0;
    CHolidayTable m_holidays;
    CString m_installDir;

    CCeDBRecord m_clip;
    int m_clipKind = -1;  // database selector of the clipboard record, -1 when empty
    bool m_clipIsCopy = false;

    LoadResult m_loaded;  // the result last handed over; what the views read
    CString m_failureShown;  // the load failure last shown in a box, until a load succeeds
    std::unique_ptr<CLoadingThread> m_thread;
};
