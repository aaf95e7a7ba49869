#include "textutil.h"

#include "filetime.h"
#include "lasterror.h"
#include "messagebox.h"
#include "sip.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Readable failures.
inline void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << s.toUtf8() << '"';
}

namespace {

SYSTEMTIME makeTime(WORD y, WORD mo, WORD d, WORD dow, WORD h = 0, WORD mi = 0, WORD s = 0)
{
    SYSTEMTIME st;
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wDayOfWeek = dow;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    return st;
}

// ---- names ---------------------------------------------------------------------------------

TEST(TextNames, DayOfWeekListsReadAsASentence)
{
    const struct {
        long mask;
        const wchar_t* text;
    } cases[] = {
        {0x3E, L"월요일, 화요일, 수요일, 목요일 그리고 금요일"},
        {0x02, L"월요일"},
        {0x41, L"일요일 그리고 토요일"},
        {0x01, L"일요일"},
        {0x7F, L"일요일, 월요일, 화요일, 수요일, 목요일, 금요일 그리고 토요일"},
        {0x00, L""},
        // Bits above Saturday name no day and are ignored.
        {0x80, L""},
        {0x182, L"월요일"},
        {0xFFFFFF41, L"일요일 그리고 토요일"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetPoomDayOfWeekString(c.mask, 0), CString(c.text)) << std::hex << c.mask;
        EXPECT_EQ(GetPoomDayOfWeekString(c.mask, 1), CString(c.text)) << std::hex << c.mask;
    }
}

TEST(TextNames, InstancesAndMonthsOutsideTheirRangeAreEmpty)
{
    const wchar_t* const instance[] = {L"마지막", L"첫째", L"둘째", L"셋째", L"넷째", L"다섯째", L"여섯째", L""};
    for (long n = 0; n <= 7; ++n)
        EXPECT_EQ(GetInstanceString(n, 0), CString(instance[n])) << n;
    EXPECT_TRUE(GetInstanceString(-1, 0).IsEmpty());

    const wchar_t* const poom[] = {L"", L"첫번째", L"두번째", L"세번째", L"네번째", L"마지막", L""};
    for (long n = 0; n <= 6; ++n)
        EXPECT_EQ(GetPoomInstanceString(n, 1), CString(poom[n])) << n;
    EXPECT_TRUE(GetPoomInstanceString(-1, 1).IsEmpty());

    EXPECT_EQ(GetMonthOfYearString(1), CString(L"1월"));
    EXPECT_EQ(GetMonthOfYearString(12), CString(L"12월"));
    for (long month : {0L, 13L, -1L, 65535L})
        EXPECT_TRUE(GetMonthOfYearString(month).IsEmpty()) << month;
}

TEST(TextNames, LocaleDayOfWeekIsTodaysLocalDay)
{
    struct ClockReset {
        ~ClockReset() { ZuSetClock({}); }
    } reset;
    const struct {
        SYSTEMTIME utc;
        int qtDay;  // Monday 1 .. Sunday 7
    } cases[] = {
        {makeTime(2004, 3, 5, 5, 10, 0), 5},  // Friday in Seoul too
        {makeTime(2004, 3, 5, 5, 20, 0), 6},  // already Saturday in Seoul
        {makeTime(2004, 3, 6, 6, 16, 0), 7},  // Sunday 01:00 in Seoul
    };
    for (const auto& c : cases) {
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&c.utc, &ft));
        ZuSetFixedClock(ft);
        EXPECT_EQ(GetLocaleDayOfWeek(), CString::fromQString(QLocale::system().dayName(c.qtDay))) << c.qtDay;
    }
}

// ---- formatting ----------------------------------------------------------------------------

TEST(TextFormat, DateStringIsNotPadded)
{
    EXPECT_EQ(GetDateString(makeTime(2004, 3, 5, 5, 9, 5)), CString(L"2004년 3월 5일 금 9:5"));
    EXPECT_EQ(GetDateString(makeTime(2004, 12, 26, 0, 23, 59)), CString(L"2004년 12월 26일 일 23:59"));
    EXPECT_EQ(GetDateString(makeTime(2004, 12, 25, 6, 0, 0)), CString(L"2004년 12월 25일 토 0:0"));
    EXPECT_EQ(GetDateString(makeTime(2004, 3, 5, 7, 9, 5)), CString(L"2004년 3월 5일  9:5"));
}

