// The calendar document: settings kept in the registry, dates and ranges, captions, holidays, the
// category menu and filter, option messages, record commands and the hand-over of loads.
#include "calendarfixture.h"
#include "recurrenceskips.h"
#include "testhome.h"
#include "voregistry.h"
#include "windowmessage.h"
#include "zucalendardoc.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace calfix;

namespace {

// A view that counts the WM_ITEMS_LOADED it gets and remembers their wParam.
class FakeView : public QObject {
public:
    std::vector<WPARAM> loads;
    std::function<void()> onLoaded;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED) {
            loads.push_back(static_cast<ZuMessageEvent*>(e)->wParam());
            if (onLoaded)
                onLoaded();
            return true;
        }
        return QObject::event(e);
    }
};

// Records what the document asks of its frame.
class FakeFrame : public ICalendarFrame {
public:
    FakeView list, day, week, month;
    std::vector<std::string> calls;
    CString caption, title, categoryText;
    COLORREF captionColor = 1;
    UINT menuChoice = 0;
    std::vector<CategoryMenuItem> menu;
    std::optional<std::vector<int>> sheetChoice;
    DWORD handle = 4242;

    QObject* ViewFor(int type, int style) override
    {
        if (style == ZU_STYLE_LIST)
            return &list;
        return type == ZU_VIEW_DAY ? &day : type == ZU_VIEW_WEEK ? &week : type == ZU_VIEW_MONTH ? &month : nullptr;
    }
    QObject* ActiveView() override { return &list; }
    void SwitchView(int type, int style) override { calls.push_back("switch " + std::to_string(type) + std::to_string(style)); }
    void SetCaption(const CString& text, COLORREF color, const SYSTEMTIME&) override
    {
        caption = text;
        captionColor = color;
    }
    void SetWindowTitle(const CString& text) override { title = text; }
    void CloseDateDropDown() override { calls.push_back("close drop-down"); }
    void SetCategoryButtonText(const CString& text) override { categoryText = text; }
    void SetViewTypeButtons(int type) override { calls.push_back("type buttons " + std::to_string(type)); }
    void SetStyleButton(int style) override { calls.push_back("style button " + std::to_string(style)); }
    void SetContentButtons(DWORD c) override { calls.push_back("content buttons " + std::to_string(c)); }
    void HideLeftScrollBar() override { calls.push_back("hide scroll bar"); }
    void SetListBigFont(bool big) override { calls.push_back(big ? "big font" : "small font"); }
    void InvalidateListView() override { calls.push_back("invalidate list"); }
    UINT ShowCategoryMenu(const std::vector<CategoryMenuItem>& items) override
    {
        menu = items;
        return menuChoice;
    }
    bool RunCategorySheet(std::vector<int>& indexes) override
    {
        if (!sheetChoice)
            return false;
        indexes = *sheetChoice;
        return true;
    }
    void RunRecordEditor(int kind, const SYSTEMTIME& d, bool anniversary) override
    {
        calls.push_back("editor " + std::to_string(kind) + " " + std::to_string(d.wDay) + (anniversary ? " anniversary" : ""));
    }
    void ShowOptions() override { calls.push_back("options"); }
    DWORD MainWindowHandle() override { return handle; }
};

SYSTEMTIME date(int y, int m, int d)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    return st;
}

// Runs the event loop until `done` or five seconds.
bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class CalendarDoc : public ::testing::Test {
protected:
    void SetUp() override { ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9))); }  // Thursday
    void TearDown() override { ZuSetClock({}); }

    CVORegistry calendarKey() { return CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims\\Calendar", TRUE); }

    ZuTestHome home;
    FakeFrame frame;
};

}  // namespace

