// The sheet and its pages: a page is made on its first activation, leaving and OK ask the pages,
// Cancel and Esc cancel, the pages outlive the sheet, nested sheets reach the modal seam, and the
// dialog units of the 240-pixel layout.
#include "widgets/dialogunits.h"
#include "widgets/modaldialog.h"
#include "widgets/propertypage.h"
#include "widgets/propertysheet.h"

#include "messagebox.h"
#include "windowmessage.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace {

// A page that counts its calls, keeps one edit's text in a member and names its tab while active.
class CountingPage : public CPropertyPage {
public:
    CountingPage(UINT id, const wchar_t* name) : CPropertyPage(id, CString(name)), m_name(name) {}
    int inits = 0, actives = 0, kills = 0, applies = 0, cancels = 0;
    bool refuseLeave = false;
    QString text = "start";
    QLineEdit* edit = nullptr;

    BOOL OnInitDialog() override
    {
        ++inits;
        edit = new QLineEdit(text, this);
        edit->setGeometry(10, 10, 100, 20);
        return TRUE;
    }
    BOOL OnSetActive() override
    {
        ++actives;
        SetTabText(m_name);
        return TRUE;
    }
    BOOL OnKillActive() override
    {
        ++kills;
        if (refuseLeave)
            return FALSE;
        SetTabText(CString());
        return TRUE;
    }
    BOOL OnApply() override
    {
        ++applies;
        text = edit->text();
        return TRUE;
    }
    void OnCancel() override { ++cancels; }

private:
    CString m_name;
};

void clickTab(CPropertySheet& sheet, int index)
{
    QTabBar* tabs = sheet.GetTabControl();
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
}

void sendCommand(QWidget& sheet, WORD id)
{
    ZuMessageEvent e(WM_COMMAND, MAKELONG(id, 0), 0);
    QCoreApplication::sendEvent(&sheet, &e);
}

struct ThreePages {
    CountingPage a{301, L"하나"}, b{302, L"둘"}, c{303, L"셋"};
    void addTo(CPropertySheet& sheet)
    {
        sheet.AddPage(&a);
        sheet.AddPage(&b);
        sheet.AddPage(&c);
    }
};

}  // namespace

TEST(PropertySheet, PagesAreMadeOnFirstActivationAndOkAppliesOnlyThose)
{
    ThreePages p;
    CPropertySheet sheet(CString(L"일정"), nullptr, 1);
    p.addTo(sheet);
    int result = 0;
    {
        ZuModalHandlerScope scope([&](QDialog& d) {
            EXPECT_EQ(&d, &sheet);
            EXPECT_EQ(sheet.GetActiveIndex(), 1);  // the first-page index
            EXPECT_TRUE(p.b.HasWindow());
            EXPECT_FALSE(p.a.HasWindow());
            EXPECT_FALSE(p.c.HasWindow());
            EXPECT_EQ(p.b.parentWidget(), &sheet);
            EXPECT_EQ(p.b.geometry(), sheet.GetPageRect());
            EXPECT_EQ(sheet.GetTabControl()->tabText(1), QString("둘"));

            clickTab(sheet, 2);
            EXPECT_EQ(sheet.GetActiveIndex(), 2);
            EXPECT_TRUE(p.c.HasWindow());
            EXPECT_TRUE(p.c.isVisible());
            EXPECT_FALSE(p.b.isVisible());
            EXPECT_EQ(sheet.GetTabControl()->tabText(1), QString());  // left: icon only
            EXPECT_EQ(sheet.GetTabControl()->tabText(2), QString("셋"));

            clickTab(sheet, 1);
            p.b.edit->setText("changed");
            sendCommand(sheet, IDOK);
        });
        result = sheet.DoModal();
    }
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(p.b.inits, 1);  // made once, shown twice
    EXPECT_EQ(p.b.actives, 2);
    EXPECT_EQ(p.c.inits, 1);
    EXPECT_EQ(p.a.inits, 0);
    EXPECT_EQ((std::array{p.a.applies, p.b.applies, p.c.applies}), (std::array{0, 1, 1}));
    EXPECT_EQ(p.b.text, QString("changed"));
    for (CountingPage* page : {&p.a, &p.b, &p.c}) {
        EXPECT_FALSE(page->HasWindow());
        EXPECT_EQ(page->parentWidget(), nullptr);
    }
}

TEST(PropertySheet, PagesOutliveTheSheet)
{
    CountingPage page(301, L"하나");
    {
        auto sheet = std::make_unique<CPropertySheet>(CString(L"일정"));
        sheet->AddPage(&page);
        ZuModalHandlerScope scope([&](QDialog&) {
            page.edit->setText("kept");
            sheet->accept();
        });
        EXPECT_EQ(sheet->DoModal(), IDOK);
    }
    EXPECT_EQ(page.GetSheet(), nullptr);
    EXPECT_EQ(page.text, QString("kept"));
    ASSERT_NE(page.edit, nullptr);  // the controls live as long as the page
    EXPECT_EQ(page.edit->text(), QString("kept"));
}

