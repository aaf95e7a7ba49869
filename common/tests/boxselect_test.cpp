// The box row: which box a column belongs to, the click report on lifting the pen, and drawing.
#include "widgets/cboxselect.h"
#include "controltestsupport.h"
#include "widgets/zuimagelist.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QColor qcolor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

// Leftover columns at the right gave index == count; a control narrower than its boxes divided by 0.
TEST(BoxSelect, HitTest)
{
    struct Row {
        const char* name;
        int count;
        int width;
        int x;
        int expected;
    };
    const Row rows[] = {
        {"6 in 240, first column", 6, 240, 0, 0},
        {"6 in 240, end of first box", 6, 240, 39, 0},
        {"6 in 240, start of second box", 6, 240, 40, 1},
        {"6 in 240, last column", 6, 240, 239, 5},
        {"6 in 240, right of the client", 6, 240, 240, -1},
        {"6 in 240, left of the client", 6, 240, -1, -1},
        {"7 in 240, leftover column", 7, 240, 239, 6},
        {"7 in 240, first leftover column", 7, 240, 238, 6},
        {"7 in 240, last full box", 7, 240, 237, 6},
        {"7 in 240, end of box 5", 7, 240, 203, 5},
        {"empty", 0, 240, 10, -1},
        {"narrower than its boxes", 3, 2, 1, -1},
    };
    for (const Row& row : rows) {
        CBoxSelect box;
        box.resize(row.width, 20);
        for (int i = 0; i < row.count; ++i)
            box.Add(L"x", static_cast<DWORD>(i));
        EXPECT_EQ(box.HitTest(row.x), row.expected) << row.name;
        EXPECT_LT(box.HitTest(row.x), std::max(row.count, 0)) << row.name;
    }
}

// A window that reads the click report while the message is handled (its record lives that long).
class ReportReader : public QObject {
public:
    std::vector<NMBOXSELECT> reports;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != ZuMessageEvent::eventType())
            return QObject::event(e);
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_NOTIFY)
            reports.push_back(*reinterpret_cast<const NMBOXSELECT*>(m->lParam()));
        m->accept();
        return true;
    }
};

TEST(BoxSelect, ReportsReleaseBox)
{
    RecordingParent parent;
    parent.resize(240, 20);
    auto* box = new CBoxSelect(&parent, 1007);
    box->resize(240, 20);
    for (DWORD i = 0; i < 4; ++i)
        box->Add(L"box", 100 + i);
    std::vector<std::pair<int, DWORD>> signalled;
    QObject::connect(box, &CBoxSelect::boxClicked, [&](int i, DWORD d) { signalled.emplace_back(i, d); });

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(70, 10));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(190, 10));
    EXPECT_TRUE(parent.got.empty()) << "no report while notification is off";
    EXPECT_TRUE(signalled.empty());

    ReportReader target;
    box->SetNotifyClick(TRUE, &target);
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(70, 10));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(190, 10));
    ASSERT_EQ(target.reports.size(), 1u);
    EXPECT_EQ(target.reports[0].hwndFrom, box);
    EXPECT_EQ(target.reports[0].idFrom, 1007u);
    EXPECT_EQ(target.reports[0].code, NM_CLICK);
    EXPECT_EQ(target.reports[0].dwData, 103u) << "the box under the pen when it lifts, not the one pressed";
    ASSERT_EQ(signalled.size(), 1u);
    EXPECT_EQ(signalled[0], std::make_pair(3, DWORD(103)));
    EXPECT_TRUE(parent.got.empty());

    // Without a target the parent hears it; the leftover last column is the last box's.
    box->SetNotifyClick(TRUE);
    box->Add(L"box", 104);
    box->Add(L"box", 105);
    box->Add(L"box", 106);  // 7 boxes of 34 pixels, 2 left over
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(239, 10));
    ASSERT_EQ(parent.got.size(), 1u);
    EXPECT_EQ(parent.got[0].message, WM_NOTIFY);
    EXPECT_EQ(parent.got[0].wParam, 1007u);
    ASSERT_EQ(signalled.size(), 2u);
    EXPECT_EQ(signalled[1], std::make_pair(6, DWORD(106)));

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_EQ(parent.got.size(), 1u) << "lifted below the row: no box under the pen";
    box->SetNotifyClick(FALSE);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(parent.got.size(), 1u);
    EXPECT_EQ(target.reports.size(), 1u);
    EXPECT_EQ(box->objectName(), QStringLiteral("1007"));
}