TEST_F(CalendarDoc, SettingsAreReadValidatedAndWrittenBack)
{
    {
        CZuCalendarDoc doc(&frame);
        EXPECT_EQ(doc.ViewType(), ZU_VIEW_DAY);
        EXPECT_EQ(doc.ViewStyle(), ZU_STYLE_LIST);
        EXPECT_EQ(doc.ViewContents(), 15u);
        EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ALL);
        EXPECT_EQ(utf8(doc.CategoryText()), "모든 그룹");
        doc.SetViewType(ZU_VIEW_MONTH, false);
        doc.SetCategoryFilter(ZU_CATY_SEVERAL, {3, 9}, CString(L"다중선택..."));
    }
    CVORegistry key = calendarKey();
    EXPECT_EQ(key.ReadDWORD(L"ViewType", 99), 2u);
    EXPECT_EQ(key.ReadDWORD(L"CatyType", 99), 4u);
    EXPECT_EQ(key.ReadDWORD(L"Category.nCount", 99), 2u);
    EXPECT_EQ(key.ReadDWORD(L"Category.Index.1", 99), 9u);
    EXPECT_EQ(utf8(key.ReadString(L"CatyStr", nullptr)), "다중선택...");
    {
        CZuCalendarDoc doc(&frame);
        EXPECT_EQ(doc.ViewType(), ZU_VIEW_MONTH);
        ASSERT_EQ(doc.ChosenCategories().size(), 2u);
        EXPECT_EQ(doc.ChosenCategories()[1].index, 9);
    }
    // Values out of range are replaced by their defaults, never trusted.
    key.WriteDWORD(L"ViewType", 7);
    key.WriteDWORD(L"ViewStyle", 3);
    key.WriteDWORD(L"ViewContents", 99);
    key.WriteDWORD(L"Category.Index.0", 70000);
    {
        CZuCalendarDoc doc(&frame);
        EXPECT_EQ(doc.ViewType(), ZU_VIEW_DAY);
        EXPECT_EQ(doc.ViewStyle(), ZU_STYLE_LIST);
        EXPECT_EQ(doc.ViewContents(), 15u);
        ASSERT_EQ(doc.ChosenCategories().size(), 1u);
        EXPECT_EQ(doc.ChosenCategories()[0].index, 9);
    }
    key.WriteDWORD(L"CatyType", 3);
    CZuCalendarDoc doc(&frame);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ALL);
    EXPECT_TRUE(doc.ChosenCategories().empty());
    EXPECT_EQ(utf8(doc.CategoryText()), "모든 그룹");
}

TEST_F(CalendarDoc, RangesAndCaptionsFollowTheCurrentDate)
{
    CZuCalendarDoc doc(&frame);
    EXPECT_EQ(doc.FirstDayOfWeek(), 1);  // the C locale starts its weeks on Monday
    doc.SetViewType(ZU_VIEW_DAY, false);
    EXPECT_EQ(utf8(frame.caption), "2026.12.10 목요일 [음 11.2]");
    EXPECT_EQ(frame.captionColor, 0u);
    EXPECT_EQ(utf8(frame.title), "ZuCalendar");
    doc.OnDateChanged(date(2026, 12, 25));
    EXPECT_EQ(frame.captionColor, ZU_SUNDAY_COLOR);
    EXPECT_EQ(utf8(frame.title), "크리스마스");
    doc.OnDateChanged(date(2026, 12, 26));
    EXPECT_EQ(frame.captionColor, ZU_SATURDAY_COLOR);
    EXPECT_EQ(utf8(frame.title), "ZuCalendar");

    doc.SetViewType(ZU_VIEW_WEEK, false);
    EXPECT_EQ(dateOf(doc.RangeStart()), "2026-12-21 00:00");
    EXPECT_EQ(utf8(frame.caption), "2026.12.21 ~ 27  넷째주");
    doc.OnCommand(ZU_CMD_NEXT);
    EXPECT_EQ(dateOf(doc.RangeStart()), "2026-12-28 00:00");
    EXPECT_EQ(utf8(frame.caption), "2026.12.28 ~ 1.3  다섯째주");

    // Moving by a month gives the new date its own day of week, so the week range is right.
    doc.SetViewType(ZU_VIEW_MONTH, false);
    doc.OnCommand(ZU_CMD_NEXT);  // 2 February 2027, a Tuesday
    EXPECT_EQ(utf8(frame.caption), "2027년 2월");
    EXPECT_EQ(doc.CurrentDate().wDayOfWeek, 2);
    doc.SetViewType(ZU_VIEW_WEEK, false);
    EXPECT_EQ(dateOf(doc.RangeStart()), "2027-02-01 00:00");

    // 31 January plus a month is the last day of February.
    doc.OnDateChanged(date(2027, 1, 31));
    doc.SetViewType(ZU_VIEW_MONTH, false);
    EXPECT_EQ(std::count(frame.calls.begin(), frame.calls.end(), "close drop-down"), 0);
    doc.OnCommand(ZU_CMD_NEXT);
    EXPECT_EQ(doc.CurrentDate().wDay, 28);
    doc.SetViewType(ZU_VIEW_YEAR, false);
    doc.OnCommand(ZU_CMD_PREV);
    EXPECT_EQ(utf8(frame.caption), "2026년 달력");
}