TEST(TextFormat, DateAndTimeInTheSystemLocale)
{
    EXPECT_EQ(FormatDate(makeTime(2004, 3, 5, 5)), CString(L"2004-03-05"));
    EXPECT_EQ(FormatDate(makeTime(987, 12, 31, 0)), CString(L"0987-12-31"));
    EXPECT_TRUE(FormatDate(makeTime(2003, 2, 29, 0)).IsEmpty());
    EXPECT_TRUE(FormatDate(makeTime(2004, 13, 1, 0)).IsEmpty());

    // The tests run in the C locale, whose short format is "HH:mm:ss".
    EXPECT_EQ(FormatTime(makeTime(2004, 3, 5, 5, 9, 5, 30)), CString(L"09:05"));
    EXPECT_EQ(FormatTime(makeTime(2004, 3, 5, 5, 23, 59, 59)), CString(L"23:59"));
    EXPECT_TRUE(FormatTime(makeTime(2004, 3, 5, 5, 24, 0, 0)).IsEmpty());
}

// ---- ellipsis ------------------------------------------------------------------------------

class TextEllipsis : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        painter.begin(&image);
        painter.setFont(font);
        if (painter.fontMetrics().horizontalAdvance(QStringLiteral("abc")) <= 0)
            GTEST_SKIP() << "no font to measure with";
    }
    void TearDown() override
    {
        if (painter.isActive())
            painter.end();
    }
    int width(const CString& s) { return painter.fontMetrics().horizontalAdvance(s.toQString()); }

    QImage image{200, 50, QImage::Format_RGB32};
    QPainter painter;
};

TEST_F(TextEllipsis, TextThatFitsIsUnchanged)
{
    const CString text(L"회의 10:00");
    const int w = width(text);
    EXPECT_EQ(GetEllipsisText(&painter, text, QRect(0, 0, w, 20)), text);  // exactly as wide
    EXPECT_EQ(GetEllipsisText(&painter, text, QRect(5, 0, 0, 20)), text);  // no width at all
    EXPECT_EQ(GetEllipsisText(&painter, L"", QRect(0, 0, 10, 20)), CString());
    EXPECT_EQ(GetEllipsisText(&painter, nullptr, QRect(0, 0, 10, 20)), CString());
}

TEST_F(TextEllipsis, LongTextKeepsTheLongestPrefixThatFits)
{
    const CString text(L"Weekly planning meeting with the whole team");
    for (int w : {40, 57, 90, 120, width(text) - 1}) {
        const CString out = GetEllipsisText(&painter, text, QRect(10, 0, w, 20));
        ASSERT_GE(out.GetLength(), 3) << w;
        EXPECT_EQ(out.Right(3), CString(L"...")) << w;
        const int kept = out.GetLength() - 3;
        EXPECT_EQ(out.Left(kept), text.Left(kept)) << w;
        EXPECT_LE(width(out), w) << w;
        EXPECT_GT(width(text.Left(kept + 1) + L"..."), w) << w;  // one more character would not fit
    }
}

TEST_F(TextEllipsis, NarrowRectangleGivesDotsAlone)
{
    EXPECT_EQ(GetEllipsisText(&painter, L"Meeting", QRect(0, 0, 1, 20)), CString(L"..."));
}

TEST_F(TextEllipsis, WithoutPainterMeasuresWithTheApplicationFont)
{
    const CString text(L"Weekly planning meeting with the whole team");
    const QFontMetrics metrics(QGuiApplication::font());
    const CString out = GetEllipsisText(nullptr, text, QRect(0, 0, 80, 20));
    EXPECT_EQ(out.Right(3), CString(L"..."));
    EXPECT_LE(metrics.horizontalAdvance(out.toQString()), 80);
    EXPECT_GT(metrics.horizontalAdvance((text.Left(out.GetLength() - 2) + L"...").toQString()), 80);
}

// ---- gradient ------------------------------------------------------------------------------

struct Strip {
    int x;
    int width;
    QRgb colour;
    bool operator==(const Strip&) const = default;
};

// The runs of equal colour along row y.
std::vector<Strip> strips(const QImage& image, int y)
{
    std::vector<Strip> out;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y) & 0xFFFFFF;
        if (!out.empty() && out.back().colour == c)
            ++out.back().width;
        else
            out.push_back({x, 1, c});
    }
    return out;
}

std::vector<Strip> drawGradient(QRect rect, COLORREF from, COLORREF to, int steps, QSize size = {120, 12})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawGradientFill(&painter, &rect, from, to, steps);
    }
    EXPECT_EQ(image.pixel(rect.left(), rect.top()), image.pixel(rect.left(), rect.bottom()));
    return strips(image, rect.top());
}

TEST(TextGradient, StripsRunFromStartTowardsEnd)
{
    const QRgb white = 0xFFFFFF;
    // 4 strips of 25 pixels; 8.8 steps of 255 * 256 / 4 per strip, so the last is not quite the end.
    EXPECT_EQ(drawGradient(QRect(10, 1, 100, 10), RGB(0, 0, 0), RGB(255, 255, 255), 4),
        (std::vector<Strip>{{0, 10, white}, {10, 25, 0x000000}, {35, 25, 0x3F3F3F}, {60, 25, 0x7F7F7F},
            {85, 25, 0xBFBFBF}, {110, 10, white}}));
    // Falling channels, each on its own; the last strip takes what the division left over.
    EXPECT_EQ(drawGradient(QRect(0, 0, 10, 10), RGB(255, 0, 100), RGB(0, 255, 100), 3, {12, 12}),
        (std::vector<Strip>{{0, 3, 0xFF0064}, {3, 3, 0xAA5564}, {6, 4, 0x55AA64}, {10, 2, white}}));
}

