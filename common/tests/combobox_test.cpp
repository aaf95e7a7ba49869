// The combo box's content menu: separators, lookup by text, the current entry checked, and a
// choice that stays with the combo.
#include "controltestsupport.h"
#include "sip.h"
#include "textutil.h"
#include "widgets/zucombobox.h"

#include <QApplication>
#include <QDialog>
#include <QFocusEvent>

#include <gtest/gtest.h>

namespace {

bool panelOn()
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    return SipGetInfo(&info) && (info.fdwFlags & SIPF_ON);
}

} // namespace

TEST(ComboBox, ContentMenu)
{
    QDialog dialog;
    auto* combo = new CZUComboBox(&dialog, 1021);
    combo->addItems({QStringLiteral("하나"), QStringLiteral("PSEP"), QStringLiteral("둘"), QStringLiteral("셋")});
    ASSERT_EQ(combo->MakeComboContentMenu(), 4);
    EXPECT_EQ(combo->GetMenuName(), CString(L"&ComboContent"));
    EXPECT_EQ(combo->GetZuMenuType(), 2);
    EXPECT_EQ(combo->FindMenuItem(L"둘"), 2);
    EXPECT_EQ(combo->FindMenuItem(L"셋"), 3);
    EXPECT_EQ(combo->FindMenuItem(L"둘 "), -1) << "exact text only";
    EXPECT_EQ(combo->FindMenuItem(L"없음"), -1);
    EXPECT_EQ(combo->FindMenuItem(L"PSEP"), -1) << "a separator has no text";

    combo->setCurrentIndex(2);
    std::vector<ZuMenuEntry> seen;
    UINT answer = 1;  // OK's id in a dialog
    PopupMenuHandlerScope scope([&](const std::vector<ZuMenuEntry>& entries, QPoint) {
        seen = entries;
        return answer;
    });
    dialog.show();
    EXPECT_EQ(combo->DisplayContextMenu(), 1u);
    ASSERT_EQ(seen.size(), 4u);
    const UINT ids[] = {1, 2, 3, 4};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(seen[i].id, ids[i]);
    EXPECT_TRUE(seen[1].separator);
    EXPECT_FALSE(seen[0].checked);
    EXPECT_TRUE(seen[2].checked) << "the current entry";
    EXPECT_FALSE(seen[3].checked);
    EXPECT_EQ(combo->currentIndex(), 0) << "a choice sets the selection";
    EXPECT_TRUE(dialog.isVisible()) << "choice 1 is the combo's, not the dialog's OK";
    EXPECT_EQ(dialog.result(), 0);

    // Type 1: where the drop-down would open, the menu shows; choice 2 is not Cancel either.
    combo->SetZuType(1);
    answer = 4;
    seen.clear();
    combo->showPopup();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_TRUE(seen[0].checked);
    EXPECT_EQ(combo->currentIndex(), 3);
    answer = 2;
    combo->showPopup();
    EXPECT_EQ(combo->currentIndex(), 3) << "a separator is never chosen";
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ComboBox, InputPanelFollowsFocusWhenEditable)
{
    PPC_KeypadDown();
    CZUComboBox plain;
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason), out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(&plain, &in);
    EXPECT_FALSE(panelOn()) << "a list without an edit field needs no panel";

    CZUComboBox edit;
    edit.setEditable(true);
    QApplication::sendEvent(&edit, &in);
    EXPECT_TRUE(panelOn());
    QApplication::sendEvent(&edit, &out);
    EXPECT_FALSE(panelOn());
}
