#include "agendacommand.h"

#include "calendarframe.h"
#include "dateargument.h"
#include "filetime.h"
#include "lasterror.h"
#include "messagebox.h"
#include "pimstore.h"
#include "recordlayouts.h"
#include "registry.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdlib>
#include <optional>
#include <cstring>
#include <string>

namespace {

// The one "view" of the command: it ends the event loop when its items have arrived.
class AgendaView : public QObject {
public:
    bool loaded = false;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED) {
            loaded = true;
            QCoreApplication::quit();
            return true;
        }
        return QObject::event(e);
    }
};

// A frame with nothing to show but the one view.
class AgendaFrame : public ICalendarFrame {
public:
    explicit AgendaFrame(QObject* view) : m_view(view) {}
    QObject* ViewFor(int, int) override { return m_view; }
    QObject* ActiveView() override { return m_view; }
    void SwitchView(int, int) override {}
    void SetCaption(const CString&, COLORREF, const SYSTEMTIME&) override {}
    void SetWindowTitle(const CString&) override {}
    void CloseDateDropDown() override {}
    void SetCategoryButtonText(const CString&) override {}
    void SetViewTypeButtons(int) override {}
    void SetStyleButton(int) override {}
    void SetContentButtons(DWORD) override {}
    void HideLeftScrollBar() override {}
    void SetListBigFont(bool) override {}
    void InvalidateListView() override {}
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>&) override { return 0; }
    bool RunCategorySheet(std::vector<int>&) override { return false; }
    void RunRecordEditor(int, const SYSTEMTIME&, bool) override {}
    void ShowOptions() override {}
    DWORD MainWindowHandle() override { return 0; }

private:
    QObject* m_view;
};

std::string utf8(const CString& text)
{
    return QString::fromStdWString(text.str()).toStdString();
}

std::string isoOf(const FILETIME& ft)
{
    if (ZuIsNoDate(ft))
        return {};
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&ft, &st))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour,
        st.wMinute, st.wSecond);
    return text;
}

std::string tsvField(const CString& text)
{
    std::string s = utf8(text);
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

const char* markerOf(const CalendarItem& item)
{
    if (item.kind == ZU_ITEM_TASK)
        return item.status >= 100 ? "■" : "□";
    if (item.dayClass == ZU_DAY_ANNIVERSARY)
        return "◎";
    return "○";
}

// The holiday of a local date-time's day as the caption names it, or empty.
std::string holidayOf(const CZuCalendarDoc& doc, const FILETIME& local)
{
    SYSTEMTIME day{};
    if (ZuIsNoDate(local) || !FileTimeToSystemTime(&local, &day))
        return {};
    const std::optional<DayHoliday> holiday = doc.HolidayFor(day);
    return holiday ? tsvField(holiday->name) : std::string();
}

// One line for each named day of the range, after the caption: "★ M.D name" for a red day,
// "☆ M.D name" for a named day that is not red.
void printHolidays(const CZuCalendarDoc& doc, FILE* out)
{
    constexpr unsigned long long kDay = 24ULL * 60 * 60 * 10000000;
    const unsigned long long last = ZuFileTimeToU64(doc.RangeEnd());
    for (unsigned long long t = ZuFileTimeToU64(doc.RangeStart()); t <= last; t += kDay) {
        const FILETIME ft = ZuU64ToFileTime(t);
        SYSTEMTIME day{};
        if (!FileTimeToSystemTime(&ft, &day))
            return;
        if (const std::optional<DayHoliday> holiday = doc.HolidayFor(day))
            std::fprintf(out, "%s %d.%d %s\n", holiday->red ? "★" : "☆", day.wMonth, day.wDay, utf8(holiday->name).c_str());
    }
}

int usage(FILE* err, const char* problem, const char* what)
{
    std::fprintf(err, "zupim agenda: %s%s%s\n", problem, what ? ": " : "", what ? what : "");
    std::fprintf(err, "usage: zupim agenda [--day|--week|--month|--year] [YYYY-MM-DD] [--contents N]\n"
                      "                    [--category NAME|--no-category] [--show-private] [--tsv]\n");
    return 2;
}

}  // namespace

