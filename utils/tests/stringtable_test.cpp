#include "stringtable.h"

#include <gtest/gtest.h>

#include <algorithm>

// Readable failures.
inline void PrintTo(const CString& s, std::ostream* os)
{
    *os << '"' << s.toUtf8() << '"';
}

namespace {

struct Text {
    UINT id;
    const wchar_t* text;
};

// The system's own texts, as the windows show them.
const Text kTexts[] = {
    {65009, L"첫번째"}, {65010, L"두번째"}, {65011, L"세번째"}, {65012, L"네번째"}, {65013, L"마지막"},
    {65020, L"모든 그룹"}, {65021, L"그룹 없음"}, {65022, L"다중선택..."},
    {65032, L"첫째"}, {65033, L"둘째"}, {65034, L"셋째"}, {65035, L"넷째"}, {65036, L"다섯째"},
    {65037, L"여섯째"}, {65038, L"마지막"},
    {65039, L"일요일"}, {65040, L"월요일"}, {65041, L"화요일"}, {65042, L"수요일"}, {65043, L"목요일"},
    {65044, L"금요일"}, {65045, L"토요일"}, {65046, L"그리고"},
    {65050, L"반복없음"}, {65051, L"일간 반복"}, {65052, L"주간 반복"}, {65053, L"월간 반복"},
    {65054, L"년간 반복"},
    {65055, L"주중(월~금) 반복"}, {65056, L"매일 반복"}, {65057, L"%d 일 마다 반복"},
    {65058, L"매주 %s 에 반복"}, {65059, L"%d 주 마다 %s에 반복"},
    {65060, L"%d 개월 마다  %d일에 반복"}, {65061, L"%d 개월 마다  %s %s에 반복"},
    {65064, L"%02d-%02d-%02d 부터"}, {65065, L"%02d-%02d-%02d 까지"},
    {65066, L"%d 년 마다 %s %d 일에 반복"}, {65067, L"%d 년 마다 %s 의 %s %s 에 반복"},
    {65070, L"1월"}, {65075, L"6월"}, {65079, L"10월"}, {65081, L"12월"},
    {65082, L"%d.%d.%d %s [음 %d.%d]"}, {65083, L"%d.%d.%d ~ %d  %s"}, {65084, L"%d년 %d월"},
    {65085, L"%d년 달력"}, {65086, L"주"}, {65101, L"%d.%d.%d ~ %d.%d  %s"},
};

TEST(StringTable, CarriesTheSystemTexts)
{
    for (const Text& t : kTexts)
        EXPECT_EQ(ZuLoadString(t.id), CString(t.text)) << t.id;
    for (UINT month = 1; month <= 12; ++month) {
        CString expected;
        expected.Format(L"%u월", month);
        EXPECT_EQ(ZuLoadString(65069 + month), expected) << month;
    }
}

TEST(StringTable, UnknownIdsAreEmpty)
{
    for (UINT id : {0u, 65008u, 65014u, 65031u, 65047u, 65062u, 65068u, 65069u, 65087u, 65100u, 65102u, 0xFFFFFFFFu})
        EXPECT_TRUE(ZuLoadString(id).IsEmpty()) << id;
}

TEST(StringTable, ModuleTableOverridesOnlyItsOwnIds)
{
    EXPECT_EQ(ZuLoadString(65082, ZuModule::CompLib), CString(L"작업의 기간을 먼저 설정하십시요!"));
    EXPECT_EQ(ZuLoadString(65082, ZuModule::Calendar), ZuLoadString(65082));
    EXPECT_EQ(ZuLoadString(65046, ZuModule::CompLib), CString(L"그리고"));
    EXPECT_TRUE(ZuLoadString(65008, ZuModule::CompLib).IsEmpty());
    // The calendar's day popup texts are its own.
    EXPECT_EQ(ZuLoadString(65098, ZuModule::Calendar), CString(L"당일 일정이 없습니다."));
    EXPECT_EQ(ZuLoadString(65100, ZuModule::Calendar), CString(L"%d월 %d일 [음 %d.%d] %s %s"));
    EXPECT_TRUE(ZuLoadString(65099, ZuModule::CompLib).IsEmpty());
}

TEST(StringTable, IdListMatchesTheTable)
{
    const auto ids = ZuStringIds();
    ASSERT_FALSE(ids.empty());
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_FALSE(ZuLoadString(ids[i]).IsEmpty()) << ids[i];
        if (i) {
            EXPECT_LT(ids[i - 1], ids[i]);
        }
    }
    for (const Text& t : kTexts)
        EXPECT_NE(std::find(ids.begin(), ids.end(), t.id), ids.end()) << t.id;
}

} // namespace

TEST(StringTable, TheRecordDialogsTextsAreZuCompLibsOwn)
{
    const struct {
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {102, L"편집"},           {6595, L"참석자:"},     {65109, L" (not in Category List)"},
        {65214, L"높음"},         {65216, L"낮음"},       {65218, L"비공개"},
        {65221, L"그룹 없음"},    {65285, L"그룹:"},      {65294, L"일정종류:"},
        {65297, L"기념일"},       {65302, L"부재중"},     {65304, L"내용 없음"},
        {65305, L"기념일:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(ZuLoadString(c.id, ZuModule::CompLib), CString(c.text));
        EXPECT_TRUE(ZuLoadString(c.id).IsEmpty()) << "not in the shared table";
    }
    // Every id of the ranges the dialogs count through has a text.
    for (UINT id = 65214; id <= 65218; ++id)
        EXPECT_FALSE(ZuLoadString(id, ZuModule::CompLib).IsEmpty()) << id;
    for (UINT id = 65285; id <= 65305; ++id)
        EXPECT_FALSE(ZuLoadString(id, ZuModule::CompLib).IsEmpty()) << id;
    EXPECT_EQ(ZuLoadString(ZuStr::BusyBase + 2, ZuModule::CompLib), CString(L"약속있음"));
}