TEST(PropertySheet, APageThatRefusesToBeLeftKeepsTheTabAndTheSheet)
{
    ThreePages p;
    CPropertySheet sheet(CString(L"일정"));
    p.addTo(sheet);
    ZuModalHandlerScope scope([&](QDialog&) {
        p.a.refuseLeave = true;
        clickTab(sheet, 1);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_EQ(sheet.GetTabControl()->currentIndex(), 0);
        EXPECT_FALSE(p.b.HasWindow());
        sendCommand(sheet, IDOK);
        EXPECT_TRUE(sheet.isVisible());  // still open
        EXPECT_EQ(p.a.applies, 0);
        p.a.refuseLeave = false;
        sendCommand(sheet, IDOK);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(p.a.applies, 1);
}

TEST(PropertySheet, CancelEscAndAnUnansweredSheetCancel)
{
    struct Case {
        const char* name;
        std::function<void(CPropertySheet&)> answer;
    };
    const Case cases[] = {
        {"command 2", [](CPropertySheet& s) { sendCommand(s, IDCANCEL); }},
        {"Esc", [](CPropertySheet& s) { QTest::keyClick(&s, Qt::Key_Escape); }},
        {"no answer", [](CPropertySheet&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ThreePages p;
        CPropertySheet sheet(CString(L"일정"), nullptr, 7);  // out of range: the first page
        p.addTo(sheet);
        ZuModalHandlerScope scope([&](QDialog&) {
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            p.a.edit->setText("dropped");
            c.answer(sheet);
        });
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(p.a.cancels, 1);
        EXPECT_EQ(p.b.cancels, 0);  // never shown
        EXPECT_EQ(p.a.applies, 0);
        EXPECT_EQ(p.a.text, QString("start"));
    }
}

TEST(PropertySheet, ANestedSheetComesToTheHandlerByName)
{
    CountingPage outerPage(301, L"하나"), innerPage(401, L"안");
    CPropertySheet outer(CString(L"바깥"));
    outer.setObjectName("outer");
    outer.AddPage(&outerPage);
    std::vector<std::string> seen;
    int innerResult = 0;
    ZuModalHandlerScope scope([&](QDialog& d) {
        seen.push_back(d.objectName().toStdString());
        if (d.objectName() == "outer") {
            CPropertySheet inner(CString(L"안쪽"), &outer);
            inner.setObjectName("inner");
            inner.AddPage(&innerPage);
            innerResult = inner.DoModal();
            EXPECT_TRUE(outer.isVisible());
            sendCommand(outer, IDOK);
        } else {
            sendCommand(static_cast<CPropertySheet&>(d), IDCANCEL);
        }
    });
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"outer", "inner"}));
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(innerPage.cancels, 1);
}

TEST(PropertySheet, TheLayoutIsPageTabsAndBarFromTheTop)
{
    CountingPage page(301, L"하나");
    CPropertySheet sheet(CString(L"일정"));
    sheet.AddPage(&page);
    ZuModalHandlerScope scope([&](QDialog&) {
        auto* bar = new QWidget;
        bar->resize(240, 26);
        sheet.SetCommandBar(bar);
        EXPECT_EQ(sheet.size(), QSize(240, 294));
        EXPECT_EQ(bar->geometry(), QRect(0, 268, 240, 26));
        const QRect tabs = sheet.GetTabControl()->geometry();
        EXPECT_EQ(tabs.bottom(), 267);
        EXPECT_EQ(sheet.GetPageRect(), QRect(0, 0, 240, tabs.top()));
        EXPECT_EQ(page.geometry(), sheet.GetPageRect());
        sheet.SetTabsVisible(false);
        EXPECT_EQ(page.geometry(), QRect(0, 0, 240, 268));
        EXPECT_EQ(page.objectName(), QString("301"));
    });
    sheet.DoModal();
    EXPECT_EQ(sheet.GetCommandBar(), nullptr);  // went with the window
}

TEST(DialogUnits, ConvertAt27Over16And13Over8)
{
    struct Case {
        int du, x, y;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 2, 2}, Case{16, 27, 26}, Case{142, 240, 231}, Case{8, 14, 13},
                          Case{-16, -27, -26}}) {
        SCOPED_TRACE(c.du);
        EXPECT_EQ(ZuDuToPxX(c.du), c.x);
        EXPECT_EQ(ZuDuToPxY(c.du), c.y);
    }
    // Rectangles that touch in dialog units touch in pixels.
    const QRect left = ZuDuRect(0, 17, 71, 127), right = ZuDuRect(71, 17, 71, 127);
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(right.right() + 1, 240);
    EXPECT_EQ(left.top(), ZuDuToPxY(17));
    EXPECT_EQ(left.bottom() + 1, ZuDuToPxY(144));
}