TEST_F(CalendarDoc, TheDayCaptionNamesAndColoursTheDayByTheRulesOfItsYear)
{
    CZuCalendarDoc doc(&frame);
    doc.SetViewType(ZU_VIEW_DAY, false);
    struct Case {
        SYSTEMTIME day;
        const char* caption;
        const char* title;
        COLORREF color;
    };
    const Case cases[] = {
        {date(2026, 3, 2), "2026.3.2 월요일 [음 1.14]", "대체공휴일", ZU_SUNDAY_COLOR},
        {date(2025, 5, 5), "2025.5.5 월요일 [음 4.8]", "어린이날, 석가탄신일", ZU_SUNDAY_COLOR},
        // Named but no longer a holiday: the name without the colour.
        {date(2027, 4, 5), "2027.4.5 월요일 [음 2.29]", "식목일", 0},
        {date(2007, 7, 17), "2007.7.17 화요일 [음 6.4]", "제헌절", ZU_SUNDAY_COLOR},
        // Outside the lunar table the caption has no lunar date, and the stored table names the day.
        {date(2050, 1, 3), "2050.1.3 월요일", "ZuCalendar", 0},
        {date(2050, 3, 1), "2050.3.1 화요일", "삼일절", ZU_SUNDAY_COLOR},
    };
    for (const Case& c : cases) {
        doc.OnDateChanged(c.day);
        EXPECT_EQ(utf8(frame.caption), c.caption);
        EXPECT_EQ(utf8(frame.title), c.title) << c.caption;
        EXPECT_EQ(frame.captionColor, c.color) << c.caption;
    }
}

TEST_F(CalendarDoc, GraphicMonthRangeStartsWhereTheGridStarts)
{
    CZuCalendarDoc doc(&frame);
    doc.SetViewType(ZU_VIEW_MONTH, false);
    EXPECT_EQ(dateOf(doc.RangeStart()), "2026-12-01 00:00");
    EXPECT_EQ(dateOf(doc.RangeEnd()), "2026-12-31 23:59");
    doc.SetViewStyle(ZU_STYLE_GRAPHIC);
    // December 2026 begins on a Tuesday; the grid's Monday is 30 November.
    EXPECT_EQ(dateOf(doc.RangeStart()), "2026-11-30 00:00");
    EXPECT_EQ(dateOf(doc.RangeEnd()), "2027-01-10 23:59");
    EXPECT_NE(std::find(frame.calls.begin(), frame.calls.end(), "hide scroll bar"), frame.calls.end());
}

