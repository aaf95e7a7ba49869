// The fader: a fade of no time shows the texts' own colours at once; a fade longer than a second
// runs to its end and its last paint uses the texts' own colours.
#include "widgets/staticfader.h"

#include "widgettest.h"
#include "windowtestenv.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
const wchar_t* kBigFont = L"-24,0,0,0,700,0,0,0,0,0,0,0,18,0,0,0,Tahoma";
constexpr COLORREF kGreyText = RGB(0, 0, 60);
constexpr COLORREF kGreyBack = RGB(210, 210, 210);
}  // namespace

TEST(StaticFader, FadeColour)
{
    const COLORREF from = RGB(0, 0, 0), to = RGB(200, 100, 50);
    struct Row {
        qint64 elapsed;
        int fade;
        COLORREF want;
    };
    const Row rows[] = {
        {0, 0, to},       {500, 0, to},  {0, -5, to},  // no fade time: the target at once
        {0, 1000, from},  {5, 1000, from},             // within the first 10-ms step
        {500, 1000, RGB(100, 50, 25)},
        {1999, 2000, RGB(199, 99, 49)}, {2000, 2000, to}, {5000, 2000, to},
        {1500, 3000, RGB(100, 50, 25)},                // past one second, still on the way
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.elapsed) + "/" + std::to_string(r.fade));
        EXPECT_EQ(CStaticFader::FadeColour(from, to, r.elapsed, r.fade), r.want);
    }
}

TEST(StaticFader, ZeroFadeShowsTargetAtOnce)
{
    for (int fade : {0, -1}) {
        CStaticFader fader(nullptr, 1200);
        fader.resize(200, 80);
        fader.Display(L"일정", L"Sub", fade, true, kBigFont, kBigFont);
        EXPECT_FALSE(fader.IsFading());
        EXPECT_EQ(fader.GetBackgroundColour(), kGreyBack);
        const QImage img = Pixels(fader);
        EXPECT_TRUE(HasColour(img, rgb(kGreyText), QRect(0, 0, 200, 40)));   // main text
        EXPECT_TRUE(HasColour(img, rgb(kGreyText), QRect(0, 40, 200, 40)));  // sub text
        EXPECT_EQ(img.pixelColor(1, 1), rgb(kGreyBack));
    }
}

TEST(StaticFader, LongFadeRunsToTheEnd)
{
    CStaticFader fader;
    fader.resize(200, 80);
    fader.show();
    QElapsedTimer clock;
    clock.start();
    fader.Display(L"일정", L"", 1300, true, kBigFont, CString());
    EXPECT_TRUE(fader.IsFading());
    EXPECT_FALSE(HasColour(Pixels(fader), rgb(kGreyText)));  // starts at the background colour
    ASSERT_TRUE(WaitFor([&] { return !fader.IsFading(); }, 5000));
    EXPECT_GE(clock.elapsed(), 1300);  // not cut off at one second
    EXPECT_TRUE(HasColour(Pixels(fader), rgb(kGreyText)));
}