TEST(TextGradient, MoreStepsThanPixelsGiveOnePixelStrips)
{
    const auto out = drawGradient(QRect(2, 0, 10, 5), RGB(0, 0, 0), RGB(255, 0, 0), 100, {14, 5});
    ASSERT_EQ(out.size(), 12u);
    EXPECT_EQ(out.front(), (Strip{0, 2, 0xFFFFFF}));
    EXPECT_EQ(out[1], (Strip{2, 1, 0x000000}));
    EXPECT_EQ(out[10], (Strip{11, 1, 0xE50000}));  // 9 * (255 * 256 / 10) >> 8 = 229
    EXPECT_EQ(out.back(), (Strip{12, 2, 0xFFFFFF}));
}

TEST(TextGradient, DegenerateInputsDrawOneStripOrNothing)
{
    // No steps still fills the rectangle with the start colour.
    EXPECT_EQ(drawGradient(QRect(0, 0, 8, 4), RGB(1, 2, 3), RGB(200, 200, 200), 0, {8, 4}),
        (std::vector<Strip>{{0, 8, 0x010203}}));
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRect empty(2, 0, 0, 4);
    DrawGradientFill(&painter, &empty, RGB(0, 0, 0), RGB(0, 0, 0), 4);
    DrawGradientFill(&painter, nullptr, RGB(0, 0, 0), RGB(0, 0, 0), 4);
    DrawGradientFill(nullptr, &empty, RGB(0, 0, 0), RGB(0, 0, 0), 4);
    painter.end();
    EXPECT_EQ(strips(image, 0), (std::vector<Strip>{{0, 8, 0xFFFFFF}}));
}

// ---- input panel and diagnostics -----------------------------------------------------------

DWORD sipFlags()
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    EXPECT_TRUE(SipGetInfo(&info));
    return info.fdwFlags;
}

TEST(TextKeypad, UpAndDownToggleOnlyTheOnFlag)
{
    PPC_KeypadDown();
    const DWORD others = sipFlags();
    EXPECT_EQ(others & SIPF_ON, 0u);
    PPC_KeypadUp();
    EXPECT_EQ(sipFlags(), others | SIPF_ON);
    PPC_KeypadUp();
    EXPECT_EQ(sipFlags(), others | SIPF_ON);
    PPC_KeypadDown();
    EXPECT_EQ(sipFlags(), others);
}

struct CapturedBox {
    CString text, caption;
    UINT type = 0;
};

class BoxCapture {
public:
    BoxCapture()
    {
        m_old = ZuSetMessageBoxHandler([this](const CString& text, const CString& caption, UINT type) {
            boxes.push_back({text, caption, type});
            return IDOK;
        });
    }
    ~BoxCapture() { ZuSetMessageBoxHandler(m_old); }
    std::vector<CapturedBox> boxes;

private:
    ZuMessageBoxHandler m_old;
};

TEST(TextDiagnostics, DisplayLastErrorShowsModuleCodeAndText)
{
    BoxCapture capture;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    DisplayLastError(L"ZuCalendar");
    ZuSetLastError(ERROR_FILE_CORRUPT, L"pim.db: file is not a database");
    DisplayLastError(L"일정");
    ASSERT_EQ(capture.boxes.size(), 2u);
    EXPECT_EQ(capture.boxes[0].text,
        CString(L"Error Module : ZuCalendar\r\nError Code : (0x7A) The data area passed to a system call is too "
                L"small.\r\n\r\n"));
    EXPECT_EQ(capture.boxes[0].caption, CString(L"ERROR"));
    EXPECT_EQ(capture.boxes[0].type, MB_ICONINFORMATION);
    EXPECT_EQ(capture.boxes[1].text,
        CString(L"Error Module : 일정\r\nError Code : (0x570) pim.db: file is not a database\r\n\r\n"));
}

TEST(TextDiagnostics, TraceWritesOnlyWhenSwitchedOn)
{
    struct TraceReset {
        ~TraceReset() { ZuSetTrace(false); }
    } reset;
    ZuSetTrace(false);
    ::testing::internal::CaptureStderr();
    _TRACE(L"hidden %d", 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ZuSetTrace(true);
    ::testing::internal::CaptureStderr();
    _TRACE(L"%s: %d건 (%c)\n", L"알림", 3, L'가');
    _TRACE(L"%s", std::wstring(400, L'x').c_str());
    const std::string out = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "알림: 3건 (가)\n" + std::string(259, 'x') + "\n");
}

} // namespace