TEST(BoxSelect, PenDownTogglesInCheckStyle)
{
    CBoxSelect box;
    box.resize(210, 20);
    for (int i = 0; i < 7; ++i)
        box.Add(L"일", static_cast<DWORD>(i));
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(35, 5));
    EXPECT_FALSE(box.GetCheck(1)) << "a plain row keeps no checks";
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(35, 5));

    box.SetCheckBoxStyle(TRUE);
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(35, 5));
    EXPECT_TRUE(box.GetCheck(1)) << "toggled on pen-down";
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(35, 5));
    EXPECT_TRUE(box.GetCheck(1)) << "pen-up does not toggle again";
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(35, 5));
    EXPECT_FALSE(box.GetCheck(1));

    box.SetCheck(7, TRUE);
    box.SetCheck(-1, TRUE);
    EXPECT_EQ(box.GetCheck(7), 0);
    EXPECT_EQ(box.GetCheck(-1), 0);
    EXPECT_EQ(box.RemoveAt(7), 0);
    EXPECT_EQ(box.RemoveAt(0), 1);
    EXPECT_EQ(box.GetCount(), 6);
}

TEST(BoxSelect, Draws)
{
    const COLORREF bk = RGB(250, 250, 250), own = RGB(200, 40, 40), hbk = RGB(20, 30, 160);
    const COLORREF border = RGB(90, 90, 90);
    // A strip of two 16 × 16 images: green and blue, each with a magenta (mask) pixel at (5, 5).
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(QColor(0, 200, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            strip.setPixelColor(x, y, QColor(0, 0, 220));
    strip.setPixelColor(5, 5, QColor(255, 0, 255));
    strip.setPixelColor(21, 5, QColor(255, 0, 255));
    CZuImageList images;
    ASSERT_EQ(images.Create(QPixmap::fromImage(strip), 16, RGB(255, 0, 255)), 2);

    CBoxSelect box;
    box.resize(240, 22);
    box.SetBkColor(bk);
    box.SetBorderColor(border);
    box.SetHBkColor(hbk);
    box.SetCheckBoxStyle(TRUE);
    box.SetImageList(&images);
    box.Add(L"", 0, -1, FALSE, own);  // its own colour
    box.Add(L"", 1, -1, TRUE);        // checked: highlight colour
    box.Add(L"이미지", 2, 1, FALSE);   // image 1 (blue)

    const QImage shot = box.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), qcolor(border));
    EXPECT_EQ(shot.pixelColor(79, 21), qcolor(border));
    EXPECT_EQ(shot.pixelColor(3, 3), qcolor(own));
    EXPECT_EQ(shot.pixelColor(83, 3), qcolor(hbk));
    EXPECT_EQ(shot.pixelColor(161, 1), qcolor(bk));
    EXPECT_EQ(shot.pixelColor(162, 2), QColor(0, 0, 220)) << "image at (2, 2) of its box";
    EXPECT_EQ(shot.pixelColor(177, 17), QColor(0, 0, 220));
    EXPECT_EQ(shot.pixelColor(167, 7), qcolor(bk)) << "the mask colour is transparent";
    EXPECT_EQ(shot.pixelColor(178, 2), qcolor(bk)) << "the image is 16 wide";

    box.SetCheck(1, FALSE);
    EXPECT_EQ(box.grab().toImage().pixelColor(83, 3), qcolor(bk));

    // Empty: "No Boxes" in the text colour, centred.
    CBoxSelect empty;
    empty.resize(240, 22);
    empty.SetBkColor(bk);
    empty.SetTextColor(RGB(0, 0, 0));
    const QImage blank = empty.grab().toImage();
    int dark = 0, minX = 240, maxX = 0;
    for (int y = 1; y < 21; ++y)
        for (int x = 1; x < 239; ++x)
            if (blank.pixelColor(x, y).lightness() < 100) {
                ++dark;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    EXPECT_GT(dark, 20);
    EXPECT_NEAR((minX + maxX) / 2.0, 120.0, 4.0);
    EXPECT_EQ(blank.pixelColor(5, 2), qcolor(bk));
}
