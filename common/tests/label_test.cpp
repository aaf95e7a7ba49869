// The notification label: a click reaches the parent as its command, and a flash stopped on a
// hidden tick leaves the text (or the background) shown, each flash after its own state.
#include "widgets/controlnotify.h"
#include "widgets/label.h"

#include "widgettest.h"
#include "windowtestenv.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
constexpr COLORREF kBack = RGB(255, 255, 192);
constexpr COLORREF kText = RGB(200, 0, 0);
const QColor kParent(0, 128, 0);

struct Label : ::testing::Test {
    CommandParent frame{kParent};
    CLabel* label = new CLabel(&frame, 1009);
    void SetUp() override
    {
        label->setGeometry(0, 0, 240, 50);
        label->SetBkColor(kBack).SetTextColor(kText).SetBorder(TRUE).SetFontSize(20).SetFontBold(TRUE);
        label->SetText(L"  일정 알림\r\n  10:00 회의");
        frame.show();
    }
    // The label as it shows on its parent.
    QImage Shown() { return Pixels(frame).copy(label->geometry()); }
    bool TextShown() { return HasColour(Shown(), rgb(kText)); }
    bool BackShown() { return HasColour(Shown(), rgb(kBack)); }
};
}  // namespace

TEST_F(Label, ClickAndFlash)
{
    EXPECT_EQ(label->objectName(), QStringLiteral("1009"));
    const QImage img = Shown();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 0));  // the border
    EXPECT_EQ(img.pixelColor(230, 40), rgb(kBack));
    EXPECT_TRUE(TextShown());
    // The second line is drawn on a line of its own.
    EXPECT_TRUE(HasColour(img, rgb(kText), QRect(0, 26, 240, 23)));

    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(100, 20));
    EXPECT_EQ(frame.commands, (std::vector<Command>{{1009, STN_CLICKED}}));
    // A press that slides off the label is no click.
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(100, 20));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(100, 70));
    EXPECT_EQ(frame.commands.size(), 1u);

    // A flash stopped on a hidden tick leaves the text shown.
    label->FlashText(TRUE);
    ASSERT_TRUE(WaitFor([&] { return !TextShown(); }, 3000));  // a hidden tick
    EXPECT_TRUE(BackShown());                                  // only the text flashes
    label->FlashText(FALSE);
    EXPECT_TRUE(TextShown());
}

TEST_F(Label, TextAndBackgroundFlashKeepTheirOwnState)
{
    label->FlashBackground(TRUE);
    ASSERT_TRUE(WaitFor([&] { return !BackShown(); }, 3000));
    EXPECT_EQ(Shown().pixelColor(230, 40), kParent);  // a hidden background shows the parent
    EXPECT_TRUE(TextShown());
    // The text flash starts shown while the background is hidden; they stay opposite.
    label->FlashText(TRUE);
    ASSERT_TRUE(WaitFor([&] { return BackShown(); }, 3000));
    EXPECT_FALSE(TextShown());
    // Stopping the background on its shown tick keeps it; the text goes on flashing, then stops shown.
    label->FlashBackground(FALSE);
    ASSERT_TRUE(WaitFor([&] { return TextShown(); }, 3000));
    ASSERT_TRUE(WaitFor([&] { return !TextShown(); }, 3000));
    EXPECT_TRUE(BackShown());
    label->FlashText(FALSE);
    EXPECT_TRUE(TextShown());
    EXPECT_TRUE(BackShown());
}
