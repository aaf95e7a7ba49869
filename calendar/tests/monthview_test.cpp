// The month view and its day popup, driven with the pen on the rendered grid: where the grid
// starts, which cells carry which markers, the day colours, the hit test, the popup and its
// caption, the margin tap, the context menu, and dragging, closing and opening from the popup.
#include "calendarfixture.h"

#include "holidaytable.h"
#include "messagebox.h"
#include "popupmenu.h"
#include "testhome.h"
#include "widgets/daycells.h"
#include "widgets/holdrecognizer.h"
#include "widgets/dlgdayview.h"
#include "widgets/dlgdayview_p.h"
#include "widgets/zumonthview.h"
#include "zucalendardoc.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <memory>

using namespace calfix;

namespace {

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QTest::qWait(5);
    return done();
}

SYSTEMTIME date(int y, int m, int d)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    return st;
}

std::string ymd(const SYSTEMTIME& st)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute);
    return text;
}

// The frame the view lives in: records what the view and the document ask of it.
class FakeFrame : public QWidget, public ICalendarFrame {
public:
    QObject* month = nullptr;
    std::vector<std::string> calls;
    std::vector<FILETIME> cardStarts;  // the occurrence each card was opened on

    QObject* ViewFor(int type, int style) override
    {
        return type == ZU_VIEW_MONTH && style == ZU_STYLE_GRAPHIC ? month : nullptr;
    }
    QObject* ActiveView() override { return month; }
    void SwitchView(int type, int style) override { calls.push_back("switch " + std::to_string(type) + std::to_string(style)); }
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
    void RunRecordEditor(int kind, const SYSTEMTIME& d, bool anniversary) override
    {
        calls.push_back("editor " + std::to_string(kind) + " " + (d.wYear ? ymd(d) : std::string("no date")) +
            (anniversary ? " anniversary" : ""));
    }
    void ShowOptions() override {}
    DWORD MainWindowHandle() override { return 1; }
    void OpenRecordCard(int selector, DWORD oid, const FILETIME& start) override
    {
        calls.push_back("card " + std::to_string(selector) + " " + std::to_string(oid));
        cardStarts.push_back(start);
    }
};

// A view that only counts the loads handed to it (a load for another view).
class OtherView : public QObject {
public:
    int loads = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == ZuMessageEvent::eventType() && static_cast<ZuMessageEvent*>(e)->message() == WM_ITEMS_LOADED) {
            ++loads;
            return true;
        }
        return QObject::event(e);
    }
};

// Solid images of their own colours, so the pixels say which image was drawn where.
QPixmap strip(const std::vector<QColor>& colours, int width, int height)
{
    QPixmap pixmap(width * static_cast<int>(colours.size()), height);
    QPainter painter(&pixmap);
    for (size_t i = 0; i < colours.size(); ++i)
        painter.fillRect(QRect(static_cast<int>(i) * width, 0, width, height), colours[i]);
    return pixmap;
}

const std::vector<QColor> kMarkerColours = {QColor(10, 200, 10), QColor(200, 10, 200), QColor(240, 150, 10)};
const std::vector<QColor> kStateColours = {QColor(20, 180, 180), QColor(180, 20, 90), QColor(90, 90, 20)};
const QColor kWeekMarker(5, 60, 5);
const QColor kCloseBox(100, 50, 0);
// The header: one shade per weekday, Sunday first.
QColor headerShade(int weekday)
{
    return QColor(30 + weekday * 30, 20, 20);
}

QColor colourOf(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The ink of a day number in a rectangle: reddish, bluish and dark pixels.
struct Ink {
    int red = 0, blue = 0, dark = 0;
};
Ink inkIn(const QImage& image, QRect r)
{
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100)
                ++ink.red;
            else if (c.blue() > 150 && c.red() < 100 && c.green() < 100)
                ++ink.blue;
            else if (c.red() < 100 && c.green() < 100 && c.blue() < 100)
                ++ink.dark;
        }
    return ink;
}

