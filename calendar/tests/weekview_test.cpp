// The week view: widths by the week hours, rows and the strip, the boxes over the hours, boxes
// kept across re-sends, the label, and the record commands of its context menus.
#include "viewhost.h"

#include "messagebox.h"
#include "popupmenu.h"
#include "widgets/appointment.h"
#include "widgets/label.h"
#include "widgets/mainframe.h"
#include "widgets/zucalendarapp.h"
#include "windowtestenv.h"
#include "widgets/hourgrid.h"
#include "widgets/weekstrip.h"
#include "widgets/zuimagelist.h"
#include "widgets/zuweekview.h"

#include <map>
#include <set>

using namespace calfix;
using namespace viewtest;

namespace {

constexpr int kRow = 12;

class WeekView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));  // Thursday
        ZuSetMessageBoxHandler([this](const CString& text, const CString&, UINT) {
            questions.push_back(utf8(text));
            if (onQuestion)
                onQuestion();
            return answer;
        });
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>& entries, QPoint) -> UINT {
            menus.push_back(entries);
            return menuAnswer;
        });
        doc = std::make_unique<CZuCalendarDoc>(&host);
        doc->SetPersistent(false);
        doc->SetFirstDayOfWeek(1);
        doc->SetViewStyle(ZU_STYLE_GRAPHIC);
        doc->SetViewType(ZU_VIEW_WEEK, false);
        doc->SetCurrentDate(date(2026, 12, 10));
        view = new CZuWeekView(doc.get(), &host);
        host.views[ZU_VIEW_WEEK] = view;
        view->installEventFilter(&counter);
        view->OnInitialUpdate();
        host.resize(240, 300);
        host.show();
        images = CZuImageList(8, 8);
        for (QColor c : {QColor(0, 200, 0), QColor(200, 0, 200), QColor(0, 200, 200)}) {
            QPixmap p(8, 8);
            p.fill(c);
            images.Add(p);
        }
        view->SetImageList(&images);
    }
    void TearDown() override
    {
        delete view;
        doc.reset();
        ZuSetMessageBoxHandler({});
        ZuSetPopupMenuHandler({});
        ZuSetClock({});
    }

    // Week hours as the options dialog sends them, and a view whose rows are kRow high.
    void hours(int start, int end)
    {
        doc->OnOptionChanged(37, MAKELONG(start, end));
        view->setGeometry(0, 0, 240, CZuWeekView::kStripHeight + (end - start) * kRow);
    }
    void load()
    {
        const int before = counter.loads;
        doc->RequestLoad(view);
        ASSERT_TRUE(waitFor([&] { return counter.loads > before; }));
    }
    // The boxes' rectangles by subject.
    std::multimap<std::string, QRect> boxes()
    {
        std::multimap<std::string, QRect> out;
        for (CAppointment* box : view->Boxes())
            out.emplace(utf8(doc->Items().at(box->GetEventCode()).subject), box->geometry());
        return out;
    }
    CAppointment* boxOf(const std::string& subject)
    {
        for (CAppointment* box : view->Boxes())
            if (utf8(doc->Items().at(box->GetEventCode()).subject) == subject)
                return box;
        return nullptr;
    }
    // A point of the grid in row r, day column c (1 to 7).
    QPoint cell(int r, int c) const
    {
        return QPoint(view->TimeColumnWidth() + (c - 1) * view->DayColumnWidth() + 3, r * kRow + 3);
    }

    ZuTestHome home;
    ViewHost host;
    std::unique_ptr<CZuCalendarDoc> doc;
    CZuWeekView* view = nullptr;
    LoadCounter counter;
    CZuImageList images;
    std::vector<std::string> questions;
    std::function<void()> onQuestion;
    int answer = IDOK;
    std::vector<std::vector<ZuMenuEntry>> menus;
    UINT menuAnswer = 0;
};

}  // namespace

