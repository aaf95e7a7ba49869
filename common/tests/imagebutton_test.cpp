// The image button: its bitmaps' white pixels show what lies under it, the check toggles on a
// click before the parent hears of it, a URL opens and a menu's choice reaches its owner.
#include "widgets/bmpbutton.h"
#include "widgets/cebuttonst.h"
#include "widgets/controlnotify.h"
#include "widgets/winxpbuttonst.h"

#include "controltestsupport.h"
#include "widgettest.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {
constexpr QRgb kBar = qRgb(120, 161, 245);

// A 4×4 bitmap: white but for a red left column; with a second one, blue left column.
QPixmap Bitmap(QColor mark)
{
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 4; ++y)
        img.setPixelColor(0, y, mark);
    return QPixmap::fromImage(img);
}

struct ImageButton : ::testing::Test {
    CommandParent bar{QColor(kBar)};
    CCeButtonST* button = new CCeButtonST(&bar, 32772);
    void SetUp() override
    {
        button->setGeometry(10, 5, 16, 16);
        // out: red mark, in (pressed or checked): blue mark; the image sits at (6,6) in the button
        ASSERT_EQ(button->SetBitmaps(Bitmap(Qt::blue), RGB(255, 255, 255), Bitmap(Qt::red), RGB(255, 255, 255)),
                  CCeButtonST::BTNST_OK);
        bar.show();
    }
    QColor At(int x, int y) { return Pixels(bar).pixelColor(10 + x, 5 + y); }
};
}  // namespace

TEST_F(ImageButton, Transparency)
{
    EXPECT_EQ(button->objectName(), QStringLiteral("32772"));
    EXPECT_EQ(At(6, 6), QColor(Qt::red));  // the out image's mark
    EXPECT_EQ(At(8, 7), QColor(kBar));     // a white pixel shows the bar
    EXPECT_EQ(At(1, 1), QColor(kBar));     // a flat button has no background of its own

    // A raised button fills itself with its own background colour; white still is transparent.
    button->SetFlat(FALSE);
    button->SetColor(CCeButtonST::BTNST_COLOR_BK_OUT, RGB(10, 20, 30));
    EXPECT_EQ(At(8, 7), QColor(10, 20, 30));
    EXPECT_EQ(button->SetColor(CCeButtonST::BTNST_MAX_COLORS, 0), static_cast<DWORD>(CCeButtonST::BTNST_INVALIDINDEX));
    COLORREF c = 0;
    ASSERT_EQ(button->GetColor(CCeButtonST::BTNST_COLOR_BK_OUT, &c), static_cast<DWORD>(CCeButtonST::BTNST_OK));
    EXPECT_EQ(c, RGB(10, 20, 30));
    button->SetDefaultColors();
    ASSERT_EQ(button->GetColor(CCeButtonST::BTNST_COLOR_BK_OUT, &c), static_cast<DWORD>(CCeButtonST::BTNST_OK));
    EXPECT_EQ(c, RGB(192, 192, 192));
}

TEST_F(ImageButton, CheckModeTogglesOnClick)
{
    button->SetCheckBoxMode(TRUE);
    EXPECT_EQ(button->GetCheck(), 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(button->GetCheck(), 1);
    EXPECT_EQ(At(6, 6), QColor(Qt::blue));  // checked shows the in image
    EXPECT_EQ(At(8, 7), QColor(kBar));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(button->GetCheck(), 0);
    EXPECT_EQ(At(6, 6), QColor(Qt::red));
    EXPECT_EQ(bar.commands, (std::vector<Command>{{32772, BN_CLICKED}, {32772, BN_CLICKED}}));

    button->SetCheck(1);  // set by the program: no command
    EXPECT_EQ(button->GetCheck(), 1);
    EXPECT_EQ(bar.commands.size(), 2u);
}

TEST_F(ImageButton, PlainClickUrlAndMenu)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(button->GetCheck(), 0);  // not a check box: nothing to toggle
    EXPECT_EQ(bar.commands, (std::vector<Command>{{32772, BN_CLICKED}}));

    std::vector<CString> opened;
    ZuSetShellOpenHandler([&](const CString& t) { opened.push_back(t); return TRUE; });
    button->SetURL(L"https://example.org/");
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    ZuSetShellOpenHandler({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CString(L"https://example.org/"));

    // A menu pops up through the popup-menu seam under the button, with its entries as they
    // stand at the click; the choice goes to the owner, a dismissal sends nothing.
    button->SetURL(L"");
    CommandParent owner;
    QMenu menu;
    menu.addAction(QStringLiteral("새 일정"))->setData(32807u);
    menu.addSeparator();
    QAction* paste = menu.addAction(QStringLiteral("붙이기"));
    paste->setData(32812u);
    button->SetMenu(&menu, &owner);
    paste->setEnabled(false);
    std::vector<ZuMenuEntry> seen;
    QPoint seenAt;
    UINT answer = 32807;
    PopupMenuHandlerScope scope([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) {
        seen = entries;
        seenAt = pos;
        return answer;
    });
    bar.commands.clear();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].id, 32807u);
    EXPECT_EQ(seen[0].text, CString(L"새 일정"));
    EXPECT_TRUE(seen[1].separator);
    EXPECT_EQ(seen[2].id, 32812u);
    EXPECT_FALSE(seen[2].enabled);
    EXPECT_EQ(seenAt, button->mapToGlobal(QPoint(0, 16)));
    EXPECT_EQ(owner.commands, (std::vector<Command>{{32807, 0}}));
    EXPECT_TRUE(bar.commands.empty());  // the menu's choice is the command

    answer = 0;
    button->SetMenu({ZuMenuEntry{32790, L"주 소 록"}}, &owner);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(owner.commands.size(), 1u) << "a dismissed menu sends nothing";
    EXPECT_TRUE(bar.commands.empty());
}