class MonthView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));  // a Thursday
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>& entries, QPoint) -> UINT {
            menus.push_back(entries);
            return menuAnswer;
        });
        ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT) {
            boxes.push_back(utf8(text) + " / " + utf8(caption));
            return IDOK;
        });
    }
    void TearDown() override
    {
        Close();
        ZuSetPopupMenuHandler({});
        ZuSetMessageBoxHandler({});
        ZuSetClock({});
    }

    // A document and a month view of the date's month, 240 x 223 (cells 32 x 34, 3 rows left
    // over at the bottom), with the images above, and the first load done.
    CZuMonthView* Open(int firstDay, SYSTEMTIME current, QSize size = QSize(240, 223))
    {
        Close();
        frame = std::make_unique<FakeFrame>();
        doc = std::make_unique<CZuCalendarDoc>(frame.get());
        doc->SetPersistent(false);
        view = new CZuMonthView(doc.get(), frame.get());
        frame->month = view;
        view->Images(129).Create(strip(kMarkerColours, 8, 8), 8, RGB(255, 255, 255));
        view->Images(152).Create(strip(kStateColours, 16, 16), 16, RGB(255, 255, 255));
        view->Images(167).Create(strip({kWeekMarker}, 10, 10), 10, CZuMonthView::kBackColor);
        view->Images(131).Create(strip({kCloseBox}, 16, 16), 16, RGB(0, 255, 0));
        std::vector<QColor> shades;
        for (int d = 0; d < 8; ++d)
            shades.push_back(headerShade(d % 7));
        QPixmap header = strip(shades, 32, 14).copy(0, 0, 225, 14);
        view->Images(200).Create(header, 225, CZuMonthView::kBackColor);
        doc->SetViewStyle(ZU_STYLE_GRAPHIC);
        doc->SetFirstDayOfWeek(firstDay);
        doc->SetCurrentDate(current);
        doc->SetViewType(ZU_VIEW_MONTH, false);
        frame->resize(size);
        view->setGeometry(QRect(QPoint(0, 0), size));
        frame->show();
        Load();
        frame->calls.clear();
        return view;
    }
    void Close()
    {
        frame.reset();
        doc.reset();
        view = nullptr;
    }
    // Asks for a load for the view and waits until the view has it.
    void Load()
    {
        const int before = doc->LoadingThread().LoadsRun();
        doc->RequestLoad(view);
        ASSERT_TRUE(waitFor([&] { return doc->LoadingThread().LoadsRun() > before; }));
        QTest::qWait(30);
    }
    QPoint cellCentre(int cell) const
    {
        return QPoint(15 + (cell % 7) * view->CellWidth() + view->CellWidth() / 2, 16 + (cell / 7) * view->CellHeight() + view->CellHeight() / 2);
    }
    int cellOf(int y, int m, int d) const
    {
        const SYSTEMTIME start = view->GridStart();
        FILETIME a{}, b{};
        SYSTEMTIME day = date(y, m, d);
        SystemTimeToFileTime(&start, &a);
        SystemTimeToFileTime(&day, &b);
        return static_cast<int>((ZuFileTimeToU64(b) - ZuFileTimeToU64(a)) / ZU_TICKS_PER_DAY);
    }
    // The markers drawn in a cell, as "a", "n", "t" in that order.
    std::string markersIn(const QImage& image, int cell) const
    {
        static constexpr int offsets[] = {-14, -4, 6};
        const int x = 15 + (cell % 7) * view->CellWidth(), y = 16 + (cell / 7) * view->CellHeight();
        std::string found;
        for (int m = 0; m < 3; ++m)
            if (image.pixelColor(x + view->CellWidth() / 2 + offsets[m] + 4, y + view->CellHeight() - 10 + 4) == kMarkerColours[m])
                found += "ant"[m];
        return found;
    }
    QRect numberRect(int cell) const
    {
        const int x = 15 + (cell % 7) * view->CellWidth(), y = 16 + (cell / 7) * view->CellHeight();
        return QRect(x + 2, y + 1, 22, 17);
    }
    void tap(QPoint at)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QTest::qWait(1);
    }
    // A hold at once: the right button.
    void hold(QPoint at) { QTest::mouseClick(view, Qt::RightButton, {}, at); }

    ZuTestHome home;
    std::unique_ptr<FakeFrame> frame;
    std::unique_ptr<CZuCalendarDoc> doc;
    CZuMonthView* view = nullptr;
    std::vector<std::vector<ZuMenuEntry>> menus;
    std::vector<std::string> boxes;
    UINT menuAnswer = 0;
};

}  // namespace