TEST_F(WeekView, Widths)
{
    struct Case {
        int start, end, time, day, font;
    };
    for (const Case c : {Case{8, 20, 16, 32, 14}, Case{0, 24, 9, 33, 10}, Case{6, 24, 9, 33, 12}}) {
        SCOPED_TRACE(c.start * 100 + c.end);
        hours(c.start, c.end);
        EXPECT_EQ(view->TimeColumnWidth(), c.time);
        EXPECT_EQ(view->DayColumnWidth(), c.day);
        EXPECT_EQ(view->FontHeight(), c.font);
        EXPECT_EQ(view->Grid()->ColumnWidths(), (std::vector<int>{c.time, c.day, c.day, c.day, c.day, c.day, c.day, c.day}));
        EXPECT_EQ(view->Strip()->TimeColumnWidth(), c.time);
        EXPECT_EQ(view->Grid()->RowCount(), c.end - c.start);
        EXPECT_EQ(view->Grid()->RowHeight(), kRow);
        EXPECT_EQ(view->Grid()->geometry(), QRect(0, 28, 240, (c.end - c.start) * kRow));
        EXPECT_EQ(view->Strip()->geometry(), QRect(0, -1, 240, 28));
    }
    // A view too small for one row keeps the row height it had.
    view->resize(240, 30);
    EXPECT_EQ(view->Grid()->RowHeight(), kRow);
}

TEST_F(WeekView, RowsAndStrip)
{
    hours(6, 24);
    add(Appointment{.subject = L"종일", .start = wall(2026, 12, 11), .minutes = 24 * 60, .allDay = true});
    add(Task{.subject = L"마감", .due = wall(2026, 12, 12)});
    load();
    const QImage img = pixels(view);
    const int x = 9 + 33 * 2 + 15;  // inside Wednesday's cell
    EXPECT_EQ(img.pixelColor(x, 28 + (11 - 6) * kRow + 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(x, 28 + (12 - 6) * kRow + 5), QColor(255, 252, 190));
    EXPECT_EQ(img.pixelColor(100, 2), QColor(184, 212, 249));

    // The markers: all-day on Friday (slot 0), the task on Saturday (slot 2), nothing elsewhere.
    CZuWeekStrip* strip = view->Strip();
    const auto markers = strip->GetMarkers();
    for (int d = 0; d < 7; ++d) {
        EXPECT_EQ(markers[d][0], d == 4) << d;
        EXPECT_EQ(markers[d][1], false) << d;
        EXPECT_EQ(markers[d][2], d == 5) << d;
    }
    const QImage strips = pixels(strip);
    const QRect fri = strip->CellRect(4), sat = strip->CellRect(5);
    const int friCentre = fri.left() + fri.width() / 2, satCentre = sat.left() + sat.width() / 2;
    EXPECT_EQ(strips.pixelColor(friCentre - 14 + 3, fri.bottom() - 3), QColor(0, 200, 0));
    EXPECT_EQ(strips.pixelColor(satCentre + 6 + 3, sat.bottom() - 3), QColor(0, 200, 200));
    EXPECT_NE(strips.pixelColor(satCentre - 14 + 3, sat.bottom() - 3), QColor(0, 200, 0));

    // Sunday red under both starts: the last cell from Monday, the first from Sunday.
    EXPECT_TRUE(hasColour(strips, QColor(255, 0, 0), strip->CellRect(6)));
    EXPECT_TRUE(hasColour(strips, QColor(0, 0, 255), strip->CellRect(5)));
    EXPECT_FALSE(hasColour(strips, QColor(255, 0, 0), strip->CellRect(0)));
    doc->SetFirstDayOfWeek(0);
    doc->SetCurrentDate(date(2026, 12, 10));
    load();
    EXPECT_EQ(text(view->WeekStart()), "2026-12-06 00:00");
    const QImage sunday = pixels(strip);
    EXPECT_TRUE(hasColour(sunday, QColor(255, 0, 0), strip->CellRect(0)));
    EXPECT_TRUE(hasColour(sunday, QColor(0, 0, 255), strip->CellRect(6)));
    EXPECT_FALSE(hasColour(sunday, QColor(255, 0, 0), strip->CellRect(6)));

    // The fourth cell opens its day in the day view; the leftover pixels belong to the seventh.
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->CellRect(3).center());
    EXPECT_EQ(doc->ViewType(), ZU_VIEW_DAY);
    EXPECT_EQ(text(doc->CurrentDate()), "2026-12-09 00:00");
    EXPECT_EQ(strip->CellAt(strip->width() - 2), 6);
    EXPECT_EQ(strip->CellAt(strip->TimeColumnWidth()), -1);  // the border column is no cell
}

