// Message boxes without a handler: where there is no visible GUI to show them, with the widget
// presenters installed or not (a program that never calls ZuInstallWidgetPresenters), a box is a
// line on standard error and answers the way that leaves things as they are.
#include "messagebox.h"
#include "presenters_p.h"
#include "widgets/widgetpresenters.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, WithoutAVisibleGuiABoxIsALineOnStandardError)
{
    struct Restore {
        ~Restore() { ZuInstallWidgetPresenters(); }  // as the test program's main() left it
    } restore;
    const struct {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONINFORMATION, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, IDNO},
        {MB_YESNOCANCEL, IDNO},
    };
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "widget presenters installed" : "no presenters");
        if (installed)
            ZuInstallWidgetPresenters();
        else
            ZuSetMessageBoxPresenter(nullptr);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.type);
            ::testing::internal::CaptureStderr();
            EXPECT_EQ(MessageBox(nullptr, L"저장하지 못했습니다.", L"ZuCalendar", c.type), c.answer);
            EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ZuCalendar: 저장하지 못했습니다.\n");
        }
    }
}

} // namespace