TEST_F(MonthView, GridStart)
{
    struct Case {
        SYSTEMTIME month;
        int firstDay;
        const char* start;
    };
    const Case cases[] = {
        {date(2026, 11, 15), 0, "2026-11-01 00:00"},  // 1 November 2026 is a Sunday
        {date(2026, 11, 15), 1, "2026-10-26 00:00"},
        {date(2026, 6, 15), 0, "2026-05-31 00:00"},   // 1 June 2026 is a Monday
        {date(2026, 6, 15), 1, "2026-06-01 00:00"},
    };
    for (const Case& c : cases) {
        Open(c.firstDay, c.month);
        EXPECT_EQ(ymd(view->GridStart()), c.start) << c.firstDay;
        EXPECT_EQ(dateOf(doc->RangeStart()), c.start) << "the document loads what the grid shows";
    }
}

TEST_F(MonthView, DaySpans)
{
    // The helper alone, on a grid from Monday 30 November 2026 00:00.
    CDayCells cells(42);
    cells.SetFirstDay(date(2026, 11, 30));
    struct Case {
        const char* what;
        int kind;
        FILETIME start, end;
        int first, last;  // -1: on no day
    };
    const FILETIME none = ZuNoDate();
    const Case cases[] = {
        {"10:00 for an hour", 1, wall(2026, 12, 3, 10), wall(2026, 12, 3, 11), 3, 3},
        {"08:00 stays on its own day", 1, wall(2026, 12, 4, 8), wall(2026, 12, 4, 9), 4, 4},
        {"all-day 00:00 to 00:00", 1, wall(2026, 12, 8), wall(2026, 12, 9), 8, 8},
        {"a zero-length midnight item", 1, wall(2026, 12, 8), wall(2026, 12, 8), 8, 8},
        {"three days across rows", 1, wall(2026, 12, 12, 10), wall(2026, 12, 14, 12), 12, 14},
        {"before the grid into it", 1, wall(2026, 11, 28, 10), wall(2026, 12, 1, 10), 0, 1},
        {"ends at the grid's first midnight", 1, wall(2026, 11, 29, 10), wall(2026, 11, 30), -1, -1},
        {"the day before the grid", 1, wall(2026, 11, 29, 23), wall(2026, 11, 29, 23, 30), -1, -1},
        {"wholly after", 1, wall(2027, 1, 20, 10), wall(2027, 1, 20, 11), -1, -1},
        {"past the end is cut", 1, wall(2027, 1, 9, 10), wall(2027, 1, 20, 11), 40, 41},
        {"a task's due day counts", 4, wall(2026, 12, 10), wall(2026, 12, 12), 10, 12},
        {"due date only", 4, none, wall(2026, 12, 18), 18, 18},
        {"start only", 4, wall(2026, 12, 18), none, 18, 18},
        {"undated task", 4, none, none, -1, -1},
    };
    for (const Case& c : cases) {
        CalendarItem item;
        item.kind = c.kind;
        item.start = c.start;
        item.end = c.end;
        int first = -5, last = -5;
        const bool on = cells.Span(item, &first, &last);
        EXPECT_EQ(on, c.first >= 0) << c.what;
        if (on && c.first >= 0) {
            EXPECT_EQ(first, c.first) << c.what;
            EXPECT_EQ(last, c.last) << c.what;
        }
    }
}