TEST_F(CalendarDoc, HolidaysByTheRulesAndTheStoredTableForOtherYears)
{
    CZuCalendarDoc doc(&frame);
    ASSERT_EQ(doc.Holidays().Entries().size(), 12u);
    EXPECT_EQ(utf8(doc.Holidays().Entries().front().name), "신정");
    EXPECT_EQ(utf8(doc.Holidays().Entries().back().name), "추석");
    // "name" for a red day, "(name)" for a named one, "-" for none.
    const auto name = [&](int y, int m, int d) {
        const std::optional<DayHoliday> h = doc.HolidayFor(date(y, m, d));
        return !h ? std::string("-") : h->red ? utf8(h->name) : "(" + utf8(h->name) + ")";
    };
    EXPECT_EQ(name(2026, 3, 1), "삼일절");
    EXPECT_EQ(name(2026, 3, 2), "대체공휴일");
    EXPECT_EQ(name(2026, 9, 24), "추석 전날");
    EXPECT_EQ(name(2026, 2, 17), "설날");
    EXPECT_EQ(name(2026, 12, 24), "-");
    // Stored days the rules no longer make holidays keep their names, not their colour.
    EXPECT_EQ(name(2026, 4, 5), "(식목일)");
    EXPECT_EQ(name(2026, 7, 17), "(제헌절)");
    // Outside the years of the rules the stored table stands: every stored day red, nothing else.
    EXPECT_EQ(name(1985, 7, 17), "제헌절");
    EXPECT_EQ(name(1985, 10, 9), "-");
    EXPECT_EQ(name(2050, 5, 5), "어린이날");
    EXPECT_EQ(name(2050, 5, 6), "-");
    // A day the user's table adds is named in a covered year too, and red outside them.
    HolidayEntry added;
    added.name = CString(L"회사 창립일");
    added.month = 11;
    added.day = 2;
    CHolidayTable table = doc.Holidays();
    table.Insert(added);
    const std::optional<DayHoliday> covered = table.HolidayFor(date(2026, 11, 2));
    ASSERT_TRUE(covered);
    EXPECT_EQ(utf8(covered->name), "회사 창립일");
    EXPECT_FALSE(covered->red);
    EXPECT_TRUE(table.HolidayFor(date(2060, 11, 2))->red);
    // A lunar day is never kept in a leap month (2020 repeated its fourth month), in the stored
    // table as in the rules.
    EXPECT_EQ(name(2020, 4, 30), "석가탄신일");
    EXPECT_EQ(name(2020, 5, 30), "-");
    EXPECT_EQ(doc.Holidays().StoredHolidayFor(date(2020, 5, 30)), nullptr);
    ASSERT_NE(doc.Holidays().StoredHolidayFor(date(2020, 4, 30)), nullptr);
}

TEST_F(CalendarDoc, CategoryMenuListsChosenFirstThenOthersUpToSeven)
{
    const wchar_t* names[] = {L"가", L"나", L"다", L"라", L"마", L"바", L"사", L"아", L"자", L"차"};
    for (int i = 0; i < 10; ++i)
        addCategory(names[i], i * 2);
    CZuCalendarDoc doc(&frame);
    doc.SetCategoryFilter(ZU_CATY_SEVERAL, {4, 12}, CString(L"다중선택..."));  // 다 and 사
    const std::vector<CategoryMenuItem> menu = doc.BuildCategoryMenu();
    std::vector<std::string> texts;
    for (const CategoryMenuItem& item : menu)
        texts.push_back(std::to_string(item.id) + (item.checked ? "*" : " ") + utf8(item.text));
    EXPECT_EQ(texts, (std::vector<std::string>{"309 모든 그룹", "300 그룹 없음", "301 가", "302 나", "303*다", "304 라",
                         "305 마", "306 바", "307*사", "308 다중선택..."}));
    EXPECT_EQ(doc.ChosenCategories()[0].cmdId, 303u);

    // Choosing one category filters by it and loads.
    frame.menuChoice = 304;
    doc.OnCommand(ZU_CMD_CATEGORY_BUTTON);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ONE);
    EXPECT_EQ(doc.ChosenCategories()[0].index, 6);
    EXPECT_EQ(utf8(frame.categoryText), "라");
    // Several from the sheet; an empty confirmed choice keeps the filter.
    frame.sheetChoice = std::vector<int>{0, 18};
    doc.OnCommand(ZU_CMD_CATEGORY_SEVERAL);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_SEVERAL);
    EXPECT_EQ(utf8(frame.categoryText), "다중선택...");
    frame.sheetChoice = std::vector<int>{18};
    doc.OnCommand(ZU_CMD_CATEGORY_SEVERAL);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ONE);
    EXPECT_EQ(utf8(frame.categoryText), "차");
    frame.sheetChoice = std::vector<int>{};
    doc.OnCommand(ZU_CMD_CATEGORY_SEVERAL);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ONE);
    doc.OnCommand(ZU_CMD_CATEGORY_NONE);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_NONE);
    EXPECT_EQ(utf8(frame.categoryText), "그룹 없음");
    doc.OnCommand(ZU_CMD_CATEGORY_ALL);
    EXPECT_EQ(doc.CategoryMode(), ZU_CATY_ALL);
    EXPECT_TRUE(doc.ChosenCategories().empty());
}

