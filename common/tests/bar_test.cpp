// The bars: background colour, clicks as commands, the sunken frame of checked buttons, menu
// buttons answering through the popup-menu seam, and button rectangles for windows laid over them.
#include "widgets/cecommandbarex.h"
#include "widgets/cecommandbarexp.h"
#include "widgets/cemenubar.h"
#include "widgets/cetoolbar.h"
#include "controltestsupport.h"
#include "widgets/controlnotify.h"
#include "widgets/syscolors.h"
#include "widgettest.h"
#include "widgets/zuimagelist.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBlue = RGB(0, 96, 200);

// A bar of three buttons 30, 40 and 50 pixels wide in a 240-pixel parent.
struct BarFixture {
    CommandParent parent;
    CEToolBar* bar = new CEToolBar(&parent, 3001);
    BarFixture()
    {
        bar->AddButton(201, -1, TBSTYLE_BUTTON, 30);
        bar->AddButton(202, -1, TBSTYLE_CHECK, 40);
        bar->AddButton(203, -1, TBSTYLE_DROPDOWN, 50);
        bar->setGeometry(0, 0, 240, 26);
        parent.show();
    }
};

void click(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }

}  // namespace

TEST(ToolBar, BackgroundIsTheColourSetAndTheOldOneComesBack)
{
    BarFixture f;
    EXPECT_EQ(f.bar->SetBkColor(kBlue), ZuSysColor(ZU_COLOR_BTNFACE));
    EXPECT_EQ(f.bar->SetBkColor(RGB(10, 20, 30)), kBlue);
    EXPECT_EQ(f.bar->GetBkColor(), RGB(10, 20, 30));
    const QImage img = Pixels(*f.bar);
    EXPECT_EQ(img.pixelColor(200, 13), rgb(RGB(10, 20, 30)));  // past the buttons
    EXPECT_EQ(img.pixelColor(15, 1), rgb(RGB(10, 20, 30)));    // on a plain button
    EXPECT_EQ(f.bar->objectName(), QString("3001"));
}

TEST(ToolBar, ItemRectsFollowTheWidths)
{
    BarFixture f;
    EXPECT_EQ(f.bar->GetItemRect(0), QRect(0, 0, 30, 26));
    EXPECT_EQ(f.bar->GetItemRect(1), QRect(30, 0, 40, 26));
    EXPECT_EQ(f.bar->GetItemRect(2), QRect(70, 0, 50, 26));
    EXPECT_EQ(f.bar->GetItemRect(3), QRect());
    EXPECT_EQ(f.bar->GetItemRect(-1), QRect());

    // A wider slot moves the buttons after it; a hidden button takes no room.
    EXPECT_TRUE(f.bar->SetButtonWidth(1, 100));
    EXPECT_EQ(f.bar->GetItemRect(2), QRect(130, 0, 50, 26));
    EXPECT_FALSE(f.bar->SetButtonWidth(5, 10));
    EXPECT_FALSE(f.bar->SetButtonWidth(0, -1));
    EXPECT_TRUE(f.bar->HideButton(202));
    EXPECT_EQ(f.bar->GetItemRect(2), QRect(30, 0, 50, 26));

    // A click lands on the button now under the pen.
    click(f.bar, QPoint(35, 10));
    EXPECT_EQ(f.parent.commands, (std::vector<Command>{{203, BN_CLICKED}}));
}