TEST_F(MonthView, Markers)
{
    add(Appointment{.subject = L"열시", .start = wall(2026, 12, 3, 10)});
    add(Appointment{.subject = L"여덟시", .start = wall(2026, 12, 4, 8)});
    add(Appointment{.subject = L"종일", .start = wall(2026, 12, 8), .minutes = 1440, .allDay = true});
    add(Appointment{.subject = L"여행", .start = wall(2026, 12, 12, 10), .minutes = 2 * 1440 + 120});
    add(Appointment{.subject = L"앞서", .start = wall(2026, 11, 28, 10), .minutes = 3 * 1440});
    add(Appointment{.subject = L"나중", .start = wall(2027, 1, 20, 10)});
    add(Contact{.name = L"김생일", .birthday = wall(1990, 12, 16)});
    add(Task{.subject = L"마감", .due = wall(2026, 12, 18)});
    add(Task{.subject = L"언젠가"});
    Open(1, date(2026, 12, 10));
    ASSERT_EQ(ymd(view->GridStart()), "2026-11-30 00:00");
    const QImage image = view->grab().toImage();
    std::vector<std::string> expected(42);
    expected[0] = expected[1] = "a";     // from before the grid to 1 December
    expected[3] = expected[4] = "a";     // 10:00 and 08:00, each on its own day
    expected[8] = "a";                   // all day, 00:00 to 00:00
    expected[12] = expected[13] = expected[14] = "a";
    expected[16] = "n";                  // the birthday
    expected[18] = "t";                  // the due-only task
    for (int cell = 0; cell < 42; ++cell)
        EXPECT_EQ(markersIn(image, cell), expected[cell]) << "cell " << cell;
    // The undated task is loaded and marks nothing; the popup of its day does not list it either.
    EXPECT_EQ(view->Cells().ItemsOf(18).size(), 1u);
    // The week markers left of the rows.
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(image.pixelColor(2 + 5, 16 + row * view->CellHeight() + 12 + 5), kWeekMarker) << row;
}

TEST_F(MonthView, DayColours)
{
    for (int firstDay : {0, 1}) {
        SCOPED_TRACE(firstDay);
        ZuSetFixedClock(utcOf(wall(2026, 12, 25, 9)));  // today is Christmas, a Friday holiday
        Open(firstDay, date(2026, 12, 10));
        QImage image = view->grab().toImage();
        const Ink christmas = inkIn(image, numberRect(cellOf(2026, 12, 25)));
        EXPECT_GT(christmas.red, 0);
        EXPECT_EQ(christmas.dark, 0);
        const Ink sunday = inkIn(image, numberRect(cellOf(2026, 12, 13)));
        EXPECT_GT(sunday.red, 0);
        EXPECT_EQ(sunday.blue + sunday.dark, 0);
        const Ink saturday = inkIn(image, numberRect(cellOf(2026, 12, 12)));
        EXPECT_GT(saturday.blue, 0);
        EXPECT_EQ(saturday.red + saturday.dark, 0);
        // A Monday and a Friday are in the text colour, whatever column they are in.
        for (int day : {14, 18}) {
            const Ink ink = inkIn(image, numberRect(cellOf(2026, 12, day)));
            EXPECT_GT(ink.dark, 0) << day;
            EXPECT_EQ(ink.red + ink.blue, 0) << day;
        }
        // The header starts with the first day of the week.
        EXPECT_EQ(image.pixelColor(18 + 16, 5), headerShade(firstDay));
        EXPECT_EQ(image.pixelColor(18 + 6 * 32 + 16, 5), headerShade((firstDay + 6) % 7));
        // Other months' days on the button face, this month's on the window colour.
        const int before = cellOf(2026, 11, 30);
        if (before >= 0) {
            const QRect r = numberRect(before);
            EXPECT_EQ(image.pixelColor(r.right() + 4, r.bottom() + 6), QColor(192, 192, 192));
        }
        const QRect inMonth = numberRect(cellOf(2026, 12, 9));
        EXPECT_EQ(image.pixelColor(inMonth.right() + 4, inMonth.bottom() + 6), QColor(255, 255, 255));

        // Today is bold: the same number on another day is thinner.
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));
        Open(firstDay, date(2026, 12, 10));
        image = view->grab().toImage();
        const Ink plain = inkIn(image, numberRect(cellOf(2026, 12, 25)));
        EXPECT_GT(plain.red, 0);
        EXPECT_GT(christmas.red, plain.red * 5 / 4);
    }
}

