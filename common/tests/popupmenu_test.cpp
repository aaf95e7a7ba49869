// The popup-menu seam: a handler sees each entry's state and the position, and only an enabled
// entry's id comes back as a choice.
#include "controltestsupport.h"
#include "popupmenu.h"

#include <gtest/gtest.h>

namespace {

std::vector<ZuMenuEntry> sampleMenu()
{
    return {
        {10, L"잘라내기", true, false, false},
        {11, L"복사하기", false, false, false},
        {0, L"", true, false, true},
        {12, L"붙이기", true, true, false},
    };
}

} // namespace

TEST(PopupMenu, HandlerSeesEveryEntryAndPosition)
{
    std::vector<ZuMenuEntry> seen;
    QPoint seenAt;
    PopupMenuHandlerScope scope([&](const std::vector<ZuMenuEntry>& entries, QPoint pos) -> UINT {
        seen = entries;
        seenAt = pos;
        return 12;
    });
    EXPECT_EQ(ZuPopupMenu(nullptr, sampleMenu(), QPoint(30, 40)), 12u);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seenAt, QPoint(30, 40));
    EXPECT_EQ(seen[0].text, CString(L"잘라내기"));
    EXPECT_FALSE(seen[1].enabled);
    EXPECT_TRUE(seen[2].separator);
    EXPECT_TRUE(seen[3].checked);
    EXPECT_FALSE(seen[0].checked);
}

TEST(PopupMenu, OnlyAnEnabledEntryIsAChoice)
{
    struct Row {
        const char* name;
        UINT answer;
        UINT expected;
    };
    const Row rows[] = {
        {"enabled entry", 10, 10},
        {"dismissed", 0, 0},
        {"disabled entry", 11, 0},
        {"id of no entry", 99, 0},
    };
    for (const Row& row : rows) {
        PopupMenuHandlerScope scope([&](const std::vector<ZuMenuEntry>&, QPoint) { return row.answer; });
        EXPECT_EQ(ZuPopupMenu(nullptr, sampleMenu(), QPoint()), row.expected) << row.name;
    }
}

TEST(PopupMenu, WithoutHandlerAHeadlessProgramChoosesNothing)
{
    const ZuPopupMenuHandler old = ZuSetPopupMenuHandler({});
    EXPECT_EQ(ZuPopupMenu(nullptr, sampleMenu(), QPoint()), 0u);
    ZuSetPopupMenuHandler(old);
}
