// The menu select sheet and the event sheet's shell: their bars and tabs, OK applying the pages
// (every page, or those with a window), cancel keeping what the caller gave, driven through the
// bar with the pen as a user would.
#include "widgets/makeeventsheet.h"
#include "widgets/menuselectsheet.h"

#include "messagebox.h"
#include "resource.h"
#include "widgets/modaldialog.h"
#include "widgets/propertypage.h"

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

QColor rgb(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

QImage Pixels(QWidget& w)
{
    QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (img.devicePixelRatio() != 1.0)
        img = img.scaled(w.size());
    return img;
}

// A page that names its tab while active and counts what the sheet asks of it.
class TestPage : public CPropertyPage {
public:
    TestPage(UINT id, const wchar_t* name) : CPropertyPage(id, CString(name)), m_name(name) {}
    int applies = 0, appliesWithoutWindow = 0;
    BOOL OnSetActive() override
    {
        SetTabText(m_name);
        return TRUE;
    }
    BOOL OnKillActive() override
    {
        SetTabText(CString());
        return TRUE;
    }
    BOOL OnApply() override
    {
        ++applies;
        appliesWithoutWindow += !HasWindow();
        return TRUE;
    }

private:
    CString m_name;
};

// A filter page: three check boxes preset from `checks`; applying reads them back, a page that
// was never shown keeps what it was given.
class FilterPage : public TestPage {
public:
    FilterPage() : TestPage(134, L"그룹선택") {}
    std::vector<int> checks{0, 2};
    QCheckBox* boxes[3] = {};
    BOOL OnInitDialog() override
    {
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new QCheckBox(QString::number(i), this);
            boxes[i]->setGeometry(4, 4 + 22 * i, 100, 20);
            boxes[i]->setChecked(std::find(checks.begin(), checks.end(), i) != checks.end());
        }
        return TRUE;
    }
    BOOL OnApply() override
    {
        TestPage::OnApply();
        if (HasWindow()) {
            checks.clear();
            for (int i = 0; i < 3; ++i)
                if (boxes[i]->isChecked())
                    checks.push_back(i);
        }
        return TRUE;
    }
};

void Tap(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }

void TapBar(CCeCommandBarEx* bar, UINT id)
{
    ASSERT_NE(bar, nullptr);
    const int index = bar->CommandToIndex(id);
    ASSERT_GE(index, 0) << id;
    Tap(bar, bar->GetItemRect(index).center());
}

}  // namespace