TEST_F(MonthView, HitTest)
{
    Open(1, date(2026, 12, 10));
    ASSERT_EQ(view->CellWidth(), 32);
    ASSERT_EQ(view->CellHeight(), 34);
    struct Case {
        QPoint at;
        int index;
        int dayFromStart;  // of the date reported
    };
    const Case cases[] = {
        {{100, 15}, CZuMonthView::kNoSelection, 0},
        {{14, 50}, -2, 7},          // the second row's margin
        {{0, 16}, -1, 0},
        {{15, 50}, 7, 7},           // column 0
        {{46, 50}, 7, 7},
        {{47, 50}, 8, 8},
        {{238, 50}, 13, 13},        // leftover right of the last column: column 6
        {{239, 50}, 13, 13},
        {{100, 219}, 37, 37},
        {{100, 222}, 37, 37},       // the last pixel row: row 5
        {{-1, 50}, CZuMonthView::kNoSelection, 0},
        {{240, 50}, CZuMonthView::kNoSelection, 0},
        {{100, 223}, CZuMonthView::kNoSelection, 0},
    };
    CDayCells grid;
    grid.SetFirstDay(view->GridStart());
    for (const Case& c : cases) {
        SYSTEMTIME day{};
        const int index = view->HitTest(c.at, &day);
        EXPECT_EQ(index, c.index) << c.at.x() << "," << c.at.y();
        if (index != CZuMonthView::kNoSelection) {
            EXPECT_EQ(ymd(day), ymd(grid.DateOf(c.dayFromStart))) << c.at.x() << "," << c.at.y();
        }
    }
    QRect rect;
    view->HitTest({20, 60}, nullptr, &rect);
    EXPECT_EQ(rect, QRect(QPoint(16, 51), QPoint(46, 83)));
    view->HitTest({3, 60}, nullptr, &rect);
    EXPECT_EQ(rect, QRect(QPoint(0, 50), QPoint(14, 83)));

    // Too small for a cell: nothing is hit and only the background is painted.
    view->resize(20, 20);
    EXPECT_EQ(view->HitTest({16, 17}), CZuMonthView::kNoSelection);
    tap({16, 17});
    hold({16, 17});
    EXPECT_FALSE(view->DayPopup());
    EXPECT_EQ(view->grab().toImage().pixelColor(16, 17), colourOf(CZuMonthView::kBackColor));
}

TEST_F(MonthView, Popup)
{
    const CEOID meeting = add(Appointment{.subject = L"회의", .start = wall(2026, 12, 16, 10)});
    add(Contact{.name = L"김생일", .birthday = wall(1990, 12, 16)});
    add(Task{.subject = L"보고서", .due = wall(2026, 12, 16)});
    for (int i = 0; i < 9; ++i)
        add(Appointment{.subject = L"바쁨", .start = wall(2026, 12, 17, 8 + i)});
    Open(1, date(2026, 12, 10));

    // An empty day.
    tap(cellCentre(cellOf(2026, 12, 9)));
    CDlgDayView* popup = view->DayPopup();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->geometry(), QRect(5, 54, 230, 48));
    ASSERT_EQ(popup->LineCount(), 1);
    EXPECT_EQ(utf8(popup->LineText(0)), "당일 일정이 없습니다.");
    EXPECT_EQ(popup->LineData(0), CDlgDayView::kNoItem);
    EXPECT_EQ(utf8(popup->Title()), "12월 9일 [음 11.1] 수요일");
    EXPECT_EQ(popup->TitleColor(), CDlgDayView::kWeekdayColor);

    // Three items, in cell order, each with its state image.
    tap(cellCentre(cellOf(2026, 12, 16)));
    EXPECT_EQ(popup->geometry(), QRect(5, 42, 230, 84));
    ASSERT_EQ(popup->LineCount(), 3);
    EXPECT_FALSE(popup->List()->verticalScrollBar()->isVisible());
    EXPECT_EQ(utf8(popup->LineText(0)), "회의");
    EXPECT_NE(utf8(popup->LineText(1)).find("김생일"), std::string::npos);
    EXPECT_EQ(utf8(popup->LineText(2)), "보고서");
    EXPECT_EQ(view->Items().at(popup->LineData(0)).oid, meeting);
    const QImage shown = popup->grab().toImage();
    const QPoint listAt = popup->List()->geometry().topLeft();
    for (int line = 0; line < 3; ++line) {
        EXPECT_EQ(popup->LineState(line), line + 1);
        EXPECT_EQ(shown.pixelColor(listAt + QPoint(1 + 8, line * 18 + 1)), kStateColours[line]) << line;
        EXPECT_EQ(shown.pixelColor(listAt + QPoint(1 + 8, line * 18 + 16)), kStateColours[line]) << line;
    }
    // The caption bar runs to the title colour at its right end.
    const QColor end = shown.pixelColor(popup->CaptionRect().right(), popup->CaptionRect().bottom());
    const QColor title = colourOf(CDlgDayView::kWeekdayColor);
    EXPECT_LE(std::abs(end.red() - title.red()) + std::abs(end.green() - title.green()) + std::abs(end.blue() - title.blue()), 12);
    EXPECT_EQ(shown.pixelColor(popup->CloseBoxRect().center()), kCloseBox);

    // Nine items: the popup keeps its largest size.
    tap(cellCentre(cellOf(2026, 12, 17)));
    EXPECT_EQ(popup->geometry(), QRect(5, 30, 230, 150));
    EXPECT_EQ(popup->LineCount(), 9);
    EXPECT_TRUE(popup->List()->verticalScrollBar()->isVisible());

    // A holiday, and a weekend day.
    tap(cellCentre(cellOf(2026, 12, 25)));
    EXPECT_EQ(utf8(popup->Title()), "12월 25일 [음 11.17] 금요일 크리스마스");
    EXPECT_EQ(popup->TitleColor(), CDlgDayView::kHolidayColor);
    const QColor holidayEnd = popup->grab().toImage().pixelColor(popup->CaptionRect().right(), 20);
    EXPECT_GT(holidayEnd.red(), 180);
    EXPECT_LT(holidayEnd.green(), 90);
    tap(cellCentre(cellOf(2026, 12, 13)));
    EXPECT_EQ(popup->TitleColor(), CDlgDayView::kWeekendColor);

    // A load hides the popup and forgets the selection.
    Load();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(view->Selection(), CZuMonthView::kNoSelection);
}

