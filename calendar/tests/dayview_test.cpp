// The day view: its layout with and without all-day entries, the all-day box, appointments split
// at noon, the target of a press, and a load that comes before the view's first size.
#include "viewhost.h"

#include "messagebox.h"
#include "popupmenu.h"
#include "widgets/appointment.h"
#include "widgets/cboxselect.h"
#include "widgets/hourgrid.h"
#include "widgets/zudayview.h"
#include "widgets/zuimagelist.h"

#include <QLabel>

using namespace calfix;
using namespace viewtest;

namespace {

constexpr int kHeight = 252;  // rows of 20 with the box empty, of 18 with entries

class DayView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));  // Thursday
        ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT) {
            boxes.push_back({utf8(text), utf8(caption)});
            return IDOK;
        });
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>& entries, QPoint) -> UINT {
            menus.push_back(entries);
            return menuAnswer;
        });
        doc = std::make_unique<CZuCalendarDoc>(&host);
        doc->SetPersistent(false);
        doc->SetViewStyle(ZU_STYLE_GRAPHIC);
        doc->SetViewType(ZU_VIEW_DAY, false);
        doc->SetCurrentDate(date(2026, 12, 10));
        host.resize(240, 300);
        host.show();
        images = CZuImageList(16, 16);
        for (QColor c : {QColor(0, 200, 0), QColor(200, 0, 200), QColor(0, 200, 200)}) {
            QPixmap p(16, 16);
            p.fill(c);
            images.Add(p);
        }
    }
    void TearDown() override
    {
        delete view;
        doc.reset();
        ZuSetMessageBoxHandler({});
        ZuSetPopupMenuHandler({});
        ZuSetClock({});
    }
    void make(bool sized = true)
    {
        view = new CZuDayView(doc.get(), &host);
        host.views[ZU_VIEW_DAY] = view;
        view->installEventFilter(&counter);
        view->SetImageList(&images);
        view->OnInitialUpdate();
        if (sized)
            view->setGeometry(0, 0, 240, kHeight);
        view->show();
    }
    void load()
    {
        const int before = counter.loads;
        doc->RequestLoad(view);
        ASSERT_TRUE(waitFor([&] { return counter.loads > before; }));
    }
    CEOID appointment(int hour, int minutes, const wchar_t* subject = L"회의")
    {
        const CEOID oid = add(Appointment{.subject = subject, .start = wall(2026, 12, 10, hour), .minutes = minutes});
        added.push_back(oid);
        return oid;
    }
    void clear()
    {
        CCeDBDatabase db;
        ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
        for (CEOID oid : added)
            db.DeleteRecord(oid);
        added.clear();
    }
    std::vector<QRect> rects()
    {
        std::vector<QRect> out;
        for (CAppointment* box : view->Boxes())
            out.push_back(box->geometry());
        return out;
    }
    QPoint cell(int row, int column) const { return QPoint(column * 120 + 5, row * view->RowHeight() + 5); }

    ZuTestHome home;
    ViewHost host;
    std::unique_ptr<CZuCalendarDoc> doc;
    CZuDayView* view = nullptr;
    LoadCounter counter;
    CZuImageList images;
    std::vector<CEOID> added;
    std::vector<std::pair<std::string, std::string>> boxes;
    std::vector<std::vector<ZuMenuEntry>> menus;
    UINT menuAnswer = 0;
};

}  // namespace

TEST_F(DayView, Layout)
{
    make();
    struct Case {
        const char* name;
        bool entry;
        QRect picture, grid;
        bool boxShown;
        int rowHeight;
    };
    const CEOID allDay = add(Appointment{.subject = L"종일", .start = wall(2026, 12, 10), .minutes = 24 * 60, .allDay = true});
    const Case cases[] = {
        {"one entry", true, QRect(0, 20, 240, 19), QRect(0, 40, 240, kHeight - 41), true, (kHeight - 22) / 12 - 1},
        {"none", false, QRect(0, -1, 240, 17), QRect(0, 16, 240, kHeight - 17), false, kHeight / 12 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.entry) {
            CCeDBDatabase db;
            ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
            ASSERT_TRUE(db.DeleteRecord(allDay));
        }
        load();
        EXPECT_EQ(view->HeaderPicture()->geometry(), c.picture);
        EXPECT_EQ(view->Grid()->geometry(), c.grid);
        EXPECT_EQ(view->AllDayBox()->isVisible(), c.boxShown);
        if (c.boxShown) {
            EXPECT_EQ(view->AllDayBox()->geometry(), QRect(0, -1, 240, 22));
        }
        EXPECT_EQ(view->RowHeight(), c.rowHeight);
        EXPECT_EQ(view->HalfHeight(), 12 * c.rowHeight);
    }
    EXPECT_EQ(view->Grid()->objectName(), "1006");
    EXPECT_EQ(view->AllDayBox()->objectName(), "1007");
    EXPECT_EQ(view->HeaderPicture()->objectName(), "65535");
    // A view too small for a row keeps its row height.
    view->resize(240, 5);
    EXPECT_EQ(view->RowHeight(), kHeight / 12 - 1);
}