TEST(ToolBar, ClickSendsTheButtonsCommandToTheParent)
{
    BarFixture f;
    click(f.bar, QPoint(10, 10));
    click(f.bar, QPoint(100, 10));
    click(f.bar, QPoint(200, 10));  // no button there
    EXPECT_EQ(f.parent.commands, (std::vector<Command>{{201, BN_CLICKED}, {203, BN_CLICKED}}));

    // Pen down on one button and up on another is no click; a disabled button sends nothing.
    f.parent.commands.clear();
    QTest::mousePress(f.bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(f.bar, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    f.bar->EnableButton(201, FALSE);
    click(f.bar, QPoint(10, 10));
    EXPECT_TRUE(f.parent.commands.empty());
    EXPECT_FALSE(f.bar->IsButtonPressed(201));
}

TEST(ToolBar, CheckedOrPressedButtonIsFramedInTheBackgroundColour)
{
    BarFixture f;
    f.bar->SetBkColor(kBlue);
    click(f.bar, QPoint(40, 10));  // the check button toggles on
    EXPECT_TRUE(f.bar->IsButtonChecked(202));
    EXPECT_EQ(f.parent.commands, (std::vector<Command>{{202, BN_CLICKED}}));
    f.bar->PressButton(203);

    const QImage img = Pixels(*f.bar);
    for (int left : {30, 70}) {
        const int right = left + (left == 30 ? 39 : 49);
        SCOPED_TRACE(left);
        EXPECT_EQ(img.pixelColor(left, 0), rgb(kBlue));       // the frame
        EXPECT_EQ(img.pixelColor(right, 25), rgb(kBlue));
        EXPECT_EQ(img.pixelColor(left + 1, 5), rgb(ZuSysColor(ZU_COLOR_BTNSHADOW)));  // sunken edge
        EXPECT_EQ(img.pixelColor(right - 1, 5), rgb(ZuSysColor(ZU_COLOR_BTNHIGHLIGHT)));
    }
    // A plain button has no edge.
    EXPECT_EQ(img.pixelColor(1, 5), rgb(kBlue));

    click(f.bar, QPoint(40, 10));  // and off again
    EXPECT_FALSE(f.bar->IsButtonChecked(202));
    EXPECT_EQ(Pixels(*f.bar).pixelColor(31, 5), rgb(kBlue));
}

TEST(ToolBar, BoldFontAndImages)
{
    BarFixture f;
    EXPECT_FALSE(f.bar->IsFontBold());
    f.bar->SetFontBold(TRUE);
    EXPECT_TRUE(f.bar->IsFontBold());
    EXPECT_TRUE(f.bar->font().bold());
    EXPECT_EQ(f.bar->font().pixelSize(), 14);
    f.bar->SetFontBold(FALSE);
    EXPECT_FALSE(f.bar->font().bold());

    QPixmap strip(32, 16);
    strip.fill(Qt::red);
    CZuImageList images;
    ASSERT_EQ(images.Create(strip, 16), 2);
    f.bar->SetImageList(&images);
    f.bar->SetBkColor(kBlue);
    // The image is centred in the 30-pixel button: columns 7 to 22, rows 5 to 20.
    f.bar->AddButton(204, 1, TBSTYLE_BUTTON, 30);
    const QImage withImage = Pixels(*f.bar);
    EXPECT_EQ(withImage.pixelColor(120 + 7, 5), QColor(Qt::red));
    EXPECT_EQ(withImage.pixelColor(120 + 6, 5), rgb(kBlue));
    f.bar->SetImageList(nullptr);
}

TEST(CommandBar, MenuButtonsChoiceReachesTheParent)
{
    CommandParent parent;
    parent.resize(240, 294);
    CCeCommandBarExp bar;
    ASSERT_TRUE(bar.Create(&parent, 3002));
    EXPECT_EQ(bar.geometry(), QRect(0, 268, 240, 26));
    parent.show();
    parent.resize(240, 320);  // the bar stays along the bottom
    EXPECT_EQ(bar.geometry(), QRect(0, 294, 240, 26));
    EXPECT_EQ(bar.SetBkColor(kBlue), ZuSysColor(ZU_COLOR_BTNFACE));
    bar.AddMenuButton(300, L"메뉴", {{301, L"새로 만들기"}, {0, L"", true, false, true}, {302, L"삭제"}}, 60);

    struct Row {
        const char* name;
        UINT answer;
        std::vector<Command> expected;
    };
    const Row rows[] = {
        {"chosen", 302, {{302, BN_CLICKED}}},
        {"dismissed", 0, {}},
    };
    for (const Row& row : rows) {
        parent.commands.clear();
        std::vector<ZuMenuEntry> seen;
        QPoint seenAt;
        PopupMenuHandlerScope scope([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) -> UINT {
            seen = entries;
            seenAt = pos;
            return row.answer;
        });
        click(&bar, QPoint(30, 10));
        EXPECT_EQ(parent.commands, row.expected) << row.name;
        ASSERT_EQ(seen.size(), 3u) << row.name;
        EXPECT_TRUE(seen[1].separator);
        EXPECT_EQ(seenAt, bar.mapToGlobal(QPoint(0, 0)));
    }
    EXPECT_EQ(Pixels(bar).pixelColor(200, 13), rgb(kBlue));
}

TEST(CommandBar, MenuBarAndControlsInSlots)
{
    CommandParent parent;
    parent.resize(240, 320);
    CCeCommandBarEx bar;
    ASSERT_TRUE(bar.Create(&parent));
    EXPECT_TRUE(bar.LoadSHMenuBar({{400, L"편집", {{401, L"복사"}}}, {410, L"보기", {{411, L"일"}}}}));
    auto* combo = new QWidget;
    const int slot = bar.InsertComboBox(combo, 80);
    EXPECT_EQ(slot, 2);
    EXPECT_EQ(bar.GetNumButtons(), 3);
    EXPECT_EQ(combo->parentWidget(), &bar);
    EXPECT_EQ(combo->geometry(), bar.GetItemRect(slot));
    bar.SetButtonWidth(0, 50);  // the control follows its slot
    EXPECT_EQ(combo->geometry(), bar.GetItemRect(slot));
    EXPECT_EQ(combo->width(), 80);
    ASSERT_EQ(bar.GetMenuBar().size(), 2u);

    parent.show();
    PopupMenuHandlerScope scope([](const std::vector<ZuMenuEntry>&, QPoint) -> UINT { return 411; });
    click(&bar, bar.GetItemRect(1).center());
    EXPECT_EQ(parent.commands, (std::vector<Command>{{411, BN_CLICKED}}));

    QPointer<QWidget> gone(combo);
    bar.ResetCommandBar();
    EXPECT_EQ(bar.GetNumButtons(), 0);
    EXPECT_TRUE(gone.isNull());
    EXPECT_FALSE(bar.LoadSHMenuBar({}));
}

TEST(MenuBar, FirstButtonBoldFontAndImages)
{
    CommandParent parent;
    parent.resize(240, 320);
    CCeMenuBar menuBar;
    EXPECT_EQ(menuBar.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(menuBar.ShowWindow(TRUE));
    ASSERT_TRUE(menuBar.Create(&parent, {{500, L"메뉴", {{501, L"끝내기"}}}}, L"새로"));
    EXPECT_FALSE(menuBar.Create(&parent, {}));
    CEToolBar* bar = menuBar.GetSafeHwnd();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(menuBar.GetNumButtons(), 2);
    EXPECT_EQ(bar->GetItemID(0), ZU_MENUBAR_FIRST_BUTTON);
    EXPECT_TRUE(bar->font().bold());
    EXPECT_EQ(bar->font().pixelSize(), 13);
    ASSERT_NE(menuBar.GetMenu(500), nullptr);
    EXPECT_EQ(menuBar.GetMenu(999), nullptr);

    QPixmap strip(40, 20);
    strip.fill(Qt::green);
    EXPECT_EQ(menuBar.AddBitmap(strip), 0);
    ASSERT_NE(bar->GetImageList(), nullptr);
    EXPECT_EQ(bar->GetImageList()->GetImageSize(), QSize(16, 16));
    EXPECT_EQ(bar->GetImageList()->GetImageCount(), 2);

    parent.show();
    click(bar, bar->GetItemRect(0).center());
    EXPECT_EQ(parent.commands, (std::vector<Command>{{static_cast<WORD>(ZU_MENUBAR_FIRST_BUTTON), BN_CLICKED}}));
}

TEST(MenuBar, BarOutlivingTheObjectDrawsNoImagesOfIt)
{
    CommandParent parent;
    parent.resize(240, 320);
    QPointer<CEToolBar> bar;
    {
        CCeMenuBar menuBar;
        ASSERT_TRUE(menuBar.Create(&parent, {}));
        QPixmap strip(16, 16);
        strip.fill(Qt::green);
        menuBar.AddBitmap(strip);
        menuBar.InsertButton(600, 0);
        bar = menuBar.GetSafeHwnd();
    }
    ASSERT_FALSE(bar.isNull());
    EXPECT_EQ(bar->GetImageList(), nullptr);
    EXPECT_FALSE(HasColour(Pixels(*bar), QColor(Qt::green)));
}