TEST_F(CalendarDoc, CategoryMenuWithoutCategoriesHasNoMultipleChoice)
{
    CZuCalendarDoc doc(&frame);
    const std::vector<CategoryMenuItem> menu = doc.BuildCategoryMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_TRUE(menu[0].checked);
}

TEST_F(CalendarDoc, LoadsAreHandedToTheViewThatAsked)
{
    add(Appointment{.subject = L"회의", .start = wall(2026, 12, 10, 9)});
    CZuCalendarDoc doc(&frame);
    doc.InitialUpdate();
    ASSERT_TRUE(waitFor([&] { return doc.Items().size() == 1; }));
    EXPECT_FALSE(frame.list.loads.empty());
    EXPECT_EQ(utf8(doc.Items()[0].subject), "회의");

    // A content toggle reloads the active view.
    const size_t before = frame.list.loads.size();
    doc.OnCommand(ZU_CMD_SHOW_APPOINTMENTS);
    ASSERT_TRUE(waitFor([&] { return frame.list.loads.size() > before && doc.Items().empty(); }));
    EXPECT_EQ(doc.ViewContents(), 14u);

    // Option messages: the private flag reloads, the week hours redraw the week view.
    doc.OnOptionChanged(37, (20 << 16) | 8);
    EXPECT_EQ(doc.WeekStartHour(), 8);
    EXPECT_EQ(frame.week.loads, (std::vector<WPARAM>{1}));
    doc.OnOptionChanged(37, (5 << 16) | 8);  // an end before the start is not taken
    EXPECT_EQ(doc.WeekEndHour(), 20);
    doc.OnOptionChanged(2, 1);
    EXPECT_TRUE(doc.LayoutChanged());
    doc.OnOptionChanged(33, 1);
    EXPECT_FALSE(doc.ShowPrivate());
}