TEST_F(WeekView, Boxes)
{
    // Monday 7 December to Sunday 13 December.
    add(Appointment{.subject = L"A", .start = wall(2026, 12, 7, 9), .minutes = 60});
    add(Appointment{.subject = L"B", .start = wall(2026, 12, 8, 7, 30), .minutes = 45});
    add(Appointment{.subject = L"C", .start = wall(2026, 12, 9, 8), .minutes = 60});
    add(Appointment{.subject = L"D1", .start = wall(2026, 12, 10, 9), .minutes = 60});
    add(Appointment{.subject = L"D2", .start = wall(2026, 12, 10, 9, 30), .minutes = 90});
    for (int i = 0; i < 5; ++i)
        add(Appointment{.subject = L"E", .start = wall(2026, 12, 11, 9), .minutes = 60});
    add(Appointment{.subject = L"F", .start = wall(2026, 12, 12, 6), .minutes = 60});
    add(Appointment{.subject = L"G", .start = wall(2026, 12, 12, 23), .minutes = 120});

    hours(8, 24);
    load();
    const auto day = [&](int d) { return 9 + d * 33; };
    auto got = boxes();
    EXPECT_EQ(got.find("A")->second, QRect(day(0), 12, 33, 12));
    EXPECT_EQ(got.find("B")->second, QRect(day(1), 0, 33, 12));  // clipped to the top
    EXPECT_EQ(got.find("C")->second, QRect(day(2), 0, 33, 12));  // ends on the hour: one row
    EXPECT_EQ(got.find("D1")->second, QRect(day(3), 12, 16, 12));
    EXPECT_EQ(got.find("D2")->second, QRect(day(3) + 16, 12, 16, 24));
    ASSERT_EQ(got.count("E"), 5u);
    std::set<int> lefts;
    for (auto [it, end] = got.equal_range("E"); it != end; ++it) {
        EXPECT_GE(it->second.left(), day(4));
        EXPECT_LT(it->second.right(), day(5));
        EXPECT_EQ(it->second.width(), 8);
        lefts.insert(it->second.left());
    }
    EXPECT_EQ(lefts.size(), 4u);
    EXPECT_EQ(got.count("F"), 0u);  // before the shown hours
    ASSERT_EQ(got.count("G"), 1u);  // Sunday's hour is not shown
    EXPECT_EQ(got.find("G")->second, QRect(day(5), 15 * 12, 33, 12));

    hours(0, 24);
    load();
    got = boxes();
    EXPECT_EQ(got.find("F")->second, QRect(day(5), 6 * kRow, 33, kRow));
    ASSERT_EQ(got.count("G"), 2u);
    auto g = got.equal_range("G");
    std::set<std::pair<int, int>> pieces;
    for (auto it = g.first; it != g.second; ++it)
        pieces.insert({it->second.left(), it->second.top()});
    EXPECT_EQ(pieces, (std::set<std::pair<int, int>>{{day(5), 23 * kRow}, {day(6), 0}}));
    // The busy colours; ids from 5000 in placing order.
    EXPECT_EQ(view->Boxes().front()->objectName(), "5000");
    EXPECT_EQ(boxOf("A")->GetBkColor(), CAppointment::m_clrBusyStatus[2]);
}

// A re-sent load without new items (the style switch) found every column mask taken and
// destroyed every box; the pressed box was released after it was destroyed.
TEST_F(WeekView, ResendKeepsBoxes)
{
    hours(8, 24);
    std::vector<CEOID> oids;
    for (int i = 0; i < 3; ++i)
        oids.push_back(add(Appointment{.subject = L"회의", .start = wall(2026, 12, 10, 9 + i), .minutes = 90}));
    load();
    const std::vector<CAppointment*> before = view->Boxes();
    std::vector<QRect> rects;
    for (CAppointment* b : before)
        rects.push_back(b->geometry());
    ASSERT_EQ(before.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        doc->SetViewStyle(ZU_STYLE_LIST);
        doc->SetViewStyle(ZU_STYLE_GRAPHIC);
    }
    ASSERT_EQ(view->Boxes(), before);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i]->geometry(), rects[i]);

    // Press the last box, then a load with one record less destroys it.
    CAppointment* last = before.back();
    QTest::mouseClick(last, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(CAppointment::m_hwndSelected.data(), last);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    ASSERT_TRUE(db.DeleteRecord(oids[2]));
    load();
    EXPECT_EQ(view->Boxes().size(), 2u);
    EXPECT_EQ(CAppointment::m_hwndSelected.data(), nullptr);
    for (CAppointment* b : view->Boxes())
        EXPECT_EQ(b->GetState(), 0);
}