TEST(MenuSelectSheet, OkWithoutTheEditorTab)
{
    FilterPage list;
    TestPage editor(160, L"그룹추가/삭제");
    CMenuSelectSheet sheet(CString(L"일정"));
    sheet.AddPage(&list);
    sheet.AddPage(&editor);
    ZuModalHandlerScope scope([&](QDialog&) {
        Tap(list.boxes[1], QPoint(8, 10));
        TapBar(sheet.GetCommandBarPtr(), ZuCompLibRes::IdSheetOk);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(list.checks, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(editor.applies, 1) << "a page never shown is applied too";
    EXPECT_EQ(editor.appliesWithoutWindow, 1);
    EXPECT_EQ(sheet.windowTitle(), QString("일정"));
}

TEST(MenuSelectSheet, CancelKeepsTheFilter)
{
    const struct {
        const char* how;
        std::function<void(CMenuSelectSheet&)> cancel;
    } cases[] = {
        {"cancel button", [](CMenuSelectSheet& s) { TapBar(s.GetCommandBarPtr(), ZuCompLibRes::IdSheetCancel); }},
        {"Esc", [](CMenuSelectSheet& s) { QTest::keyClick(&s, Qt::Key_Escape); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        FilterPage list;
        TestPage editor(160, L"그룹추가/삭제");
        CMenuSelectSheet sheet(CString(L"주소록"));
        sheet.AddPage(&list);
        sheet.AddPage(&editor);
        ZuModalHandlerScope scope([&](QDialog&) {
            Tap(list.boxes[0], QPoint(8, 10));
            c.cancel(sheet);
        });
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(list.checks, (std::vector<int>{0, 2}));
        EXPECT_EQ(list.applies + editor.applies, 0);
    }
}

TEST(MenuSelectSheet, BarAndTabsLookAsTheEventSheets)
{
    FilterPage list;
    TestPage editor(160, L"그룹추가/삭제");
    CMenuSelectSheet sheet(CString(L"일정"));
    sheet.AddPage(&list);
    sheet.AddPage(&editor);
    ZuModalHandlerScope scope([&](QDialog&) {
        CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->objectName(), QString::number(0xE800));
        EXPECT_EQ(bar->geometry(), QRect(0, 268, 240, 26));
        ASSERT_EQ(bar->GetButtonCount(), 3);
        EXPECT_EQ(bar->GetItemID(1), 45000u);
        EXPECT_EQ(bar->GetItemID(2), 2u);
        EXPECT_EQ(bar->GetItemRect(1).left(), 6) << "after the 6-px gap";
        const QImage barPixels = Pixels(*bar);
        EXPECT_EQ(barPixels.pixelColor(230, 13), rgb(RGB(120, 161, 245)));
        EXPECT_NE(barPixels.pixelColor(bar->GetItemRect(1).center()), rgb(RGB(120, 161, 245))) << "OK's image";

        CEnTabCtrl* tabs = sheet.GetTabCtrl();
        ASSERT_EQ(tabs, sheet.GetTabControl());
        EXPECT_EQ(tabs->font().pixelSize(), 13);
        EXPECT_EQ(tabs->GetItemImage(0), 0);
        EXPECT_EQ(tabs->GetItemImage(1), 1);
        EXPECT_EQ(tabs->GetImageList().GetImageCount(), 2);
        EXPECT_EQ(tabs->tabText(0), QString("그룹선택")) << "the active tab shows its name";
        EXPECT_EQ(tabs->tabText(1), QString());
        const QImage strip = Pixels(*tabs);
        EXPECT_EQ(strip.pixelColor(tabs->width() - 3, 10), rgb(RGB(200, 235, 235)));
        const QRect icon(tabs->tabRect(1).left() + 3, (CBaseTabCtrl::kTabHeight - 16) / 2, 16, 16);
        int drawn = 0;
        for (int y = icon.top(); y <= icon.bottom(); ++y)
            for (int x = icon.left(); x <= icon.right(); ++x)
                drawn += strip.pixelColor(x, y) != rgb(RGB(200, 235, 235));
        EXPECT_GT(drawn, 40) << "the editor tab's icon";

        Tap(tabs, tabs->tabRect(1).center());
        EXPECT_TRUE(editor.HasWindow());
        EXPECT_EQ(tabs->tabText(0), QString());
        EXPECT_EQ(tabs->tabText(1), QString("그룹추가/삭제"));
        sheet.reject();
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST(MakeEventSheet, TabsByEventTypeAndOkAppliesThePagesWithAWindow)
{
    const struct {
        int type;
        UINT bitmap;
        int tabs;
    } cases[] = {{0, 140, 5}, {1, 140, 5}, {2, 138, 4}, {3, 188, 6}, {9, 188, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        std::vector<std::unique_ptr<TestPage>> pages;
        CMakeEventSheet sheet(CString(L"일정"));
        sheet.SetEventType(c.type);
        EXPECT_EQ(CMakeEventSheet::TabBitmap(c.type), c.bitmap);
        for (int i = 0; i < c.tabs; ++i) {
            pages.push_back(std::make_unique<TestPage>(200 + i, L"쪽"));
            sheet.AddPage(pages.back().get());
        }
        ZuModalHandlerScope scope([&](QDialog&) {
            CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->GetItemID(0), 45000u);
            EXPECT_EQ(bar->GetItemID(1), 2u);
            EXPECT_EQ(bar->GetItemRect(0).left(), 0);
            EXPECT_TRUE(bar->GetItemRect(bar->CommandToIndex(ZuCompLibRes::IdNoteTools)).isEmpty()) << "hidden";
            CEnTabCtrl* tabs = sheet.GetTabCtrl();
            ASSERT_NE(tabs, nullptr);
            EXPECT_EQ(tabs->GetImageList().GetImageCount(), c.tabs);
            for (int i = 1; i < c.tabs; ++i)
                EXPECT_EQ(tabs->tabText(i), QString()) << i;
            Tap(tabs, tabs->tabRect(2).center());
            TapBar(bar, ZuCompLibRes::IdSheetOk);
        });
        EXPECT_EQ(sheet.DoModal(), IDOK);
        for (int i = 0; i < c.tabs; ++i)
            EXPECT_EQ(pages[i]->applies, i == 0 || i == 2 ? 1 : 0) << i;
    }
}

TEST(MakeEventSheet, CommandTwoCancels)
{
    TestPage summary(200, L"일정");
    CMakeEventSheet sheet{CString()};
    sheet.AddPage(&summary);
    ZuModalHandlerScope scope([&](QDialog&) { TapBar(sheet.GetCommandBarPtr(), ZuCompLibRes::IdSheetCancel); });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(summary.applies, 0);
}