int runAgendaCommand(char** args, int count, FILE* out, FILE* err)
{
    int type = ZU_VIEW_DAY;
    DWORD contents = ZU_SHOW_ALL;
    bool tsv = false, showPrivate = false, noCategory = false, haveDate = false;
    const char* category = nullptr;
    SYSTEMTIME date{};
    for (int i = 0; i < count; ++i) {
        const char* a = args[i];
        if (!std::strcmp(a, "--day")) type = ZU_VIEW_DAY;
        else if (!std::strcmp(a, "--week")) type = ZU_VIEW_WEEK;
        else if (!std::strcmp(a, "--month")) type = ZU_VIEW_MONTH;
        else if (!std::strcmp(a, "--year")) type = ZU_VIEW_YEAR;
        else if (!std::strcmp(a, "--tsv")) tsv = true;
        else if (!std::strcmp(a, "--show-private")) showPrivate = true;
        else if (!std::strcmp(a, "--no-category")) noCategory = true;
        else if (!std::strcmp(a, "--category") || !std::strcmp(a, "--contents")) {
            if (i + 1 >= count)
                return usage(err, "missing value after", a);
            const char* value = args[++i];
            if (a[2] == 'c' && a[3] == 'a') {
                category = value;
            } else {
                char* end = nullptr;
                const long n = std::strtol(value, &end, 10);
                if (!*value || *end || n < 0 || n > 15)
                    return usage(err, "contents must be a number from 0 to 15 (1 appointments, 2 anniversaries, "
                                      "4 tasks, 8 recurring)", value);
                contents = static_cast<DWORD>(n);
            }
        } else if (a[0] == '-') {
            return usage(err, "unknown option", a);
        } else if (!haveDate) {
            if (!ZuParseDateArgument(a, date))
                return usage(err, "not a date (expected YYYY-MM-DD)", a);
            haveDate = true;
        } else {
            return usage(err, "more than one date", a);
        }
    }
    if (category && noCategory)
        return usage(err, "--category and --no-category exclude each other", nullptr);

    {
        // The calendar shows an unreadable store as an empty one; a command must say so instead.
        CCeDBDatabase appointments;
        if (!appointments.Open(ZU_DB_APPOINTMENTS)) {
            std::fprintf(err, "zupim agenda: the store cannot be opened: %s\n", utf8(ZuLastErrorText()).c_str());
            return 1;
        }
    }
    // Settings that cannot be read (a damaged registry.db is refused and left as it is) leave the
    // calendar's defaults: the agenda is still printed, and says so.
    {
        HKEY key = nullptr;
        const LONG rc = RegOpenKeyEx(HKEY_CURRENT_USER, L"Software", 0, 0, &key);
        if (key)
            RegCloseKey(key);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            std::fprintf(err, "zupim agenda: the settings cannot be read, the defaults are used: %s\n",
                utf8(ZuLastErrorText()).c_str());
    }
    AgendaView view;
    AgendaFrame frame(&view);
    CZuCalendarDoc doc(&frame);
    doc.SetPersistent(false);
    if (haveDate)
        doc.SetCurrentDate(date);
    doc.SetViewContents(contents);
    // Private records follow the calendar's own option unless the command asks for them.
    if (showPrivate)
        doc.SetShowPrivate(true);
    if (noCategory) {
        doc.SetCategoryFilter(ZU_CATY_NONE, {}, CString(L"그룹 없음"));
    } else if (category) {
        CCeDBDatabase categories;
        const CString name(QString::fromLocal8Bit(category).toStdWString());
        // A store that cannot be opened or read is said as such, not as a missing category.
        if (!GetDatabasePtr(&categories, ZU_SEL_CATEGORIES)) {
            std::fprintf(err, "zupim agenda: the store cannot be opened: %s\n", utf8(ZuLastErrorText()).c_str());
            return 1;
        }
        const int index = GetDBCategoryIndex(&categories, name);
        if (index < 0 && categories.ReadFailed()) {
            std::fprintf(err, "zupim agenda: the store cannot be read: %s\n", utf8(ZuLastErrorText()).c_str());
            return 1;
        }
        if (index < 0) {
            std::fprintf(err, "zupim agenda: no category named '%s'\n", category);
            return 2;
        }
        doc.SetCategoryFilter(ZU_CATY_ONE, {index}, name);
    } else {
        doc.SetCategoryFilter(ZU_CATY_ALL, {}, CString(L"모든 그룹"));
    }
    // In the month type the agenda lists the month itself, as the list style does.
    doc.SetViewStyle(ZU_STYLE_LIST);
    if (type == ZU_VIEW_YEAR) {
        // The calendar has no range of its own for a year: the agenda lists the whole year.
        const WORD year = doc.CurrentDate().wYear;
        SYSTEMTIME first{}, next{};
        first.wYear = year;
        first.wMonth = first.wDay = 1;
        next = first;
        next.wYear = static_cast<WORD>(year + 1);
        FILETIME start{}, end{};
        SystemTimeToFileTime(&first, &start);
        SystemTimeToFileTime(&next, &end);
        doc.SetRange(start, ZuU64ToFileTime(ZuFileTimeToU64(end) - 1));
    }
    // The calendar tells a store that cannot be read in a message box; the command says it on
    // standard error instead, and fails.
    const ZuMessageBoxHandler previous = ZuSetMessageBoxHandler([](const CString&, const CString&, UINT) { return IDOK; });
    doc.SetViewType(type, false);
    view.loaded = false;
    doc.RequestLoad(&view);
    QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });
    QCoreApplication::exec();
    ZuSetMessageBoxHandler(previous);
    if (!view.loaded) {
        std::fprintf(err, "zupim agenda: the calendar could not be loaded\n");
        return 1;
    }
    if (!doc.LoadFailure().IsEmpty()) {
        std::fprintf(err, "zupim agenda: the store cannot be read: %s\n", utf8(doc.LoadFailure()).c_str());
        return 1;
    }

    const std::vector<CalendarItem>& items = doc.Items();
    if (tsv) {
        for (const CalendarItem& item : items)
            std::fprintf(out, "%d\t%d\t%s\t%s\t%s\t%s\t%s\n", item.kind, item.dayClass, isoOf(item.start).c_str(),
                isoOf(item.end).c_str(), tsvField(item.subject).c_str(), tsvField(item.timeText).c_str(),
                holidayOf(doc, item.start).c_str());
        return 0;
    }
    if (type == ZU_VIEW_DAY) {
        const std::string holiday = holidayOf(doc, doc.RangeStart());
        std::fprintf(out, "%s%s%s\n", utf8(doc.CaptionText()).c_str(), holiday.empty() ? "" : "  ", holiday.c_str());
    } else {
        std::fprintf(out, "%s\n", utf8(doc.CaptionText()).c_str());
        printHolidays(doc, out);
    }
    for (const CalendarItem& item : items) {
        std::string line = std::string(markerOf(item)) + " " + utf8(item.subject);
        if (item.kind == ZU_ITEM_TASK)
            line += " " + std::to_string(item.status) + "%";
        if (!item.timeText.IsEmpty())
            line += "  " + utf8(item.timeText);
        std::fprintf(out, "%s\n", line.c_str());
    }
    if (items.empty())
        std::fprintf(out, "(비어 있음)\n");
    return 0;
}
