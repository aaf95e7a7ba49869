// The running calendar follows a save of the options dialog at once: the left scroll bar, the
// list's big font, the tasks' progress bars, the week view's hours and the private records,
// without a restart. The real program (CZuCalendarApp) runs in this process, registered as the
// suites' programs are, and the dialog is opened from its tools menu.
#include "calendarfixture.h"

#include "messagebox.h"
#include "optionrecords.h"
#include "popupmenu.h"
#include "resource.h"
#include "widgets/cecommandbarex.h"
#include "widgets/cecommandbarexp.h"
#include "widgets/mainframe.h"
#include "widgets/modaldialog.h"
#include "widgets/optionsheet.h"
#include "widgets/zucalendarapp.h"
#include "widgets/zucalendarview.h"
#include "windowtestenv.h"
#include "zucalendardoc.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>

using namespace calfix;

namespace {

class OptionFollow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9)));
        ZuSetMessageBoxHandler([this](const CString& text, const CString&, UINT) {
            m_boxes.push_back(text.toUtf8());
            return IDOK;
        });
        ZuSetPopupMenuHandler([this](const std::vector<ZuMenuEntry>&, QPoint) -> UINT { return m_menuAnswer; });
    }
    void TearDown() override
    {
        m_app.reset();
        ZuSetMessageBoxHandler({});
        ZuSetPopupMenuHandler({});
        ZuSetClock({});
    }

    bool Visible(const CString& subject) const
    {
        for (const CalendarItem& item : m_app->Document()->Items())
            if (item.subject == subject)
                return true;
        return false;
    }

    // "설     정" from the tools menu, with `drive` run on the options dialog.
    void OpenOptions(CMainFrame* frame, const std::function<void(COptionSheet&)>& drive)
    {
        bool shown = false;
        ZuModalHandlerScope scope([&](QDialog& d) {
            auto* sheet = qobject_cast<COptionSheet*>(&d);
            ASSERT_TRUE(sheet);
            shown = true;
            drive(*sheet);
        });
        m_menuAnswer = ZU_CMD_OPTIONS;
        CCeCommandBarExp* bar = frame->CommandBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(1).center());
        EXPECT_TRUE(shown);
    }

    WindowTestEnv m_env;
    std::unique_ptr<CZuCalendarApp> m_app;
    std::vector<std::string> m_boxes;
    UINT m_menuAnswer = 0;
};

template <class T> T* Control(COptionSheet& sheet, UINT id)
{
    return sheet.GetActivePage()->findChild<T*>(QString::number(id));
}

void Tick(COptionSheet& sheet, UINT id)
{
    auto* box = Control<QCheckBox>(sheet, id);
    ASSERT_TRUE(box) << id;
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void Save(COptionSheet& sheet)
{
    CCeCommandBarEx* bar = sheet.GetCommandBarPtr();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->GetItemRect(bar->CommandToIndex(1016)).center());
}

} // namespace

TEST_F(OptionFollow, CalendarFollowsEverySave)
{
    // Enough for the list to scroll, one of them private, and a task at 40 %.
    for (int i = 0; i < 30; ++i)
        add(Appointment{.subject = L"회의", .start = wall(2026, 12, 10, i % 24, i / 24 * 30)});
    add(Appointment{.subject = L"비밀 약속", .start = wall(2026, 12, 10, 12), .isPrivate = true});
    add(Task{.subject = L"보고서", .due = wall(2026, 12, 10, 0), .progress = 40});

    m_app = std::make_unique<CZuCalendarApp>();
    ASSERT_TRUE(m_app->InitInstance());
    CMainFrame* frame = m_app->MainFrame();
    CZuCalendarDoc* doc = m_app->Document();
    ASSERT_TRUE(WaitFor([&] { return Visible(L"비밀 약속"); }));
    QScrollBar* leftBar = frame->LeftScrollBar();
    EXPECT_TRUE(leftBar->isHidden());
    EXPECT_FALSE(frame->ListView()->IsBigFont());

    OpenOptions(frame, [](COptionSheet& sheet) {
        Tick(sheet, 1000);  // left scroll
        sheet.SetActivePage(1);
        Tick(sheet, 1009);  // private records hidden
        Tick(sheet, 1010);  // big font
        Tick(sheet, 1011);  // progress bars
        Control<QComboBox>(sheet, 1012)->setCurrentIndex(8);
        Control<QComboBox>(sheet, 1013)->setCurrentIndex(2);
        Save(sheet);
    });
    EXPECT_TRUE(m_boxes.empty());
    // Each change reached the calendar while the save ran; the list lays itself out again.
    EXPECT_TRUE(doc->LeftScroll());
    EXPECT_TRUE(doc->ListBigFont());
    EXPECT_TRUE(doc->TaskStatusBar());
    EXPECT_EQ(doc->WeekStartHour(), 8);
    EXPECT_EQ(doc->WeekEndHour(), 22);
    EXPECT_TRUE(frame->ListView()->IsBigFont());
    EXPECT_TRUE(WaitFor([&] { return !Visible(L"비밀 약속"); }));
    EXPECT_TRUE(WaitFor([&] { return !leftBar->isHidden(); }));
    EXPECT_EQ(frame->ListView()->viewport()->geometry().left(), leftBar->width());

    // And back.
    OpenOptions(frame, [](COptionSheet& sheet) {
        Tick(sheet, 1000);
        sheet.SetActivePage(1);
        Tick(sheet, 1009);
        Tick(sheet, 1010);
        Save(sheet);
    });
    EXPECT_FALSE(doc->LeftScroll());
    EXPECT_FALSE(frame->ListView()->IsBigFont());
    EXPECT_TRUE(WaitFor([&] { return Visible(L"비밀 약속"); }));
    EXPECT_TRUE(WaitFor([&] { return leftBar->isHidden(); }));
}
