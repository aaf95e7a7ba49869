#include "cstring.h"

#include <gtest/gtest.h>

TEST(CString, FormatTakesWideStringsForPercentS)
{
    CString s;
    s.Format(L"%u년 %u월 %u일 %s %d:%d", 2004u, 3u, 5u, L"금", 9, 5);
    EXPECT_EQ(s, CString(L"2004년 3월 5일 금 9:5"));
    s.Format(L"[%-4s|%c|%%|%5.1f]", L"ab", L'가', 2.25);
    EXPECT_EQ(s, CString(L"[ab  |가|%|  2.2]"));
}

TEST(CString, FormatGrowsPastItsFirstBuffer)
{
    std::wstring longText(5000, L'x');
    CString s;
    s.Format(L"<%s>", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CString, SlicesStayInsideTheText)
{
    const CString s(L"가나다라");
    EXPECT_EQ(s.Left(2), CString(L"가나"));
    EXPECT_EQ(s.Left(-1), CString(L""));
    EXPECT_EQ(s.Right(9), s);
    EXPECT_EQ(s.Mid(3), CString(L"라"));
    EXPECT_EQ(s.Mid(7, 2), CString(L""));
    EXPECT_EQ(s.GetAt(10), L'\0');
    EXPECT_EQ(s.Find(L"다"), 2);
    EXPECT_EQ(s.Find(L'x'), -1);
}

TEST(CString, Utf16RoundTripKeepsSupplementaryCharacters)
{
    const std::wstring text = L"A가\U0001F600z";
    const std::u16string u = ZuToUtf16(text);
    EXPECT_EQ(u.size(), 5u);
    EXPECT_EQ(ZuFromUtf16(u), text);
}