TEST_F(CalendarDoc, CutPastesOnceCopyStripsWhatMustNotBeShared)
{
    addCategory(L"업무", 3);
    // Lunar 2026-11-01 is 9 December 2026.
    const CEOID oid = add(Appointment{.subject = L"원본", .start = wall(2026, 11, 1, 9, 30), .lunar = true, .categories = {3}});
    {
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBProp notify(LONG(77), ZUID_APT_NOTIFY);
        CEPROPVAL value = notify.AsPropVal();
        ASSERT_NE(db.WriteProps(oid, &value, 1), 0u);
        const std::vector<BYTE> bitmap = bitmapOf({3});
        CEBLOB blob{static_cast<DWORD>(bitmap.size()), const_cast<BYTE*>(bitmap.data())};
        ASSERT_TRUE(AddCategoryRefByBlob(&blob, ZUID_CAT_APT_COUNT));
    }
    CZuCalendarDoc doc(&frame);
    doc.SetViewType(ZU_VIEW_MONTH, false);
    doc.RequestLoad(&frame.list);
    ASSERT_TRUE(waitFor([&] { return doc.Items().size() == 1; }));

    ASSERT_TRUE(doc.CutItem(0));
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    EXPECT_EQ(db.GetRecordCount(), 0u);
    const FILETIME target = wall(2026, 12, 20, 14);
    ASSERT_TRUE(doc.PasteAt(&target, ZU_PASTE_DATE_TIME));
    EXPECT_FALSE(doc.PasteAt(&target, ZU_PASTE_DATE_TIME));  // a cut record is pasted once
    ASSERT_EQ(db.GetRecordCount(), 1u);
    ASSERT_TRUE(db.SeekFirst());
    CCeDBRecord pasted;
    ASSERT_TRUE(db.ReadCurrRecord(&pasted));
    FILETIME local{};
    const FILETIME utc = pasted.GetIdProp(ZUID_APT_START)->GetFiletime();
    FileTimeToLocalFileTime(&utc, &local);
    EXPECT_EQ(dateOf(local), "2026-12-20 14:30");  // the record's own minute stays
    EXPECT_EQ(pasted.GetIdProp(ZUID_APT_NOTIFY), nullptr);
    EXPECT_EQ(pasted.GetIdProp(ZUID_APT_LUNAR), nullptr);
    // The category's appointment count went down with the cut and up with the paste.
    CCeDBDatabase categories;
    ASSERT_TRUE(GetDatabasePtr(&categories, ZU_SEL_CATEGORIES));
    ASSERT_TRUE(categories.SeekFirst());
    CCeDBRecord category;
    ASSERT_TRUE(categories.ReadCurrRecord(&category));
    EXPECT_EQ(category.GetIdProp(ZUID_CAT_APT_COUNT)->rawInt(), 1);

    // A copy may be pasted again and again; mode 1 keeps the record's time on the target's date.
    doc.RequestLoad(&frame.list);
    ASSERT_TRUE(waitFor([&] { return doc.Items().size() == 1 && dateOf(doc.Items()[0].start) == "2026-12-20 14:30"; }));
    ASSERT_TRUE(doc.CopyItem(0));
    const FILETIME other = wall(2026, 12, 22, 8);
    EXPECT_TRUE(doc.PasteAt(&other, ZU_PASTE_DATE));
    EXPECT_TRUE(doc.PasteAt(&other, ZU_PASTE_TIME));
    EXPECT_EQ(db.GetRecordCount(), 3u);
    EXPECT_TRUE(doc.DeleteItem(0));
    EXPECT_EQ(db.GetRecordCount(), 2u);
    EXPECT_FALSE(doc.DeleteItem(5));
}

