// The owner-data list: rows are asked for only below the count, the selection is drawn in the
// colour set's colour, a hold opens nothing while a tap reports its row, and an outside scroll bar
// follows the list both ways.
#include "widgets/holdrecognizer.h"
#include "widgets/listviewex.h"
#include "widgets/syscolors.h"

#include "widgettest.h"
#include "windowtestenv.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {
// Keeps the rows it is asked to draw.
class RecordingList : public CListViewEx {
public:
    std::set<int> drawn;

protected:
    void DrawItem(QPainter&, int row, const QRect&, bool) override { drawn.insert(row); }
};

struct ListView : ::testing::Test {
    RecordingList list;
    void SetUp() override
    {
        list.resize(240, 200);  // five whole rows of 36
        list.InsertColumn(0, CString(L"Subject"), 195);
        list.InsertColumn(1, CString(L"TaskStatus"), 30);
        list.InsertColumn(2, CString(L"PrevString"), 0);
        list.show();
    }
    // Paints the list afresh and gives the rows it asked for.
    std::set<int> Drawn()
    {
        list.drawn.clear();
        Pixels(list);
        return list.drawn;
    }
    void Tap(int row) { QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(50, row * 36 + 10)); }
};
}  // namespace

TEST_F(ListView, FontsRowsColumnsAndColourSets)
{
    EXPECT_EQ(list.GetRowHeight(), 36);
    list.SetTwoLine(false);
    EXPECT_EQ(list.GetRowHeight(), 18);
    EXPECT_EQ(list.NormalFont().pixelSize(), 13);
    EXPECT_EQ(list.BoldFont().pixelSize(), 14);
    EXPECT_TRUE(list.BoldFont().bold());
    EXPECT_FALSE(list.NormalFont().bold());
    EXPECT_EQ(list.GetColumnName(1), CString(L"TaskStatus"));
    EXPECT_EQ(list.GetColumnWidth(0), 195);
    EXPECT_EQ(list.GetColumnWidth(2), 0);
    EXPECT_EQ(list.GetColumnWidth(3), 0);

    const ZuListColors cal = ZuListColors::Calendar();
    EXPECT_EQ(cal.table.size(), size_t(ZuListColors::CAL_COUNT));
    EXPECT_EQ(cal.At(ZuListColors::CAL_SELECTEDPROGRESS), RGB(120, 161, 245));
    EXPECT_EQ(cal.At(ZuListColors::CAL_PROGRESSFRAME), RGB(255, 153, 0));
    EXPECT_EQ(cal.At(ZuListColors::CAL_PROGRESS), RGB(237, 28, 36));
    EXPECT_EQ(cal.At(ZuListColors::CAL_TIMETEXT), RGB(0, 0, 255));
    EXPECT_EQ(cal.separator, ZuSysColor(ZU_COLOR_SCROLLBAR));
    const ZuListColors con = ZuListColors::Contacts();
    EXPECT_EQ(con.table, (std::vector<COLORREF>{ZuSysColor(ZU_COLOR_WINDOWTEXT), ZuSysColor(ZU_COLOR_WINDOW),
                                                ZuSysColor(ZU_COLOR_HIGHLIGHTTEXT), ZuSysColor(ZU_COLOR_HIGHLIGHT),
                                                ZuSysColor(ZU_COLOR_SCROLLBAR), ZuSysColor(ZU_COLOR_WINDOWTEXT),
                                                ZuSysColor(ZU_COLOR_BTNFACE)}));
    EXPECT_EQ(con.At(ZuListColors::CON_COUNT), RGB(0, 0, 0));
}