TEST_F(WeekView, Label)
{
    hours(8, 24);
    const CEOID oid = add(Appointment{.subject = L"치과", .start = wall(2026, 12, 10, 10), .minutes = 60, .busy = 1});
    load();
    CAppointment* box = boxOf("치과");
    ASSERT_TRUE(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].subject, "치과");
    EXPECT_EQ(host.notices[0].time, utf8(doc->Items()[0].timeText));
    EXPECT_EQ(host.notices[0].color, CAppointment::m_clrBusyStatus[1]);
    EXPECT_TRUE(host.labelUp);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(host.labelUp);

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(view->OnViewCommand(ZU_IDC_NOTIFY_LABEL));
    ASSERT_EQ(host.cards.size(), 1u);
    EXPECT_EQ(host.cards[0], (std::pair<int, DWORD>{1, oid}));
    EXPECT_EQ(ZuFileTimeToU64(host.cardStarts[0]), ZuFileTimeToU64(wall(2026, 12, 10, 10)));

    // A reload takes the label down; the label's click then opens nothing.
    EXPECT_TRUE(host.labelUp);
    load();
    EXPECT_FALSE(host.labelUp);
    EXPECT_EQ(view->SelectedAppointment(), -1);
    EXPECT_FALSE(view->OnViewCommand(ZU_IDC_NOTIFY_LABEL));
    EXPECT_EQ(host.cards.size(), 1u);

    // A tap on the grid hides it and releases the pressed box.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(host.labelUp);
    QTest::mouseClick(view->Grid(), Qt::LeftButton, {}, cell(6, 1));
    EXPECT_FALSE(host.labelUp);
    EXPECT_EQ(box->GetState(), 0);
    EXPECT_EQ(CAppointment::m_hwndSelected.data(), nullptr);

    // Another view's load replaces the document's items; the box still shows its own record.
    QObject other;
    LoadCounter otherLoads;
    other.installEventFilter(&otherLoads);
    doc->SetCurrentDate(date(2026, 12, 24));
    doc->RequestLoad(&other);
    ASSERT_TRUE(waitFor([&] { return otherLoads.loads > 0; }));
    ASSERT_TRUE(doc->Items().empty());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(host.notices.back().subject, "치과");
    EXPECT_TRUE(view->OnViewCommand(ZU_IDC_NOTIFY_LABEL));
    EXPECT_EQ(host.cards.back(), (std::pair<int, DWORD>{1, oid}));
}