// The skipped dates of a recurring appointment travel with its copy; the UID it was imported
// under does not (the copy is a record of its own), while a cut record keeps it.
TEST_F(CalendarDoc, CopyKeepsTheSkippedDatesAndLeavesTheUid)
{
    const CEOID oid = add(Appointment{.subject = L"매일", .start = wall(2026, 12, 1),
        .recurrence = blob(Pattern{.type = 0, .start = wall(2026, 12, 1), .occurrences = 5})});
    const std::vector<BYTE> skipped = ZuSkippedDatesToBytes({ZuFileTimeToU64(wall(2026, 12, 3))});
    {
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBProp props[] = {CCeDBProp(ZuBlobOf(skipped), ZUID_APT_SKIPPED_DATES), CCeDBProp(L"peer-1", ZUID_APT_UID)};
        CEPROPVAL values[] = {props[0].AsPropVal(), props[1].AsPropVal()};
        ASSERT_NE(db.WriteProps(oid, values, 2), 0u);
    }
    CZuCalendarDoc doc(&frame);
    doc.SetViewType(ZU_VIEW_MONTH, false);
    doc.RequestLoad(&frame.list);
    ASSERT_TRUE(waitFor([&] { return doc.Items().size() == 4; }));  // the 3rd is skipped
    const FILETIME target = wall(2026, 12, 20, 14);
    const auto last = [] {
        CCeDBDatabase db;
        EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        CCeDBRecord r, found;
        db.SeekFirst();
        while (db.ReadCurrRecord(&r))
            found = r;
        return found;
    };
    ASSERT_TRUE(doc.CopyItem(0));
    ASSERT_TRUE(doc.PasteAt(&target, ZU_PASTE_DATE_TIME));
    CCeDBRecord pasted = last();
    ASSERT_NE(pasted.GetOid(), oid);
    ASSERT_NE(pasted.GetIdProp(ZUID_APT_SKIPPED_DATES), nullptr);
    EXPECT_EQ(pasted.GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes(), skipped);
    EXPECT_EQ(pasted.GetIdProp(ZUID_APT_UID), nullptr);

    ASSERT_TRUE(doc.CutItem(0));
    ASSERT_TRUE(doc.PasteAt(&target, ZU_PASTE_DATE_TIME));
    pasted = last();
    EXPECT_EQ(pasted.GetIdProp(ZUID_APT_SKIPPED_DATES)->rawBytes(), skipped);
    ASSERT_NE(pasted.GetIdProp(ZUID_APT_UID), nullptr);
    EXPECT_EQ(utf8(pasted.GetIdProp(ZUID_APT_UID)->GetString()), "peer-1");
}

TEST_F(CalendarDoc, StartsTheContactsProgramWithItsHandle)
{
    QTemporaryDir folder;
    const QString program = folder.path() + "/ZuContact";
    const QString log = folder.path() + "/args";
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(log).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CVORegistry(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims", TRUE).WriteString(L"InstallDir", folder.path().toStdWString().c_str());
    CZuCalendarDoc doc(&frame);
    ASSERT_TRUE(doc.OnCommand(ZU_CMD_CONTACTS));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(log) && QFile(log).size() > 0; }));
    QFile args(log);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed().toStdString(), "4242");
}

TEST_F(CalendarDoc, DestroyedWhileLoadingStopsTheThreadFirst)
{
    for (int i = 0; i < 300; ++i)
        add(Appointment{.subject = L"많은", .start = wall(2026, 12, 1 + i % 28, 9)});
    for (int round = 0; round < 5; ++round) {
        auto doc = std::make_unique<CZuCalendarDoc>(&frame);
        doc->SetViewType(ZU_VIEW_MONTH, false);
        doc->RequestLoad(&frame.list);
        if (round % 2)
            QCoreApplication::processEvents();
        doc.reset();  // must neither hang nor touch freed items
    }
}

TEST_F(CalendarDoc, SettingsChangeWhileLoadsRun)
{
    for (int i = 0; i < 100; ++i)
        add(Appointment{.subject = L"회의", .start = wall(2026, 12, 1 + i % 28, 9), .categories = {i % 4}});
    CZuCalendarDoc doc(&frame);
    doc.SetViewType(ZU_VIEW_MONTH, false);
    for (int i = 0; i < 40; ++i) {
        doc.OnCommand(i % 2 ? ZU_CMD_NEXT : ZU_CMD_PREV);
        doc.SetCategoryFilter(i % 3 ? ZU_CATY_ONE : ZU_CATY_ALL, {i % 4}, CString(L"x"));
        doc.OnOptionChanged(33, i % 2);
        doc.RequestLoad(&frame.list);
        QCoreApplication::processEvents();
        (void)doc.Items().size();
    }
    // The last request is followed by a load that reflects the last settings.
    doc.SetCategoryFilter(ZU_CATY_ALL, {}, CString(L"x"));
    doc.OnOptionChanged(33, 0);
    doc.RequestLoad(&frame.list);
    ASSERT_TRUE(waitFor([&] { return doc.Items().size() == 100; }));
}