TEST_F(MonthView, PopupBeyondTheLunarTable)
{
    Open(1, date(2050, 3, 10));
    tap(cellCentre(cellOf(2050, 3, 10)));
    ASSERT_TRUE(view->DayPopup());
    EXPECT_EQ(utf8(view->DayPopup()->Title()), "3월 10일 목요일");
}

TEST_F(MonthView, MarginTap)
{
    Open(1, date(2026, 12, 10));
    tap(QPoint(7, 16 + 2 * view->CellHeight() + 10));
    EXPECT_EQ(doc->ViewType(), ZU_VIEW_WEEK);
    EXPECT_EQ(ymd(doc->CurrentDate()), "2026-12-14 00:00");  // grid start + 14
    EXPECT_EQ(frame->calls.front(), "switch 11");
    EXPECT_FALSE(view->DayPopup());
}

TEST_F(MonthView, Context2)
{
    Open(1, date(2026, 12, 10));
    const int cell = cellOf(2026, 12, 16);
    struct Case {
        UINT answer;
        QPoint at;
        const char* call;
    };
    const Case cases[] = {
        {32807, cellCentre(cell), "editor 1 2026-12-16 12:00"},
        {32808, cellCentre(cell), "editor 1 2026-12-16 00:00 anniversary"},
        {32809, cellCentre(cell), "editor 4 no date"},
        {32807, QPoint(7, 40), "editor 1 no date"},  // held on a margin
        {32808, QPoint(7, 40), "editor 1 no date anniversary"},
    };
    for (const Case& c : cases) {
        frame->calls.clear();
        menus.clear();
        menuAnswer = c.answer;
        hold(c.at);
        ASSERT_EQ(menus.size(), 1u);
        ASSERT_EQ(frame->calls.size(), 1u) << c.call;
        EXPECT_EQ(frame->calls[0], c.call);
        // The release after the hold opens no popup.
        EXPECT_FALSE(view->DayPopup() && view->DayPopup()->isVisible());
    }
    const std::vector<ZuMenuEntry>& entries = menus[0];
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(utf8(entries[0].text), "새 일정");
    EXPECT_EQ(entries[1].id, 32808u);
    EXPECT_EQ(entries[2].id, 32809u);
    EXPECT_TRUE(entries[3].separator);
    EXPECT_EQ(utf8(entries[4].text), "일간보기로 전환");

    menuAnswer = 0;
    menus.clear();
    // A still press held long enough is a hold too; the press highlights the day and the release
    // after the hold only restores it.
    const QPoint corner = cellCentre(cell) + QPoint(view->CellWidth() / 2 - 3, -view->CellHeight() / 2 + 3);
    QTest::mousePress(view, Qt::LeftButton, {}, cellCentre(cell));
    EXPECT_EQ(view->grab().toImage().pixelColor(corner), QColor(0, 0, 128));
    QTest::qWait(CZuHoldRecognizer::kHoldMs + 150);
    QTest::mouseRelease(view, Qt::LeftButton, {}, cellCentre(cell));
    EXPECT_EQ(menus.size(), 1u);
    EXPECT_FALSE(view->DayPopup() && view->DayPopup()->isVisible());
    EXPECT_EQ(view->grab().toImage().pixelColor(corner), QColor(255, 255, 255));

    menuAnswer = 32817;
    hold(cellCentre(cell));
    EXPECT_EQ(doc->ViewType(), ZU_VIEW_DAY);
    EXPECT_EQ(ymd(doc->CurrentDate()), "2026-12-16 00:00");

    // Through the frame's routing: the alternative new-appointment command uses the selection.
    frame->calls.clear();
    EXPECT_TRUE(view->OnViewCommand(32781));
    EXPECT_EQ(frame->calls.at(0), "editor 1 2026-12-16 12:00");
    EXPECT_FALSE(view->OnViewCommand(32813));
}