TEST_F(DayView, AllDayBox)
{
    make();
    const CEOID allDay = add(Appointment{.subject = L"휴가", .start = wall(2026, 12, 10), .minutes = 24 * 60, .allDay = true});
    add(Contact{.name = L"김철수", .birthday = wall(1990, 12, 10)});
    const CEOID task = add(Task{.subject = L"마감", .due = wall(2026, 12, 10)});
    add(Task{.subject = L"언젠가"});
    load();
    CBoxSelect* box = view->AllDayBox();
    ASSERT_EQ(box->GetCount(), 3);
    const QImage img = pixels(box);
    const COLORREF expected[] = {CZuDayView::kAllDayColor, CZuDayView::kAnniversaryColor, CZuDayView::kTaskColor};
    const QColor images[] = {QColor(0, 200, 0), QColor(200, 0, 200), QColor(0, 200, 200)};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QRect r = box->GetBoxRect(i);
        EXPECT_EQ(img.pixelColor(r.right() - 3, r.bottom() - 2), qcolor(expected[i]));
        EXPECT_EQ(img.pixelColor(r.left() + 5, r.top() + 5), images[i]);
    }
    // A tap: the card of the appointment and of the task; a contact's day is a box.
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(box, Qt::LeftButton, {}, box->GetBoxRect(i).center());
    EXPECT_EQ(host.cards, (std::vector<std::pair<int, DWORD>>{{1, allDay}, {4, task}}));
    ASSERT_EQ(host.cardStarts.size(), 2u);
    EXPECT_EQ(ZuFileTimeToU64(host.cardStarts[0]), ZuFileTimeToU64(wall(2026, 12, 10))) << "the tapped item's start";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second, "기념일");
    EXPECT_NE(boxes[0].first.find("김철수"), std::string::npos);

    for (int i = 0; i < 6; ++i)
        add(Appointment{.subject = L"종일", .start = wall(2026, 12, 10), .minutes = 24 * 60, .allDay = true});
    load();
    EXPECT_EQ(box->GetCount(), 6);
}

TEST_F(DayView, SplitAtNoon)
{
    make();
    const int rh = kHeight / 12 - 1, half = 12 * rh;
    struct Case {
        const char* name;
        int hour, minutes;
        std::vector<QRect> want;
    };
    const Case cases[] = {
        {"11-13 is two pieces", 11, 120,
         {QRect(QPoint(18, 11 * rh), QPoint(119, half - 1)), QRect(QPoint(138, 0), QPoint(239, rh - 1))}},
        {"11-12 stays in the morning", 11, 60, {QRect(QPoint(18, 11 * rh), QPoint(119, half - 1))}},
        {"13-14 is the afternoon's second row", 13, 60, {QRect(QPoint(138, rh), QPoint(239, 2 * rh - 1))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        appointment(c.hour, c.minutes);
        load();
        EXPECT_EQ(rects(), c.want);
        clear();
    }

    appointment(11, 120, L"점심");
    load();
    ASSERT_EQ(view->Boxes().size(), 2u);
    CAppointment* morning = view->Boxes()[0];
    CAppointment* afternoon = view->Boxes()[1];
    EXPECT_EQ(utf8(morning->GetText()), "점심");
    QTest::mouseClick(afternoon, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(morning->GetState(), 1);
    EXPECT_EQ(afternoon->GetState(), 1);
    ASSERT_EQ(host.cards.size(), 1u);  // the card opens at once
    EXPECT_EQ(host.cards[0].first, 1);
    // A grid tap releases both.
    QTest::mouseClick(view->Grid(), Qt::LeftButton, {}, cell(5, 0));
    EXPECT_EQ(morning->GetState(), 0);
    EXPECT_EQ(afternoon->GetState(), 0);

    // The pieces' boxes reused for two unrelated appointments keep no link.
    clear();
    appointment(9, 60, L"하나");
    appointment(15, 60, L"둘");
    load();
    ASSERT_EQ(view->Boxes().size(), 2u);
    EXPECT_EQ(view->Boxes()[0]->GetClone(), nullptr);
    EXPECT_EQ(view->Boxes()[1]->GetClone(), nullptr);
    QTest::mouseClick(view->Boxes()[0], Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(view->Boxes()[1]->GetState(), 0);
}

TEST_F(DayView, TargetFromPress)
{
    make();
    const CEOID oid = appointment(15, 60);
    load();
    menuAnswer = ZU_CMD_NEW_APPOINTMENT;
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, cell(1, 1));
    QTest::mouseClick(view->Grid(), Qt::RightButton, {}, cell(0, 0));
    view->Grid()->ClearSelection();
    EXPECT_TRUE(view->OnViewCommand(ZU_CMD_NEW_APPOINTMENT));
    ASSERT_EQ(host.editors.size(), 3u);
    EXPECT_EQ(text(host.editors[0].date), "2026-12-10 13:00");
    EXPECT_EQ(text(host.editors[1].date), "2026-12-10 00:00");
    EXPECT_EQ(host.editors[2].date.wYear, 0);

    // The box's menu greys paste; its delete removes the record it opened on.
    menuAnswer = ZU_CMD_DELETE;
    QTest::mouseClick(view->Boxes().at(0), Qt::RightButton, {}, QPoint(3, 3));
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_FALSE(menus[2].at(2).enabled);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(recordExists(ZU_SEL_APPOINTMENTS, oid));
}

TEST_F(DayView, DeferredLoad)
{
    make(false);
    appointment(9, 60);
    load();
    EXPECT_TRUE(view->LoadDeferred());
    EXPECT_TRUE(view->Boxes().empty());
    view->setGeometry(0, 0, 240, kHeight);
    QTest::qWait(1);
    EXPECT_FALSE(view->LoadDeferred());
    EXPECT_EQ(rects(), (std::vector<QRect>{QRect(QPoint(18, 9 * 20), QPoint(119, 10 * 20 - 1))}));
}