TEST_F(ListView, RowsAreAskedForOnlyBelowTheCount)
{
    list.SetItemCount(10);
    list.SetScrollPos(99);
    EXPECT_EQ(list.GetScrollPos(), 5);  // the last five rows fill the list
    list.SetSelectedRow(8);
    EXPECT_EQ(Drawn(), (std::set<int>{5, 6, 7, 8, 9}));

    // A load for another view shrinks the list under the selection and the scroll position.
    list.SetItemCount(7);
    EXPECT_EQ(list.GetSelectedRow(), -1);
    EXPECT_EQ(list.GetScrollPos(), 2);
    const std::set<int> drawn = Drawn();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(*drawn.rbegin(), 6);
    EXPECT_EQ(list.HitTest(QPoint(50, 4 * 36 + 10)), 6);
    EXPECT_EQ(list.HitTest(QPoint(50, 5 * 36 + 10)), -1);
    EXPECT_TRUE(list.RowRect(7).isEmpty());

    // A selection whose row still exists stays; a new count keeps the scroll position.
    list.SetSelectedRow(3);
    list.SetItemCount(30);
    EXPECT_EQ(list.GetSelectedRow(), 3);
    EXPECT_EQ(list.GetScrollPos(), 2);
    list.SetSelectedRow(30);
    EXPECT_EQ(list.GetSelectedRow(), -1);

    // An empty list asks for nothing, and a tap on it reports nothing.
    list.SetItemCount(0);
    EXPECT_TRUE(Drawn().empty());
    QSignalSpy clicked(&list, &CListViewEx::rowClicked);
    Tap(0);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(ListView, SelectedRowFillFollowsColourSetAndHighlightMode)
{
    list.SetItemCount(3);  // no scroll bar: the rows are 240 wide
    list.SetSelectedRow(1);
    for (const ZuListColors& colors : {ZuListColors::Calendar(), ZuListColors::Contacts()}) {
        list.SetColors(colors);
        const QImage img = Pixels(list);
        EXPECT_EQ(img.pixelColor(5, 36 + 10), rgb(colors.selectedBack));
        EXPECT_EQ(img.pixelColor(5, 10), rgb(colors.back));
        EXPECT_EQ(img.pixelColor(5, 35), rgb(colors.separator));   // the line closing row 0
        EXPECT_EQ(img.pixelColor(5, 150), rgb(colors.back));       // below the last row
    }

    // Where the fill reaches in each mode: the first column (195), all columns (225), the row.
    struct Case {
        int mode;
        bool at200, at230;
    };
    const QColor sel = rgb(ZuListColors::Contacts().selectedBack);
    for (const Case c : {Case{0, false, false}, Case{1, true, false}, Case{2, true, true}}) {
        list.SetHighlightType(c.mode);
        const QImage img = Pixels(list);
        EXPECT_EQ(img.pixelColor(100, 46) == sel, true) << c.mode;
        EXPECT_EQ(img.pixelColor(200, 46) == sel, c.at200) << c.mode;
        EXPECT_EQ(img.pixelColor(230, 46) == sel, c.at230) << c.mode;
    }

    // A larger (or negative) mode is refused and the old one kept.
    EXPECT_EQ(list.SetHighlightType(1), 2);
    EXPECT_EQ(list.SetHighlightType(3), 1);
    EXPECT_EQ(list.SetHighlightType(-1), 1);
    EXPECT_EQ(list.GetHighlightType(), 1);
}

TEST_F(ListView, HoldOpensNothingWhileTapReportsTheRow)
{
    list.SetItemCount(4);
    QSignalSpy clicked(&list, &CListViewEx::rowClicked);
    QSignalSpy held(&list, &CListViewEx::rowHeld);

    Tap(2);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
    EXPECT_EQ(list.GetSelectedRow(), 2);
    EXPECT_EQ(held.count(), 0);

    // A still press held past the hold time.
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, QPoint(60, 1 * 36 + 10));
    ASSERT_TRUE(WaitFor([&] { return held.count() == 1; }, 3000));
    EXPECT_EQ(held.at(0).at(0).toInt(), 1);
    EXPECT_EQ(list.GetSelectedRow(), 1);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, QPoint(60, 1 * 36 + 10));
    EXPECT_EQ(clicked.count(), 1);

    // The right button holds at once, also below the rows (row -1), and opens nothing.
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, QPoint(60, 3 * 36 + 10));
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, QPoint(60, 5 * 36 + 10));
    ASSERT_EQ(held.count(), 3);
    EXPECT_EQ(held.at(1).at(0).toInt(), 3);
    EXPECT_EQ(held.at(2).at(0).toInt(), -1);
    EXPECT_EQ(clicked.count(), 1);

    // The click after a hold is a click again; a press that slides to another row is none.
    Tap(0);
    EXPECT_EQ(clicked.count(), 2);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(list.viewport(), QPoint(60, 36 + 10));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, QPoint(60, 36 + 10));
    EXPECT_EQ(clicked.count(), 2);
}

TEST(HoldRecognizer, SlidingGivesUpTheHold)
{
    CZuHoldRecognizer hold;
    QSignalSpy held(&hold, &CZuHoldRecognizer::held);
    hold.Press(QPoint(10, 10), Qt::LeftButton);
    hold.Move(QPoint(13, 12));  // within the slop
    hold.Move(QPoint(30, 10));
    QTest::qWait(CZuHoldRecognizer::kHoldMs + 200);
    EXPECT_EQ(held.count(), 0);
    EXPECT_FALSE(hold.Release(QPoint(30, 10)));
    EXPECT_FALSE(hold.Release(QPoint(30, 10)));  // no press: no click

    hold.Press(QPoint(10, 10), Qt::LeftButton);
    EXPECT_TRUE(hold.Release(QPoint(12, 11)));
    EXPECT_FALSE(hold.Held());
}

TEST_F(ListView, OutsideScrollBarFollowsBothWays)
{
    QScrollBar outside(Qt::Vertical);
    list.SetItemCount(20);
    outside.setRange(0, list.GetScrollMax());
    outside.setPageStep(list.GetScrollPage());
    EXPECT_EQ(list.GetScrollMax(), 15);
    EXPECT_EQ(list.GetScrollPage(), 5);
    QObject::connect(&list, &CListViewEx::scrolled, &outside, &QScrollBar::setValue);
    QObject::connect(&outside, &QScrollBar::valueChanged, &list, &CListViewEx::SetScrollPos);

    outside.setValue(7);
    EXPECT_EQ(list.GetScrollPos(), 7);
    EXPECT_EQ(*Drawn().begin(), 7);
    EXPECT_EQ(list.HitTest(QPoint(50, 10)), 7);

    list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(list.GetScrollPos(), 12);
    EXPECT_EQ(outside.value(), 12);

    // A shrunk count clamps the position, and the outside bar is told.
    list.SetItemCount(10);
    EXPECT_EQ(list.GetScrollPos(), 5);
    EXPECT_EQ(outside.value(), 5);
}