using DayPopup = MonthView;

TEST_F(DayPopup, DragCloseOpen)
{
    const CEOID meeting = add(Appointment{.subject = L"회의", .start = wall(2026, 12, 16, 10)});
    add(Contact{.name = L"김생일", .birthday = wall(1990, 12, 16)});
    const CEOID task = add(Task{.subject = L"보고서", .due = wall(2026, 12, 16)});
    Open(1, date(2026, 12, 10));
    const QPoint day = cellCentre(cellOf(2026, 12, 16));
    tap(day);
    CDlgDayView* popup = view->DayPopup();
    ASSERT_TRUE(popup && popup->isVisible());

    // Dragging by the caption follows every fifth move.
    const QPoint start = popup->pos();
    QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(40, 10));
    for (int i = 1; i <= 4; ++i)
        QTest::mouseMove(popup, QPoint(40 + 10 * i, 10));
    EXPECT_EQ(popup->pos(), start);
    QTest::mouseMove(popup, QPoint(90, 10));
    EXPECT_EQ(popup->pos(), start + QPoint(50, 0));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, popup->mapFromGlobal(QCursor::pos()));

    // The close box hides it.
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->CloseBoxRect().center());
    EXPECT_FALSE(popup->isVisible());

    // A load for another view changes the document's items; the popup's lines still name theirs.
    tap(day);
    ASSERT_TRUE(popup->isVisible());
    OtherView other;
    doc->SetCurrentDate(date(2027, 3, 1));
    const int before = doc->LoadingThread().LoadsRun();
    doc->RequestLoad(&other);
    ASSERT_TRUE(waitFor([&] { return other.loads > 0; }));
    ASSERT_GT(doc->LoadingThread().LoadsRun(), before);
    EXPECT_TRUE(doc->Items().empty());

    auto tapLine = [&](int line) {
        CDayViewList* list = popup->List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(line).center());
    };
    tapLine(0);
    tapLine(2);
    tapLine(1);
    ASSERT_EQ(frame->calls.size(), 2u);
    EXPECT_EQ(frame->calls[0], "card 1 " + std::to_string(meeting));
    EXPECT_EQ(frame->calls[1], "card 4 " + std::to_string(task));
    ASSERT_EQ(frame->cardStarts.size(), 2u);
    EXPECT_EQ(ZuFileTimeToU64(frame->cardStarts[0]), ZuFileTimeToU64(wall(2026, 12, 16, 10))) << "the line's own item";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("김생일"), std::string::npos);
    EXPECT_NE(boxes[0].find(" / 기념일"), std::string::npos);

    // The empty day's line opens nothing.
    frame->calls.clear();
    tap(cellCentre(cellOf(2026, 12, 9)));
    tapLine(0);
    EXPECT_TRUE(frame->calls.empty());
}