TEST_F(WeekView, Commands)
{
    hours(8, 24);
    const CEOID keep = add(Appointment{.subject = L"남김", .start = wall(2026, 12, 10, 14), .minutes = 60});
    const CEOID gone = add(Appointment{.subject = L"지움", .start = wall(2026, 12, 10, 10), .minutes = 60});
    load();

    // The grid's menu: nothing to cut, copy or delete; no paste without a clipboard.
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, cell(3, 2));
    ASSERT_EQ(menus.size(), 1u);
    std::map<UINT, bool> states;
    for (const ZuMenuEntry& e : menus[0])
        if (!e.separator)
            states[e.id] = e.enabled;
    EXPECT_EQ(states, (std::map<UINT, bool>{{32807, true}, {32808, true}, {32809, true}, {32810, false},
                                            {32811, false}, {32812, false}, {32813, false}}));
    // The box's menu: all but paste.
    QTest::mouseClick(boxOf("지움"), Qt::RightButton, {}, QPoint(3, 3));
    ASSERT_EQ(menus.size(), 2u);
    states.clear();
    for (const ZuMenuEntry& e : menus[1])
        states[e.id] = e.enabled;
    EXPECT_EQ(states, (std::map<UINT, bool>{{32810, true}, {32811, true}, {32812, false}, {32813, true}}));

    // "새 일정" at row 3, column 2: the second day of the week, start hour + 3.
    menuAnswer = ZU_CMD_NEW_APPOINTMENT;
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, cell(3, 2));
    ASSERT_EQ(host.editors.size(), 1u);
    EXPECT_EQ(host.editors[0].kind, 1);
    EXPECT_EQ(text(host.editors[0].date), "2026-12-08 11:00");
    EXPECT_FALSE(host.editors[0].anniversary);
    // The time column gives the first day; a press below the rows gives no date.
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, QPoint(2, 3));
    EXPECT_EQ(text(host.editors.at(1).date), "2026-12-07 08:00");
    view->Grid()->ClearSelection();
    EXPECT_TRUE(view->OnViewCommand(ZU_CMD_NEW_ANNIVERSARY));
    EXPECT_EQ(host.editors.at(2).date.wYear, 0);
    EXPECT_TRUE(host.editors.at(2).anniversary);

    // Delete from the box's menu, while another program writes and the view reloads under the
    // question: only the record the menu opened on goes.
    menuAnswer = ZU_CMD_DELETE;
    CEOID foreign = 0;
    onQuestion = [&] {
        foreign = add(Appointment{.subject = L"먼저", .start = wall(2026, 12, 10, 8), .minutes = 60});
        load();
    };
    QTest::mouseClick(boxOf("지움"), Qt::RightButton, {}, QPoint(3, 3));
    ASSERT_EQ(questions, std::vector<std::string>{"이벤트를 지우시겠습니까?"});
    EXPECT_FALSE(recordExists(ZU_SEL_APPOINTMENTS, gone));
    EXPECT_TRUE(recordExists(ZU_SEL_APPOINTMENTS, keep));
    EXPECT_TRUE(recordExists(ZU_SEL_APPOINTMENTS, foreign));
    EXPECT_EQ(CAppointment::m_hwndSelected.data(), nullptr);

    // Cancel keeps it; copy then paste at a cell lands a copy there.
    onQuestion = nullptr;
    load();
    answer = IDCANCEL;
    QTest::mouseClick(boxOf("남김"), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(recordExists(ZU_SEL_APPOINTMENTS, keep));
    menuAnswer = ZU_CMD_COPY;
    QTest::mouseClick(boxOf("남김"), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(doc->HasClipboard());
    menuAnswer = ZU_CMD_PASTE;
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, cell(2, 7));
    load();
    std::set<std::pair<int, int>> copies;
    const auto all = boxes();
    for (auto [it, end] = all.equal_range("남김"); it != end; ++it)
        copies.insert({it->second.left(), it->second.top()});
    EXPECT_EQ(copies, (std::set<std::pair<int, int>>{{9 + 3 * 33, 6 * kRow}, {9 + 6 * 33, 2 * kRow}}));
}

// In the program's own frame: the label shows the tapped box in its busy colour, and hides on
// the second tap.
TEST(WeekViewInFrame, LabelShowsTheTappedBox)
{
    WindowTestEnv env;
    ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));
    add(Appointment{.subject = L"치과", .start = wall(2026, 12, 10, 10), .minutes = 60, .busy = 1});
    {
        CZuCalendarApp app;
        ASSERT_TRUE(app.InitInstance());
        CMainFrame* frame = app.MainFrame();
        CZuCalendarDoc* doc = app.Document();
        doc->SetViewType(ZU_VIEW_WEEK, false);
        auto* view = new CZuWeekView(doc, frame);
        view->setGeometry(frame->ViewArea());
        view->show();
        view->raise();
        LoadCounter counter;
        view->installEventFilter(&counter);
        doc->RequestLoad(view);
        ASSERT_TRUE(waitFor([&] { return counter.loads > 0; }));
        ASSERT_EQ(view->Boxes().size(), 1u);
        CLabel* label = frame->NotificationLabel();
        QTest::mouseClick(view->Boxes()[0], Qt::LeftButton, {}, QPoint(3, 3));
        ASSERT_TRUE(label->isVisible());
        EXPECT_EQ(pixels(label).pixelColor(label->width() - 4, label->height() - 4), qcolor(CAppointment::m_clrBusyStatus[1]));
        EXPECT_NE(utf8(label->GetText()).find("치과"), std::string::npos);
        QTest::mouseClick(view->Boxes()[0], Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_FALSE(label->isVisible());
    }
    ZuSetClock({});
}