TEST_F(ImageButton, TwiceSizeBitmapKeepsItsPlaceAndTransparency)
{
    // The bitmaps of the fixture drawn at twice the size: 8 × 8 device pixels at ratio 2.
    auto big = [](QColor mark) {
        QPixmap pixmap = QPixmap::fromImage(Bitmap(mark).toImage().scaled(8, 8));
        pixmap.setDevicePixelRatio(2);
        return pixmap;
    };
    ASSERT_EQ(button->SetBitmaps(big(Qt::blue), RGB(255, 255, 255), big(Qt::red), RGB(255, 255, 255)),
              CCeButtonST::BTNST_OK);
    // At 1x: the image still covers (6,6)-(9,9) of the button, white shows the bar.
    EXPECT_EQ(At(6, 6), QColor(Qt::red));
    EXPECT_EQ(At(5, 6), QColor(kBar));
    EXPECT_EQ(At(8, 7), QColor(kBar));
    // At 2x, device pixel for device pixel.
    QImage twice(bar.size() * 2, QImage::Format_RGB32);
    twice.setDevicePixelRatio(2);
    bar.render(&twice);
    const QPoint at = 2 * (button->pos() + QPoint(6, 6));
    EXPECT_EQ(twice.pixelColor(at), QColor(Qt::red));
    EXPECT_EQ(twice.pixelColor(at + QPoint(1, 7)), QColor(Qt::red));
    EXPECT_EQ(twice.pixelColor(at + QPoint(2, 3)), QColor(kBar));
    EXPECT_EQ(twice.pixelColor(at + QPoint(7, 7)), QColor(kBar));
    EXPECT_EQ(twice.pixelColor(at - QPoint(1, 0)), QColor(kBar));
}

TEST_F(ImageButton, RoundedButtonFillsItself)
{
    auto* rounded = new CWinXPButtonST(&bar, 1);
    rounded->setGeometry(0, 30, 30, 20);
    rounded->SetRounded(TRUE);
    rounded->show();
    const QImage img = Pixels(bar).copy(rounded->geometry());
    EXPECT_GT(img.pixelColor(15, 2).lightness(), img.pixelColor(15, 17).lightness());  // white to face
    EXPECT_EQ(img.pixelColor(0, 0), QColor(kBar));                                     // a rounded corner
}

TEST_F(ImageButton, BitmapButtonTracksThePen)
{
    auto* bmp = new CBmpButton(&bar, 1013);
    ASSERT_TRUE(bmp->LoadButtonBitmaps(Bitmap(Qt::red), Bitmap(Qt::blue)));
    EXPECT_EQ(bmp->size(), QSize(4, 4));
    bmp->move(100, 30);
    bmp->show();
    auto mark = [&] { return Pixels(bar).pixelColor(100, 30); };
    EXPECT_EQ(mark(), QColor(Qt::red));
    QTest::mousePress(bmp, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(mark(), QColor(Qt::blue));
    QTest::mouseMove(bmp, QPoint(30, 30));
    EXPECT_EQ(mark(), QColor(Qt::red));  // the pen slid off: drawn up again
    QTest::mouseRelease(bmp, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(bar.commands.empty());  // a release outside is no click
    QTest::mouseClick(bmp, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(bar.commands, (std::vector<Command>{{1013, BN_CLICKED}}));
    QTest::mousePress(bmp, Qt::LeftButton, {}, QPoint(1, 1));
    bmp->ResetButton();
    EXPECT_EQ(mark(), QColor(Qt::red));
}
